#include "terminal_prompt.h"

#include "console.h"

#include <QEventLoop>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

namespace vrs::ctl {

namespace {

// Message boxes break lines with CR LF; a terminal wants LF alone.
QString forTerminal(const QString &caption, const QString &text)
{
    QString body = text;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return caption.isEmpty() ? body : caption + QStringLiteral(": ") + body;
}

// Yes and no in the languages an engineer may type them in.
std::optional<bool> parseAnswer(const QString &line)
{
    const QString word = line.trimmed().toLower();
    static const QStringList yes = {"y", "yes", "д", "да"};
    static const QStringList no = {"n", "no", "н", "нет", ""};
    if (yes.contains(word))
        return true;
    if (no.contains(word))
        return false;
    return std::nullopt;
}

void writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}

} // namespace

TerminalPrompt::TerminalPrompt(Preset preset, Console &console)
    : m_preset(preset)
    , m_console(console)
{
}

bool TerminalPrompt::HaveTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

void TerminalPrompt::Cancel()
{
    m_cancelled = true;
    if (m_waiting)
        m_waiting->quit();
}

bool TerminalPrompt::Ask(const QString &caption, const QString &text)
{
    const QString question = forTerminal(caption, text);
    if (m_cancelled) {
        m_console.Line(question + QStringLiteral(" → нет (прервано)"));
        return false;
    }
    if (m_preset != Preset::None) {
        const bool yes = m_preset == Preset::Yes;
        m_console.Line(question + (yes ? QStringLiteral(" → да (--yes)") : QStringLiteral(" → нет (--no)")));
        return yes;
    }
    bool answer = false;
    if (!HaveTerminal() || !AskTerminal(question, &answer)) {
        m_console.Line(question + QStringLiteral(" → нет (ответить некому: нет терминала; "
                                                 "--yes или --no отвечают заранее)"));
        return false;
    }
    return answer;
}

void TerminalPrompt::Show(Kind, const QString &caption, const QString &text)
{
    m_console.Line(forTerminal(caption, text));
}

bool TerminalPrompt::AskTerminal(const QString &question, bool *answer)
{
    int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    const bool ownFd = fd >= 0;
    if (!ownFd)
        fd = STDIN_FILENO;
    const int out = ownFd ? fd : STDERR_FILENO;
    // The question went to the terminal; a redirected standard error keeps
    // its own record of it.
    const bool logSeparately = ownFd && isatty(STDERR_FILENO) != 1;

    m_console.ClearProgress();
    writeAll(out, (question + QStringLiteral(" [y/N] ")).toLocal8Bit());

    // A nested loop, as a modal message box has: the collector goes on
    // answering ready frames while the engineer thinks.
    QEventLoop loop;
    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    QByteArray line;
    std::optional<bool> result;
    bool closed = false;
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            closed = true;
            loop.quit();
            return;
        }
        line.append(buffer, int(n));
        int end;
        while (!result && (end = line.indexOf('\n')) >= 0) {
            result = parseAnswer(QString::fromLocal8Bit(line.left(end)));
            line.remove(0, end + 1);
            if (!result)
                writeAll(out, QStringLiteral("Ответьте y (да) или n (нет): ").toLocal8Bit());
        }
        if (result)
            loop.quit();
    });
    m_waiting = &loop;
    loop.exec();
    m_waiting = nullptr;
    notifier.setEnabled(false);
    if (ownFd)
        ::close(fd);
    if ((closed || m_cancelled) && !result)
        writeAll(out, "\n");
    if (m_cancelled && !result) {
        *answer = false;
        m_console.Line(question + QStringLiteral(" → нет (прервано)"));
        return true;
    }
    if (!result)
        return false;
    *answer = *result;
    if (logSeparately)
        m_console.Line(question + (*answer ? QStringLiteral(" → да") : QStringLiteral(" → нет")));
    return true;
}

} // namespace vrs::ctl
