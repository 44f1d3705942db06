// How quickly the host answers a ready frame, seen from the device's end of
// a pseudo-terminal: the time from writing the ready frame to having read the
// whole answer.  Run by hand: bench_collector [frames per case]

#include "link/log_sink.h"
#include "link/task_collector.h"
#include "link/task_transfer.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace vrs;
using Clock = std::chrono::steady_clock;

namespace {

class MemoryLog : public LogSink {
public:
    void WriteLog(const QString &text) override { lines << text; }
    QStringList lines;
};

struct Case {
    const char *name;
    uint32_t chunk;      // 0: nothing to do, the ready frame is echoed
    bool trafficLog;
};

// The device: sends a ready frame, waits for the whole answer, again and
// again.  Returns the answer times in microseconds.
std::vector<double> Drive(int master, int frames, size_t answerSize)
{
    static const uint8_t ready[10] = {0x5A, 0xA5, 0x55, 0xAA, 0x01, 0x00, 0x00, 0x00, 0x00, 0xB6};
    std::vector<double> times;
    std::vector<uint8_t> buffer(answerSize + 64);
    times.reserve(size_t(frames));
    for (int i = 0; i < frames; ++i) {
        const auto start = Clock::now();
        if (::write(master, ready, sizeof ready) != ssize_t(sizeof ready))
            break;
        size_t got = 0;
        while (got < answerSize) {
            pollfd p {master, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0)
                return times;
            const ssize_t n = ::read(master, buffer.data(), buffer.size());
            if (n <= 0)
                return times;
            got += size_t(n);
        }
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return times;
}

double Percentile(std::vector<double> sorted, double q)
{
    const size_t at = std::min(sorted.size() - 1, size_t(q * double(sorted.size() - 1) + 0.5));
    return sorted[at];
}

bool RunCase(const Case &c, int frames)
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return false;
    for (int fd : {master, slave}) {
        termios t {};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
    }

    MemoryLog log;
    TTaskCollector collector;
    const QString path = QString::fromLocal8Bit(name);
    collector.SetPortNameSource([path] { return path; });
    collector.SetAnswerTimeoutScale(10000);
    if (c.trafficLog)
        collector.SetTrafficLog(&log);
    collector.Connect();
    if (collector.LinkState() != lsConnecting) {
        std::fprintf(stderr, "cannot open %s\n", name);
        return false;
    }

    // A write that never gets its answer: every ready frame resends its chunk.
    QByteArray source(int(std::max<uint32_t>(c.chunk, 1)) * 2, '\x42');
    size_t answerSize = 10;
    if (c.chunk != 0) {
        collector.AddTask(std::make_unique<TWriteTask>(7, reinterpret_cast<const uint8_t *>(source.constData()),
                                                       uint32_t(source.size()), 0, c.chunk, "bench"));
        answerSize = c.chunk + 8 + 10;
    }

    // The first ready frame connects the link; let the task's own first
    // request go out before measuring.
    static const uint8_t ready[10] = {0x5A, 0xA5, 0x55, 0xAA, 0x01, 0x00, 0x00, 0x00, 0x00, 0xB6};
    (void)!::write(master, ready, sizeof ready);
    QTimer::singleShot(150, [] {});
    const auto warm = Clock::now() + std::chrono::milliseconds(150);
    while (Clock::now() < warm)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::vector<uint8_t> drain(65536);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    while (::read(master, drain.data(), drain.size()) > 0) {
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) & ~O_NONBLOCK);

    std::vector<double> times;
    bool finished = false;
    std::thread device([&] {
        times = Drive(master, frames, answerSize);
        finished = true;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(0); },
                                  Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    device.join();
    collector.Disconnect();
    ::close(master);
    ::close(slave);

    if (times.size() != size_t(frames)) {
        std::fprintf(stderr, "%s: only %zu of %d answers\n", c.name, times.size(), frames);
        return false;
    }
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    std::printf("%-34s %6d %10.3f %10.3f %10.3f %10.3f\n", c.name, frames, Percentile(times, 0.5) / 1000,
                Percentile(times, 0.99) / 1000, sum / double(times.size()) / 1000, times.back() / 1000);
    return finished;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 3000;
    const Case cases[] = {
        {"idle: ready frame echoed", 0, false},
        {"idle, traffic log on", 0, true},
        {"1024-byte write chunk resent", 1024, false},
        {"1024-byte chunk, traffic log on", 1024, true},
        {"16375-byte write chunk resent", 16375, false},
    };
    std::printf("%-34s %6s %10s %10s %10s %10s\n", "case (times in ms)", "frames", "median", "p99", "mean", "max");
    bool ok = true;
    for (const Case &c : cases)
        ok = RunCase(c, frames) && ok;
    return ok ? 0 : 1;
}
