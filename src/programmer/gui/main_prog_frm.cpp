#include "programmer/gui/main_prog_frm.h"

#include "programmer/gui/log_form.h"
#include "programmer/gui/prog_file_dialogs.h"
#include "programmer/port_discovery.h"
#include "programmer/prog_settings.h"
#include "programmer/programmer_controller.h"
#include "shell/message_box_prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

namespace vrs {

QString ProgrammerCaption(ProgrammerMode mode)
{
    switch (mode) {
    case pmReadConfig: return QStringLiteral("Считывание конфигурации");
    case pmWriteConfig: return QStringLiteral("Запись конфигурации");
    case pmFirmware: break;
    }
    return QStringLiteral("Базовый программатор");
}

QString ProgrammerCommandText(ProgrammerMode mode)
{
    switch (mode) {
    case pmReadConfig: return QStringLiteral("Прочитать");
    case pmWriteConfig: return QStringLiteral("Записать");
    case pmFirmware: break;
    }
    return QStringLiteral("Обновить");
}

TMainProgFrm::TMainProgFrm(DeviceType type, ProgrammerMode mode, const QByteArray &document,
                           TProgSettings *settings, QWidget *parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_settings(settings ? settings : TProgSettings::Instance())
    , m_log(m_settings)
    , m_ownPrompt(std::make_unique<MessageBoxPrompt>(this))
    , m_ownDialogs(std::make_unique<StandardProgrammerFileDialogs>())
    , m_dialogs(m_ownDialogs.get())
{
    setObjectName(QStringLiteral("MainProgFrm"));
    setModal(true);
    setWindowTitle(ProgrammerCaption(mode));
    m_prompt.SetTarget(m_ownPrompt.get());

    BuildControls();
    m_logForm = new TLogForm(m_log, m_settings, m_dialogs, &m_prompt, this);

    m_controller = std::make_unique<ProgrammerController>(type, mode, document, &m_prompt);
    m_controller->SetLog(&m_log);
    BindController();
    RefreshControlStates();
}

TMainProgFrm::~TMainProgFrm()
{
    // The controller reports its last disconnection to the log only: the
    // controls are on their way out.
    m_controller->disconnect();
    m_controller.reset();
    delete m_logForm;
    m_logForm = nullptr;
}

void TMainProgFrm::BindController()
{
    ProgrammerController *c = m_controller.get();
    connect(c, &ProgrammerController::statusChanged, this,
            [this](const QString &text) { statMain->showMessage(text); });
    connect(c, &ProgrammerController::progressChanged, this, &TMainProgFrm::OnProgress);
    connect(c, &ProgrammerController::serialNumberChanged, edtSerialNumber, &QLineEdit::setText);
    connect(c, &ProgrammerController::controlsChanged, this, &TMainProgFrm::RefreshControlStates);
    connect(c, &ProgrammerController::jobFinished, this, &TMainProgFrm::OnJobFinished);

    connect(btnConnect, &QPushButton::clicked, c, &ProgrammerController::Connect);
    connect(btnDisconnect, &QPushButton::clicked, c, &ProgrammerController::Disconnect);
    connect(btnCommand, &QPushButton::clicked, this, &TMainProgFrm::OnCommand);
    connect(cbbPort, &QComboBox::currentIndexChanged, this, &TMainProgFrm::OnPortChosen);
    connect(btnUpdateCom, &QToolButton::clicked, this, [this] {
        RefreshComList();
        RefreshControlStates();
    });
    connect(cbShowAllPorts, &QCheckBox::toggled, this, [this] {
        RefreshComList();
        RefreshControlStates();
    });
    connect(btnLogView, &QToolButton::toggled, this, [this](bool on) {
        m_logForm->setVisible(on);
        if (on)
            m_logForm->raise();
    });
    connect(m_logForm, &TLogForm::closedByUser, this, [this] { btnLogView->setChecked(false); });
}

void TMainProgFrm::SetPrompt(Prompt *prompt)
{
    m_prompt.SetTarget(prompt ? prompt : m_ownPrompt.get());
}

void TMainProgFrm::SetFileDialogs(ProgrammerFileDialogs *dialogs)
{
    m_dialogs = dialogs ? dialogs : m_ownDialogs.get();
    m_logForm->SetFileDialogs(m_dialogs);
}

void TMainProgFrm::ShowStatus(const QString &text)
{
    statMain->showMessage(text);
    m_log.WriteLog(text);
}

void TMainProgFrm::RefreshComList()
{
    m_ports = RefreshPortList(cbShowAllPorts->isChecked());
    {
        // The refresh picks the port itself; only the user's own choice is
        // remembered through the change handler.
        const QSignalBlocker blocker(cbbPort);
        cbbPort->clear();
        cbbPort->addItems(m_ports.Names());
        cbbPort->setCurrentIndex(m_ports.selected);
    }
    m_controller->SetPortName(m_ports.SelectedName());
    if (m_ports.IsEmpty())
        ShowStatus(QString::fromUtf8(kNoPortsText));
}

QString TMainProgFrm::SelectedPortName() const
{
    const int index = cbbPort->currentIndex();
    if (index < 0 || size_t(index) >= m_ports.ports.size())
        return QString();
    return m_ports.ports[size_t(index)].name;
}

void TMainProgFrm::OnPortChosen(int)
{
    const QString name = SelectedPortName();
    m_controller->SetPortName(name);
    // A port the user picked is the one to offer the next time the window opens.
    if (!name.isEmpty())
        SetRememberedPortName(name);
    RefreshControlStates();
}

void TMainProgFrm::RefreshControlStates()
{
    const ProgrammerController &c = *m_controller;
    btnConnect->setEnabled(c.ConnectEnabled());
    btnDisconnect->setEnabled(c.DisconnectEnabled());
    btnCommand->setEnabled(c.CommandEnabled());
    pgcCon->setEnabled(c.PageEnabled());
    // A port switched under a live connection would only take effect on the
    // next connect, so the whole choice waits until the device is let go.
    const bool portChoice = c.PortListEnabled();
    cbbPort->setEnabled(portChoice);
    cbShowAllPorts->setEnabled(portChoice);
    btnUpdateCom->setEnabled(portChoice);
}

void TMainProgFrm::OnProgress(int minimum, int position, int maximum)
{
    if (maximum <= minimum) {
        // An empty range would turn the bar into a busy indicator.
        pbMain->setRange(0, 100);
        pbMain->setValue(0);
        return;
    }
    pbMain->setRange(minimum, maximum);
    pbMain->setValue(qBound(minimum, position, maximum));
}

void TMainProgFrm::OnCommand()
{
    if (m_mode == pmFirmware)
        LoadFirmware();
    else
        m_controller->RunTransfer();
}

void TMainProgFrm::LoadFirmware()
{
    const QString folder = m_settings ? m_settings->MainForm().LastDir() : QString();
    const QString fileName = m_dialogs->OpenFirmwareName(this, folder);
    if (fileName.isEmpty())
        return;
    if (m_settings)
        m_settings->MainForm().SetLastDir(
            QDir::toNativeSeparators(QFileInfo(fileName).absolutePath()) + QDir::separator());
    QString error;
    if (!m_controller->LoadFirmwareFile(fileName, &error))
        m_prompt.Show(Prompt::Kind::Error, QStringLiteral("Ошибка"), error);
}

void TMainProgFrm::OnJobFinished(bool success)
{
    if (success)
        m_jobSucceeded = true;
    // Closed from the event loop, not from inside the controller's job step.
    if (success && m_mode == pmReadConfig)
        QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
}

QByteArray TMainProgFrm::Result() const
{
    // Until the read has been checked the buffer holds the raw image.
    if (m_mode != pmReadConfig || !m_jobSucceeded)
        return QByteArray();
    return m_controller->Result();
}

void TMainProgFrm::reject()
{
    // Breaking off a write leaves the device with half an image.
    if (m_controller->QueueBusy() && m_controller->IsReady() && m_mode != pmReadConfig
        && !m_prompt.Ask(QStringLiteral("Предупреждение"),
                         QStringLiteral("Операция с устройством не завершена.\r\n"
                                        "Прервать её и закрыть окно?")))
        return;
    QDialog::reject();
}

void TMainProgFrm::done(int result)
{
    // The port is let go as soon as the window closes, not when the caller
    // gets round to freeing it.
    m_controller->Disconnect();
    btnLogView->setChecked(false);
    QDialog::done(result);
}

void TMainProgFrm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        RefreshComList();
    }
    RefreshControlStates();
}

} // namespace vrs
