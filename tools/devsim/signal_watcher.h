#pragma once

#include <QObject>

class QSocketNotifier;

namespace vrs::devsim {

// Turns SIGTERM, SIGINT and SIGUSR1 into Qt signals on the event loop (the
// handlers only write to a pipe), so that dumps and clean-up run in normal
// code.  One instance per process.
class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool Install(QString *error);

signals:
    void terminateRequested(int signalNumber);
    void dumpRequested();

private:
    void OnPipe();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace vrs::devsim
