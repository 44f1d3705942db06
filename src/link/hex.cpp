#include "link/log_sink.h"

namespace vrs {

QString BytesToHex(const uint8_t *data, size_t count)
{
    static const char kDigits[] = "0123456789ABCDEF";
    QString text(qsizetype(count * 3), Qt::Uninitialized);
    QChar *out = text.data();
    for (size_t i = 0; i < count; ++i) {
        *out++ = QLatin1Char(kDigits[data[i] >> 4]);
        *out++ = QLatin1Char(kDigits[data[i] & 0x0F]);
        *out++ = QLatin1Char(' ');
    }
    return text;
}

} // namespace vrs
