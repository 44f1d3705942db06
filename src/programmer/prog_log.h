#pragma once

#include "link/log_sink.h"

#include <QObject>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace vrs {

class TProgSettings;

// The programmer's log: status texts and the bytes exchanged with a device,
// one "[tick] text" line each, kept for the log window, which shows the
// lines and follows lineAdded.  The log of the open programmer window is the
// current one, which the free WriteLog writes to.
class TProgLog : public QObject, public LogSink {
    Q_OBJECT
public:
    using TickSource = std::function<int32_t()>;

    // settings: whose Log switch applies; none means the process-wide
    // settings object, and with none of those the log is on.
    explicit TProgLog(TProgSettings *settings = nullptr, QObject *parent = nullptr);
    ~TProgLog() override;

    static TProgLog *Current();

    // Appends "[%d] %s" with the tick count, unless the Log setting is off.
    void WriteLog(const QString &text) override;
    const QStringList &Lines() const { return m_lines; }
    void Clear();
    // One line per log line, in the system's encoding.
    bool SaveToFile(const QString &fileName, QString *error = nullptr) const;

    void SetTickSource(TickSource source) { m_ticks = std::move(source); }

signals:
    void lineAdded(const QString &line);
    void cleared();

private:
    bool Enabled() const;

    TProgSettings *m_settings;
    QStringList m_lines;
    TickSource m_ticks;
};

// Milliseconds of a monotonic clock as a signed 32-bit number (it wraps).
int32_t TickCount();
// Appends a line to the current log, if there is one.
void WriteLog(const QString &text);

} // namespace vrs
