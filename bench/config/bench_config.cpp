// Throughput of the configuration file codec and the JSON printer and reader
// on a document of about 3 MiB, the largest a device set is expected to reach.
#include "config/codec.h"
#include "config/config_file.h"
#include "config/json.h"

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

using namespace vrs;

namespace {

JsonValue makeObject(int n)
{
    JsonValue o = JsonValue::object();
    o.add("en", n % 3 != 0);
    o.add("name", QStringLiteral("Перекрёсток ул. Ленина / пр. Мира №%1").arg(n));
    o.add("id", n);
    o.add("addr", 0x10000 + n * 17);
    o.add("ip", QStringLiteral("192.168.%1.%2").arg(n / 256 % 256).arg(n % 256));
    o.add("k", n * 0.125 - 3.5);
    o.add("t", 1.5e-7 * n);
    o.add("note", n % 5 ? JsonValue(QStringLiteral("path/to\t\"item\"")) : JsonValue());
    JsonValue det = JsonValue::array();
    for (int i = 0; i < 6; ++i) {
        JsonValue d = JsonValue::object();
        d.add("ch", i);
        d.add("type", i % 2 ? "loop" : "радар");
        d.add("lanes", JsonValue::array());
        d.items().back().append(i);
        d.items().back().append(i + 1);
        det.append(d);
    }
    o.add("detectors", det);
    o.add("empty", JsonValue::object());
    return o;
}

JsonValue makeDocument(qsizetype targetBytes)
{
    JsonValue root = JsonValue::object();
    JsonValue &objects = root.add("asudd", JsonValue::object()).add("objects", JsonValue::array());
    for (int n = 0; n < 100; ++n)
        objects.append(makeObject(n));
    const double perObject = PrintReadable(root).size() / 100.0;
    const int count = int(targetBytes / perObject);
    for (int n = 100; n < count; ++n)
        objects.append(makeObject(n));
    return root;
}

double threadSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

struct Rate {
    double wall = 0; // MB/s by the clock on the wall
    double cpu = 0;  // MB/s by this thread's processor time, steadier on a busy machine
};

// Best of several rounds of at least 0.3 s each, in MB/s of `bytes`.
Rate measure(qsizetype bytes, const std::function<void()> &op)
{
    Rate best;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer t;
        t.start();
        const double cpu0 = threadSeconds();
        int runs = 0;
        do {
            op();
            ++runs;
        } while (t.nsecsElapsed() < 300'000'000);
        const double mb = double(bytes) * runs / 1e6;
        best.wall = std::max(best.wall, mb / (t.nsecsElapsed() / 1e9));
        best.cpu = std::max(best.cpu, mb / (threadSeconds() - cpu0));
    }
    return best;
}

const char *g_only = nullptr;

void report(const char *what, qsizetype bytes, const std::function<void()> &op)
{
    if (g_only && !std::strstr(what, g_only))
        return;
    const Rate rate = measure(bytes, op);
    std::printf("%-28s %6.2f MiB %8.1f MB/s wall %8.1f MB/s cpu\n", what, bytes / 1048576.0, rate.wall,
                rate.cpu);
}

} // namespace

int main(int argc, char *argv[])
{
    // An argument picks the measurements whose name contains it.
    if (argc > 1)
        g_only = argv[1];
    const qsizetype size = 3 * 1024 * 1024;
    const JsonValue doc = makeDocument(size);
    const QByteArray readable = PrintReadable(doc);
    const QByteArray text = readable.left(size);
    const QByteArray encoded = EncodeConfig(text, kConfigKey);
    volatile qsizetype sink = 0;

    report("EncodeConfig (plain bytes)", text.size(),
           [&] { sink = sink + EncodeConfig(text, kConfigKey).size(); });
    report("DecodeConfig (plain bytes)", text.size(),
           [&] { sink = sink + DecodeConfig(encoded, kConfigKey).size(); });
    report("PrintReadable", readable.size(),
           [&] { sink = sink + PrintReadable(doc).size(); });
    report("PrintCompact (readable size)", readable.size(),
           [&] { sink = sink + PrintCompact(doc).size(); });
    report("Parse (readable text)", readable.size(),
           [&] { sink = sink + Parse(readable)->size(); });
    if (DecodeConfig(encoded, kConfigKey) != text) {
        std::fprintf(stderr, "codec round trip failed\n");
        return 1;
    }
    const QByteArray again = PrintReadable(*Parse(readable));
    if (again != readable) {
        qsizetype i = 0;
        while (i < again.size() && again[i] == readable[i])
            ++i;
        std::fprintf(stderr, "JSON round trip differs at %lld: %s\n", (long long)i,
                     readable.mid(qMax<qsizetype>(0, i - 40), 80).constData());
        return 1;
    }
    return 0;
}
