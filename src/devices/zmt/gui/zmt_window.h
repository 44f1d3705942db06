#pragma once

#include "devices/zmt/zmt_model.h"
#include "shell/base_mdi.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace vrs {

class TZmtIdTree;

// The document window of an electricity-meter controller configuration.
// Its controls edit a ZmtModel; every change is stored in the model at once.
class TfmConfZMT : public TfmBaseMDI {
    Q_OBJECT
public:
    explicit TfmConfZMT(QWidget *parent = nullptr);

    DeviceType DocumentType() const override { return dtZMT; }
    std::optional<JsonValue> BuildJSON() const override;
    bool LoadJSON(const JsonValue &root, QString *message) override;

    const ZmtModel &Model() const { return FModel; }
    // Back to the settings of a new document.
    void ResetDocument();

    static QString Caption();   // "Контроллер электросчетчиков"

private:
    void ShowModel();

    ZmtModel FModel;
    QPushButton *btnRead;
    QPushButton *btnWrite;
    QGroupBox *gbController;
    QLineEdit *edName;
    QLineEdit *edPassword;
    QCheckBox *cbDefaultPassword;
    TZmtIdTree *vtIDs;
};

} // namespace vrs
