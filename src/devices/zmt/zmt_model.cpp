#include "zmt_model.h"

#include "devices/json_read.h"

namespace vrs {

namespace {

const QString kRootKey = QStringLiteral("whmeter");

} // namespace

ZmtModel::ZmtModel()
{
    Reset();
}

QString ZmtModel::rootKey() const
{
    return kRootKey;
}

QString ZmtModel::identifierLabel()
{
    return QStringLiteral("ЗМТ");
}

QString ZmtModel::hexText(quint16 value)
{
    return QString::number(value, 16).toUpper();
}

void ZmtModel::Reset()
{
    m_enabled = true;
    m_name.clear();
    m_password.clear();
    m_defaultPassword = false;
    m_ids.clear();
    m_ids.push_back(ZmtIdentifier{1, 0, zikOwnId, identifierLabel()});
    m_ids.push_back(ZmtIdentifier{1, 0, zikAppId, identifierLabel()});
}

void ZmtModel::setIdentifierValue(size_t index, quint16 value)
{
    if (index < m_ids.size())
        m_ids[index].value = value;
}

quint16 ZmtModel::identifier(ZmtIdKind kind) const
{
    for (const ZmtIdentifier &id : m_ids)
        if (id.kind == kind)
            return id.value;
    return 1;
}

void ZmtModel::setIdentifier(ZmtIdKind kind, quint16 value)
{
    for (ZmtIdentifier &id : m_ids) {
        if (id.kind == kind) {
            id.value = value;
            return;
        }
    }
}

JsonValue ZmtModel::BuildJSON() const
{
    JsonValue conf = JsonValue::object();
    conf.add(QStringLiteral("en"), m_enabled);
    conf.add(QStringLiteral("name"), m_name);
    conf.add(QStringLiteral("id"), unsigned(ownId()));
    conf.add(QStringLiteral("app_id"), unsigned(appId()));
    conf.add(QStringLiteral("psw"), m_password);
    conf.add(QStringLiteral("psw_def"), m_defaultPassword);
    JsonValue root = JsonValue::object();
    root.add(kRootKey, std::move(conf));
    return root;
}

bool ZmtModel::LoadJSON(const JsonValue &root, QString *message)
{
    if (!root.find(kRootKey)) {
        if (message)
            *message = QStringLiteral("Некорректная конфигурация");
        return false;
    }
    // Filled in a copy, so that a value that cannot be taken leaves the
    // document as the user had it.
    ZmtModel next(*this);
    try {
        const JsonValue *conf = ReadObject(root, kRootKey);
        next.m_enabled = ReadBool(*conf, QStringLiteral("en")).value_or(false);
        next.m_name = ReadText(*conf, QStringLiteral("name")).value_or(QString());
        // Identifiers keep their lowest 16 bits, as the device stores them.
        if (auto id = ReadInteger(*conf, QStringLiteral("id")))
            next.setOwnId(quint16(*id));
        if (auto id = ReadInteger(*conf, QStringLiteral("app_id")))
            next.setAppId(quint16(*id));
        next.m_password = ReadText(*conf, QStringLiteral("psw")).value_or(QString());
        next.m_defaultPassword = ReadBool(*conf, QStringLiteral("psw_def")).value_or(false);
    } catch (const LoadFailure &failure) {
        if (message)
            *message = failure.message;
        return false;
    }
    *this = std::move(next);
    return true;
}

} // namespace vrs
