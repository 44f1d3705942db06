#include "devices/plm/random_mac.h"

#include <QRandomGenerator>
#include <QStringList>

namespace vrs {

QString RandomMacText(QRandomGenerator &generator)
{
    quint8 bytes[6];
    for (quint8 &b : bytes)
        b = quint8(generator.bounded(256));
    // Bit 0 clear: an individual address; bit 1 set: locally administered.
    bytes[0] = quint8((bytes[0] & ~0x01) | 0x02);

    QStringList parts;
    for (quint8 b : bytes)
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char('-'));
}

QString RandomMacText()
{
    return RandomMacText(*QRandomGenerator::global());
}

} // namespace vrs
