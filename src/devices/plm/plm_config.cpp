#include "devices/plm/plm_config.h"

#include "devices/plm/plm_document.h"
#include "devices/plm/plm_fields.h"
#include "devices/plm/random_mac.h"

#include <QRandomGenerator>

namespace vrs {

namespace {

const QString kRootKey = QStringLiteral("asudd");
const QString kBadConfig = QStringLiteral("Некорректная конфигурация");

} // namespace

TPLMConfig::TPLMConfig() : TPLMConfig(*QRandomGenerator::global()) {}

TPLMConfig::TPLMConfig(QRandomGenerator &generator)
{
    m_values.Ethernet.Mac = RandomMacText(generator);
}

TPLMConfig::~TPLMConfig() = default;

QString TPLMConfig::rootKey() const
{
    return kRootKey;
}

JsonValue TPLMConfig::BuildJSON() const
{
    JsonValue root = JsonValue::object();
    root.add(kRootKey, plmdoc::Build(m_values, m_sensors));
    return root;
}

bool TPLMConfig::LoadJSON(const JsonValue &root, QString *message)
{
    const JsonValue *asudd = root.find(kRootKey);
    if (!asudd) {
        if (message)
            *message = kBadConfig;
        return false;
    }
    // Read into copies and take them over only when the whole document went
    // through, so a bad value never leaves a half-loaded configuration.
    TPLMValues values = m_values;
    TSensorsSettings sensors;
    bool sensorsRead = false;
    try {
        plmdoc::Read(*asudd, values, sensors, &sensorsRead);
    } catch (const plmdoc::LoadError &e) {
        if (message)
            *message = e.message;
        return false;
    }
    m_values = std::move(values);
    if (sensorsRead)
        m_sensors.TakeContentsFrom(sensors);
    return true;
}

} // namespace vrs
