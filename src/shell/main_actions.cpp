#include "shell/main_window.h"

#include "shell/about_box.h"
#include "shell/base_mdi.h"
#include "shell/doc_tab_bar.h"
#include "shell/mdi_arrange.h"
#include "shell/pictures.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace vrs {

namespace {

// A copy of a menu entry that stays in step with the entry it copies: its
// name is the original's followed by "Copy".
QAction *CopyEntry(QAction *original, QMenu *into)
{
    auto *copy = new QAction(original->icon(), original->text(), into);
    copy->setObjectName(original->objectName() + QStringLiteral("Copy"));
    copy->setShortcut(original->shortcut());
    copy->setCheckable(original->isCheckable());
    copy->setChecked(original->isChecked());
    copy->setStatusTip(original->statusTip());
    copy->setToolTip(original->toolTip());
    copy->setData(original->data());
    copy->setEnabled(original->isEnabled());
    QObject::connect(copy, &QAction::triggered, original, &QAction::trigger);
    QObject::connect(original, &QAction::changed, copy, [original, copy] {
        copy->setEnabled(original->isEnabled());
        copy->setText(original->text());
    });
    if (QMenu *sub = original->menu()) {
        auto *subCopy = new QMenu(original->text(), into);
        const QList<QAction *> entries = sub->actions();
        for (QAction *entry : entries)
            subCopy->addAction(CopyEntry(entry, subCopy));
        copy->setMenu(subCopy);
    }
    return copy;
}

} // namespace

QAction *TfmMain::NewAction(const char *name, const QString &caption, const QString &hint,
                            int picture)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QLatin1String(name));
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    if (picture >= 0)
        action->setIcon(MainPicture(picture));
    return action;
}

void TfmMain::CreateActions()
{
    actNewVRS = NewAction("actNewVRS", QStringLiteral("ВРС-5"),
                          QStringLiteral("Новая конфигурация ВРС - 5"), piDocument);
    actNewPLM = NewAction("actNewPLM", QStringLiteral("ПЛМ-3"),
                          QStringLiteral("Новая конфигурация ПЛМ-3"), piDocument);
    actNewNTRV = NewAction("actNewNTRV", QStringLiteral("НТРВ-3"), QString(), piDocument);
    actNewZMT = NewAction("actNewZMT", QStringLiteral("ЗМТ"), QStringLiteral("Новая конфигурация"),
                          piDocument);
    actNewVRS->setData(int(dtVRS));
    actNewPLM->setData(int(dtPLM));
    actNewNTRV->setData(int(dtNTRV));
    actNewZMT->setData(int(dtZMT));
    // VRS documents have no window class: the entry is there but never works.
    actNewVRS->setEnabled(false);
    connect(actNewPLM, &QAction::triggered, this, [this] { NewDocument(dtPLM); });
    connect(actNewNTRV, &QAction::triggered, this, [this] { NewDocument(dtNTRV); });
    connect(actNewZMT, &QAction::triggered, this, [this] { NewDocument(dtZMT); });

    actOpen = NewAction("actOpen", QStringLiteral("Открыть конфигурацию..."),
                        QStringLiteral("Открыть конфигурацию"), piOpen);
    actSaveAs = NewAction("actSaveAs", QStringLiteral("Сохранить конфигурацию как..."),
                          QStringLiteral("Сохранить конфигурацию"), piSave);
    actCloseAll = NewAction("actCloseAll", QStringLiteral("Закрыть все"),
                            QStringLiteral("Закрыть все"), piCloseAll);
    actCloseAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    actExit = NewAction("actExit", QStringLiteral("Выход"), QStringLiteral("Выход из программы"),
                        piExit);
    actSettings = NewAction("actSettings", QStringLiteral("Настройки"),
                            QStringLiteral("Настройки"), piSettings);
    actShowAbout = NewAction("actShowAbout", QStringLiteral("О программе"),
                             QStringLiteral("О программе"), piAbout);
    actShowAbout->setShortcut(QKeySequence(Qt::Key_F1));
    connect(actOpen, &QAction::triggered, this, [this] { Command([this] { OpenCommand(); }); });
    connect(actSaveAs, &QAction::triggered, this, [this] { Command([this] { SaveCommand(); }); });
    connect(actCloseAll, &QAction::triggered, this, [this] { Command([this] { CloseAll(); }); });
    connect(actExit, &QAction::triggered, this, &QWidget::close);
    connect(actSettings, &QAction::triggered, this,
            [this] { Command([this] { SettingsCommand(); }); });
    connect(actShowAbout, &QAction::triggered, this, [this] {
        Command([this] {
            TfmAbout about(this);
            about.exec();
        });
    });

    const QString write = QStringLiteral("Записать конфигурацию");
    const QString read = QStringLiteral("Прочитать конфигурацию");
    actDevConfPLMWrite = NewAction("actDevConfPLMWrite", write, QString());
    actDevConfNTRVWrite = NewAction("actDevConfNTRVWrite", write, QString());
    actDevConfZMTWrite = NewAction("actDevConfZMTWrite", write, QString());
    actDevConfPLMRead = NewAction("actDevConfPLMRead", read, QString());
    actDevConfNTRVRead = NewAction("actDevConfNTRVRead", read, QString());
    actDevConfZMTRead = NewAction("actDevConfZMTRead", read, QString());
    actDevRefirmware = NewAction("actDevRefirmware", QStringLiteral("Обновить прошивку"), QString());
    const std::pair<QAction *, DeviceType> tags[] = {
        {actDevConfPLMWrite, dtPLM}, {actDevConfNTRVWrite, dtNTRV}, {actDevConfZMTWrite, dtZMT},
        {actDevConfPLMRead, dtPLM},  {actDevConfNTRVRead, dtNTRV},  {actDevConfZMTRead, dtZMT}};
    for (const auto &[action, type] : tags)
        action->setData(int(type));
    // A write goes by the current device type, not by the entry's own.
    for (QAction *action : {actDevConfPLMWrite, actDevConfNTRVWrite, actDevConfZMTWrite})
        connect(action, &QAction::triggered, this,
                [this] { Command([this] { WriteToDevice(); }); });
    for (QAction *action : {actDevConfPLMRead, actDevConfNTRVRead, actDevConfZMTRead})
        connect(action, &QAction::triggered, this, [this, action] {
            const auto type = DeviceType(action->data().toInt());
            Command([this, type] { ReadFromDevice(type); });
        });
    connect(actDevRefirmware, &QAction::triggered, this,
            [this] { Command([this] { UpdateFirmware(); }); });

    auto windowAction = [this](const char *name, const QString &caption, int picture) {
        return NewAction(name, caption, caption, picture);
    };
    actWindowCascade = windowAction("actWindowCascade", QStringLiteral("Каскадом"), piCascade);
    actWindowTileHorizontal = windowAction("actWindowTileHorizontal",
                                           QStringLiteral("Выровнять горизонтально"),
                                           piTileHorizontal);
    actWindowTileVertical = windowAction("actWindowTileVertical",
                                         QStringLiteral("Выровнять вертикально"), piTileVertical);
    actWindowMinimizeAll = windowAction("actWindowMinimizeAll", QStringLiteral("Свернуть все"), -1);
    actWindowArrange = windowAction("actWindowArrange", QStringLiteral("Упорядочить"), -1);
    actWindowClose = windowAction("actWindowClose", QStringLiteral("Закрыть окно"), -1);
    connect(actWindowCascade, &QAction::triggered, this,
            [this] { FMdiArea->cascadeSubWindows(); });
    connect(actWindowTileHorizontal, &QAction::triggered, this,
            [this] { TileHorizontally(FMdiArea); });
    connect(actWindowTileVertical, &QAction::triggered, this,
            [this] { TileVertically(FMdiArea); });
    connect(actWindowMinimizeAll, &QAction::triggered, this, [this] { MinimizeAll(FMdiArea); });
    connect(actWindowArrange, &QAction::triggered, this, [this] { ArrangeIcons(FMdiArea); });
    connect(actWindowClose, &QAction::triggered, this,
            [this] { Command([this] { FMdiArea->closeActiveSubWindow(); }); });

    pmDevice = new QMenu(this);
    pmDevice->setObjectName(QStringLiteral("pmDevice"));
    pmDevice->addActions({actNewVRS, actNewPLM, actNewNTRV, actNewZMT});
}

void TfmMain::CreateMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("mmMain"));

    QMenu *file = bar->addMenu(QStringLiteral("Файл"));
    file->setObjectName(QStringLiteral("mniFile"));
    QMenu *newConf = file->addMenu(QStringLiteral("Новая конфигурация"));
    newConf->setObjectName(QStringLiteral("mniNewConf"));
    const QList<QAction *> entries = pmDevice->actions();
    for (QAction *entry : entries)
        newConf->addAction(CopyEntry(entry, newConf));
    file->addAction(actOpen);
    file->addAction(actSaveAs);
    file->addSeparator();
    file->addAction(actExit);

    QMenu *service = bar->addMenu(QStringLiteral("Сервис"));
    service->setObjectName(QStringLiteral("mniService"));
    service->addAction(actSettings);

    QMenu *device = bar->addMenu(QStringLiteral("Устройство"));
    device->setObjectName(QStringLiteral("mniDevice"));
    QMenu *vrs = device->addMenu(QStringLiteral("ВРС-5"));
    vrs->setObjectName(QStringLiteral("mniDevVRS"));
    vrs->menuAction()->setEnabled(false);
    const std::tuple<const char *, QString, QAction *, QAction *> groups[] = {
        {"mniDevPLM", QStringLiteral("ПЛМ-3"), actDevConfPLMWrite, actDevConfPLMRead},
        {"mniDevNTRV", QStringLiteral("НТРВ-3"), actDevConfNTRVWrite, actDevConfNTRVRead},
        {"mniDevZMT", QStringLiteral("ЗМТ"), actDevConfZMTWrite, actDevConfZMTRead}};
    for (const auto &[name, caption, write, read] : groups) {
        QMenu *sub = device->addMenu(caption);
        sub->setObjectName(QLatin1String(name));
        sub->addAction(write);
        sub->addAction(read);
    }
    device->addAction(actDevRefirmware);

    mniWindows = bar->addMenu(QStringLiteral("Окна"));
    mniWindows->setObjectName(QStringLiteral("mniWindows"));
    mniWindows->addActions({actWindowCascade, actWindowTileHorizontal, actWindowTileVertical,
                            actWindowMinimizeAll, actWindowArrange, actWindowClose});
    mniWindows->addSeparator();
    mniWindows->addAction(actCloseAll);
    connect(mniWindows, &QMenu::aboutToShow, this, &TfmMain::FillWindowList);

    QMenu *help = bar->addMenu(QStringLiteral("Справка"));
    help->setObjectName(QStringLiteral("mniHelp"));
    help->addAction(actShowAbout);
}

void TfmMain::FillWindowList()
{
    qDeleteAll(FWindowListActions);
    FWindowListActions.clear();
    const QList<TfmBaseMDI *> documents = Documents();
    if (documents.isEmpty())
        return;
    FWindowListActions << mniWindows->addSeparator();
    TfmBaseMDI *active = ActiveDocument();
    int number = 1;
    for (TfmBaseMDI *doc : documents) {
        QString caption = doc->windowTitle();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        const QString text = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(caption)
                                         : QStringLiteral("%1 %2").arg(number).arg(caption);
        QAction *entry = mniWindows->addAction(text);
        entry->setCheckable(true);
        entry->setChecked(doc == active);
        QPointer<TfmBaseMDI> target(doc);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target) {
                if (target->isMinimized())
                    target->showNormal();
                FMdiArea->setActiveSubWindow(target);
            }
        });
        FWindowListActions << entry;
        ++number;
    }
}

void TfmMain::UpdateActions()
{
    const bool any = tsMain && tsMain->count() > 0;
    actCloseAll->setEnabled(any);
    actSaveAs->setEnabled(any);
    for (QAction *a : {actWindowCascade, actWindowTileHorizontal, actWindowTileVertical,
                       actWindowMinimizeAll, actWindowArrange, actWindowClose})
        a->setEnabled(any);

    const TfmBaseMDI *active = any ? ActiveDocument() : nullptr;
    const DeviceType activeType = active ? active->DocumentType() : dtNone;
    actDevConfPLMWrite->setEnabled(activeType == dtPLM && FDeviceType == dtPLM);
    actDevConfNTRVWrite->setEnabled(activeType == dtNTRV && FDeviceType == dtNTRV);
    actDevConfZMTWrite->setEnabled(activeType == dtZMT && FDeviceType == dtZMT);

    // A type whose window this build lacks cannot be created.
    actNewPLM->setEnabled(FFactories.count(dtPLM) > 0);
    actNewNTRV->setEnabled(FFactories.count(dtNTRV) > 0);
    actNewZMT->setEnabled(FFactories.count(dtZMT) > 0);
}

} // namespace vrs
