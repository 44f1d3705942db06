#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace vrs {

class Prompt;
class ProgrammerFileDialogs;
class TProgLog;
class TProgSettings;

// The log window of one programmer window ("LogForm"): shows the lines of
// its log, empties it, saves it to a text file and switches logging on and
// off.  Closing it only hides it; the log goes on filling meanwhile.
class TLogForm : public QWidget {
    Q_OBJECT
public:
    // settings: whose Log switch the check box drives; none means the
    // process-wide settings.  dialogs and prompt are used for "Сохранить".
    TLogForm(TProgLog &log, TProgSettings *settings, ProgrammerFileDialogs *dialogs,
             Prompt *prompt, QWidget *parent = nullptr);

    void SetFileDialogs(ProgrammerFileDialogs *dialogs) { m_dialogs = dialogs; }

    // The lines shown, lines that arrived in the last moments included.
    QString Text();

    QPlainTextEdit *mmoLog = nullptr;
    QWidget *pnl1 = nullptr;
    QPushButton *btnClear = nullptr;
    QPushButton *btnSave = nullptr;
    QCheckBox *chkDoLoggong = nullptr;
    QPushButton *btnClose = nullptr;

signals:
    // The user closed the window; the programmer window releases its button.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildControls();
    void OnLineAdded(const QString &line);
    void OnCleared();
    void Flush();
    void Save();

    TProgLog &m_log;
    TProgSettings *m_settings;
    ProgrammerFileDialogs *m_dialogs;
    Prompt *m_prompt;
    // Traffic comes a line per frame; drawing each one alone would make a
    // long transfer crawl, so lines are shown in small batches.
    QStringList m_pending;
    QTimer m_flushTimer;
};

} // namespace vrs
