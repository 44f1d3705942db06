// Renders the main window with two ZMT documents into an image:
// shell_screenshot <output.png>
#include "appsettings/settings.h"
#include "devices/zmt/gui/zmt_window.h"
#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QTemporaryDir dir;
    vrs::TfmMain w(std::make_unique<vrs::TSettings>(dir.filePath(QStringLiteral("app.xml")), false));
    w.RegisterDocumentType(vrs::dtZMT, [] { return new vrs::TfmConfZMT; });
    w.show();
    auto *newZmt = w.findChild<QAction *>(QStringLiteral("actNewZMT"));
    newZmt->trigger();
    w.ActiveDocument()->findChild<QLineEdit *>(QStringLiteral("edName"))
        ->setText(QStringLiteral("Щит учёта №1"));
    newZmt->trigger();
    w.ActiveDocument()->findChild<QLineEdit *>(QStringLiteral("edName"))
        ->setText(QStringLiteral("Щит учёта №2"));
    const QList<QMdiSubWindow *> windows = w.mdiArea()->subWindowList();
    windows.last()->move(60, 50);
    app.processEvents();
    return w.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
