#include "shell/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace vrs {

QString OpenDialogTitle()
{
    return QStringLiteral("Открыть конфигурацию...");
}

QString SaveDialogTitle()
{
    return QStringLiteral("Сохранить конфигурацию в...");
}

QString ConfigFileFilter()
{
    return QStringLiteral("Файлы конфигурации VRS-5 (*.vr5)");
}

QString WithConfigExtension(const QString &fileName)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + QStringLiteral(".vr5");
}

QString StandardFileDialogs::OpenConfigName(QWidget *parent)
{
    QFileDialog dialog(parent, OpenDialogTitle(), QString(), ConfigFileFilter());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString StandardFileDialogs::SaveConfigName(QWidget *parent)
{
    QFileDialog dialog(parent, SaveDialogTitle(), QString(), ConfigFileFilter());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The dialog adds the suffix before it asks about overwriting, so the
    // question is about the file that will really be written.
    dialog.setDefaultSuffix(QStringLiteral("vr5"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return WithConfigExtension(dialog.selectedFiles().constFirst());
}

} // namespace vrs
