#include "programmer/gui/log_form.h"

#include "programmer/gui/prog_file_dialogs.h"
#include "programmer/prog_log.h"
#include "programmer/prog_settings.h"
#include "programmer/prompt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vrs {

namespace {
constexpr int kFlushMs = 40;
}

TLogForm::TLogForm(TProgLog &log, TProgSettings *settings, ProgrammerFileDialogs *dialogs,
                   Prompt *prompt, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_log(log)
    , m_settings(settings ? settings : TProgSettings::Instance())
    , m_dialogs(dialogs)
    , m_prompt(prompt)
{
    setObjectName(QStringLiteral("LogForm"));
    setWindowTitle(QStringLiteral("Лог"));
    BuildControls();
    resize(602, 343);

    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &TLogForm::Flush);

    if (!m_log.Lines().isEmpty())
        mmoLog->setPlainText(m_log.Lines().join(QLatin1Char('\n')));
    connect(&m_log, &TProgLog::lineAdded, this, &TLogForm::OnLineAdded);
    connect(&m_log, &TProgLog::cleared, this, &TLogForm::OnCleared);

    if (m_settings) {
        chkDoLoggong->setChecked(m_settings->MainForm().Log());
        connect(chkDoLoggong, &QCheckBox::toggled, this,
                [this](bool on) { m_settings->MainForm().SetLog(on); });
    } else {
        // Without settings the log cannot be switched off.
        chkDoLoggong->setChecked(true);
        chkDoLoggong->setEnabled(false);
    }
    connect(btnClear, &QPushButton::clicked, &m_log, &TProgLog::Clear);
    connect(btnSave, &QPushButton::clicked, this, &TLogForm::Save);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
}

void TLogForm::BuildControls()
{
    mmoLog = new QPlainTextEdit(this);
    mmoLog->setObjectName(QStringLiteral("mmoLog"));
    mmoLog->setReadOnly(true);
    mmoLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmoLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("Lucida Console"), font.family()});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    mmoLog->setFont(font);

    pnl1 = new QWidget(this);
    pnl1->setObjectName(QStringLiteral("pnl1"));
    pnl1->setFixedHeight(41);
    btnClear = new QPushButton(QStringLiteral("Очистить"), pnl1);
    btnClear->setObjectName(QStringLiteral("btnClear"));
    btnSave = new QPushButton(QStringLiteral("Сохранить"), pnl1);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    chkDoLoggong = new QCheckBox(QStringLiteral("Вести лог"), pnl1);
    chkDoLoggong->setObjectName(QStringLiteral("chkDoLoggong"));
    btnClose = new QPushButton(QStringLiteral("Закрыть"), pnl1);
    btnClose->setObjectName(QStringLiteral("btnClose"));

    auto *buttons = new QHBoxLayout(pnl1);
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addWidget(btnClear);
    buttons->addWidget(btnSave);
    buttons->addSpacing(12);
    buttons->addWidget(chkDoLoggong);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mmoLog, 1);
    layout->addWidget(pnl1);
}

QString TLogForm::Text()
{
    Flush();
    return mmoLog->toPlainText();
}

void TLogForm::closeEvent(QCloseEvent *event)
{
    // Closing hides: the lines stay for the next showing.
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closedByUser();
}

void TLogForm::OnLineAdded(const QString &line)
{
    m_pending.append(line);
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void TLogForm::OnCleared()
{
    m_pending.clear();
    m_flushTimer.stop();
    mmoLog->clear();
}

void TLogForm::Flush()
{
    m_flushTimer.stop();
    if (m_pending.isEmpty())
        return;
    mmoLog->appendPlainText(m_pending.join(QLatin1Char('\n')));
    m_pending.clear();
}

void TLogForm::Save()
{
    if (!m_dialogs)
        return;
    const QString fileName = m_dialogs->SaveLogName(this);
    if (fileName.isEmpty())
        return;
    QString error;
    if (!m_log.SaveToFile(fileName, &error) && m_prompt)
        m_prompt->Show(Prompt::Kind::Error, QStringLiteral("Ошибка"),
                       QStringLiteral("Не удалось сохранить лог в файл \"%1\": %2").arg(fileName, error));
}

} // namespace vrs
