#include "link/frame.h"
#include "link/log_sink.h"

#include <QtTest>

#include <vector>

using namespace vrs;

// Request frames byte for byte, as the device expects them, and the hex dump
// of the traffic log.
class TstFrame : public QObject {
    Q_OBJECT
private slots:
    void writeFrame_data();
    void writeFrame();
    void dataMayAlreadySitInPlace();
    void bytesToHex_data();
    void bytesToHex();
};

static QByteArray Bytes(std::initializer_list<uint8_t> bytes)
{
    QByteArray out;
    for (uint8_t b : bytes)
        out.append(char(b));
    return out;
}

void TstFrame::writeFrame_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("expected");

    QTest::addRow("ready") << 0 << QByteArray()
                           << QByteArray(reinterpret_cast<const char *>(kReadyFrame), 10);
    QTest::addRow("ready literal") << 0 << QByteArray()
                                   << Bytes({0x5A, 0xA5, 0x55, 0xAA, 0x01, 0x00, 0x00, 0x00, 0x00, 0xB6});
    QTest::addRow("command 3, no data")
        << 3 << QByteArray() << Bytes({0x5A, 0xA5, 0x55, 0xAA, 0x01, 0x00, 0x00, 0x00, 0x03, 0xBF});
    QTest::addRow("command 9, address 0 size 1024")
        << 9 << Bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00})
        << Bytes({0x5A, 0xA5, 0x55, 0xAA, 0x09, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00, 0x00,
                  0x04, 0x00, 0x00, 0x23});
}

void TstFrame::writeFrame()
{
    QFETCH(int, command);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, expected);

    std::vector<uint8_t> out(size_t(data.size()) + 10, 0xEE);
    const size_t size = WriteFrame(out.data(), uint8_t(command),
                                   reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()));
    QCOMPARE(size, size_t(expected.size()));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(out.data()), int(size)), expected);
}

void TstFrame::dataMayAlreadySitInPlace()
{
    // Tasks write their request data straight into the send buffer.
    uint8_t buffer[18] = {};
    const uint8_t data[8] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00};
    std::memcpy(buffer + kFrameDataOffset, data, sizeof data);
    QCOMPARE(WriteFrame(buffer, 9, buffer + kFrameDataOffset, sizeof data), size_t(18));
    QCOMPARE(buffer[17], uint8_t(0x23));
    QCOMPARE(FinishFrame(buffer, 9, sizeof data), size_t(18));
    QCOMPARE(buffer[17], uint8_t(0x23));
}

void TstFrame::bytesToHex_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::addRow("0A FF") << Bytes({0x0A, 0xFF}) << QStringLiteral("0A FF ");
    QTest::addRow("empty") << QByteArray() << QString();
    QTest::addRow("upper case, zero padded") << Bytes({0x00, 0xab, 0x5a}) << QStringLiteral("00 AB 5A ");
}

void TstFrame::bytesToHex()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(BytesToHex(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())), text);
}

QTEST_APPLESS_MAIN(TstFrame)
#include "tst_frame.moc"
