// Renders the programmer window half-way through a configuration write and
// the log window of that session into two PNG files:
//   progwin_screenshots <folder>
#include "progwin_bench.h"

#include "programmer/gui/log_form.h"
#include "programmer/prog_settings.h"

#include <QApplication>
#include <QProgressBar>
#include <QStatusBar>
#include <QTemporaryDir>

using namespace vrs;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: progwin_screenshots <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir home;
    TProgSettings settings(home.filePath(QStringLiteral("bprog.ini")));

    devsim::DeviceOptions options;
    options.configText = R"({"asudd":{"name":"Перекрёсток 12"}})";
    options.baud = 115200;
    options.serial = "VRS5-000417";
    QByteArray document = "{\"whmeter\":{\"en\":true,\"name\":\"Счётчик 7\",\"pad\":\"";
    document += QByteArray(60000, 'x') + "\"}}";
    Bench b(options, dtZMT, pmWriteConfig, document);
    if (!b.Connect()) {
        fprintf(stderr, "no connection\n");
        return 1;
    }
    QTest::mouseClick(b.window->btnCommand, Qt::LeftButton);
    const bool midway = QTest::qWaitFor([&] {
        const QProgressBar *bar = b.window->pbMain;
        return b.window->statMain->currentMessage().startsWith(QStringLiteral("Запуск: Запись"))
               && bar->value() - bar->minimum() > (bar->maximum() - bar->minimum()) * 45 / 100;
    }, 60000);
    if (!midway) {
        fprintf(stderr, "the write did not get half-way\n");
        return 1;
    }
    const bool ok = b.window->grab().save(folder + QStringLiteral("/screenshot-programmer.png"));

    TLogForm *log = b.window->LogForm();
    log->show();
    log->Text();
    QTest::qWait(50);
    const bool logOk = log->grab().save(folder + QStringLiteral("/screenshot-log.png"));
    return ok && logOk ? 0 : 1;
}
