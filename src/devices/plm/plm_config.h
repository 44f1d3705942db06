#pragma once

#include "devices/device_model.h"
#include "devices/plm/plm_values.h"
#include "devices/plm/sensors.h"

class QRandomGenerator;

namespace vrs {

// A PLM-3 configuration: the "asudd" document.  The window binds its
// controls to the value groups and to the sensors model; loading replaces
// them all or nothing.
class TPLMConfig : public DeviceModel {
public:
    // A new configuration with a random MAC address.
    TPLMConfig();
    explicit TPLMConfig(QRandomGenerator &generator);
    ~TPLMConfig() override;

    DeviceType deviceType() const override { return dtPLM; }
    QString rootKey() const override;
    JsonValue BuildJSON() const override;
    // On failure nothing changes and *message says why, naming the key and
    // value that stopped the load.  A successful load sends no change notice
    // through the sensors model.
    bool LoadJSON(const JsonValue &root, QString *message) override;

    const TPLMValues &Values() const { return m_values; }

    TGeneralSettings &General() { return m_values.General; }
    const TGeneralSettings &General() const { return m_values.General; }
    TIdentifiers &Identifiers() { return m_values.Ids; }
    const TIdentifiers &Identifiers() const { return m_values.Ids; }
    TPriorityProtocol &Priority() { return m_values.Priority; }
    const TPriorityProtocol &Priority() const { return m_values.Priority; }
    TGprsSettings &Gprs() { return m_values.Gprs; }
    const TGprsSettings &Gprs() const { return m_values.Gprs; }
    TEthernetSettings &Ethernet() { return m_values.Ethernet; }
    const TEthernetSettings &Ethernet() const { return m_values.Ethernet; }
    TSOSettings &SO() { return m_values.SO; }
    const TSOSettings &SO() const { return m_values.SO; }
    TDetectorSettings &Detector() { return m_values.Detector; }
    const TDetectorSettings &Detector() const { return m_values.Detector; }
    // The same object for the configuration's whole life, so a handler bound
    // to its OnChange stays bound across loads.
    TSensorsSettings &Sensors() { return m_sensors; }
    const TSensorsSettings &Sensors() const { return m_sensors; }

private:
    TPLMValues m_values;
    TSensorsSettings m_sensors;
};

} // namespace vrs
