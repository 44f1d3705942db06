#pragma once

#include "config/json_value.h"

#include <QString>
#include <optional>

namespace vrs::plmdoc {

// Stops an "asudd" load; the message names the key (by its path from
// "asudd") and the value that could not be taken.
struct LoadError {
    QString message;
};

// Throws LoadError with "Некорректная конфигурация: " and the detail.
[[noreturn]] void Fail(const QString &detail);
// A short text of a value for messages: its compact JSON, cut when long.
QString Describe(const JsonValue &value);

// Members of one object of the document, converted by the rules every
// device configuration shares (vrs::ToBool, ToInteger, ToText); messages
// name the member by its path from "asudd".
// Nothing when the member is absent; LoadError when it cannot be converted.
class Fields {
public:
    Fields(const JsonValue &object, QString path) : m_object(&object), m_path(std::move(path)) {}

    const QString &Path() const { return m_path; }
    QString PathOf(const QString &key) const { return m_path + QLatin1Char('.') + key; }
    const JsonValue *Find(const QString &key) const { return m_object->find(key); }

    std::optional<bool> Bool(const QString &key) const;
    std::optional<qint64> Integer(const QString &key) const;
    // An integer that must fit a 32-bit signed field after `offset` is added.
    std::optional<int> Int32(const QString &key, qint64 offset = 0) const;
    std::optional<QString> Text(const QString &key) const;

    // A member that must hold an object (an array); nothing when absent.
    std::optional<Fields> Object(const QString &key) const;
    const JsonValue *Array(const QString &key) const;

private:
    // Only this class's own readers instantiate it, all in its source file.
    template <typename T>
    std::optional<T> converted(const QString &key, std::optional<T> (*convert)(const JsonValue &),
                               const QString &what) const;
    [[noreturn]] void failConversion(const QString &key, const JsonValue &value,
                                     const QString &what) const;

    const JsonValue *m_object;
    QString m_path;
};

// The i-th element of an array member, for reading when it is an object;
// nothing for elements of any other type, which loading skips.
std::optional<Fields> ElementObject(const Fields &owner, const QString &key,
                                    const JsonValue &array, size_t index);

// A decimal integer written as text: an optional sign and digits only.
std::optional<qint64> ParseDecimal(const QString &text);

} // namespace vrs::plmdoc
