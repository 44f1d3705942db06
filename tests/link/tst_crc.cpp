#include "link/crc.h"

#include <QtTest>

using namespace vrs;

// The three checksums against their published check values and the table
// entries that tell a reflected table from a plain one.
class TstCrc : public QObject {
    Q_OBJECT
private slots:
    void checkValues_data();
    void checkValues();
    void crc32StartsFromZeroEveryCall();
};

void TstCrc::checkValues_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<uint>("crc8");
    QTest::addColumn<uint>("crc32");
    QTest::addColumn<uint>("kermit");

    QTest::addRow("123456789") << QByteArray("123456789") << 0xF4u << 0x2DFD2D88u << 0x2189u;
    QTest::addRow("abc") << QByteArray("abc") << 0x5Fu << 0xCA6598D0u << 0x58E9u;
    QTest::addRow("empty") << QByteArray() << 0u << 0u << 0u;
    // A single byte 1 yields table entry 1 of each algorithm.
    QTest::addRow("byte 01") << QByteArray("\x01", 1) << 0x07u << 0x77073096u << 0x1189u;
}

void TstCrc::checkValues()
{
    QFETCH(QByteArray, input);
    QFETCH(uint, crc8);
    QFETCH(uint, crc32);
    QFETCH(uint, kermit);
    const auto *data = reinterpret_cast<const uint8_t *>(input.constData());
    const size_t count = size_t(input.size());

    QCOMPARE(uint(Crc8(data, count)), crc8);
    QCOMPARE(uint(Crc32(data, count)), crc32);
    uint16_t reg = 0;
    for (size_t i = 0; i < count; ++i)
        reg = Crc16KermitUpdate(reg, data[i]);
    QCOMPARE(uint(reg), kermit);
}

void TstCrc::crc32StartsFromZeroEveryCall()
{
    const QByteArray text("123456789");
    const auto *data = reinterpret_cast<const uint8_t *>(text.constData());
    Crc32(data, 5);
    QCOMPARE(Crc32(data, 9), 0x2DFD2D88u);
}

QTEST_APPLESS_MAIN(TstCrc)
#include "tst_crc.moc"
