#include "devices/zmt/gui/zmt_id_tree.h"
#include "devices/zmt/gui/zmt_window.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

using namespace vrs;

class TestZmtWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newWindowShowsDefaults();
    void typingInEditorStoresAtOnce_data();
    void typingInEditorStoresAtOnce();
    void editorCloses_data();
    void editorCloses();
    void cellsWithoutEditor_data();
    void cellsWithoutEditor();
    void clearingGroupCheckDisablesAndBuildsDisabled();
    void controlsReachTheDocument();
    void loadShowsValuesAndKeepsRoot();
    void rejectedLoadKeepsContent();
    void groupsCannotCollapse();
    void loadWhileEditingTakesLoadedValue();

private:
    TZmtIdTree *Tree() const { return win->findChild<TZmtIdTree *>(QStringLiteral("vtIDs")); }
    QRect CellRect(int id, int column) const;
    QSpinBox *ClickCell(int id, int column);
    const JsonValue &Member(const JsonValue &root, const char *key) const
    {
        return *root.find(QStringLiteral("whmeter"))->find(QLatin1String(key));
    }

    TfmConfZMT *win = nullptr;
};

void TestZmtWindow::init()
{
    win = new TfmConfZMT;
    win->show();
    QVERIFY(QTest::qWaitForWindowExposed(win));
}

void TestZmtWindow::cleanup()
{
    delete win;
    win = nullptr;
}

QRect TestZmtWindow::CellRect(int id, int column) const
{
    return Tree()->visualItemRect(Tree()->IdentifierItem(id))
        .intersected(QRect(Tree()->header()->sectionViewportPosition(column), 0,
                           Tree()->header()->sectionSize(column), 100000));
}

QSpinBox *TestZmtWindow::ClickCell(int id, int column)
{
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, CellRect(id, column).center());
    return qobject_cast<QSpinBox *>(Tree()->OpenEditor());
}

void TestZmtWindow::newWindowShowsDefaults()
{
    QCOMPARE(win->windowTitle(), QStringLiteral("Контроллер электросчетчиков"));
    QVERIFY(win->findChild<QGroupBox *>(QStringLiteral("gbController"))->isChecked());
    QCOMPARE(win->findChild<QLineEdit *>(QStringLiteral("edPassword"))->echoMode(),
             QLineEdit::Password);
    TZmtIdTree *tree = Tree();
    QCOMPARE(tree->topLevelItemCount(), 2);
    const QString groups[] = {QStringLiteral("Собственный ID"), QStringLiteral("ID приложения")};
    for (int g = 0; g < 2; ++g) {
        QTreeWidgetItem *group = tree->topLevelItem(g);
        QCOMPARE(group->text(0), groups[g]);
        QCOMPARE(group->text(1), QString());
        QCOMPARE(group->background(0).color(), QColor(227, 231, 251));
        QCOMPARE(group->childCount(), 1);
        QVERIFY(group->isExpanded());
        QTreeWidgetItem *id = group->child(0);
        QCOMPARE(id->text(0), QStringLiteral("ЗМТ"));
        QCOMPARE(id->text(1), QStringLiteral("1"));
        QCOMPARE(id->text(2), QStringLiteral("1"));
        QCOMPARE(id->background(2).color(), QColor(255, 255, 221));
    }
    QCOMPARE(tree->headerItem()->text(1), QStringLiteral("Dec"));
    QCOMPARE(tree->header()->sectionSize(0), 240);
    QCOMPARE(tree->header()->sectionSize(2), 120);
}

void TestZmtWindow::typingInEditorStoresAtOnce_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("hex");
    QTest::addRow("own ID, Dec 255") << 0 << 1 << "255" << 255 << "FF";
    QTest::addRow("application ID, Dec") << 1 << 1 << "4660" << 4660 << "1234";
    QTest::addRow("own ID, Hex lower case") << 0 << 2 << "ab" << 171 << "AB";
    QTest::addRow("Hex largest") << 1 << 2 << "FFFF" << 65535 << "FFFF";
    // The editor does not take a digit past the range.
    QTest::addRow("Dec past range") << 0 << 1 << "70000" << 7000 << "1B58";
    QTest::addRow("zero") << 0 << 1 << "0" << 0 << "0";
}

void TestZmtWindow::typingInEditorStoresAtOnce()
{
    QFETCH(int, id);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(int, value);
    QFETCH(QString, hex);
    QSpinBox *editor = ClickCell(id, column);
    QVERIFY(editor);
    QCOMPARE(editor->value(), 1);
    editor->findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(editor->findChild<QLineEdit *>(), typed);

    // Stored while the editor is still open.
    QVERIFY(Tree()->OpenEditor());
    QTreeWidgetItem *item = Tree()->IdentifierItem(id);
    QCOMPARE(item->text(1), QString::number(value));
    QCOMPARE(item->text(2), hex);
    const JsonValue root = *win->BuildJSON();
    QCOMPARE(Member(root, id == 0 ? "id" : "app_id").number(), double(value));
    QCOMPARE(Member(root, id == 0 ? "app_id" : "id").number(), 1.0);
}

void TestZmtWindow::editorCloses_data()
{
    QTest::addColumn<QString>("how");
    QTest::addRow("Enter") << "enter";
    QTest::addRow("Esc keeps the change") << "esc";
    QTest::addRow("focus loss") << "focus";
}

void TestZmtWindow::editorCloses()
{
    QFETCH(QString, how);
    QSpinBox *editor = ClickCell(0, 1);
    QVERIFY(editor);
    QPointer<QSpinBox> watched(editor);
    editor->setFocus();
    editor->findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(editor->findChild<QLineEdit *>(), QStringLiteral("42"));
    if (how == QLatin1String("enter"))
        QTest::keyClick(editor->findChild<QLineEdit *>(), Qt::Key_Return);
    else if (how == QLatin1String("esc"))
        QTest::keyClick(editor->findChild<QLineEdit *>(), Qt::Key_Escape);
    else
        win->findChild<QLineEdit *>(QStringLiteral("edName"))->setFocus();
    QTRY_VERIFY(watched.isNull());
    QVERIFY(!Tree()->OpenEditor());
    QCOMPARE(win->Model().ownId(), quint16(42));
    QCOMPARE(Tree()->IdentifierItem(0)->text(2), QStringLiteral("2A"));
}

void TestZmtWindow::cellsWithoutEditor_data()
{
    QTest::addColumn<bool>("group");
    QTest::addColumn<int>("column");
    QTest::addRow("name column") << false << 0;
    QTest::addRow("group, Dec") << true << 1;
    QTest::addRow("group, Hex") << true << 2;
}

void TestZmtWindow::cellsWithoutEditor()
{
    QFETCH(bool, group);
    QFETCH(int, column);
    QTreeWidgetItem *item = group ? Tree()->topLevelItem(0) : Tree()->IdentifierItem(0);
    const QRect row = Tree()->visualItemRect(item);
    const QPoint at(Tree()->header()->sectionViewportPosition(column) + 20, row.center().y());
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(!Tree()->OpenEditor());
}

void TestZmtWindow::clearingGroupCheckDisablesAndBuildsDisabled()
{
    auto *group = win->findChild<QGroupBox *>(QStringLiteral("gbController"));
    group->setChecked(false);
    QCOMPARE(Member(*win->BuildJSON(), "en"), JsonValue(false));
    QVERIFY(!win->findChild<QLineEdit *>(QStringLiteral("edName"))->isEnabled());
    QVERIFY(!win->findChild<QLineEdit *>(QStringLiteral("edPassword"))->isEnabled());
    QVERIFY(!Tree()->isEnabled());
    group->setChecked(true);
    QCOMPARE(Member(*win->BuildJSON(), "en"), JsonValue(true));
    QVERIFY(Tree()->isEnabled());
}

void TestZmtWindow::controlsReachTheDocument()
{
    // Typed Cyrillic cannot be simulated key by key; the edit's own change
    // signal is what the window listens to either way.
    win->findChild<QLineEdit *>(QStringLiteral("edName"))->setText(QStringLiteral("Щит 3"));
    QTest::keyClicks(win->findChild<QLineEdit *>(QStringLiteral("edPassword")), QStringLiteral("s3cr"));
    win->findChild<QCheckBox *>(QStringLiteral("cbDefaultPassword"))->setChecked(true);
    const JsonValue root = *win->BuildJSON();
    QCOMPARE(Member(root, "name"), JsonValue(QStringLiteral("Щит 3")));
    QCOMPARE(Member(root, "psw"), JsonValue(QStringLiteral("s3cr")));
    QCOMPARE(Member(root, "psw_def"), JsonValue(true));
}

void TestZmtWindow::loadShowsValuesAndKeepsRoot()
{
    JsonValue body = JsonValue::object();
    body.add(QStringLiteral("en"), false);
    body.add(QStringLiteral("name"), QStringLiteral("Загружен"));
    body.add(QStringLiteral("id"), 300);
    JsonValue root = JsonValue::object();
    root.add(QStringLiteral("whmeter"), body);

    QString message;
    QVERIFY(win->LoadJSON(root, &message));
    QCOMPARE(*win->LoadedRoot(), root);
    QVERIFY(!win->findChild<QGroupBox *>(QStringLiteral("gbController"))->isChecked());
    QCOMPARE(win->findChild<QLineEdit *>(QStringLiteral("edName"))->text(), QStringLiteral("Загружен"));
    QCOMPARE(Tree()->IdentifierItem(0)->text(1), QStringLiteral("300"));
    QCOMPARE(Tree()->IdentifierItem(0)->text(2), QStringLiteral("12C"));
    QCOMPARE(Tree()->IdentifierItem(1)->text(1), QStringLiteral("1"));
}

void TestZmtWindow::rejectedLoadKeepsContent()
{
    JsonValue good = JsonValue::object();
    JsonValue named = JsonValue::object();
    named.add(QStringLiteral("name"), QStringLiteral("после"));
    good.add(QStringLiteral("whmeter"), named);
    QString message;
    QVERIFY(win->LoadJSON(good, &message));
    JsonValue other = JsonValue::object();
    other.add(QStringLiteral("ntrv"), JsonValue::object());
    QVERIFY(!win->LoadJSON(other, &message));
    QCOMPARE(message, QStringLiteral("Некорректная конфигурация"));
    QCOMPARE(*win->LoadedRoot(), good);
    QCOMPARE(win->findChild<QLineEdit *>(QStringLiteral("edName"))->text(), QStringLiteral("после"));
    QCOMPARE(win->Model().name(), QStringLiteral("после"));
}

void TestZmtWindow::groupsCannotCollapse()
{
    QTreeWidgetItem *group = Tree()->topLevelItem(0);
    Tree()->collapseItem(group);
    QVERIFY(group->isExpanded());
    QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {},
                       Tree()->visualItemRect(group).center());
    QVERIFY(group->isExpanded());
}

void TestZmtWindow::loadWhileEditingTakesLoadedValue()
{
    QSpinBox *editor = ClickCell(0, 1);
    QVERIFY(editor);
    editor->findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(editor->findChild<QLineEdit *>(), QStringLiteral("42"));
    JsonValue body = JsonValue::object();
    body.add(QStringLiteral("id"), 300);
    JsonValue root = JsonValue::object();
    root.add(QStringLiteral("whmeter"), body);
    QString message;
    QVERIFY(win->LoadJSON(root, &message));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!Tree()->OpenEditor());
    QCOMPARE(win->Model().ownId(), quint16(300));
    QCOMPARE(Tree()->IdentifierItem(0)->text(1), QStringLiteral("300"));
}

QTEST_MAIN(TestZmtWindow)
#include "tst_zmt_window.moc"
