#include "console.h"

#include <QByteArray>
#include <cstdio>
#include <unistd.h>

namespace vrs::ctl {

Console::Console()
    : m_showProgress(isatty(STDERR_FILENO) == 1)
{
}

Console::~Console()
{
    ClearProgress();
}

void Console::Put(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void Console::Line(const QString &text)
{
    ClearProgress();
    Put(text.toLocal8Bit() + '\n');
}

void Console::Text(const QString &text)
{
    ClearProgress();
    Put(text.toLocal8Bit());
}

void Console::Progress(int minimum, int position, int maximum)
{
    if (!m_showProgress)
        return;
    if (maximum <= minimum) {
        ClearProgress();
        return;
    }
    const qint64 span = qint64(maximum) - minimum;
    const int percent = int(qBound(qint64(0), (qint64(position) - minimum) * 100 / span, qint64(100)));
    // Redraw only when the figure changes: a terminal over a slow line
    // should not get a line per chunk.
    if (m_progressShown && percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    m_progressShown = true;
    Put(QByteArray("\r") + QByteArray::number(percent).rightJustified(3) + "% ("
        + QByteArray::number(position) + '/' + QByteArray::number(maximum) + ")\x1b[K");
}

void Console::ClearProgress()
{
    if (!m_progressShown)
        return;
    m_progressShown = false;
    m_lastPercent = -1;
    Put("\r\x1b[K");
}

} // namespace vrs::ctl
