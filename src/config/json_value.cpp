#include "json_value.h"

namespace vrs {

const JsonValue *JsonValue::find(const QString &key) const
{
    if (m_type != Type::Object)
        return nullptr;
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (m_keys[i] == key)
            return &m_items[i];
    return nullptr;
}

JsonValue *JsonValue::find(const QString &key)
{
    return const_cast<JsonValue *>(static_cast<const JsonValue *>(this)->find(key));
}

JsonValue &JsonValue::add(const QString &key, JsonValue value)
{
    Q_ASSERT(m_type == Type::Object);
    m_keys.push_back(key);
    m_items.push_back(std::move(value));
    return m_items.back();
}

JsonValue &JsonValue::set(const QString &key, JsonValue value)
{
    if (JsonValue *existing = find(key)) {
        *existing = std::move(value);
        return *existing;
    }
    return add(key, std::move(value));
}

bool JsonValue::remove(const QString &key)
{
    bool removed = false;
    for (size_t i = m_keys.size(); i-- > 0;) {
        if (m_keys[i] == key) {
            m_keys.erase(m_keys.begin() + i);
            m_items.erase(m_items.begin() + i);
            removed = true;
        }
    }
    return removed;
}

JsonValue &JsonValue::append(JsonValue value)
{
    Q_ASSERT(m_type == Type::Array);
    m_items.push_back(std::move(value));
    return m_items.back();
}

void JsonValue::reserve(size_t n)
{
    m_items.reserve(n);
    if (m_type == Type::Object)
        m_keys.reserve(n);
}

bool JsonValue::operator==(const JsonValue &other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case Type::Null: return true;
    case Type::Bool: return m_bool == other.m_bool;
    case Type::Number: return m_number == other.m_number;
    case Type::String: return m_string == other.m_string;
    case Type::Array: return m_items == other.m_items;
    case Type::Object: return m_keys == other.m_keys && m_items == other.m_items;
    }
    return false;
}

} // namespace vrs
