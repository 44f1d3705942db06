#include "interrupt_guard.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vrs::ctl {

namespace {

int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_signalled = 0;

extern "C" void onSignal(int signo)
{
    if (g_signalled) {
        std::signal(signo, SIG_DFL);
        std::raise(signo);
        return;
    }
    g_signalled = 1;
    const char byte = char(signo);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}

void install(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

InterruptGuard::InterruptGuard(std::function<void()> handler)
    : m_handler(std::move(handler))
{
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_signalled = 0;
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char byte;
        while (::read(g_pipe[0], &byte, 1) > 0) {
        }
        if (m_handler)
            m_handler();
    });
    install(onSignal);
    m_armed = true;
}

InterruptGuard::~InterruptGuard()
{
    if (m_armed)
        install(SIG_DFL);
}

} // namespace vrs::ctl
