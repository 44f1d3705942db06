#include "signal_watcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vrs::devsim {

namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int number)
{
    const int saved = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent) {}

SignalWatcher::~SignalWatcher()
{
    if (!m_notifier)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (int number : {SIGTERM, SIGINT, SIGUSR1})
        ::sigaction(number, &action, nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

bool SignalWatcher::Install(QString *error)
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_notifier = new QSocketNotifier(qintptr(g_pipe[0]), QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::OnPipe);

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGUSR1})
        ::sigaction(number, &action, nullptr);
    return true;
}

void SignalWatcher::OnPipe()
{
    char bytes[16];
    ssize_t n;
    while ((n = ::read(g_pipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            if (bytes[i] == SIGUSR1)
                emit dumpRequested();
            else
                emit terminateRequested(bytes[i]);
        }
    }
}

} // namespace vrs::devsim
