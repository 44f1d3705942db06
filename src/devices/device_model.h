#pragma once

#include "config/device_type.h"
#include "config/json_value.h"

#include <QString>

namespace vrs {

// The data of one configuration document, apart from any window.  A document
// window binds its controls to one of these.
class DeviceModel {
public:
    virtual ~DeviceModel() = default;

    virtual DeviceType deviceType() const = 0;
    // The root key of this type's documents ("asudd", "ntrv", "whmeter").
    virtual QString rootKey() const = 0;
    // The whole root object: { rootKey: { ... } }.
    virtual JsonValue BuildJSON() const = 0;
    // Loads from a whole root object.  All or nothing: on failure the model
    // keeps what it held and *message says why.
    virtual bool LoadJSON(const JsonValue &root, QString *message) = 0;
};

} // namespace vrs
