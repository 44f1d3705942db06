#include "transport/port_path.h"

namespace vrs {

QString DevicePathForPortName(const QString &portName)
{
    QString name = portName;
    if (name.startsWith(QLatin1String("//./")) || name.startsWith(QLatin1String("\\\\.\\")))
        name.remove(0, 4);
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')))
        return name;

    if (name.size() > 3 && name.left(3).compare(QLatin1String("COM"), Qt::CaseInsensitive) == 0) {
        bool ok = false;
        const int number = name.mid(3).toInt(&ok);
        if (ok && number >= 1 && name.at(3).isDigit())
            return QStringLiteral("/dev/ttyS%1").arg(number - 1);
    }
    return QStringLiteral("/dev/") + name;
}

} // namespace vrs
