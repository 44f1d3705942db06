#include "ntrv_model.h"

#include "devices/ntrv/ntrv_schema.h"
#include "devices/json_read.h"

namespace vrs {

namespace {

const QString kRootKey = QStringLiteral("ntrv");

} // namespace

NtrvModel::NtrvModel()
{
    Reset();
}

QString NtrvModel::rootKey() const
{
    return kRootKey;
}

void NtrvModel::Reset()
{
    m_device = NtrvDevice();
    m_device.SetPortCount(kDefaultPortCount);
}

JsonValue NtrvModel::BuildJSON() const
{
    JsonValue root = JsonValue::object();
    root.add(kRootKey, BuildNtrvObject(m_device));
    return root;
}

bool NtrvModel::LoadJSON(const JsonValue &root, QString *message)
{
    if (!root.find(kRootKey)) {
        if (message)
            *message = QStringLiteral("Некорректная конфигурация");
        return false;
    }
    // Members the file leaves out keep the document's values, so the copy
    // starts from the current device; it replaces it only when all is read.
    NtrvDevice next = m_device;
    try {
        LoadNtrvObject(*ReadObject(root, kRootKey), next);
    } catch (const LoadFailure &failure) {
        if (message)
            *message = failure.message;
        return false;
    }
    m_device = next;
    return true;
}

} // namespace vrs
