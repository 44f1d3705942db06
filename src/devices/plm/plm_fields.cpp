#include "devices/plm/plm_fields.h"

#include "devices/json_read.h"

#include <limits>

namespace vrs::plmdoc {

void Fail(const QString &detail)
{
    throw LoadError{QStringLiteral("Некорректная конфигурация: ") + detail};
}

QString Describe(const JsonValue &value)
{
    return DescribeValue(value);
}

void Fields::failConversion(const QString &key, const JsonValue &value, const QString &what) const
{
    Fail(QStringLiteral("значение %1 ключа \"%2\" не является %3")
             .arg(Describe(value), PathOf(key), what));
}

template <typename T>
std::optional<T> Fields::converted(const QString &key,
                                   std::optional<T> (*convert)(const JsonValue &),
                                   const QString &what) const
{
    const JsonValue *v = Find(key);
    if (!v)
        return std::nullopt;
    std::optional<T> value = convert(*v);
    if (!value)
        failConversion(key, *v, what);
    return value;
}

std::optional<bool> Fields::Bool(const QString &key) const
{
    return converted(key, ToBool, QStringLiteral("логическим значением"));
}

std::optional<qint64> Fields::Integer(const QString &key) const
{
    return converted(key, ToInteger, QStringLiteral("целым числом"));
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
    return converted(key, ToText, QStringLiteral("текстом"));
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
