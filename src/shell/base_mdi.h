#pragma once

#include "config/device_type.h"
#include "config/json_value.h"

#include <QMdiSubWindow>
#include <optional>

namespace vrs {

class DeviceCommands;

// The base of every configuration document window.  A document turns itself
// into a JSON root object and loads itself from one; the window keeps the
// root of its last successful load until it closes.
class TfmBaseMDI : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit TfmBaseMDI(QWidget *parent = nullptr);
    ~TfmBaseMDI() override;

    // The device type of this document class; dtNone for the base.
    virtual DeviceType DocumentType() const { return dtNone; }

    // The whole root object ({ key: { ... } }), or nothing when this kind of
    // window cannot be saved or written into a device.
    virtual std::optional<JsonValue> BuildJSON() const;
    // Loads from a whole root object, as read from a file or a device.  On
    // failure *message says why and the document keeps what it had.  The base
    // only keeps the root and returns false; an overriding class calls it at
    // the end of a successful load.
    virtual bool LoadJSON(const JsonValue &root, QString *message);

    // The root of the last successful load, if any.
    const std::optional<JsonValue> &LoadedRoot() const { return FJSON; }

    // Where the window's own "Прочитать" and "Записать" go; set by the main
    // window when it creates the document.
    void SetDeviceCommands(DeviceCommands *commands) { FCommands = commands; }
    DeviceCommands *Commands() const { return FCommands; }

signals:
    // The window is closing (it is freed afterwards).
    void DocClosed(vrs::TfmBaseMDI *window);
    // The window's caption changed.
    void DocCaptionChanged(vrs::TfmBaseMDI *window);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

    // The device commands of the window's own buttons: a read replaces this
    // window's content, a write sends this window's document.
    void ReadFromDevice();
    void WriteToDevice();

private:
    std::optional<JsonValue> FJSON;
    DeviceCommands *FCommands = nullptr;
};

} // namespace vrs
