#include "programmer/port_list.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace vrs {

namespace {

// Splits "ttyUSB12" into "ttyUSB" and 12; a name without trailing digits
// keeps its whole text as prefix and gets -1.
std::pair<QStringView, int> SplitName(QStringView name)
{
    qsizetype digits = name.size();
    while (digits > 0 && name[digits - 1].isDigit())
        --digits;
    const QStringView tail = name.mid(digits);
    bool ok = false;
    const int number = tail.isEmpty() ? -1 : tail.toInt(&ok);
    // A run of digits too long for an int still sorts after every real one.
    return {name.left(digits), ok ? number : (tail.isEmpty() ? -1 : INT_MAX)};
}

bool IsVrsPort(const PortRecord &port)
{
    return port.hasUsbIds && port.vendorId == kVrsUsbVendorId
           && port.productId == kVrsUsbProductId;
}

} // namespace

PortNaming PortNaming::Native()
{
#ifdef Q_OS_WIN
    return Windows();
#else
    return Posix();
#endif
}

QStringList PortList::Names() const
{
    QStringList names;
    names.reserve(int(ports.size()));
    for (const PortRecord &port : ports)
        names << port.name;
    return names;
}

QString PortList::SelectedName() const
{
    return selected >= 0 && selected < int(ports.size()) ? ports[size_t(selected)].name : QString();
}

int PortNumber(const QString &name)
{
    return SplitName(name).second;
}

bool PortNameLess(const QString &a, const QString &b)
{
    const auto [prefixA, numberA] = SplitName(a);
    const auto [prefixB, numberB] = SplitName(b);
    if (const int c = prefixA.compare(prefixB); c != 0)
        return c < 0;
    return numberA < numberB;
}

PortList BuildPortList(const std::vector<PortRecord> &found, bool showAll,
                       const QString &remembered, const PortNaming &naming)
{
    const Qt::CaseSensitivity cs = naming.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    PortList list;
    for (PortRecord port : found) {
        if (port.name.isEmpty())
            continue;
        if (naming.caseInsensitive)
            port.name = port.name.toUpper();
        // A matching device is offered whatever its name; the marker only
        // keeps other kinds of port out of the unfiltered list.
        if (showAll) {
            if (!naming.requiredMarker.isEmpty() && !port.name.contains(naming.requiredMarker, cs))
                continue;
        } else if (!IsVrsPort(port)) {
            continue;
        }
        const bool duplicate = std::any_of(list.ports.begin(), list.ports.end(), [&](const PortRecord &p) {
            return p.name.compare(port.name, cs) == 0;
        });
        if (!duplicate)
            list.ports.push_back(std::move(port));
    }
    std::stable_sort(list.ports.begin(), list.ports.end(),
                     [](const PortRecord &a, const PortRecord &b) { return PortNameLess(a.name, b.name); });

    list.remembered = remembered;
    if (list.ports.empty())
        return list;
    list.selected = 0;
    for (size_t i = 0; i < list.ports.size(); ++i) {
        if (!remembered.isEmpty() && list.ports[i].name.compare(remembered, cs) == 0) {
            list.selected = int(i);
            break;
        }
    }
    list.remembered = list.ports[size_t(list.selected)].name;
    return list;
}

} // namespace vrs
