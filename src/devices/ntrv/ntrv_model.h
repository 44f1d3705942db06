#pragma once

#include "devices/device_model.h"
#include "devices/ntrv/ntrv_device.h"

namespace vrs {

// An NTRV configuration document ("ntrv"): the device the window edits.
class NtrvModel : public DeviceModel {
public:
    static constexpr int kDefaultPortCount = 8;

    // A new document: a fresh device with 8 ports in use.
    NtrvModel();

    DeviceType deviceType() const override { return dtNTRV; }
    QString rootKey() const override;
    JsonValue BuildJSON() const override;
    bool LoadJSON(const JsonValue &root, QString *message) override;

    void Reset();

    NtrvDevice &device() { return m_device; }
    const NtrvDevice &device() const { return m_device; }

private:
    NtrvDevice m_device;
};

} // namespace vrs
