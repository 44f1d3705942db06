#pragma once

#include "programmer/port_list.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace vrs {

// The folder where simulated devices announce themselves, one file
// "<pid>.port" per running simulator.  Empty when the platform has no
// runtime folder.
QString SimulatedPortRegistryDir();

// Reads one announcement: lines "key=value" with path, vid and pid (hex)
// required, description and serial optional.  Nothing when a required line
// is missing or unreadable.  The port is named by its path, since that is
// what opens it.
std::optional<PortRecord> ParseSimulatedPort(const QByteArray &text);

// Every simulated port announced in dir whose device still exists and whose
// simulator is still running.  Files that do not parse are skipped.
std::vector<PortRecord> ReadSimulatedPorts(const QString &dir = SimulatedPortRegistryDir());

// The serial ports the operating system knows.
std::vector<PortRecord> SystemPorts();

// System and simulated ports together; a device listed by both counts once.
std::vector<PortRecord> DiscoverPorts();

// The whole refresh of the programmer window's port list.
PortList RefreshPortList(bool showAll, const QString &remembered);
// The same with the run's remembered port, which it updates.
PortList RefreshPortList(bool showAll);

// The port the programmer selects when it opens again.  It lives for the
// whole run and is not written anywhere.
QString RememberedPortName();
void SetRememberedPortName(const QString &name);

} // namespace vrs
