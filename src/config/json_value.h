#pragma once

#include <QString>
#include <vector>

namespace vrs {

// A JSON value tree.  Objects keep their members in the order they were
// added and find a member by exact, case-sensitive key (the first member
// with that key wins).  Strings are Unicode; numbers are doubles.
class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    JsonValue() = default;
    JsonValue(bool b) : m_type(Type::Bool), m_bool(b) {}
    JsonValue(int n) : m_type(Type::Number), m_number(n) {}
    JsonValue(unsigned n) : m_type(Type::Number), m_number(n) {}
    JsonValue(qint64 n) : m_type(Type::Number), m_number(double(n)) {}
    JsonValue(double n) : m_type(Type::Number), m_number(n) {}
    JsonValue(const QString &s) : m_type(Type::String), m_string(s) {}
    JsonValue(const char *utf8) : m_type(Type::String), m_string(QString::fromUtf8(utf8)) {}

    static JsonValue object() { JsonValue v; v.m_type = Type::Object; return v; }
    static JsonValue array() { JsonValue v; v.m_type = Type::Array; return v; }

    Type type() const { return m_type; }
    bool isNull() const { return m_type == Type::Null; }
    bool isBool() const { return m_type == Type::Bool; }
    bool isNumber() const { return m_type == Type::Number; }
    bool isString() const { return m_type == Type::String; }
    bool isArray() const { return m_type == Type::Array; }
    bool isObject() const { return m_type == Type::Object; }

    bool boolValue() const { return m_bool; }
    double number() const { return m_number; }
    const QString &string() const { return m_string; }

    // Objects.
    const JsonValue *find(const QString &key) const;
    JsonValue *find(const QString &key);
    // Appends a member, even when the key is already there.
    JsonValue &add(const QString &key, JsonValue value);
    // Replaces the first member with that key, or appends one.
    JsonValue &set(const QString &key, JsonValue value);
    // Removes every member with that key; returns whether there was one.
    bool remove(const QString &key);
    const std::vector<QString> &keys() const { return m_keys; }

    // Arrays; for objects, the member values in order.
    JsonValue &append(JsonValue value);
    // Room for n elements or members, so that building a large tree does
    // not reallocate as it grows.
    void reserve(size_t n);
    const std::vector<JsonValue> &items() const { return m_items; }
    std::vector<JsonValue> &items() { return m_items; }
    size_t size() const { return m_items.size(); }

    bool operator==(const JsonValue &other) const;
    bool operator!=(const JsonValue &other) const { return !(*this == other); }

private:
    Type m_type = Type::Null;
    bool m_bool = false;
    double m_number = 0;
    QString m_string;
    std::vector<QString> m_keys;     // objects only, parallel to m_items
    std::vector<JsonValue> m_items;  // array elements or member values
};

} // namespace vrs
