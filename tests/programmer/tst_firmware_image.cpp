#include "firmware_builder.h"
#include "programmer/firmware_image.h"

#include <QtTest>
#include <functional>

using namespace vrs;

namespace {

const QString kCorrupt = QStringLiteral("Файл поврежден или не является файлом прошивки: ");

FirmwareBuilder OneBlock()
{
    FirmwareBuilder b;
    b.blocks.push_back({0x08004000, QByteArray(100, '\x5A'), 0x12345678});
    return b;
}

uint32_t Get32(const QByteArray &b, int at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | uint8_t(b[at + i]);
    return v;
}

// A body edited by a test and then given a correct CRC trailer.
using Edit = std::function<void(QByteArray &)>;

} // namespace

class TstFirmwareImage : public QObject {
    Q_OBJECT
private slots:
    void refusals_data();
    void refusals();
    void acceptedLayouts_data();
    void acceptedLayouts();
    void blockDataComesFromTheFile();
};

void TstFirmwareImage::refusals_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");

    const QByteArray good = OneBlock().Build();
    QByteArray badCrc = good;
    badCrc[badCrc.size() - 1] = char(badCrc[badCrc.size() - 1] ^ 1);
    QTest::addRow("empty") << QByteArray() << kCorrupt + "file CRC error.";
    QTest::addRow("two bytes") << QByteArray(2, '\0') << kCorrupt + "file CRC error.";
    QTest::addRow("crc differs") << badCrc << kCorrupt + "file CRC error.";
    QTest::addRow("18 bytes") << FirmwareBuilder::WithCrc(QByteArray(16, '\0')) << kCorrupt + "invalid size (18)";

    auto edited = [&](const FirmwareBuilder &b, const Edit &edit) {
        QByteArray body = b.Body();
        edit(body);
        return FirmwareBuilder::WithCrc(body);
    };
    auto withSignature = OneBlock();
    withSignature.signature = QByteArray::fromHex("00010203");
    QTest::addRow("signature") << withSignature.Build() << kCorrupt + "invalid signature (00 01 02 03 )";

    auto v3 = OneBlock();
    v3.version = 3;
    QTest::addRow("version 3") << v3.Build()
        << QStringLiteral("Файл более новой версии. Для его использования необходимо обновить программатор.");
    auto v1 = OneBlock();
    v1.version = 1;
    QTest::addRow("version 1") << v1.Build()
        << QStringLiteral("Версия формата файла 1. Для работы с ним необходимо использовать конфигуратор ВРС.");

    QTest::addRow("blocks pointer at S") << edited(OneBlock(), [](QByteArray &b) {
        FirmwareBuilder::Set32(b, 10, uint32_t(b.size() + 2));
    }) << "Blocks table pointer out of size";
    QTest::addRow("blocks count past the end") << edited(OneBlock(), [](QByteArray &b) {
        FirmwareBuilder::Set32(b, 10, uint32_t(b.size()));  // two CRC bytes left to read from
    }) << kCorrupt + "unexpected end of file";
    QTest::addRow("blocks table too long") << edited(OneBlock(), [](QByteArray &b) {
        FirmwareBuilder::Set32(b, int(Get32(b, 10)), 1000);
    }) << "Blocks table out of size";
    QTest::addRow("huge block count does not overflow") << edited(OneBlock(), [](QByteArray &b) {
        FirmwareBuilder::Set32(b, int(Get32(b, 10)), 0xFFFFFFFF);
    }) << "Blocks table out of size";
    QTest::addRow("block ends at S") << edited(OneBlock(), [](QByteArray &b) {
        const int rec = int(Get32(b, 10)) + 4;
        const uint32_t size = uint32_t(b.size() + 2);
        FirmwareBuilder::Set32(b, rec + 9, size - Get32(b, rec + 1));
    }) << "Block 0 out of size";
    QTest::addRow("second block wraps 32 bits") << [&] {
        FirmwareBuilder b = OneBlock();
        b.blocks.push_back({0, QByteArray(4, 'x'), 0});
        return edited(b, [](QByteArray &body) {
            const int rec = int(Get32(body, 10)) + 4 + 17;
            FirmwareBuilder::Set32(body, rec + 1, 0xFFFFFFF0);
            FirmwareBuilder::Set32(body, rec + 9, 0x20);
        });
    }() << "Block 1 out of size";
    QTest::addRow("executions pointer at S") << edited(OneBlock(), [](QByteArray &b) {
        FirmwareBuilder::Set32(b, 14, uint32_t(b.size() + 2));
    }) << "Executions table pointer out of size";
    QTest::addRow("executions table too long") << edited(OneBlock(), [](QByteArray &b) {
        FirmwareBuilder::Set32(b, int(Get32(b, 14)), 5);
    }) << "Executions table out of size";
    auto twoEntries = OneBlock();
    twoEntries.executions = {1, 2};
    QTest::addRow("two execution addresses") << twoEntries.Build()
        << QStringLiteral("В файле больше одной точки входа в программу - неизвестно, какую из них записывать.");
}

void TstFirmwareImage::refusals()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    FirmwareImage image;
    QString error;
    QVERIFY(!ParseFirmwareImage(file, &image, &error));
    QCOMPARE(error, message);
}

void TstFirmwareImage::acceptedLayouts_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("blocks");
    QTest::addColumn<int>("executions");
    QTest::addColumn<uint>("executionPoint");

    QTest::addRow("one block, no entry") << OneBlock().Build() << 1 << 0 << 0x08004000u;
    auto withEntry = OneBlock();
    withEntry.executions = {0x08000000};
    QTest::addRow("entry wins over block address") << withEntry.Build() << 1 << 1 << 0x08000000u;
    FirmwareBuilder three;
    for (uint32_t i = 0; i < 3; ++i)
        three.blocks.push_back({0x1000 * (i + 1), QByteArray(300, char('a' + i)), i});
    QTest::addRow("three blocks") << three.Build() << 3 << 0 << 0x1000u;
    FirmwareBuilder none;
    QTest::addRow("no blocks") << none.Build() << 0 << 0 << 0u;
    auto v0 = OneBlock();
    v0.version = 0;
    QTest::addRow("version 0") << v0.Build() << 1 << 0 << 0x08004000u;

    QByteArray body = OneBlock().Body();
    const int rec = int(Get32(body, 10)) + 4;
    FirmwareBuilder::Set32(body, rec + 9, uint32_t(body.size() + 2 - 1) - Get32(body, rec + 1));
    QTest::addRow("block ends at S-1") << FirmwareBuilder::WithCrc(body) << 1 << 0 << 0x08004000u;
}

void TstFirmwareImage::acceptedLayouts()
{
    QFETCH(QByteArray, file);
    QFETCH(int, blocks);
    QFETCH(int, executions);
    QFETCH(uint, executionPoint);
    FirmwareImage image;
    QString error;
    QVERIFY2(ParseFirmwareImage(file, &image, &error), qPrintable(error));
    QCOMPARE(int(image.blocks.size()), blocks);
    QCOMPARE(int(image.executions.size()), executions);
    QCOMPARE(image.ExecutionPoint(), executionPoint);
}

void TstFirmwareImage::blockDataComesFromTheFile()
{
    FirmwareBuilder b;
    b.blocks.push_back({0x100, "first", 1});
    b.blocks.push_back({0x200, "second block", 2});
    FirmwareImage image;
    QVERIFY(ParseFirmwareImage(b.Build(), &image, nullptr));
    QCOMPARE(image.BlockData(0), QByteArray("first"));
    QCOMPARE(image.BlockData(1), QByteArray("second block"));
    QCOMPARE(image.blocks[1].address, 0x200u);
    QCOMPARE(image.blocks[1].checksum, 2u);
}

QTEST_APPLESS_MAIN(TstFirmwareImage)
#include "tst_firmware_image.moc"
