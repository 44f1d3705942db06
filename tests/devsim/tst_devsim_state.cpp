// The simulated device's command set and memory, without the terminal.

#include "devsim/device_options.h"
#include "devsim/device_state.h"
#include "devsim/request_reader.h"
#include "link/crc.h"
#include "pty_host.h"

#include <QTest>

using namespace vrs;
using namespace vrs::devsim;
using vrs::devsim::test::Frame;
using vrs::devsim::test::U32;

namespace {

QByteArray Range(uint32_t address, uint32_t size, int8_t status)
{
    return U32(address) + U32(size) + QByteArray(1, char(status));
}

uint32_t Crc(const QByteArray &bytes)
{
    return Crc32(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
}

const QByteArray kConfigText = R"({"asudd":{"id":1}})";
const QByteArray kFirmware = "0123456789";
constexpr uint32_t kFirmwareAt = 0x08001000;

// The device most rows talk to: a stored configuration with a good CRC and
// one firmware block.
DeviceState Fixture()
{
    DeviceState state;
    state.SetSerial("SN1");
    state.SetPacketSize(512);
    state.StoreConfigText(kConfigText);
    state.Firmware().Write(kFirmwareAt, kFirmware);
    return state;
}

QByteArray ConfigImage(const QByteArray &text, uint32_t crc)
{
    return U32(uint32_t(text.size())) + text + U32(crc);
}

} // namespace

class TestDevsimState : public QObject {
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void identityQueries_data();
    void identityQueries();
    void verifyConfig_data();
    void verifyConfig();
    void configWrittenInChunksReadsBack();
    void firmwareWritesMerge_data();
    void firmwareWritesMerge();
    void options_data();
    void options();
    void optionValues();
    void requestReader_data();
    void requestReader();
};

void TestDevsimState::answers_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QByteArray>("answer");

    const QByteArray image = ConfigImage(kConfigText, Crc(kConfigText));
    const QByteArray pad(8, char(0xFF));

    QTest::addRow("read whole image padded with erased bytes")
        << 9 << U32(0) + U32(image.size() + 8) << true
        << Range(0, image.size() + 8, 0) + image + pad;
    QTest::addRow("read beyond the image") << 9 << U32(0x1000) + U32(4) << true
                                           << Range(0x1000, 4, 0) + QByteArray(4, char(0xFF));
    QTest::addRow("read larger than a frame carries")
        << 9 << U32(0) + U32(kMaxReadChunk + 1) << true << Range(0, kMaxReadChunk + 1, -4);
    QTest::addRow("read request cut short") << 9 << U32(0) << true << Range(0, 0, -3);
    QTest::addRow("verify block with its checksum")
        << 2 << U32(kFirmwareAt) + U32(10) + U32(Crc(kFirmware)) << true
        << Range(kFirmwareAt, 10, 0);
    QTest::addRow("verify block with another checksum")
        << 2 << U32(kFirmwareAt) + U32(10) + U32(Crc(kFirmware) ^ 1) << true
        << Range(kFirmwareAt, 10, -1);
    QTest::addRow("verify block reaching into erased memory")
        << 2 << U32(kFirmwareAt) + U32(12) + U32(Crc(kFirmware + "\xFF\xFF")) << true
        << Range(kFirmwareAt, 12, 0);
    QTest::addRow("verify request without checksum")
        << 2 << U32(kFirmwareAt) + U32(10) << true << Range(kFirmwareAt, 10, -3);
    QTest::addRow("write with fewer bytes than announced")
        << 1 << U32(0) + U32(5) + QByteArray("abc") << true << Range(0, 5, -3);
    QTest::addRow("write past the end of the address space")
        << 1 << U32(0xFFFFFFFE) + U32(4) + QByteArray("abcd") << true
        << Range(0xFFFFFFFE, 4, -2);
    QTest::addRow("config write past the configuration area")
        << 7 << U32(kConfigAreaSize - 2) + U32(4) + QByteArray("abcd") << true
        << Range(kConfigAreaSize - 2, 4, -2);
    QTest::addRow("execution point") << 4 << U32(0x08000000) << true << QByteArray(1, '\0');
    QTest::addRow("execution point cut short") << 4 << QByteArray(2, '\0') << true
                                               << QByteArray(1, char(-3));
    QTest::addRow("verify config") << 8 << QByteArray() << true << QByteArray(1, '\0');
    QTest::addRow("unknown command") << 5 << QByteArray() << false << QByteArray();
}

void TestDevsimState::answers()
{
    QFETCH(int, command);
    QFETCH(QByteArray, request);
    QFETCH(bool, answered);
    QFETCH(QByteArray, answer);

    DeviceState state = Fixture();
    const auto result = state.Execute(uint8_t(command),
                                      reinterpret_cast<const uint8_t *>(request.constData()),
                                      size_t(request.size()), nullptr);
    QCOMPARE(result.has_value(), answered);
    if (answered)
        QCOMPARE(result->toHex(' '), answer.toHex(' '));
}

void TestDevsimState::identityQueries_data()
{
    QTest::addColumn<QByteArray>("serial");
    QTest::addColumn<int>("packetSize");   // -1: none
    QTest::addColumn<QByteArray>("serialAnswer");
    QTest::addColumn<bool>("packetAnswered");

    QTest::addRow("loader with serial") << QByteArray("AB12") << 2048
                                        << QByteArray("AB12\0", 5) << true;
    QTest::addRow("no serial, outside the loader") << QByteArray() << -1
                                                   << QByteArray(1, char(0xFF)) << false;
}

void TestDevsimState::identityQueries()
{
    QFETCH(QByteArray, serial);
    QFETCH(int, packetSize);
    QFETCH(QByteArray, serialAnswer);
    QFETCH(bool, packetAnswered);

    DeviceState state;
    state.SetSerial(serial);
    state.SetPacketSize(packetSize < 0 ? std::nullopt : std::optional<uint32_t>(packetSize));
    QCOMPARE(state.Execute(6, nullptr, 0, nullptr).value_or("none"), serialAnswer);
    const auto packet = state.Execute(3, nullptr, 0, nullptr);
    QCOMPARE(packet.has_value(), packetAnswered);
    if (packetAnswered)
        QCOMPARE(*packet, U32(uint32_t(packetSize)));
}

void TestDevsimState::verifyConfig_data()
{
    QTest::addColumn<QByteArray>("area");   // empty: erased
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("check");

    QTest::addRow("erased") << QByteArray() << 1 << "erased";
    QTest::addRow("good") << ConfigImage("{}", Crc("{}")) << 0 << "good";
    QTest::addRow("empty text, CRC 0") << ConfigImage("", 0) << 0 << "good";
    QTest::addRow("bad crc") << ConfigImage("{}", Crc("{}") + 1) << 3 << "bad-crc";
    QTest::addRow("length at the limit") << U32(0x300000) << 2 << "bad-length";
}

void TestDevsimState::verifyConfig()
{
    QFETCH(QByteArray, area);
    QFETCH(int, status);

    DeviceState state;
    state.ConfigArea().Write(0, area);
    QCOMPARE(state.Execute(8, nullptr, 0, nullptr), QByteArray(1, char(status)));
    QCOMPARE(int(state.InspectConfig().check), status);
}

void TestDevsimState::configWrittenInChunksReadsBack()
{
    DeviceState state;
    const QByteArray text = R"({"whmeter":{"a":1},"asudd":{"b":2}})";
    const QByteArray image = ConfigImage(text, Crc(text));
    for (int offset = 0; offset < image.size(); offset += 16) {
        const QByteArray chunk = image.mid(offset, 16);
        const QByteArray request = U32(uint32_t(offset)) + U32(uint32_t(chunk.size())) + chunk;
        QCOMPARE(state.Execute(7, reinterpret_cast<const uint8_t *>(request.constData()),
                               size_t(request.size()), nullptr),
                 Range(uint32_t(offset), uint32_t(chunk.size()), 0));
    }
    const ConfigInfo info = state.InspectConfig();
    QCOMPARE(int(info.check), int(kConfigGood));
    QCOMPARE(info.text, text);
    QCOMPARE(info.image, image);
}

void TestDevsimState::firmwareWritesMerge_data()
{
    QTest::addColumn<QList<QPair<uint32_t, QByteArray>>>("writes");
    QTest::addColumn<QList<QPair<uint32_t, QByteArray>>>("segments");

    using W = QList<QPair<uint32_t, QByteArray>>;
    QTest::addRow("apart") << W{{16, "ab"}, {26, "cd"}} << W{{16, "ab"}, {26, "cd"}};
    QTest::addRow("touching") << W{{10, "cd"}, {8, "ab"}} << W{{8, "abcd"}};
    QTest::addRow("bridging two") << W{{8, "ab"}, {12, "ef"}, {9, "XYZ"}} << W{{8, "aXYZef"}};
    QTest::addRow("inside one") << W{{4, "abcdef"}, {6, "X"}} << W{{4, "abXdef"}};
    QTest::addRow("at the top of the address space")
        << W{{0xFFFFFFFE, "ab"}, {0xFFFFFFFC, "cd"}} << W{{0xFFFFFFFC, "cdab"}};
}

void TestDevsimState::firmwareWritesMerge()
{
    using W = QList<QPair<uint32_t, QByteArray>>;
    QFETCH(W, writes);
    QFETCH(W, segments);

    SparseMemory memory;
    for (const auto &write : writes)
        memory.Write(write.first, write.second);
    W actual;
    for (const auto &[address, data] : memory.Segments())
        actual.append({address, data});
    QCOMPARE(actual, segments);
    QCOMPARE(memory.Read(segments.first().first - 1, 2),
             QByteArray(1, char(0xFF)) + segments.first().second.left(1));
}

void TestDevsimState::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("message");   // part of the error text

    QTest::addRow("defaults") << QStringList{} << true << "";
    QTest::addRow("all faults")
        << QStringList{"--drop", "1,3", "--drop", "7", "--drop-every", "4", "--junk", "3",
                       "--split", "2", "--split-pause", "5", "--silent-after", "9",
                       "--baud", "10417", "--ready-interval", "30"}
        << true << "";
    QTest::addRow("packet size both ways")
        << QStringList{"--packet-size", "64", "--no-packet-size"} << false << "exclude";
    QTest::addRow("bad crc without a configuration")
        << QStringList{"--config-bad-crc"} << false << "--config-bad-crc";
    QTest::addRow("two configuration sources")
        << QStringList{"--config-text", "{}", "--erased"} << false << "only one";
    QTest::addRow("missing configuration file")
        << QStringList{"--config-json", "/nonexistent/x.json"} << false << "Cannot read";
    QTest::addRow("negative interval") << QStringList{"--ready-interval", "0"} << false
                                       << "--ready-interval";
    QTest::addRow("drop list with zero") << QStringList{"--drop", "2,0"} << false << "--drop";
    QTest::addRow("packet size too large") << QStringList{"--packet-size", "4294967296"}
                                           << false << "--packet-size";
    QTest::addRow("pause without split") << QStringList{"--split-pause", "3"} << false
                                         << "--split";
    QTest::addRow("stray argument") << QStringList{"extra"} << false << "extra";
}

void TestDevsimState::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, ok);
    QFETCH(QString, message);

    DeviceOptions options;
    QString text;
    const ParseResult result =
        ParseDeviceOptions(QStringList{"vrs5-devsim"} + arguments, &options, &text);
    QCOMPARE(result == ParseResult::Ok, ok);
    if (!ok)
        QVERIFY2(text.contains(message), qPrintable(text));
}

void TestDevsimState::optionValues()
{
    DeviceOptions options;
    QString text;
    QCOMPARE(ParseDeviceOptions({"vrs5-devsim", "--drop", "1, 3", "--drop", "7", "--serial", "",
                                 "--no-packet-size", "--config-text", "{}", "--config-bad-crc"},
                                &options, &text),
             ParseResult::Ok);
    QCOMPARE(options.dropList, (QSet<int>{1, 3, 7}));
    QVERIFY(options.serial.isEmpty());
    QVERIFY(!options.packetSize);
    QCOMPARE(options.configText.value_or("none"), QByteArray("{}"));
    QVERIFY(options.configBadCrc);
}

void TestDevsimState::requestReader_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<int>>("sizes");   // of the frames dispatched, in order

    const QByteArray largest = Frame(7, U32(0) + U32(16375) + QByteArray(16375, 'x'));
    QByteArray broken = Frame(6);
    broken[9] = char(broken[9] ^ 1);
    // A marker whose Length promises a frame that never comes.
    const QByteArray hollow = QByteArray::fromHex("5AA555AA00400000");

    QTest::addRow("largest request the host sends, in pieces")
        << QList<QByteArray>{largest.left(5000), largest.mid(5000, 9000), largest.mid(14000)}
        << QList<int>{16393};
    QTest::addRow("junk, a broken frame, then a good one")
        << QList<QByteArray>{"\x01\x5A\x02" + broken + Frame(3)} << QList<int>{10};
    QTest::addRow("two frames in one chunk")
        << QList<QByteArray>{Frame(3) + Frame(6, "ab")} << QList<int>{10, 12};
    QTest::addRow("marker with a large Length does not hide later frames")
        << QList<QByteArray>{hollow + Frame(3), Frame(6)} << QList<int>{10, 10};
    QTest::addRow("Length above 16384 is no frame")
        << QList<QByteArray>{QByteArray::fromHex("5AA555AA01400000") + Frame(8)}
        << QList<int>{10};
    QTest::addRow("long junk between frames")
        << QList<QByteArray>{Frame(3), QByteArray(40000, 'j'), Frame(6)} << QList<int>{10, 10};
}

void TestDevsimState::requestReader()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<int>, sizes);

    QList<int> seen;
    RequestReader reader([&](const uint8_t *, size_t size) { seen.append(int(size)); });
    for (const QByteArray &chunk : chunks)
        reader.Receive(chunk);
    QCOMPARE(seen, sizes);
}

QTEST_GUILESS_MAIN(TestDevsimState)
#include "tst_devsim_state.moc"
