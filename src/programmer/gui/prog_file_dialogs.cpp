#include "programmer/gui/prog_file_dialogs.h"

#include <QFileDialog>

namespace vrs {

QString FirmwareDialogTitle()
{
    return QStringLiteral("Выберите файл прошивки");
}

QString FirmwareFileFilter()
{
    return QStringLiteral("Veltrona firmware file (*.vff)");
}

QString LogFileFilter()
{
    return QStringLiteral("Text (*.txt)");
}

namespace {

QString RunDialog(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

} // namespace

QString StandardProgrammerFileDialogs::OpenFirmwareName(QWidget *parent, const QString &initialFolder)
{
    QFileDialog dialog(parent, FirmwareDialogTitle(), initialFolder, FirmwareFileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("vff"));
    return RunDialog(dialog);
}

QString StandardProgrammerFileDialogs::SaveLogName(QWidget *parent)
{
    QFileDialog dialog(parent, QString(), QString(), LogFileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // Overwriting is confirmed by the dialog itself in save mode.
    return RunDialog(dialog);
}

} // namespace vrs
