#pragma once

#include "devices/device_model.h"

#include <QString>
#include <vector>

namespace vrs {

// The two identifiers a ZMT controller carries.
enum ZmtIdKind : quint8 { zikOwnId = 0, zikAppId = 1 };

// One identifier as the window's tree shows it: the value and the label of
// the device it belongs to.
struct ZmtIdentifier {
    quint16 value = 1;
    quint8 reserved = 0;
    quint8 kind = zikOwnId;
    QString name;
};

// The configuration of an electricity-meter controller ("whmeter").
class ZmtModel : public DeviceModel {
public:
    ZmtModel();

    DeviceType deviceType() const override { return dtZMT; }
    QString rootKey() const override;
    JsonValue BuildJSON() const override;
    bool LoadJSON(const JsonValue &root, QString *message) override;

    // The settings of a new document.
    void Reset();

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }
    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    const QString &password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    bool defaultPassword() const { return m_defaultPassword; }
    void setDefaultPassword(bool on) { m_defaultPassword = on; }

    // The identifiers in tree order, own ID first; the window edits them by
    // their position.
    const std::vector<ZmtIdentifier> &identifiers() const { return m_ids; }
    void setIdentifierValue(size_t index, quint16 value);

    // The value of the first identifier of that kind; 1 when there is none.
    quint16 identifier(ZmtIdKind kind) const;
    void setIdentifier(ZmtIdKind kind, quint16 value);
    quint16 ownId() const { return identifier(zikOwnId); }
    void setOwnId(quint16 value) { setIdentifier(zikOwnId, value); }
    quint16 appId() const { return identifier(zikAppId); }
    void setAppId(quint16 value) { setIdentifier(zikAppId, value); }

    // The device label of both identifiers.
    static QString identifierLabel();
    // An identifier as the "Hex" column shows it: upper case, no leading zeros.
    static QString hexText(quint16 value);

private:
    bool m_enabled = true;
    QString m_name;
    QString m_password;
    bool m_defaultPassword = false;
    std::vector<ZmtIdentifier> m_ids;
};

} // namespace vrs
