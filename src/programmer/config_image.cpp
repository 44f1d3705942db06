#include "config_image.h"

#include "config/config_file.h"
#include "config/json.h"
#include "link/crc.h"

#include <cstring>

namespace vrs {

namespace {

void PutU32(char *p, uint32_t v)
{
    p[0] = char(v);
    p[1] = char(v >> 8);
    p[2] = char(v >> 16);
    p[3] = char(v >> 24);
}

uint32_t GetU32(const char *p)
{
    const auto *u = reinterpret_cast<const uint8_t *>(p);
    return uint32_t(u[0]) | uint32_t(u[1]) << 8 | uint32_t(u[2]) << 16 | uint32_t(u[3]) << 24;
}

bool ImageWhole(const QByteArray &image)
{
    return image.size() >= 8 && quint64(GetU32(image.constData())) + 8 == quint64(image.size());
}

} // namespace

QByteArray BuildConfigImage(const QByteArray &text)
{
    QByteArray image(text.size() + 8, Qt::Uninitialized);
    PutU32(image.data(), uint32_t(text.size()));
    memcpy(image.data() + 4, text.constData(), size_t(text.size()));
    PutU32(image.data() + 4 + text.size(),
           Crc32(reinterpret_cast<const uint8_t *>(text.constData()), size_t(text.size())));
    return image;
}

bool ConfigImageCrcOk(const QByteArray &image)
{
    if (!ImageWhole(image))
        return false;
    const QByteArray text = ConfigImageText(image);
    return Crc32(reinterpret_cast<const uint8_t *>(text.constData()), size_t(text.size()))
           == GetU32(image.constData() + image.size() - 4);
}

QByteArray ConfigImageText(const QByteArray &image)
{
    if (!ImageWhole(image))
        return {};
    return image.mid(4, image.size() - 8);
}

QByteArray MergeConfiguration(const QByteArray &storedText, const QByteArray &documentJson,
                              DeviceType type)
{
    const QString name = RootKeyOf(type);
    std::optional<JsonValue> stored;
    if (!storedText.isEmpty())
        stored = Parse(storedText);
    std::optional<JsonValue> document;
    if (!documentJson.isEmpty())
        document = Parse(documentJson);

    const JsonValue *member = (document && !name.isEmpty()) ? document->find(name) : nullptr;
    if (!stored || !stored->isObject() || !member)
        return documentJson;

    JsonValue merged = *stored;
    merged.remove(name);
    merged.add(name, *member);
    return PrintCompact(merged);
}

} // namespace vrs
