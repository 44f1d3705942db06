#pragma once

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// One finished run of vrs5ctl.  Standard input is a pipe that is closed at
// once, so the tool never has a terminal to ask on.
struct CtlRun {
    int exitCode = -1;
    bool crashed = false;
    QByteArray out;
    QString err;

    static CtlRun Start(const QStringList &args, const QByteArray &input = QByteArray(), int timeoutMs = 60000)
    {
        CtlRun run;
        QProcess p;
        p.start(QStringLiteral(VRS5CTL_PATH), args);
        if (!p.waitForStarted())
            return run;
        p.write(input);
        p.closeWriteChannel();
        if (!p.waitForFinished(timeoutMs))
            p.kill(), p.waitForFinished();
        run.crashed = p.exitStatus() != QProcess::NormalExit;
        run.exitCode = p.exitCode();
        run.out = p.readAllStandardOutput();
        run.err = QString::fromUtf8(p.readAllStandardError());
        return run;
    }
};

// A simulated device as its own process.  Dump() stops it and reads what
// it held at the end.
class SimProcess {
public:
    explicit SimProcess(const QStringList &options, const QString &dumpFile = QString())
        : m_dump(dumpFile)
    {
        QStringList args = options;
        if (!m_dump.isEmpty())
            args << QStringLiteral("--dump") << m_dump;
        m_process.start(QStringLiteral(DEVSIM_PATH), args);
        if (m_process.waitForStarted() && m_process.waitForReadyRead(5000))
            m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~SimProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }

    QString Path() const { return m_path; }

    QJsonObject Dump()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
        QFile file(m_dump);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }

private:
    QProcess m_process;
    QString m_path;
    QString m_dump;
};
