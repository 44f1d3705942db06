#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace vrs::devsim {

// The device's end of a pseudo-terminal.  The host opens the slave by its
// path like a serial port.  The device keeps a slave descriptor of its own
// open, so the master sees no hang-up while no host has the port open.
class PtyPort : public QObject {
    Q_OBJECT
public:
    explicit PtyPort(QObject *parent = nullptr);
    ~PtyPort() override;

    bool Open(QString *error);
    bool IsOpen() const { return m_master >= 0; }
    QString SlavePath() const { return m_path; }

    // Writes as much as the terminal takes now; returns the count written
    // (0 when it is full) or -1 on a hard error.
    qsizetype Write(const char *data, qsizetype count);
    // Bytes written by the device that no host has read yet.
    int UnreadByHost() const;

signals:
    void received(const QByteArray &bytes);

private:
    void OnReadable();

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace vrs::devsim
