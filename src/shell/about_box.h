#pragma once

#include <QDialog>

namespace vrs {

// The about box: what the program is, its version with the build date of the
// program file, and its rights.
class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget *parent = nullptr);

    // "1.0.0.0 (20261211)": the version and the program file's date.
    static QString VersionText();
};

} // namespace vrs
