#pragma once

// A task collector connected over a pseudo-terminal to a scripted device,
// with everything it reports recorded in one list.

#include "link/task.h"
#include "link/task_collector.h"

#include "tst_collector_device.h"

#include <QStringList>

// A task whose answers are scripted by their first data byte: 0 done,
// 0xEE one chunk confirmed (more to come), anything else a failure.
class ProbeTask : public vrs::TProgTask {
public:
    ProbeTask(uint8_t code, const QString &caption, QStringList &events, uint32_t timeout = 6000)
        : TProgTask(code, caption), m_events(events), m_timeout(timeout)
    {
    }
    ~ProbeTask() override { m_events << "destroyed " + Caption(); }

    int WriteRequest(uint8_t *dest) override
    {
        dest[0] = Code();
        return 1;
    }
    vrs::TaskState ParseAnswer(const uint8_t *data, uint32_t length, QString &error) override
    {
        if (length == 0) {
            error = "пустой ответ";
            return vrs::tsFailed;
        }
        if (data[0] == 0)
            return vrs::tsDone;
        if (data[0] == 0xEE) {
            ResetAttempts();
            return State();
        }
        error = QString("статус %1").arg(int(int8_t(data[0])));
        return vrs::tsFailed;
    }
    uint32_t AnswerTimeout() const override { return m_timeout; }

private:
    QStringList &m_events;
    uint32_t m_timeout;
};

struct CollectorRig {
    PtyPair pty;
    ScriptedDevice device{pty};
    QStringList events;
    QList<QObject *> logSenders;
    vrs::TTaskCollector collector;

    CollectorRig()
    {
        collector.SetPortNameSource([this] { return pty.SlavePath(); });
        collector.SetOnLog([this](QObject *sender, const QString &text) {
            events << "log " + text;
            logSenders << sender;
        });
        collector.SetOnQueueStart([this](QObject *) { events << "queue start"; });
        collector.SetOnQueueFinish([this](QObject *) { events << "queue finish"; });
        collector.SetOnLinkStateChange([this](QObject *, vrs::TLinkState s) { events << QString("link %1").arg(int(s)); });
    }

    // Connects and lets the device greet with a ready frame (echoed back).
    bool ConnectAndGreet()
    {
        collector.Connect();
        const int before = device.Count();
        device.SendReady();
        return device.WaitForFrames(before + 1) && collector.LinkState() == vrs::lsConnected;
    }

    // The device answers every request with the given status byte.
    void AnswerRequests(uint8_t status = 0)
    {
        device.onFrame = [this, status](const QByteArray &frame) {
            const uint8_t command = uint8_t(frame.at(8));
            if (command != 0)
                device.SendFrame(command, QByteArray(1, char(status)));
        };
    }

    vrs::TProgTask::StateChangeHandler Track()
    {
        return [this](vrs::TProgTask *task, vrs::TaskState state, QString &) {
            events << QString("task %1 %2").arg(task->Caption()).arg(int(state));
        };
    }

    ProbeTask *Add(const QString &caption, uint32_t timeout = 6000, uint8_t code = 5)
    {
        auto task = std::make_unique<ProbeTask>(code, caption, events, timeout);
        return static_cast<ProbeTask *>(collector.AddTask(std::move(task), Track()));
    }

    bool WaitFor(const QString &event, int timeoutMs = 3000)
    {
        return WaitUntil([&] { return events.contains(event); }, timeoutMs);
    }
};
