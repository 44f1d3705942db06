#pragma once

#include "config/device_type.h"
#include "programmer/gui/prompt_proxy.h"
#include "programmer/port_list.h"
#include "programmer/prog_log.h"

#include <QByteArray>
#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QToolButton;

namespace vrs {

class ProgrammerController;
class ProgrammerFileDialogs;
class TLogForm;
class TProgSettings;

// The programmer window: one modal showing for one job (read configuration,
// write configuration, firmware update).  It only shows and binds; the
// connection and the job belong to its ProgrammerController.  The job's
// 100 ms steps run on the controller's own timer.
class TMainProgFrm : public QDialog {
    Q_OBJECT
public:
    // document: write mode only, the document's compact JSON (copied).
    // settings: for the log switch and the firmware folder; none means the
    // process-wide settings.
    TMainProgFrm(DeviceType type, ProgrammerMode mode, const QByteArray &document,
                 TProgSettings *settings = nullptr, QWidget *parent = nullptr);
    // Disconnects first, as the Disconnect button does.
    ~TMainProgFrm() override;

    ProgrammerController &Controller() { return *m_controller; }
    TProgLog &Log() { return m_log; }
    TLogForm *LogForm() const { return m_logForm; }

    // Replaceable services; the defaults are message boxes over this window
    // and the toolkit's file dialogs.  The window does not own them.
    void SetPrompt(Prompt *prompt);
    void SetFileDialogs(ProgrammerFileDialogs *dialogs);

    // The status line, also written to the log.
    void ShowStatus(const QString &text);
    // Fills the port list from the ports found now.
    void RefreshComList();
    void RefreshControlStates();
    QString SelectedPortName() const;

    // Whether the job of the mode has ended well; a read's text is then in
    // Result().
    bool JobSucceeded() const { return m_jobSucceeded; }
    QByteArray Result() const;

    QTabWidget *pgcCon = nullptr;
    QWidget *tsCOM = nullptr;
    QComboBox *cbbPort = nullptr;
    QCheckBox *cbShowAllPorts = nullptr;
    QToolButton *btnUpdateCom = nullptr;
    QGroupBox *gbDirect = nullptr;
    QPushButton *btnConnect = nullptr;
    QPushButton *btnDisconnect = nullptr;
    QToolButton *btnLogView = nullptr;
    QPushButton *btnCommand = nullptr;
    QGroupBox *gbService = nullptr;
    QLabel *lblSN = nullptr;
    QLineEdit *edtSerialNumber = nullptr;
    QProgressBar *pbMain = nullptr;
    QStatusBar *statMain = nullptr;

public slots:
    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildControls();
    void BindController();
    void OnPortChosen(int index);
    void OnProgress(int minimum, int position, int maximum);
    void OnJobFinished(bool success);
    void OnCommand();
    void LoadFirmware();

    ProgrammerMode m_mode;
    TProgSettings *m_settings;
    // Before the controller: it still logs while it disconnects on its way out.
    TProgLog m_log;
    PromptProxy m_prompt;
    std::unique_ptr<Prompt> m_ownPrompt;
    std::unique_ptr<ProgrammerFileDialogs> m_ownDialogs;
    ProgrammerFileDialogs *m_dialogs = nullptr;
    std::unique_ptr<ProgrammerController> m_controller;
    TLogForm *m_logForm = nullptr;
    PortList m_ports;
    bool m_shown = false;
    bool m_jobSucceeded = false;
};

// Caption and command button text of a mode.
QString ProgrammerCaption(ProgrammerMode mode);
QString ProgrammerCommandText(ProgrammerMode mode);

} // namespace vrs
