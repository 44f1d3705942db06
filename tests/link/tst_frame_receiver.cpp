#include "link/crc.h"
#include "link/frame.h"
#include "link/log_sink.h"

#include <QtTest>

#include <memory>
#include <vector>

using namespace vrs;

namespace {

QByteArray Frame(uint8_t command, const QByteArray &data = QByteArray())
{
    std::vector<uint8_t> out(size_t(data.size()) + 10);
    WriteFrame(out.data(), command, reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()));
    return QByteArray(reinterpret_cast<const char *>(out.data()), int(out.size()));
}

// A frame with any Length field and the payload as given; the CRC is right
// unless spoiled.
QByteArray RawFrame(uint32_t length, const QByteArray &payload, bool goodCrc = true)
{
    QByteArray out("\x5A\xA5\x55\xAA", 4);
    uint8_t len[4];
    WriteU32(len, length);
    out.append(reinterpret_cast<const char *>(len), 4);
    out.append(payload);
    uint8_t crc = Crc8(reinterpret_cast<const uint8_t *>(out.constData()), size_t(out.size()));
    if (!goodCrc)
        crc ^= 0x01;
    out.append(char(crc));
    return out;
}

QByteArray Junk(int count, char fill = '\x11')
{
    return QByteArray(count, fill);
}

// The data of a frame of total size n with command 5.
QByteArray FrameOfSize(int n, char fill = '\x33')
{
    return Frame(5, QByteArray(n - 10, fill));
}

struct LogRecorder : LogSink {
    QStringList lines;
    void WriteLog(const QString &text) override { lines << text; }
};

// A receiver that records every dispatched frame with the number of the
// chunk during which it came.
struct Fixture {
    FrameReceiver receiver;
    LogRecorder log;
    QStringList frames;
    int chunk = 0;

    Fixture()
    {
        receiver.setHandler([this](const uint8_t *frame, size_t size) {
            frames << QStringLiteral("%1:%2").arg(chunk).arg(
                QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(frame), int(size)).toHex()));
        });
        receiver.setLogSink(&log);
    }
    void Feed(const QByteArray &bytes)
    {
        receiver.Receive(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
        ++chunk;
    }
};

QString Seen(int chunk, const QByteArray &frame)
{
    return QStringLiteral("%1:%2").arg(chunk).arg(QString::fromLatin1(frame.toHex()));
}

} // namespace

class TstFrameReceiver : public QObject {
    Q_OBJECT
private slots:
    void dispatch_data();
    void dispatch();
    void chunkingDoesNotMatter_data();
    void chunkingDoesNotMatter();
    void eachChunkLoggedWhole();
    void emptyChunkChangesNothing();
    void noHandlerTakesNothing();
    void fullBufferDropsButLogs();
    void compactionKeepsPendingFrame();
    void clearedBufferFormsNoFrame();
    void chunkDuringDispatchIsKeptInOrder();
    void handlerReplacedOrClearedDuringDispatch();
    void receiverDestroyedByHandler();
};

void TstFrameReceiver::dispatch_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("readPos");

    const QByteArray ready = Frame(0);
    const QByteArray read = Frame(9, QByteArray("\x00\x00\x00\x00\x00\x04\x00\x00", 8));
    const QByteArray bad = RawFrame(1, QByteArray(1, '\x03'), false);

    QTest::addRow("one frame") << QList<QByteArray>{ready} << QStringList{Seen(0, ready)} << 10;
    QTest::addRow("junk before a frame") << QList<QByteArray>{Junk(7) + ready}
                                         << QStringList{Seen(0, ready)} << 17;
    QTest::addRow("junk with a false start") << QList<QByteArray>{QByteArray("\x5A\xA5\x55", 3) + ready}
                                             << QStringList{Seen(0, ready)} << 13;
    QTest::addRow("split frame") << QList<QByteArray>{read.left(11), read.mid(11)}
                                 << QStringList{Seen(1, read)} << 18;
    QTest::addRow("split inside the header") << QList<QByteArray>{Junk(20) + read.left(5), read.mid(5)}
                                             << QStringList{Seen(1, read)} << 38;
    QTest::addRow("two frames in one chunk") << QList<QByteArray>{read + ready}
                                             << QStringList{Seen(0, read), Seen(0, ready)} << 28;
    QTest::addRow("bad CRC then a good frame") << QList<QByteArray>{bad + ready}
                                               << QStringList{Seen(0, ready)} << 20;
    QTest::addRow("bad CRC alone") << QList<QByteArray>{bad} << QStringList{} << 0;
    QTest::addRow("Length above the limit then a frame")
        << QList<QByteArray>{RawFrame(kMaxFrameLength + 1, Junk(4)) + ready} << QStringList{Seen(0, ready)}
        << 23;
    QTest::addRow("Length 0 with a right CRC is skipped")
        << QList<QByteArray>{RawFrame(0, QByteArray()) + ready} << QStringList{Seen(0, ready)} << 19;
    QTest::addRow("largest frame that fits") << QList<QByteArray>{FrameOfSize(16384)}
                                             << QStringList{Seen(0, FrameOfSize(16384))} << 16384;
    QTest::addRow("frame too large for the buffer")
        << QList<QByteArray>{FrameOfSize(8000), FrameOfSize(16385).left(8385), FrameOfSize(16385).mid(8385)}
        << QStringList{Seen(0, FrameOfSize(8000))} << 0;
    // A header still waiting for its bytes does not hold back a frame that
    // lies inside its announced length.
    QTest::addRow("incomplete header does not block a later frame")
        << QList<QByteArray>{RawFrame(100, Junk(3)).left(11) + ready} << QStringList{Seen(0, ready)} << 21;
    QTest::addRow("junk inside a frame spoils it")
        << QList<QByteArray>{read.left(10), Junk(3), read.mid(10)} << QStringList{} << 0;
}

void TstFrameReceiver::dispatch()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, expected);
    QFETCH(int, readPos);

    Fixture f;
    for (const QByteArray &chunk : chunks)
        f.Feed(chunk);
    QCOMPARE(f.frames, expected);
    QCOMPARE(f.receiver.ReadPos(), readPos);
}

void TstFrameReceiver::chunkingDoesNotMatter_data()
{
    QTest::addColumn<int>("chunkSize");
    for (int size : {1, 2, 3, 7, 9, 10, 64, 1000, 100000})
        QTest::addRow("%d", size) << size;
}

void TstFrameReceiver::chunkingDoesNotMatter()
{
    QFETCH(int, chunkSize);
    const QList<QByteArray> frames{Frame(0), Frame(9, Junk(8, '\x5A')), Frame(1, Junk(300, '\x00')),
                                   Frame(6, QByteArray("AB\0C", 4)), Frame(0)};
    QByteArray stream;
    stream += Junk(5, '\x5A');
    stream += frames[0];
    // Headers announcing more than follows: the frames inside still count.
    stream += RawFrame(600, Junk(3)).left(11);
    stream += RawFrame(40, Junk(3)).left(9);
    stream += RawFrame(3, Junk(2), false);
    stream += frames[1];
    stream += QByteArray("\x5A\xA5\x55\xAA\xFF\xFF", 6);
    stream += frames[2];
    stream += RawFrame(0, QByteArray());
    stream += frames[3];
    stream += frames[4];

    Fixture f;
    for (int i = 0; i < stream.size(); i += chunkSize)
        f.receiver.Receive(reinterpret_cast<const uint8_t *>(stream.constData()) + i,
                           size_t(std::min(chunkSize, int(stream.size()) - i)));
    QStringList expected;
    for (const QByteArray &frame : frames)
        expected << Seen(0, frame);
    QCOMPARE(f.frames, expected);
    QCOMPARE(f.receiver.ReadPos(), f.receiver.FillLevel());
}

void TstFrameReceiver::eachChunkLoggedWhole()
{
    Fixture f;
    f.Feed(QByteArray("\x5A\xA5\x55\xAA\x01", 5));
    f.Feed(QByteArray("\x00\x00\x00\x00\xB6", 5));
    QCOMPARE(f.log.lines,
             (QStringList{QStringLiteral("Dev: 5A A5 55 AA 01 "), QStringLiteral("Dev: 00 00 00 00 B6 ")}));
    QCOMPARE(f.frames.size(), 1);

    f.receiver.setLogSink(nullptr);
    f.Feed(Frame(0));
    QCOMPARE(f.log.lines.size(), 2);
    QCOMPARE(f.frames.size(), 2);
}

void TstFrameReceiver::emptyChunkChangesNothing()
{
    Fixture f;
    f.Feed(Junk(3) + Frame(0) + Junk(4));
    f.log.lines.clear();
    const uint8_t byte = 0x5A;
    f.receiver.Receive(&byte, 0);
    QCOMPARE(f.log.lines, QStringList());
    QCOMPARE(f.receiver.ReadPos(), 13);
    QCOMPARE(f.receiver.FillLevel(), 17);
    QCOMPARE(f.frames.size(), 1);
}

void TstFrameReceiver::noHandlerTakesNothing()
{
    Fixture f;
    f.receiver.setHandler(nullptr);
    QVERIFY(!f.receiver.WillAccept(10));
    f.Feed(Frame(0));
    QCOMPARE(f.receiver.FillLevel(), 0);
    QCOMPARE(f.log.lines, QStringList());
}

void TstFrameReceiver::fullBufferDropsButLogs()
{
    Fixture f;
    f.Feed(Junk(int(kReceiveBufferSize)));
    QCOMPARE(f.receiver.FillLevel(), int(kReceiveBufferSize));
    f.log.lines.clear();

    f.Feed(Frame(0));
    QCOMPARE(f.receiver.FillLevel(), int(kReceiveBufferSize));
    QCOMPARE(f.receiver.ReadPos(), 0);
    QCOMPARE(f.frames, QStringList());
    QCOMPARE(f.log.lines, QStringList{QStringLiteral("Dev: 5A A5 55 AA 01 00 00 00 00 B6 ")});
}

void TstFrameReceiver::compactionKeepsPendingFrame()
{
    // The frame's first half waits behind dispatched bytes when the next
    // chunk no longer fits: the bytes move to the front and the frame is
    // still found whole.
    Fixture f;
    const QByteArray first = FrameOfSize(16000);
    const QByteArray pending = FrameOfSize(500, '\x44');
    f.Feed(first + pending.left(200));
    QCOMPARE(f.receiver.ReadPos(), 16000);
    f.Feed(pending.mid(200) + Junk(3));
    QCOMPARE(f.frames, (QStringList{Seen(0, first), Seen(1, pending)}));
    QCOMPARE(f.receiver.ReadPos(), 500);
    QCOMPARE(f.receiver.FillLevel(), 503);

    // Part of a chunk that overflows even after compaction is dropped.
    f.Feed(Junk(16500));
    QCOMPARE(f.receiver.ReadPos(), 0);
    QCOMPARE(f.receiver.FillLevel(), int(kReceiveBufferSize));
}

void TstFrameReceiver::clearedBufferFormsNoFrame()
{
    Fixture f;
    const QByteArray frame = Frame(9, Junk(8));
    f.Feed(frame.left(12));
    f.receiver.ClearBuffer();
    QCOMPARE(f.receiver.FillLevel(), 12);
    f.Feed(frame.mid(12));
    QCOMPARE(f.frames, QStringList());
    f.Feed(Frame(0));
    QCOMPARE(f.frames, QStringList{Seen(2, Frame(0))});
}

void TstFrameReceiver::chunkDuringDispatchIsKeptInOrder()
{
    // A chunk delivered from inside the handler (a nested event loop) must
    // neither move the frame being handled nor be squeezed out of the buffer.
    FrameReceiver receiver;
    LogRecorder log;
    receiver.setLogSink(&log);
    const QByteArray ready = Frame(0);
    const QByteArray big = FrameOfSize(16000);
    const QByteArray nested = FrameOfSize(500, '\x55');
    QList<QByteArray> seen;
    bool injected = false;
    receiver.setHandler([&](const uint8_t *frame, size_t size) {
        if (size == size_t(big.size()) && !injected) {
            injected = true;
            receiver.Receive(reinterpret_cast<const uint8_t *>(nested.constData()), size_t(nested.size()));
            QCOMPARE(log.lines.size(), 3); // logged when it arrived
        }
        seen << QByteArray(reinterpret_cast<const char *>(frame), int(size));
    });
    receiver.Receive(reinterpret_cast<const uint8_t *>(ready.constData()), size_t(ready.size()));
    const QByteArray chunk = big + ready;
    receiver.Receive(reinterpret_cast<const uint8_t *>(chunk.constData()), size_t(chunk.size()));

    QCOMPARE(seen.size(), 4);
    QCOMPARE(seen[0], ready);
    QVERIFY(seen[1] == big);
    QCOMPARE(seen[2], ready);
    QVERIFY(seen[3] == nested);
    QCOMPARE(receiver.ReadPos(), receiver.FillLevel());

    // Dispatch is over: a later chunk is handled at once again.
    receiver.Receive(reinterpret_cast<const uint8_t *>(ready.constData()), size_t(ready.size()));
    QCOMPARE(seen.size(), 5);
}

void TstFrameReceiver::handlerReplacedOrClearedDuringDispatch()
{
    FrameReceiver receiver;
    QStringList calls;
    const QByteArray chunk = Frame(1) + Frame(2) + Frame(3);
    receiver.setHandler([&](const uint8_t *frame, size_t) {
        calls << QStringLiteral("first %1").arg(FrameCommand(frame));
        receiver.setHandler([&](const uint8_t *frame, size_t) {
            calls << QStringLiteral("second %1").arg(FrameCommand(frame));
            receiver.setHandler(nullptr);
        });
        calls << QStringLiteral("first still running");
    });
    receiver.Receive(reinterpret_cast<const uint8_t *>(chunk.constData()), size_t(chunk.size()));
    QCOMPARE(calls, (QStringList{QStringLiteral("first 1"), QStringLiteral("first still running"),
                                 QStringLiteral("second 2")}));
    // The third frame stays for whoever handles frames next.
    QCOMPARE(receiver.ReadPos(), 20);
    QCOMPARE(receiver.FillLevel(), 30);
}

void TstFrameReceiver::receiverDestroyedByHandler()
{
    auto receiver = std::make_unique<FrameReceiver>();
    int calls = 0;
    receiver->setHandler([&](const uint8_t *, size_t) {
        ++calls;
        receiver.reset();
    });
    const QByteArray chunk = Frame(1) + Frame(2);
    receiver->Receive(reinterpret_cast<const uint8_t *>(chunk.constData()), size_t(chunk.size()));
    QCOMPARE(calls, 1);
    QVERIFY(!receiver);
}

QTEST_APPLESS_MAIN(TstFrameReceiver)
#include "tst_frame_receiver.moc"
