#pragma once

#include <QString>

class QWidget;

namespace vrs {

// The file questions of the programmer: the firmware file to flash and the
// file to save the log in.  An empty name means the user cancelled.
class ProgrammerFileDialogs {
public:
    virtual ~ProgrammerFileDialogs() = default;
    // initialFolder: where the last firmware file was found.
    virtual QString OpenFirmwareName(QWidget *parent, const QString &initialFolder) = 0;
    // Asks before an existing file is replaced.
    virtual QString SaveLogName(QWidget *parent) = 0;
};

// The toolkit's own dialogs.
class StandardProgrammerFileDialogs : public ProgrammerFileDialogs {
public:
    QString OpenFirmwareName(QWidget *parent, const QString &initialFolder) override;
    QString SaveLogName(QWidget *parent) override;
};

// "Выберите файл прошивки".
QString FirmwareDialogTitle();
// "Veltrona firmware file (*.vff)".
QString FirmwareFileFilter();
// "Text (*.txt)".
QString LogFileFilter();

} // namespace vrs
