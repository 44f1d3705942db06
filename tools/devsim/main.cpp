#include "device_dump.h"
#include "device_options.h"
#include "port_registry.h"
#include "signal_watcher.h"
#include "sim_device.h"

#include <QCoreApplication>

#include <cstdio>

using namespace vrs::devsim;

namespace {

void PrintError(const QString &text)
{
    std::fprintf(stderr, "vrs5-devsim: %s\n", text.toLocal8Bit().constData());
}

void Dump(const SimDevice &device, const QString &fileName)
{
    QString error;
    if (!fileName.isEmpty() && !WriteDump(device, fileName, &error))
        PrintError(QStringLiteral("cannot write dump %1: %2").arg(fileName, error));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vrs5-devsim"));

    DeviceOptions options;
    QString text;
    switch (ParseDeviceOptions(QCoreApplication::arguments(), &options, &text)) {
    case ParseResult::Help:
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    case ParseResult::Error:
        PrintError(text);
        PrintError(QStringLiteral("see --help"));
        return 2;
    case ParseResult::Ok:
        break;
    }

    SignalWatcher watcher;
    if (!watcher.Install(&text)) {
        PrintError(text);
        return 1;
    }

    SimDevice device(options);
    if (!device.Start(&text)) {
        PrintError(text);
        return 1;
    }

    PortRegistryEntry registry;
    if (options.registerPort && !registry.Write(device.PortPath(), options.serial, &text)) {
        PrintError(QStringLiteral("cannot register the port: %1").arg(text));
        return 1;
    }

    std::printf("%s\n", device.PortPath().toLocal8Bit().constData());
    std::fflush(stdout);

    QObject::connect(&watcher, &SignalWatcher::dumpRequested, &device,
                     [&] { Dump(device, options.dumpFile); });
    QObject::connect(&watcher, &SignalWatcher::terminateRequested, &app,
                     [] { QCoreApplication::quit(); });

    const int code = app.exec();
    Dump(device, options.dumpFile);
    registry.Remove();
    return code;
}
