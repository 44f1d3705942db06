#include "programmer/prog_log.h"

#include "programmer/prog_settings.h"

#include <QSaveFile>

#include <ctime>

namespace vrs {

namespace {
// Logs alive, newest last; the newest is the current one.
QList<TProgLog *> g_logs;
}

int32_t TickCount()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u;
    return int32_t(uint32_t(ms));
}

void WriteLog(const QString &text)
{
    if (TProgLog *log = TProgLog::Current())
        log->WriteLog(text);
}

TProgLog::TProgLog(TProgSettings *settings, QObject *parent)
    : QObject(parent), m_settings(settings), m_ticks(&TickCount)
{
    g_logs.append(this);
}

TProgLog::~TProgLog()
{
    g_logs.removeOne(this);
}

TProgLog *TProgLog::Current()
{
    return g_logs.isEmpty() ? nullptr : g_logs.last();
}

bool TProgLog::Enabled() const
{
    const TProgSettings *settings = m_settings ? m_settings : TProgSettings::Instance();
    return !settings || settings->MainForm().Log();
}

void TProgLog::WriteLog(const QString &text)
{
    if (!Enabled())
        return;
    const QString line = QStringLiteral("[%1] %2").arg(QString::number(m_ticks()), text);
    m_lines.append(line);
    emit lineAdded(line);
}

void TProgLog::Clear()
{
    m_lines.clear();
    emit cleared();
}

bool TProgLog::SaveToFile(const QString &fileName, QString *error) const
{
    QSaveFile file(fileName);
    QByteArray text;
    for (const QString &line : m_lines)
        text += line.toLocal8Bit() + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace vrs
