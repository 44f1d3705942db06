#include "link/frame.h"
#include "link/task_transfer.h"

#include <QtTest>

#include <vector>

using namespace vrs;

namespace {

QByteArray U32(uint32_t value)
{
    uint8_t bytes[4];
    WriteU32(bytes, value);
    return QByteArray(reinterpret_cast<const char *>(bytes), 4);
}

QByteArray BlockAnswer(uint32_t address, uint32_t size, uint8_t status, const QByteArray &bytes = {})
{
    return U32(address) + U32(size) + QByteArray(1, char(status)) + bytes;
}

struct Request {
    uint32_t address = 0;
    uint32_t size = 0;
    QByteArray bytes;
};

// Plays the device's side of a transfer task: takes its request frame apart
// and feeds it answers.
struct Exchange {
    TProgTask &task;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kRequestBufferSize + 16, 0xEE);

    explicit Exchange(TProgTask &t) : task(t)
    {
        QString text;
        task.SetState(tsRunning, QString(), text);
    }

    Request Next()
    {
        const int size = task.BuildFrame(buffer.data());
        [&] {
            QVERIFY(size > 0);
            QVERIFY(size_t(size) <= kRequestBufferSize);
            QCOMPARE(buffer[kRequestBufferSize], uint8_t(0xEE));
            QCOMPARE(FrameCommand(buffer.data()), task.Code());
        }();
        Request r;
        r.address = ReadU32(buffer.data() + kFrameDataOffset);
        r.size = ReadU32(buffer.data() + kFrameDataOffset + 4);
        r.bytes = QByteArray(reinterpret_cast<const char *>(buffer.data()) + kFrameDataOffset + 8,
                             size - int(kFrameDataOffset) - 9);
        return r;
    }

    TaskState Answer(const QByteArray &data, QString &text)
    {
        std::vector<uint8_t> frame(size_t(data.size()) + 10);
        WriteFrame(frame.data(), task.Code(), reinterpret_cast<const uint8_t *>(data.constData()),
                   size_t(data.size()));
        [&] { QVERIFY(frame.size() <= kReceiveBufferSize); }();
        return task.MatchAnswer(frame.data(), text);
    }
};

// A stored configuration image: length, text, four bytes standing in for
// the CRC-32.
QByteArray Image(uint32_t length)
{
    QByteArray text(int(length), Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i)
        text[i] = char('a' + i % 26);
    return U32(length) + text + QByteArray("\xC1\xC2\xC3\xC4", 4);
}

// What the device's flash gives for a chunk: the image, erased bytes past it.
QByteArray Flash(const QByteArray &image, uint32_t offset, uint32_t size)
{
    QByteArray out = image.mid(int(offset), int(size));
    return out + QByteArray(int(size) - out.size(), '\xFF');
}

QList<uint> Sizes(std::initializer_list<uint> sizes)
{
    return QList<uint>(sizes);
}

} // namespace

class TstTaskTransfer : public QObject {
    Q_OBJECT
private slots:
    void clamp_data();
    void clamp();
    void writeInChunks_data();
    void writeInChunks();
    void readInChunks_data();
    void readInChunks();
    void badAnswers_data();
    void badAnswers();
    void repeatedRequestResendsChunk();
    void setMaxChunk();
};

void TstTaskTransfer::clamp_data()
{
    QTest::addColumn<uint>("packetSize");
    QTest::addColumn<uint>("write");
    QTest::addColumn<uint>("read");

    QTest::addRow("0 means the default") << 0u << 1024u << 1024u;
    QTest::addRow("1") << 1u << 1u << 1u;
    QTest::addRow("1024") << 1024u << 1024u << 1024u;
    QTest::addRow("largest read") << 16365u << 16365u << 16365u;
    QTest::addRow("one over the read") << 16366u << 16366u << 16365u;
    QTest::addRow("largest write") << 16375u << 16375u << 16365u;
    QTest::addRow("one over the write") << 16376u << 16375u << 16365u;
    QTest::addRow("collector's bound") << 16393u << 16375u << 16365u;
    QTest::addRow("huge") << 0xFFFFFFFFu << 16375u << 16365u;
}

void TstTaskTransfer::clamp()
{
    QFETCH(uint, packetSize);
    QFETCH(uint, write);
    QFETCH(uint, read);
    QCOMPARE(ClampWriteChunk(packetSize), write);
    QCOMPARE(ClampReadChunk(packetSize), read);
    QCOMPARE(TWriteTask(1, nullptr, 0, 0, packetSize, QString()).MaxChunk(), write);
    QCOMPARE(TReadTask(9, 0, packetSize, QString()).MaxChunk(), read);
}

void TstTaskTransfer::writeInChunks_data()
{
    QTest::addColumn<uint>("base");
    QTest::addColumn<uint>("total");
    QTest::addColumn<uint>("maxChunk");
    QTest::addColumn<QList<uint>>("chunks");

    QTest::addRow("2500 by 1024") << 0x100u << 2500u << 1024u << Sizes({1024, 1024, 452});
    QTest::addRow("smaller than a chunk") << 0u << 1000u << 1024u << Sizes({1000});
    QTest::addRow("exactly a chunk") << 0u << 1024u << 1024u << Sizes({1024});
    QTest::addRow("nothing to write") << 0u << 0u << 1024u << Sizes({0});
    QTest::addRow("packet size 0") << 0u << 2500u << 0u << Sizes({1024, 1024, 452});
    QTest::addRow("packet size above a frame") << 0u << 40000u << 16393u << Sizes({16375, 16375, 7250});
    // base + total wraps to 0 in 32 bits.
    QTest::addRow("top of the address space") << 0xFFFFFF00u << 256u << 128u << Sizes({128, 128});
}

void TstTaskTransfer::writeInChunks()
{
    QFETCH(uint, base);
    QFETCH(uint, total);
    QFETCH(uint, maxChunk);
    QFETCH(QList<uint>, chunks);

    QByteArray source(int(total), Qt::Uninitialized);
    for (int i = 0; i < source.size(); ++i)
        source[i] = char(i * 7 + i / 256);
    QStringList progress;
    TWriteTask task(7, reinterpret_cast<const uint8_t *>(source.constData()), total, base, maxChunk,
                    QStringLiteral("запись конфигурации"),
                    [&](TProgTask *sender, uint32_t min, uint32_t pos, uint32_t max) {
                        QCOMPARE(sender, &task);
                        progress << QStringLiteral("%1 %2 %3").arg(min).arg(pos).arg(max);
                    });
    Exchange device(task);

    QStringList expectedProgress;
    uint32_t offset = 0;
    for (int i = 0; i < chunks.size(); ++i) {
        const Request r = device.Next();
        QCOMPARE(r.address, base + offset);
        QCOMPARE(r.size, chunks[i]);
        QVERIFY(r.bytes == source.mid(int(offset), int(chunks[i])));
        QCOMPARE(task.Attempts(), 1u);

        QString text;
        const TaskState state = device.Answer(BlockAnswer(r.address, r.size, 0), text);
        QCOMPARE(text, QString());
        QCOMPARE(state, i + 1 == chunks.size() ? tsDone : tsRunning);
        expectedProgress << QStringLiteral("0 %1 %2").arg(offset).arg(total);
        offset += chunks[i];
        if (state == tsRunning) {
            QCOMPARE(task.Attempts(), 0u);
            QVERIFY(task.Sent());
        }
    }
    QCOMPARE(progress, expectedProgress);
}

void TstTaskTransfer::readInChunks_data()
{
    QTest::addColumn<uint>("base");
    QTest::addColumn<uint>("stored");
    QTest::addColumn<uint>("maxChunk");
    QTest::addColumn<uint>("chunk"); // every chunk but the last
    QTest::addColumn<uint>("last");
    QTest::addColumn<int>("count");

    QTest::addRow("100 bytes, one chunk") << 0u << 100u << 1024u << 1024u << 1024u << 1;
    QTest::addRow("empty configuration") << 0u << 0u << 1024u << 1024u << 1024u << 1;
    QTest::addRow("2000 bytes") << 0u << 2000u << 1024u << 1024u << 984u << 2;
    QTest::addRow("ends on a chunk boundary") << 0u << 2040u << 1024u << 1024u << 1024u << 2;
    QTest::addRow("packet size 0") << 0u << 2000u << 0u << 1024u << 984u << 2;
    QTest::addRow("largest accepted length") << 0u << 0x2FFFFFu << 16393u << 16365u << 3655u << 193;
    QTest::addRow("not at address 0") << 0x10000u << 100u << 64u << 64u << 44u << 2;
}

void TstTaskTransfer::readInChunks()
{
    QFETCH(uint, base);
    QFETCH(uint, stored);
    QFETCH(uint, maxChunk);
    QFETCH(uint, chunk);
    QFETCH(uint, last);
    QFETCH(int, count);

    const QByteArray image = Image(stored);
    QStringList progress;
    QStringList expectedProgress;
    TReadTask task(9, base, maxChunk, QStringLiteral("чтение конфигурации"),
                   [&](TProgTask *, uint32_t min, uint32_t pos, uint32_t max) {
                       progress << QStringLiteral("%1 %2 %3").arg(min).arg(pos).arg(max);
                   });
    Exchange device(task);

    uint32_t offset = 0;
    for (int i = 0; i < count; ++i) {
        const Request r = device.Next();
        QCOMPARE(r.bytes, QByteArray());
        QCOMPARE(r.address, base + offset);
        QCOMPARE(r.size, i + 1 == count ? last : chunk);
        QString text;
        const TaskState state =
            device.Answer(BlockAnswer(r.address, r.size, 0, Flash(image, offset, r.size)), text);
        QCOMPARE(text, QString());
        QCOMPARE(state, i + 1 == count ? tsDone : tsRunning);
        expectedProgress << QStringLiteral("0 %1 %2").arg(offset).arg(image.size());
        offset += r.size;
    }
    QCOMPARE(task.TotalSize(), uint32_t(stored + 8));
    QVERIFY(task.Buffer() == image);
    QCOMPARE(progress, expectedProgress);
}

void TstTaskTransfer::badAnswers_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("goodChunks"); // answered well before the bad one
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("text");

    // Write: 300 bytes at 8192 in one chunk.
    QTest::addRow("write status") << true << 0 << BlockAnswer(8192, 300, 0xFE)
                                  << "ошибка записи (-2): запись 300 байт в адрес 8192";
    QTest::addRow("write status before address") << true << 0 << BlockAnswer(0, 0, 0x05)
                                                 << "ошибка записи (5): запись 300 байт в адрес 8192";
    QTest::addRow("write address") << true << 0 << BlockAnswer(8193, 300, 0)
                                   << "на команду записи вернулся другой адрес: 8193 вместо 8192";
    QTest::addRow("write size") << true << 0 << BlockAnswer(8192, 299, 0)
                                << "на команду записи вернулся другой размер: 299 вместо 300";
    QTest::addRow("write short") << true << 0 << BlockAnswer(8192, 300, 0).left(8)
                                 << "короткий ответ на команду записи: 8 байт вместо 9";
    QTest::addRow("write empty") << true << 0 << QByteArray()
                                 << "короткий ответ на команду записи: 0 байт вместо 9";

    // Read: image of 100 bytes (108 in all) in chunks of 64.
    const QByteArray image = Image(100);
    QTest::addRow("read status") << false << 0 << BlockAnswer(0, 64, 0x01, image.left(64))
                                 << "ошибка записи (1): запись 64 байт в адрес 0";
    QTest::addRow("read address") << false << 0 << BlockAnswer(64, 64, 0, image.left(64))
                                  << "на команду записи вернулся другой адрес: 64 вместо 0";
    QTest::addRow("read size") << false << 0 << BlockAnswer(0, 32, 0, image.left(64))
                               << "на команду записи вернулся другой размер: 32 вместо 64";
    QTest::addRow("read no configuration") << false << 0 << BlockAnswer(0, 64, 0, QByteArray(64, '\xFF'))
                                           << "Отсутствует файл конфигурации в устройстве";
    QTest::addRow("read length too large") << false << 0 << BlockAnswer(0, 64, 0, U32(0x300000) + image.mid(4, 60))
                                           << "Некорректный размер файла конфигурации";
    QTest::addRow("read short") << false << 0 << BlockAnswer(0, 64, 0).left(5)
                                << "короткий ответ на команду чтения: 5 байт вместо 9";
    QTest::addRow("read without the length") << false << 0 << BlockAnswer(0, 64, 0, image.left(2))
                                              << "короткий ответ на команду чтения: 11 байт вместо 13";
    QTest::addRow("read chunk cut short") << false << 0 << BlockAnswer(0, 64, 0, image.left(50))
                                          << "короткий ответ на команду чтения: 59 байт вместо 73";
    QTest::addRow("read second chunk cut short") << false << 1 << BlockAnswer(64, 44, 0, image.mid(64, 20))
                                                 << "короткий ответ на команду чтения: 29 байт вместо 53";
}

void TstTaskTransfer::badAnswers()
{
    QFETCH(bool, write);
    QFETCH(int, goodChunks);
    QFETCH(QByteArray, answer);
    QFETCH(QString, text);

    const QByteArray source(300, 'w');
    const QByteArray image = Image(100);
    std::unique_ptr<TProgTask> task;
    if (write)
        task = std::make_unique<TWriteTask>(1, reinterpret_cast<const uint8_t *>(source.constData()), 300,
                                            8192, 1024, QStringLiteral("запись блока"));
    else
        task = std::make_unique<TReadTask>(9, 0, 64, QStringLiteral("чтение конфигурации"));
    Exchange device(*task);
    QString got;
    for (int i = 0; i < goodChunks; ++i) {
        const Request r = device.Next();
        QCOMPARE(device.Answer(BlockAnswer(r.address, r.size, 0, Flash(image, r.address, r.size)), got),
                 tsRunning);
    }
    device.Next();
    QCOMPARE(device.Answer(answer, got), tsFailed);
    QCOMPARE(got, text);
}

void TstTaskTransfer::repeatedRequestResendsChunk()
{
    const QByteArray source(2000, 's');
    TWriteTask task(7, reinterpret_cast<const uint8_t *>(source.constData()), 2000, 0, 1024, QString());
    Exchange device(task);
    const Request first = device.Next();
    const Request again = device.Next();
    QCOMPARE(again.address, first.address);
    QCOMPARE(again.size, first.size);
    QCOMPARE(task.Attempts(), 2u);

    QString text;
    QCOMPARE(device.Answer(BlockAnswer(0, 1024, 0), text), tsRunning);
    QCOMPARE(task.Attempts(), 0u);
    const Request next = device.Next();
    QCOMPARE(next.address, 1024u);
    QCOMPARE(next.size, 976u);
    QCOMPARE(task.Attempts(), 1u);
}

void TstTaskTransfer::setMaxChunk()
{
    const QByteArray source(2500, 's');
    TWriteTask write(7, reinterpret_cast<const uint8_t *>(source.constData()), 2500, 0, 1024, QString());
    write.SetMaxChunk(500);
    QCOMPARE(write.ChunkSize(), 500u);
    Exchange device(write);
    QCOMPARE(device.Next().size, 500u);
    // The chunk already on its way keeps its size; the next follows the new one.
    write.SetMaxChunk(0);
    QCOMPARE(write.ChunkSize(), 500u);
    QString text;
    device.Answer(BlockAnswer(0, 500, 0), text);
    QCOMPARE(device.Next().size, 1024u);
    write.SetMaxChunk(100000);
    QCOMPARE(write.MaxChunk(), kMaxWriteChunk);

    TReadTask read(9, 0, 1024, QString());
    read.SetMaxChunk(0xFFFF);
    QCOMPARE(read.ChunkSize(), kMaxReadChunk);
}

QTEST_APPLESS_MAIN(TstTaskTransfer)
#include "tst_task_transfer.moc"
