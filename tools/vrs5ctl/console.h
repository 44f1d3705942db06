#pragma once

#include <QString>

namespace vrs::ctl {

// Standard error of a device command: the flow's status lines, and on a
// terminal a percentage that is redrawn in place.  Everything that prints
// on standard error during a device run goes through here, so a status line
// or a question never lands in the middle of the percentage.
class Console {
public:
    Console();
    explicit Console(bool showProgress) : m_showProgress(showProgress) {}
    ~Console();

    bool ShowsProgress() const { return m_showProgress; }

    // One whole line.
    void Line(const QString &text);
    // Text without a line break (a question waiting for its answer).
    void Text(const QString &text);
    // Task progress as the controller reports it; a zero range clears it.
    void Progress(int minimum, int position, int maximum);
    void ClearProgress();

private:
    void Put(const QByteArray &bytes);

    bool m_showProgress = false;
    bool m_progressShown = false;
    int m_lastPercent = -1;
};

} // namespace vrs::ctl
