#include "pty_port.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vrs::devsim {

PtyPort::PtyPort(QObject *parent) : QObject(parent) {}

PtyPort::~PtyPort()
{
    delete m_notifier;
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
}

bool PtyPort::Open(QString *error)
{
    if (m_master >= 0)
        return true;
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        *error = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    termios tio {};
    if (::tcgetattr(master, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(master, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    const char *name = ::ptsname(master);
    if (!name) {
        *error = QStringLiteral("ptsname: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        ::close(master);
        ::close(slave);
        return false;
    }
    m_master = master;
    m_slave = slave;
    m_path = QString::fromLocal8Bit(name);
    m_notifier = new QSocketNotifier(qintptr(m_master), QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyPort::OnReadable);
    return true;
}

qsizetype PtyPort::Write(const char *data, qsizetype count)
{
    if (m_master < 0)
        return -1;
    for (;;) {
        const ssize_t n = ::write(m_master, data, size_t(count));
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        return -1;
    }
}

int PtyPort::UnreadByHost() const
{
    int pending = 0;
    if (m_slave < 0 || ::ioctl(m_slave, FIONREAD, &pending) != 0)
        return 0;
    return pending;
}

void PtyPort::OnReadable()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            emit received(QByteArray(buffer, qsizetype(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // EAGAIN: all read.  EIO cannot last while our own slave descriptor
        // is open; stop listening rather than spin if it ever does.
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            m_notifier->setEnabled(false);
        return;
    }
}

} // namespace vrs::devsim
