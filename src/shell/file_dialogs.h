#pragma once

#include <QString>

class QWidget;

namespace vrs {

// The open and save questions for configuration files.  An empty name means
// the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString OpenConfigName(QWidget *parent) = 0;
    virtual QString SaveConfigName(QWidget *parent) = 0;
};

// The toolkit's own dialogs, the same on every desktop.
class StandardFileDialogs : public FileDialogs {
public:
    QString OpenConfigName(QWidget *parent) override;
    QString SaveConfigName(QWidget *parent) override;
};

QString OpenDialogTitle();
QString SaveDialogTitle();
// "Файлы конфигурации VRS-5 (*.vr5)".
QString ConfigFileFilter();
// Appends ".vr5" when the name has no extension.
QString WithConfigExtension(const QString &fileName);

} // namespace vrs
