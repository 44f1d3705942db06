#pragma once

#include "config/json_value.h"

#include <QString>
#include <optional>

namespace vrs {

// Thrown by the readers below when a member holds a value that cannot be
// taken; a document load catches it, keeps its old content and shows the
// message, which names the key and the value.
struct LoadFailure {
    QString message;
};

// One value converted the way configurations written by earlier versions and
// by the devices themselves expect:
//  - a number read as a boolean is true when non-zero, the texts "true" and
//    "false" (any case) and numeric texts are taken too;
//  - a number read as an integer is rounded to the nearest (ties to even),
//    a boolean is 1 or 0, a numeric text is taken;
//  - a number read as text is its printed form, a boolean "True" or "False".
// Nothing when the value cannot be converted, so that each document words
// its own message.
std::optional<bool> ToBool(const JsonValue &value);
std::optional<qint64> ToInteger(const JsonValue &value);
std::optional<QString> ToText(const JsonValue &value);

// Members of a configuration object, converted as above.
// Nothing when the member is missing; LoadFailure when it cannot be converted.
// `label` names the member in the message (the key when empty).
std::optional<bool> ReadBool(const JsonValue &object, const QString &key,
                             const QString &label = QString());
std::optional<qint64> ReadInteger(const JsonValue &object, const QString &key,
                                  const QString &label = QString());
std::optional<QString> ReadText(const JsonValue &object, const QString &key,
                                const QString &label = QString());
// The member when it is an object (a list); nullptr when it is missing;
// LoadFailure when it holds anything else.
const JsonValue *ReadObject(const JsonValue &object, const QString &key,
                            const QString &label = QString());
const JsonValue *ReadList(const JsonValue &object, const QString &key,
                          const QString &label = QString());

// A short text of a value for messages: its compact JSON, cut when long.
QString DescribeValue(const JsonValue &value);

} // namespace vrs
