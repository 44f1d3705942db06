// How close the programmer's transfers come to the time their bytes need on
// a 10417-baud line.  The simulated device paces its output at that rate;
// the host's bytes go through the pseudo-terminal unpaced, so the table
// gives two bounds: every byte of the exchange both ways (the real line) and
// the device's bytes alone (what the simulation actually paces).
//
// Run by hand: bench_transfer [--trace] [KiB] [packet sizes...]   (default 64 1024 4096)
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
    ByteCounter() { clock.start(); }
    void WriteLog(const QString &text) override
    {
        if (trace)
            std::fprintf(stderr, "%9.1f %s\n", double(clock.nsecsElapsed()) / 1e6, qPrintable(text.left(60)));
        if (text.startsWith(QLatin1String("PC:  "))) {
            host += (text.size() - 5) / 3;
        } else if (text.startsWith(QLatin1String("Dev: "))) {
            const qint64 bytes = (text.size() - 5) / 3;
            device += bytes;
            // Chunks that follow each other closely belong to one burst of
            // the device; their spacing is the pace the simulation keeps.
            const double now = double(clock.nsecsElapsed()) / 1e6;
            if (lastDevMs >= 0 && now - lastDevMs < kBurstGapMs) {
                burstMs += now - lastDevMs;
                burstBytes += bytes;
            }
            lastDevMs = now;
        }
    }
    // Milliseconds per byte that the simulated device actually took.
    double SimMsPerByte() const { return burstBytes > 0 ? burstMs / double(burstBytes) : kMsPerByte; }
    static constexpr double kBurstGapMs = 15;
    qint64 host = 0;
    qint64 device = 0;
    double lastDevMs = -1;
    double burstMs = 0;
    qint64 burstBytes = 0;
    QElapsedTimer clock;
    static inline bool trace = false;
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
    double simMsPerByte = kMsPerByte;
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
    result.simMsPerByte = counter.SimMsPerByte();
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

// measured: the job from its start to its end.  wire both: every byte of
// the exchange at 10417 baud, the least a real line needs.  The simulation
// paces only the device's bytes, and at its own pace (sim ms/B); "host":
// measured less the device's bytes at that pace, i.e. the time the host and
// the protocol's pauses add.  est. line = host + wire both: the same run on
// a real line.
void Row(const char *name, uint32_t packet, const Result &r)
{
    if (!r.ok) {
        std::printf("%-20s %6u  FAILED\n", name, packet);
        return;
    }
    const double both = double(r.host + r.device) * kMsPerByte;
    const double simDevice = double(r.device) * r.simMsPerByte;
    const double added = r.ms - simDevice;
    const double line = added + both;
    std::printf("%-20s %6u %8lld %8lld %9.0f %9.0f %7.3f %7.0f %9.0f %7.3f\n", name, packet,
                (long long)r.host, (long long)r.device, r.ms, both, r.simMsPerByte, added, line, line / both);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    // --trace: every traffic line with its time, to see where time goes.
    ByteCounter::trace = args.removeAll(QStringLiteral("--trace")) > 0;
    const int kib = args.isEmpty() ? 64 : args[0].toInt();
    QList<uint32_t> packets;
    for (int i = 1; i < args.size(); ++i)
        packets << args[i].toUInt();
    if (packets.isEmpty())
        packets = {1024, 4096};
    const int size = kib * 1024;

    std::printf("%d KiB at %d baud, 10 bits per byte (%.3f ms/B); times in ms\n", kib, kBaud, kMsPerByte);
    std::printf("%-20s %6s %8s %8s %9s %9s %7s %7s %9s %7s\n", "job", "packet", "host B", "device B",
                "measured", "wire both", "sim ms/B", "host", "est. line", "ratio");

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
