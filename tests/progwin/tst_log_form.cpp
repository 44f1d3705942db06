// The log window on its own and as the programmer window's log button
// shows it; no device needed.
#include "fake_dialogs.h"
#include "scripted_prompt.h"

#include "programmer/gui/main_prog_frm.h"

#include "programmer/gui/log_form.h"
#include "programmer/prog_log.h"
#include "programmer/prog_settings.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace vrs;

namespace {

// A log with a fixed clock and its window.
struct LogBench {
    TProgLog log;
    FakeDialogs dialogs;
    ScriptedPrompt prompt;
    TLogForm form;

    explicit LogBench(TProgSettings *settings)
        : log(settings), form(log, settings, &dialogs, &prompt)
    {
        log.SetTickSource([] { return int32_t(987); });
    }
};

} // namespace

class TstLogForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void showsTheLogLines();
    void clearEmptiesTheWindow();
    void save_data();
    void save();
    void switchIsTheLogSetting();
    void closingReleasesTheLogButton();

private:
    std::unique_ptr<TProgSettings> m_settings;
};

void TstLogForm::initTestCase()
{
    m_settings = std::make_unique<TProgSettings>(QDir::home().filePath(QStringLiteral("bprog.ini")));
}

void TstLogForm::init()
{
    m_settings->MainForm().SetLog(true);
}

void TstLogForm::showsTheLogLines()
{
    LogBench b(m_settings.get());
    QCOMPARE(b.form.objectName(), QStringLiteral("LogForm"));
    QCOMPARE(b.form.windowTitle(), QStringLiteral("Лог"));
    QVERIFY(b.form.mmoLog->isReadOnly());
    QVERIFY(b.form.mmoLog->font().fixedPitch());
    b.log.WriteLog(QStringLiteral("Подключено"));
    b.log.WriteLog(QStringLiteral("Dev: 5A 00 "));
    // Lines logged while hidden are there when it is shown.
    QVERIFY(!b.form.isVisible());
    QTRY_COMPARE(b.form.mmoLog->toPlainText(), QStringLiteral("[987] Подключено\n[987] Dev: 5A 00 "));
}

void TstLogForm::clearEmptiesTheWindow()
{
    LogBench b(m_settings.get());
    b.log.WriteLog(QStringLiteral("one"));
    QCOMPARE(b.form.Text(), QStringLiteral("[987] one"));
    b.log.WriteLog(QStringLiteral("pending"));
    QTest::mouseClick(b.form.btnClear, Qt::LeftButton);
    QVERIFY(b.log.Lines().isEmpty());
    QTest::qWait(100);
    QCOMPARE(b.form.mmoLog->toPlainText(), QString());
    b.log.WriteLog(QStringLiteral("two"));
    QCOMPARE(b.form.Text(), QStringLiteral("[987] two"));
}

void TstLogForm::save_data()
{
    QTest::addColumn<QString>("name");     // relative to a fresh folder; empty: cancelled
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("errorShown");
    QTest::addRow("saved") << QStringLiteral("log.txt") << true << false;
    QTest::addRow("cancelled") << QString() << false << false;
    QTest::addRow("folder missing") << QStringLiteral("no/such/folder/log.txt") << false << true;
}

void TstLogForm::save()
{
    QFETCH(QString, name);
    QFETCH(bool, written);
    QFETCH(bool, errorShown);
    QTemporaryDir folder;
    LogBench b(m_settings.get());
    b.log.WriteLog(QStringLiteral("Запуск: Чтение конфигурации..."));
    b.log.WriteLog(QStringLiteral("PC:  5A 01 "));
    const QString fileName = name.isEmpty() ? QString() : folder.filePath(name);
    b.dialogs.saveName = fileName;
    QTest::mouseClick(b.form.btnSave, Qt::LeftButton);
    QCOMPARE(b.dialogs.saveAsked, 1);
    QCOMPARE(QFileInfo::exists(fileName), written);
    QCOMPARE(b.prompt.messages.size(), errorShown ? 1 : 0);
    if (written) {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(file.readAll()),
                 QStringLiteral("[987] Запуск: Чтение конфигурации...\n[987] PC:  5A 01 \n"));
    }
}

void TstLogForm::switchIsTheLogSetting()
{
    m_settings->MainForm().SetLog(false);
    LogBench b(m_settings.get());
    QVERIFY(!b.form.chkDoLoggong->isChecked());
    b.log.WriteLog(QStringLiteral("not kept"));
    QTest::mouseClick(b.form.chkDoLoggong, Qt::LeftButton);
    QVERIFY(m_settings->MainForm().Log());
    b.log.WriteLog(QStringLiteral("kept"));
    QCOMPARE(b.form.Text(), QStringLiteral("[987] kept"));
}

void TstLogForm::closingReleasesTheLogButton()
{
    TMainProgFrm window(dtZMT, pmReadConfig, {});
    window.show();
    TLogForm *form = window.LogForm();
    QVERIFY(!form->isVisible());
    QTest::mouseClick(window.btnLogView, Qt::LeftButton);
    QVERIFY(form->isVisible());
    QVERIFY(window.btnLogView->isChecked());

    QTest::mouseClick(form->btnClose, Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QVERIFY(!window.btnLogView->isChecked());

    QTest::mouseClick(window.btnLogView, Qt::LeftButton);
    QVERIFY(form->isVisible());
    QTest::mouseClick(window.btnLogView, Qt::LeftButton);
    QVERIFY(!form->isVisible());
}

QTEST_MAIN(TstLogForm)
#include "tst_log_form.moc"
