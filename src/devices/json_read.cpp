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

std::optional<bool> ReadBool(const JsonValue &object, const QString &key, const QString &label)
{
    const JsonValue *v = object.find(key);
    if (!v)
        return std::nullopt;
    switch (v->type()) {
    case JsonValue::Type::Bool:
        return v->boolValue();
    case JsonValue::Type::Number:
        if (std::isnan(v->number()))
            break;
        return v->number() != 0;
    case JsonValue::Type::String: {
        const QString t = v->string().trimmed();
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
    failConversion(nameOf(key, label), *v, QStringLiteral("логическим"));
}

std::optional<qint64> ReadInteger(const JsonValue &object, const QString &key, const QString &label)
{
    const JsonValue *v = object.find(key);
    if (!v)
        return std::nullopt;
    std::optional<qint64> n;
    switch (v->type()) {
    case JsonValue::Type::Bool:
        n = v->boolValue() ? 1 : 0;
        break;
    case JsonValue::Type::Number:
        n = integerOfDouble(v->number());
        break;
    case JsonValue::Type::String:
        n = integerOfText(v->string());
        break;
    default:
        break;
    }
    if (!n)
        failConversion(nameOf(key, label), *v, QStringLiteral("целым числом"));
    return n;
}

std::optional<QString> ReadText(const JsonValue &object, const QString &key, const QString &label)
{
    const JsonValue *v = object.find(key);
    if (!v)
        return std::nullopt;
    switch (v->type()) {
    case JsonValue::Type::String:
        return v->string();
    case JsonValue::Type::Number:
        return QString::fromUtf8(PrintCompact(*v));
    case JsonValue::Type::Bool:
        return v->boolValue() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        break;
    }
    failConversion(nameOf(key, label), *v, QStringLiteral("строкой"));
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
