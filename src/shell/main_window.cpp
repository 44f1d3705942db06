#include "shell/main_window.h"

#include "appsettings/settings.h"
#include "shell/base_mdi.h"
#include "shell/command_guard.h"
#include "shell/device_commands.h"
#include "shell/doc_tab_bar.h"
#include "shell/file_dialogs.h"
#include "shell/message_box_prompt.h"
#include "shell/program_version.h"
#include "shell/programmer_launcher.h"
#include "shell/window_placement.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace vrs {

namespace {

constexpr int kPanelWidths[3] = {400, 500, 60};
constexpr int kResizeReserve = 60;

} // namespace

QString TfmMain::MainCaption()
{
    return QStringLiteral("Конфигуратор ВРС-5");
}

QString TfmMain::AppTitle()
{
    return QStringLiteral("Конфигуратор ВРС - 5");
}

TfmMain::TfmMain(std::unique_ptr<TSettings> settings, QWidget *parent)
    : QMainWindow(parent), FSettings(std::move(settings))
{
    setObjectName(QStringLiteral("TfmMain"));
    setWindowTitle(MainCaption());
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    resize(976, 720);

    FPrompt = std::make_unique<MessageBoxPrompt>(this);
    FFileDialogs = std::make_unique<StandardFileDialogs>();
    FLauncher = std::make_unique<UnavailableProgrammerLauncher>([this]() -> Prompt & { return *FPrompt; });
    FCommands = std::make_unique<DeviceCommands>(FPrompt.get(), FLauncher.get());

    CreateActions();
    CreateLayout();
    CreateMenus();
    CreateStatusBar();

    connect(FMdiArea, &QMdiArea::subWindowActivated, this, &TfmMain::ActiveFormChanged);
    FDeviceType = dtNone;
    UpdateActions();
}

TfmMain::~TfmMain()
{
    // Document windows still open refer to the device commands and the
    // prompt; they go first.
    disconnect(FMdiArea, nullptr, this, nullptr);
    const QList<TfmBaseMDI *> documents = Documents();
    for (TfmBaseMDI *doc : documents) {
        disconnect(doc, nullptr, this, nullptr);
        delete doc;
    }
}

void TfmMain::SetPrompt(std::unique_ptr<Prompt> prompt)
{
    FPrompt = std::move(prompt);
    FCommands->SetPrompt(FPrompt.get());
}

void TfmMain::SetFileDialogs(std::unique_ptr<FileDialogs> dialogs)
{
    FFileDialogs = std::move(dialogs);
}

void TfmMain::SetProgrammerLauncher(std::unique_ptr<ProgrammerLauncher> launcher)
{
    FLauncher = std::move(launcher);
    FCommands->SetLauncher(FLauncher.get());
}

void TfmMain::SetPlacementFile(const QString &fileName)
{
    FPlacement = std::make_unique<TWindowPlacement>(fileName, objectName());
}

void TfmMain::RegisterDocumentType(DeviceType type, DocumentFactory factory)
{
    FFactories[type] = std::move(factory);
    UpdateActions();
}

void TfmMain::CreateLayout()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pButtons = new QWidget(central);
    pButtons->setObjectName(QStringLiteral("pButtons"));
    pButtons->setFixedHeight(36);
    auto *buttons = new QHBoxLayout(pButtons);
    buttons->setContentsMargins(4, 2, 4, 2);

    btnNew = new QToolButton(pButtons);
    btnNew->setObjectName(QStringLiteral("btnNew"));
    btnNew->setIcon(actNewZMT->icon());
    btnNew->setToolTip(QStringLiteral("Новая конфигурация"));
    btnNew->setStatusTip(QStringLiteral("Новая конфигурация"));
    btnNew->setMenu(pmDevice);
    btnNew->setPopupMode(QToolButton::InstantPopup);
    btnNew->setAutoRaise(true);

    auto makeButton = [&](const char *name, QAction *action, Qt::ToolButtonStyle style) {
        auto *button = new QToolButton(pButtons);
        button->setObjectName(QLatin1String(name));
        button->setDefaultAction(action);
        button->setToolButtonStyle(style);
        button->setAutoRaise(true);
        return button;
    };
    // Open and save show only their pictures.
    btnOpen = makeButton("btnOpen", actOpen, Qt::ToolButtonIconOnly);
    btnSave = makeButton("btnSave", actSaveAs, Qt::ToolButtonIconOnly);
    btnCloseAll = makeButton("btnCloseAll", actCloseAll, Qt::ToolButtonTextBesideIcon);
    for (QToolButton *b : {btnNew, btnOpen, btnSave, btnCloseAll})
        b->setIconSize(QSize(24, 24));
    buttons->addWidget(btnNew);
    buttons->addWidget(btnOpen);
    buttons->addWidget(btnSave);
    buttons->addStretch(1);
    buttons->addWidget(btnCloseAll);

    pTabs = new QWidget(central);
    pTabs->setObjectName(QStringLiteral("pTabs"));
    pTabs->setFixedHeight(28);
    tsMain = new TDocTabBar(pTabs);
    auto *tabs = new QHBoxLayout(pTabs);
    tabs->setContentsMargins(2, 4, 2, 0);
    tabs->addWidget(tsMain);
    tabs->addStretch(1);
    pTabs->setVisible(false);
    connect(tsMain, &QTabBar::currentChanged, this, &TfmMain::OnTabChanged);
    connect(tsMain, &TDocTabBar::CloseRequested, this, [this](QObject *window) {
        if (auto *doc = qobject_cast<TfmBaseMDI *>(window))
            Command([doc] { doc->close(); });
    });
    connect(tsMain, &TDocTabBar::HintChanged, this,
            [this](const QString &text) { FPanels[0]->setText(text); });

    FMdiArea = new QMdiArea(central);
    FMdiArea->setObjectName(QStringLiteral("mdiArea"));
    FMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    layout->addWidget(pButtons);
    layout->addWidget(pTabs);
    layout->addWidget(FMdiArea, 1);
    setCentralWidget(central);
}

void TfmMain::CreateStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("sbMain"));
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < 3; ++i) {
        FPanels[i] = new QLabel(bar);
        FPanels[i]->setObjectName(QStringLiteral("sbMainPanel%1").arg(i));
        FPanels[i]->setFrameShape(QFrame::StyledPanel);
        FPanels[i]->setFrameShadow(QFrame::Sunken);
        FPanels[i]->setFixedWidth(kPanelWidths[i]);
        bar->addWidget(FPanels[i]);
    }
}

void TfmMain::LayoutStatusPanels()
{
    int others = 0;
    for (int i = 1; i < 3; ++i)
        others += FPanels[i]->width();
    FPanels[0]->setFixedWidth(qMax(0, width() - kResizeReserve - others));
}

bool TfmMain::event(QEvent *event)
{
    // Hints of actions and controls go to the first status panel; the
    // toolkit would put them over all panels.
    if (event->type() == QEvent::StatusTip) {
        FPanels[0]->setText(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TfmMain::showEvent(QShowEvent *event)
{
    if (!FShownOnce) {
        FShownOnce = true;
        const QString version = QStringLiteral("Версия: %1").arg(ProgramVersion());
        FPanels[2]->setText(version);
        // The version must be readable in full, whatever the font.
        FPanels[2]->setFixedWidth(
            qMax(kPanelWidths[2], FPanels[2]->fontMetrics().horizontalAdvance(version) + 12));
        if (FPlacement)
            FPlacement->Restore(this);
        LayoutStatusPanels();
    }
    QMainWindow::showEvent(event);
}

void TfmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    LayoutStatusPanels();
}

void TfmMain::closeEvent(QCloseEvent *event)
{
    QString error;
    if (FPlacement && !FPlacement->Save(this, &error))
        FPrompt->Show(Prompt::Kind::Warning, ErrorCaption(),
                      QStringLiteral("Не удалось сохранить положение окна в «%1»: %2")
                          .arg(FPlacement->FileName(), error));
    // The settings are written on every exit, changed or not.
    RunGuarded(*FPrompt, [this] { FSettings->Save(); });
    QMainWindow::closeEvent(event);
}

void TfmMain::Command(const std::function<void()> &command)
{
    RunGuarded(*FPrompt, command);
    UpdateActions();
}

QList<TfmBaseMDI *> TfmMain::Documents() const
{
    QList<TfmBaseMDI *> result;
    for (int i = 0; i < tsMain->count(); ++i)
        if (auto *doc = qobject_cast<TfmBaseMDI *>(tsMain->WindowAt(i)))
            result << doc;
    return result;
}

TfmBaseMDI *TfmMain::ActiveDocument() const
{
    auto *doc = qobject_cast<TfmBaseMDI *>(FMdiArea->currentSubWindow());
    return doc && tsMain->IndexOf(doc) >= 0 ? doc : nullptr;
}

void TfmMain::UpdateCaption()
{
    if (TfmBaseMDI *doc = ActiveDocument())
        setWindowTitle(QStringLiteral("%1 - %2").arg(AppTitle(), doc->windowTitle()));
    else if (tsMain->count() == 0)
        setWindowTitle(MainCaption());
}

void TfmMain::ActiveFormChanged(QMdiSubWindow *window)
{
    if (!FTrackActivation)
        return;
    auto *doc = qobject_cast<TfmBaseMDI *>(window);
    if (!doc || tsMain->IndexOf(doc) < 0)
        return;
    setWindowTitle(QStringLiteral("%1 - %2").arg(AppTitle(), doc->windowTitle()));
    const DeviceType type = doc->DocumentType();
    FDeviceType = (type == dtPLM || type == dtNTRV || type == dtZMT) ? type : dtNone;
    tsMain->setCurrentIndex(tsMain->IndexOf(doc));
    UpdateActions();
}

void TfmMain::OnTabChanged(int index)
{
    auto *doc = qobject_cast<TfmBaseMDI *>(tsMain->WindowAt(index));
    if (doc && FMdiArea->currentSubWindow() != doc)
        FMdiArea->setActiveSubWindow(doc);
}

void TfmMain::OnDocClosed(TfmBaseMDI *window)
{
    const int index = tsMain->IndexOf(window);
    if (index >= 0)
        tsMain->removeTab(index);
    pTabs->setVisible(tsMain->count() > 1);
    // With no document left the caption must not name a closed one.
    if (tsMain->count() == 0)
        setWindowTitle(MainCaption());
    UpdateActions();
}

void TfmMain::OnDocCaption(TfmBaseMDI *window)
{
    const int index = tsMain->IndexOf(window);
    if (index < 0)
        return;
    tsMain->setTabText(index, window->windowTitle());
    UpdateCaption();
}

} // namespace vrs
