#pragma once

// One simulated device, listed where port discovery looks, and one
// programmer window over it with scripted answers and file names.
#include "fake_dialogs.h"
#include "scripted_prompt.h"

#include "devsim/port_registry.h"
#include "devsim/sim_device.h"
#include "programmer/gui/main_prog_frm.h"
#include "programmer/gui/programmer_window_launcher.h"
#include "programmer/programmer_controller.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

// Short pauses, so the tests do not wait the real seconds.
inline void FastTiming(vrs::ProgrammerController &c)
{
    vrs::ProgrammerController::Timing timing;
    timing.connectTries = 3;
    timing.connectDelayMs = 20;
    timing.loaderRetryMs = 100;
    timing.jobDelayMs = 10;
    c.SetTiming(timing);
}

// Descriptors of this process open on the file at path.
inline int OpenDescriptors(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == target)
            ++count;
    return count;
}

// A simulated device that port discovery finds (unless told otherwise).
struct ListedDevice {
    std::unique_ptr<vrs::devsim::SimDevice> device;
    vrs::devsim::PortRegistryEntry entry;

    explicit ListedDevice(const vrs::devsim::DeviceOptions &options, bool listed = true)
        : device(std::make_unique<vrs::devsim::SimDevice>(options))
    {
        QString error;
        if (!device->Start(&error))
            qFatal("simulated device: %s", qPrintable(error));
        if (listed && !entry.Write(device->PortPath(), options.serial, &error))
            qFatal("port registry: %s", qPrintable(error));
    }

    QString StoredText() const { return QString::fromUtf8(device->State().InspectConfig().text); }
    QList<int> AnsweredCodes() const
    {
        QList<int> codes;
        for (const auto &c : device->Commands())
            if (c.outcome == QStringLiteral("answered"))
                codes << c.code;
        return codes;
    }
};

struct Bench : ListedDevice {
    ScriptedPrompt prompt;
    FakeDialogs dialogs;
    std::unique_ptr<vrs::TMainProgFrm> window;

    Bench(const vrs::devsim::DeviceOptions &options, vrs::DeviceType type, vrs::ProgrammerMode mode,
          const QByteArray &document = {}, bool listed = true)
        : ListedDevice(options, listed)
    {
        window = std::make_unique<vrs::TMainProgFrm>(type, mode, document);
        window->SetPrompt(&prompt);
        window->SetFileDialogs(&dialogs);
        FastTiming(window->Controller());
        window->show();
    }

    vrs::ProgrammerController &ctl() { return window->Controller(); }

    bool Connect()
    {
        QTest::mouseClick(window->btnConnect, Qt::LeftButton);
        return QTest::qWaitFor([this] { return window->btnCommand->isEnabled(); }, 10000);
    }

    // Presses the command button and waits for the job's end; returns
    // whether it succeeded.
    bool RunCommand(int timeoutMs = 30000)
    {
        QSignalSpy finished(&ctl(), &vrs::ProgrammerController::jobFinished);
        QTest::mouseClick(window->btnCommand, Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return !finished.isEmpty(); }, timeoutMs))
            return false;
        return finished.first().first().toBool();
    }
};

inline vrs::devsim::DeviceOptions WithConfig(const QByteArray &text, bool goodCrc = true)
{
    vrs::devsim::DeviceOptions o;
    o.configText = text;
    o.configBadCrc = !goodCrc;
    return o;
}

// Uses the launcher's window as a user would: connect, press the command
// button, wait for the job, and close the window if it is still open.
struct LauncherUser {
    ScriptedPrompt prompt;
    FakeDialogs dialogs;
    QStringList statuses;
    bool closedByUser = false;
    bool jobEnded = false;

    void Attach(vrs::ProgrammerWindowLauncher &launcher)
    {
        launcher.SetWindowHook([this](vrs::TMainProgFrm &w) {
            w.SetPrompt(&prompt);
            w.SetFileDialogs(&dialogs);
            FastTiming(w.Controller());
            QObject::connect(&w.Controller(), &vrs::ProgrammerController::statusChanged, &w,
                             [this](const QString &s) { statuses << s; });
            QPointer<vrs::TMainProgFrm> win(&w);
            QTimer::singleShot(0, &w, [this, win] { Use(win); });
        });
    }

    void Use(QPointer<vrs::TMainProgFrm> win)
    {
        QTest::mouseClick(win->btnConnect, Qt::LeftButton);
        if (QTest::qWaitFor([&] { return win->btnCommand->isEnabled(); }, 10000)) {
            QSignalSpy finished(&win->Controller(), &vrs::ProgrammerController::jobFinished);
            QTest::mouseClick(win->btnCommand, Qt::LeftButton);
            jobEnded = QTest::qWaitFor([&] { return !finished.isEmpty(); }, 30000);
            QTest::qWait(100);
        }
        if (win->isVisible()) {
            closedByUser = true;
            win->reject();
        }
    }
};
