#pragma once

#include "config/device_type.h"
#include "config/json_value.h"

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolButton;

namespace vrs {

class DeviceCommands;
class FileDialogs;
class ProgrammerLauncher;
class Prompt;
class TDocTabBar;
class TfmBaseMDI;
class TSettings;
class TWindowPlacement;

// Makes a new, empty document window of one device type.
using DocumentFactory = std::function<TfmBaseMDI *()>;

// The main window: one child window per open configuration document, with a
// tab for each, the file and device commands, and the application settings
// it owns for its whole life.
class TfmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmMain(std::unique_ptr<TSettings> settings, QWidget *parent = nullptr);
    ~TfmMain() override;

    // Replaceable services; the defaults are message boxes, the toolkit's
    // file dialogs and a programmer that is not available.
    void SetPrompt(std::unique_ptr<Prompt> prompt);
    void SetFileDialogs(std::unique_ptr<FileDialogs> dialogs);
    void SetProgrammerLauncher(std::unique_ptr<ProgrammerLauncher> launcher);
    // Where the window's position, size and state are kept.
    void SetPlacementFile(const QString &fileName);

    // The document window class of a device type.  Types without one can be
    // neither created nor opened.
    void RegisterDocumentType(DeviceType type, DocumentFactory factory);

    Prompt &prompt() const { return *FPrompt; }
    TSettings &settings() const { return *FSettings; }
    // The device type the user is working with (FDeviceType).
    DeviceType deviceType() const { return FDeviceType; }
    QMdiArea *mdiArea() const { return FMdiArea; }
    TDocTabBar *tabBar() const { return tsMain; }

    // Open documents in the order of creation, and the active one.
    QList<TfmBaseMDI *> Documents() const;
    TfmBaseMDI *ActiveDocument() const;

    // A new document window of the type, with the picture; with reuse, an
    // open window of that type is selected and returned instead.
    TfmBaseMDI *CreateDocumentWindow(DeviceType type, int picture, bool reuse);
    // Opens the root object in a document of the type its keys name (looking
    // from `start` on); an open document of that type is reloaded in place.
    // False when no key is recognised.
    bool LoadDocument(const JsonValue &root, DeviceType start);

    // The file commands after their dialogs.  They raise ECommandError.
    void OpenFile(const QString &fileName);
    void SaveActiveDocument(const QString &fileName);

    // Enables the actions for the current state.
    void UpdateActions();

    static QString MainCaption();   // "Конфигуратор ВРС-5"
    static QString AppTitle();      // "Конфигуратор ВРС - 5"

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class ActivationPause;

    void CreateActions();
    void CreateMenus();
    void CreateLayout();
    void CreateStatusBar();
    QAction *NewAction(const char *name, const QString &caption, const QString &hint,
                       int picture = -1);
    void FillWindowList();

    // Runs a user command under the error guard, then refreshes the actions.
    void Command(const std::function<void()> &command);

    void NewDocument(DeviceType type);
    void OpenCommand();
    void SaveCommand();
    void CloseAll();
    void SettingsCommand();
    void ReadFromDevice(DeviceType type);
    void WriteToDevice();
    void UpdateFirmware();

    void ActiveFormChanged(QMdiSubWindow *window);
    void OnDocClosed(TfmBaseMDI *window);
    void OnDocCaption(TfmBaseMDI *window);
    void OnTabChanged(int index);
    void UpdateCaption();
    void LayoutStatusPanels();

    std::unique_ptr<TSettings> FSettings;
    std::unique_ptr<Prompt> FPrompt;
    std::unique_ptr<FileDialogs> FFileDialogs;
    std::unique_ptr<ProgrammerLauncher> FLauncher;
    std::unique_ptr<DeviceCommands> FCommands;
    std::unique_ptr<TWindowPlacement> FPlacement;
    std::map<DeviceType, DocumentFactory> FFactories;
    DeviceType FDeviceType = dtNone;
    bool FTrackActivation = true;
    bool FShownOnce = false;

    QWidget *pButtons = nullptr;
    QToolButton *btnNew = nullptr;
    QToolButton *btnOpen = nullptr;
    QToolButton *btnSave = nullptr;
    QToolButton *btnCloseAll = nullptr;
    QWidget *pTabs = nullptr;
    TDocTabBar *tsMain = nullptr;
    QMdiArea *FMdiArea = nullptr;
    QLabel *FPanels[3] = {nullptr, nullptr, nullptr};
    QMenu *pmDevice = nullptr;
    QMenu *mniWindows = nullptr;
    QList<QAction *> FWindowListActions;

    QAction *actNewVRS = nullptr;
    QAction *actNewPLM = nullptr;
    QAction *actNewNTRV = nullptr;
    QAction *actNewZMT = nullptr;
    QAction *actOpen = nullptr;
    QAction *actSaveAs = nullptr;
    QAction *actCloseAll = nullptr;
    QAction *actExit = nullptr;
    QAction *actSettings = nullptr;
    QAction *actShowAbout = nullptr;
    QAction *actDevConfPLMWrite = nullptr;
    QAction *actDevConfNTRVWrite = nullptr;
    QAction *actDevConfZMTWrite = nullptr;
    QAction *actDevConfPLMRead = nullptr;
    QAction *actDevConfNTRVRead = nullptr;
    QAction *actDevConfZMTRead = nullptr;
    QAction *actDevRefirmware = nullptr;
    QAction *actWindowCascade = nullptr;
    QAction *actWindowTileHorizontal = nullptr;
    QAction *actWindowTileVertical = nullptr;
    QAction *actWindowMinimizeAll = nullptr;
    QAction *actWindowArrange = nullptr;
    QAction *actWindowClose = nullptr;
};

} // namespace vrs
