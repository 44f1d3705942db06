#include "devices/plm/plm_fields.h"

#include "config/json.h"

#include <cmath>
#include <limits>

namespace vrs::plmdoc {

namespace {

// Beyond this a double does not convert to a 64-bit integer.
constexpr double kIntegerLimit = 9.2e18;

std::optional<qint64> integerOfDouble(double d)
{
    if (!std::isfinite(d))
        return std::nullopt;
    const double r = std::nearbyint(d);  // default rounding: ties to even
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

void Fail(const QString &detail)
{
    throw LoadError{QStringLiteral("Некорректная конфигурация: ") + detail};
}

QString Describe(const JsonValue &value)
{
    constexpr int kMaxChars = 60;
    QString text = QString::fromUtf8(PrintCompact(value));
    if (text.size() > kMaxChars)
        text = text.left(kMaxChars) + QStringLiteral("…");
    return text;
}

void Fields::failConversion(const QString &key, const JsonValue &value, const QString &what) const
{
    Fail(QStringLiteral("значение %1 ключа \"%2\" не является %3")
             .arg(Describe(value), PathOf(key), what));
}

std::optional<bool> Fields::Bool(const QString &key) const
{
    const JsonValue *v = Find(key);
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
    failConversion(key, *v, QStringLiteral("логическим значением"));
}

std::optional<qint64> Fields::Integer(const QString &key) const
{
    const JsonValue *v = Find(key);
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
        failConversion(key, *v, QStringLiteral("целым числом"));
    return n;
}

std::optional<int> Fields::Int32(const QString &key, qint64 offset) const
{
    const std::optional<qint64> n = Integer(key);
    if (!n)
        return std::nullopt;
    const qint64 shifted = *n + offset;
    if (shifted < std::numeric_limits<int>::min() || shifted > std::numeric_limits<int>::max())
        Fail(QStringLiteral("значение %1 ключа \"%2\" вне допустимого диапазона")
                 .arg(Describe(*Find(key)), PathOf(key)));
    return int(shifted);
}

std::optional<QString> Fields::Text(const QString &key) const
{
    const JsonValue *v = Find(key);
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
    failConversion(key, *v, QStringLiteral("текстом"));
}

std::optional<Fields> Fields::Object(const QString &key) const
{
    const JsonValue *v = Find(key);
    if (!v)
        return std::nullopt;
    if (!v->isObject())
        Fail(QStringLiteral("ключ \"%1\" должен содержать объект, а содержит %2")
                 .arg(PathOf(key), Describe(*v)));
    return Fields(*v, PathOf(key));
}

const JsonValue *Fields::Array(const QString &key) const
{
    const JsonValue *v = Find(key);
    if (v && !v->isArray())
        Fail(QStringLiteral("ключ \"%1\" должен содержать массив, а содержит %2")
                 .arg(PathOf(key), Describe(*v)));
    return v;
}

std::optional<Fields> ElementObject(const Fields &owner, const QString &key,
                                    const JsonValue &array, size_t index)
{
    const JsonValue &element = array.items()[index];
    if (!element.isObject())
        return std::nullopt;
    return Fields(element, QStringLiteral("%1[%2]").arg(owner.PathOf(key)).arg(index));
}

std::optional<qint64> ParseDecimal(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool sign = i == 0 && (c == QLatin1Char('+') || c == QLatin1Char('-'));
        if (!sign && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 n = text.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return n;
}

} // namespace vrs::plmdoc
