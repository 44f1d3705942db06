#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace vrs::ctl {

// While it lives, SIGINT and SIGTERM call the handler from the event loop
// instead of killing the process, so an interrupted run still disconnects
// and puts the port back at its idle rate.  A second signal ends the
// process at once.
class InterruptGuard : public QObject {
    Q_OBJECT
public:
    explicit InterruptGuard(std::function<void()> handler);
    ~InterruptGuard() override;

private:
    std::function<void()> m_handler;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_armed = false;
};

} // namespace vrs::ctl
