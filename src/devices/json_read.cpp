#include "devices/json_read.h"

#include "config/json.h"

#include <cmath>

namespace vrs {

namespace {

const QString kBadConfig = QStringLiteral("Некорректная конфигурация");

QString nameOf(const QString &key, const QString &label)
{
    return label.isEmpty() ? key : label;
}

[[noreturn]] void failConversion(const QString &name, const JsonValue &value,
                                 const QString &what)
{
    throw LoadFailure{QStringLiteral("%1: значение %2 ключа \"%3\" не является %4")
                          .arg(kBadConfig, DescribeValue(value), name, what)};
}

[[noreturn]] void failContainer(const QString &name, const JsonValue &value,
                                const QString &what)
{
    throw LoadFailure{QStringLiteral("%1: ключ \"%2\" должен содержать %3, а содержит %4")
                          .arg(kBadConfig, name, what, DescribeValue(value))};
}

// Whole numbers a device or a file may carry; beyond this the conversion to a
// 64-bit integer is not defined.
constexpr double kIntegerLimit = 9.2e18;

std::optional<qint64> integerOfDouble(double d)
{
    if (!std::isfinite(d))
        return std::nullopt;
    const double r = std::nearbyint(d);
    if (r > kIntegerLimit || r < -kIntegerLimit)
        return std::nullopt;
    return qint64(r);
}

std::optional<qint64> integerOfText(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const qint64 n = t.toLongLong(&ok, 10);
    if (ok)
        return n;
    const double d = t.toDouble(&ok);
    if (ok)
        return integerOfDouble(d);
    return std::nullopt;
}

} // namespace

QString DescribeValue(const JsonValue &value)
{
    constexpr int kMaxChars = 60;
    QString text = QString::fromUtf8(PrintCompact(value));
    if (text.size() > kMaxChars)
        text = text.left(kMaxChars) + QStringLiteral("…");
    return text;
}

std::optional<bool> ToBool(const JsonValue &value)
{
    switch (value.type()) {
    case JsonValue::Type::Bool:
        return value.boolValue();
    case JsonValue::Type::Number:
        if (std::isnan(value.number()))
            break;
        return value.number() != 0;
    case JsonValue::Type::String: {
        const QString t = value.string().trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (ok && !std::isnan(d))
            return d != 0;
        break;
    }
    default:
        break;
    }
    return std::nullopt;
}

std::optional<qint64> ToInteger(const JsonValue &value)
{
    switch (value.type()) {
    case JsonValue::Type::Bool:
        return value.boolValue() ? 1 : 0;
    case JsonValue::Type::Number:
        return integerOfDouble(value.number());
    case JsonValue::Type::String:
        return integerOfText(value.string());
    default:
        return std::nullopt;
    }
}

std::optional<QString> ToText(const JsonValue &value)
{
    switch (value.type()) {
    case JsonValue::Type::String:
        return value.string();
    case JsonValue::Type::Number:
        return QString::fromUtf8(PrintCompact(value));
    case JsonValue::Type::Bool:
        return value.boolValue() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return std::nullopt;
    }
}

namespace {

template <typename T>
std::optional<T> readConverted(const JsonValue &object, const QString &key, const QString &label,
                               std::optional<T> (*convert)(const JsonValue &), const QString &what)
{
    const JsonValue *v = object.find(key);
    if (!v)
        return std::nullopt;
    std::optional<T> converted = convert(*v);
    if (!converted)
        failConversion(nameOf(key, label), *v, what);
    return converted;
}

} // namespace

std::optional<bool> ReadBool(const JsonValue &object, const QString &key, const QString &label)
{
    return readConverted(object, key, label, ToBool, QStringLiteral("логическим"));
}

std::optional<qint64> ReadInteger(const JsonValue &object, const QString &key, const QString &label)
{
    return readConverted(object, key, label, ToInteger, QStringLiteral("целым числом"));
}

std::optional<QString> ReadText(const JsonValue &object, const QString &key, const QString &label)
{
    return readConverted(object, key, label, ToText, QStringLiteral("строкой"));
}

const JsonValue *ReadObject(const JsonValue &object, const QString &key, const QString &label)
{
    const JsonValue *v = object.find(key);
    if (v && !v->isObject())
        failContainer(nameOf(key, label), *v, QStringLiteral("объект"));
    return v;
}

const JsonValue *ReadList(const JsonValue &object, const QString &key, const QString &label)
{
    const JsonValue *v = object.find(key);
    if (v && !v->isArray())
        failContainer(nameOf(key, label), *v, QStringLiteral("список"));
    return v;
}

} // namespace vrs
