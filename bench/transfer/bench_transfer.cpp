// How close the programmer's transfers come to the time their bytes need on
// a 10417-baud line.  The simulated device paces its output at that rate;
// the host's bytes go through the pseudo-terminal unpaced, so the table
// gives two bounds: every byte of the exchange both ways (the real line) and
// the device's bytes alone (what the simulation actually paces).
//
// Run by hand: bench_transfer [KiB] [packet sizes...]   (default 64 1024 4096)
#include "firmware_builder.h"

#include "devsim/sim_device.h"
#include "link/crc.h"
#include "link/log_sink.h"
#include "programmer/programmer_controller.h"
#include "programmer/prompt.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

using namespace vrs;

namespace {

constexpr int kBaud = 10417;
constexpr double kMsPerByte = 10.0 * 1000.0 / kBaud;

// Counts the bytes of the traffic log: "PC:  " lines are what the host
// wrote, "Dev: " lines what it received, each byte as "XX ".
class ByteCounter : public LogSink {
public:
    void WriteLog(const QString &text) override
    {
        if (text.startsWith(QLatin1String("PC:  ")))
            host += (text.size() - 5) / 3;
        else if (text.startsWith(QLatin1String("Dev: ")))
            device += (text.size() - 5) / 3;
    }
    qint64 host = 0;
    qint64 device = 0;
};

class YesPrompt : public Prompt {
public:
    bool Ask(const QString &, const QString &) override { return true; }
    void Show(Kind, const QString &, const QString &) override {}
};

struct Result {
    bool ok = false;
    double ms = 0;
    qint64 host = 0;
    qint64 device = 0;
};

bool WaitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(1);
    loop.exec();
    return done();
}

// Connects, then times the job from its start to its end.
Result Measure(devsim::DeviceOptions options, DeviceType type, ProgrammerMode mode, const QByteArray &document,
               const std::function<void(ProgrammerController &)> &start)
{
    options.baud = kBaud;
    devsim::SimDevice device(options);
    QString error;
    if (!device.Start(&error)) {
        std::fprintf(stderr, "device: %s\n", qPrintable(error));
        return {};
    }
    YesPrompt prompt;
    ProgrammerController ctl(type, mode, document, &prompt);
    ProgrammerController::Timing timing;
    timing.connectTries = 3;
    timing.connectDelayMs = 100;
    ctl.SetTiming(timing);
    ctl.SetPortName(device.PortPath());
    ctl.Connect();
    if (!WaitFor([&] { return ctl.CommandEnabled(); }, 20000)) {
        std::fprintf(stderr, "no connection: %s\n", qPrintable(ctl.LastStatus()));
        return {};
    }

    ByteCounter counter;
    ctl.SetLog(&counter);
    bool finished = false;
    Result result;
    QObject::connect(&ctl, &ProgrammerController::jobFinished, [&](bool ok) {
        if (!finished)
            result.ok = ok;
        finished = true;
    });
    QElapsedTimer clock;
    clock.start();
    start(ctl);
    WaitFor([&] { return finished; }, 600000);
    result.ms = double(clock.nsecsElapsed()) / 1e6;
    result.host = counter.host;
    result.device = counter.device;
    ctl.SetLog(nullptr);
    ctl.Disconnect();
    return result;
}

// A configuration text of exactly the given size under the member name.
QByteArray Padded(const char *member, int size)
{
    const QByteArray head = QByteArray("{\"") + member + "\":{\"pad\":\"";
    const QByteArray tail = "\"}}";
    return head + QByteArray(qMax(0, size - int(head.size() + tail.size())), 'x') + tail;
}

void Row(const char *name, uint32_t packet, const Result &r)
{
    if (!r.ok) {
        std::printf("%-28s %6u  FAILED\n", name, packet);
        return;
    }
    const double both = double(r.host + r.device) * kMsPerByte;
    const double paced = double(r.device) * kMsPerByte;
    std::printf("%-28s %6u %9lld %9lld %10.0f %10.0f %10.0f %7.3f %7.3f\n", name, packet,
                (long long)r.host, (long long)r.device, r.ms, both, paced, r.ms / both, r.ms / paced);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int kib = args.isEmpty() ? 64 : args[0].toInt();
    QList<uint32_t> packets;
    for (int i = 1; i < args.size(); ++i)
        packets << args[i].toUInt();
    if (packets.isEmpty())
        packets = {1024, 4096};
    const int size = kib * 1024;

    std::printf("%d KiB at %d baud, 10 bits per byte; times in ms\n", kib, kBaud);
    std::printf("%-28s %6s %9s %9s %10s %10s %10s %7s %7s\n", "job", "packet", "host B", "device B",
                "measured", "wire both", "wire dev", "/both", "/dev");

    // Read mode always reads in 1024-byte chunks.
    {
        devsim::DeviceOptions o;
        o.configText = Padded("asudd", size - 8);   // image of exactly `size` bytes
        Row("read configuration", 1024, Measure(o, dtPLM, pmReadConfig, {}, [](ProgrammerController &c) {
                c.RunTransfer();
            }));
    }
    for (uint32_t packet : packets) {
        // A small stored set is read first, then the 64 KiB set written and verified.
        devsim::DeviceOptions o;
        o.packetSize = packet;
        o.configText = QByteArray(R"({"whmeter":{"w":1}})");
        const QByteArray document = Padded("asudd", size - 8 - 16);
        Row("write configuration", packet, Measure(o, dtPLM, pmWriteConfig, document, [](ProgrammerController &c) {
                c.RunTransfer();
            }));
    }
    for (uint32_t packet : packets) {
        FirmwareBuilder fw;
        QByteArray data(size, '\0');
        for (int i = 0; i < size; ++i)
            data[i] = char((i * 7) & 0xFF);
        fw.blocks.push_back({0x08000000u, data,
                             Crc32(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()))});
        const QByteArray image = fw.Build();
        devsim::DeviceOptions o;
        o.packetSize = packet;
        Row("flash firmware", packet, Measure(o, dtNone, pmFirmware, {}, [&](ProgrammerController &c) {
                QString error;
                if (!c.LoadFirmware(image, &error))
                    std::fprintf(stderr, "firmware: %s\n", qPrintable(error));
            }));
    }
    return 0;
}
