#include "shell/main_window.h"

#include "config/config_file.h"
#include "programmer/prompt.h"
#include "shell/base_mdi.h"
#include "shell/command_guard.h"
#include "shell/doc_tab_bar.h"
#include "shell/file_dialogs.h"
#include "shell/pictures.h"
#include "shell/settings_dialog.h"

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace vrs {

namespace {

QString TypeName(DeviceType type)
{
    switch (type) {
    case dtVRS: return QStringLiteral("ВРС-5");
    case dtPLM: return QStringLiteral("ПЛМ-3");
    case dtNTRV: return QStringLiteral("НТРВ-3");
    case dtZMT: return QStringLiteral("ЗМТ");
    default: return QStringLiteral("без типа");
    }
}

} // namespace

TfmBaseMDI *TfmMain::CreateDocumentWindow(DeviceType type, int picture, bool reuse)
{
    const auto factory = FFactories.find(type);
    if (factory == FFactories.end())
        throw ECommandError(QStringLiteral("Конфигурации %1 в этой версии программы не поддерживаются.")
                                .arg(TypeName(type)));
    if (reuse) {
        const QList<TfmBaseMDI *> documents = Documents();
        for (TfmBaseMDI *doc : documents)
            if (doc->DocumentType() == type) {
                tsMain->setCurrentIndex(tsMain->IndexOf(doc));
                return doc;
            }
    }

    TfmBaseMDI *doc = factory->second();
    const QIcon icon = MainPicture(picture);
    doc->setWindowIcon(icon);
    doc->SetDeviceCommands(FCommands.get());
    connect(doc, &TfmBaseMDI::DocClosed, this, &TfmMain::OnDocClosed);
    connect(doc, &TfmBaseMDI::DocCaptionChanged, this, &TfmMain::OnDocCaption);
    FMdiArea->addSubWindow(doc);

    const QSignalBlocker quiet(tsMain);
    const int index = tsMain->AddDocument(doc, doc->windowTitle(), icon);
    tsMain->setCurrentIndex(index);
    pTabs->setVisible(tsMain->count() > 1);

    doc->show();
    FMdiArea->setActiveSubWindow(doc);
    return doc;
}

bool TfmMain::LoadDocument(const JsonValue &root, DeviceType start)
{
    if (!root.isObject())
        return false;
    const DeviceType type = RecognizeDeviceType(root, start);
    if (type == dtNone)
        return false;

    // An open document of the type is reloaded in place, the active one
    // first, then the others from the top of the stack down.
    TfmBaseMDI *target = nullptr;
    QList<QMdiSubWindow *> stack = FMdiArea->subWindowList(QMdiArea::StackingOrder);
    if (TfmBaseMDI *active = ActiveDocument())
        stack.append(active);
    for (auto it = stack.crbegin(); it != stack.crend() && !target; ++it) {
        auto *doc = qobject_cast<TfmBaseMDI *>(*it);
        if (doc && tsMain->IndexOf(doc) >= 0 && doc->DocumentType() == type)
            target = doc;
    }
    if (!target)
        target = CreateDocumentWindow(type, piDocument, false);

    FDeviceType = type;
    QString message;
    if (!target->LoadJSON(root, &message))
        FPrompt->Show(Prompt::Kind::Error, ErrorCaption(),
                      message.isEmpty() ? QStringLiteral("Некорректная конфигурация") : message);
    return true;
}

void TfmMain::NewDocument(DeviceType type)
{
    Command([this, type] {
        FDeviceType = type;
        CreateDocumentWindow(type, piDocument, false);
    });
}

void TfmMain::OpenCommand()
{
    const QString fileName = FFileDialogs->OpenConfigName(this);
    if (!fileName.isEmpty())
        OpenFile(fileName);
}

void TfmMain::OpenFile(const QString &fileName)
{
    JsonValue root;
    QString error;
    if (!ReadConfigFile(fileName, &root, &error))
        throw ECommandError(error);
    // A file that is a JSON object but names no known device would otherwise
    // open nothing without a word.
    if (!LoadDocument(root, dtNone))
        throw ECommandError(
            QStringLiteral("Файл «%1» не является файлом конфигурации: в нём нет настроек "
                           "ПЛМ-3, НТРВ-3 или ЗМТ.")
                .arg(QDir::toNativeSeparators(fileName)));
}

void TfmMain::SaveCommand()
{
    const QString fileName = FFileDialogs->SaveConfigName(this);
    if (!fileName.isEmpty())
        SaveActiveDocument(fileName);
}

void TfmMain::SaveActiveDocument(const QString &fileName)
{
    TfmBaseMDI *doc = ActiveDocument();
    if (!doc)
        return;
    const std::optional<JsonValue> root = doc->BuildJSON();
    if (!root)
        throw ECommandError(QStringLiteral("Документ «%1» нельзя сохранить в файл.")
                                .arg(doc->windowTitle()));
    QString error;
    if (!WriteConfigFile(fileName, *root, &error))
        throw ECommandError(error);
}

void TfmMain::CloseAll()
{
    const QList<TfmBaseMDI *> documents = Documents();
    QList<QPointer<TfmBaseMDI>> guarded(documents.cbegin(), documents.cend());
    for (const QPointer<TfmBaseMDI> &doc : guarded)
        if (doc)
            doc->close();
    FDeviceType = dtNone;
}

void TfmMain::SettingsCommand()
{
    EditSettings(this, *FSettings);
}

} // namespace vrs
