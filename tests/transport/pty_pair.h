#pragma once

// A pseudo-terminal pair standing in for a serial line: the code under test
// opens SlavePath() as its port, the test plays the device on the master.

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// Runs the event loop until cond() holds or timeoutMs has passed.  Unlike
// QTest::qWaitFor, which sleeps between rounds, the loop waits in poll(), so
// bytes crossing the line are handled as soon as they arrive.
template <class Cond>
bool WaitUntil(Cond cond, int timeoutMs)
{
    if (cond())
        return true;
    QEventLoop loop;
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (cond() || elapsed.elapsed() >= timeoutMs)
            loop.quit();
    });
    check.start(1);
    loop.exec();
    return cond();
}

class PtyPair {
public:
    PtyPair()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
            m_master = m_slave = -1;
            return;
        }
        m_path = QString::fromLocal8Bit(name);
        // Both ends raw: the port restores the slave's settings when it
        // closes, and a cooked slave would echo the device's bytes back.
        for (int fd : {m_master, m_slave}) {
            termios t {};
            ::tcgetattr(fd, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(fd, TCSANOW, &t);
        }
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair()
    {
        CloseMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool IsValid() const { return m_master >= 0; }
    QString SlavePath() const { return m_path; }
    int MasterFd() const { return m_master; }
    // The test's own handle on the slave: keeps the line from hanging up
    // while the port under test is closed, and lets it read the line setting.
    int SlaveFd() const { return m_slave; }

    void CloseMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    bool Write(const QByteArray &bytes)
    {
        qsizetype done = 0;
        QElapsedTimer timer;
        timer.start();
        while (done < bytes.size() && timer.elapsed() < 5000) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else
                QTest::qWait(1);
        }
        return done == bytes.size();
    }

    // Whatever the master holds now, without waiting.
    QByteArray ReadAvailable()
    {
        QByteArray out;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            out.append(buffer, qsizetype(n));
        }
        return out;
    }

    // Reads until count bytes have arrived or timeoutMs has passed, running
    // the event loop meanwhile so that the port under test can write.
    QByteArray Read(qsizetype count, int timeoutMs = 2000)
    {
        QByteArray out;
        QElapsedTimer timer;
        timer.start();
        while (out.size() < count && timer.elapsed() < timeoutMs) {
            out += ReadAvailable();
            if (out.size() < count)
                QTest::qWait(2);
        }
        return out;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
