#include "config/codec.h"

#include <QtTest>

using namespace vrs;

namespace {

// A text holding every byte value, in an order that is not periodic in 3.
QByteArray sampleText(qsizetype length)
{
    QByteArray t(length, Qt::Uninitialized);
    quint32 x = 12345;
    for (qsizetype i = 0; i < length; ++i) {
        x = x * 1103515245u + 12345u;
        t[i] = char(x >> 16);
    }
    return t;
}

} // namespace

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void groups_data();
    void groups();
    void decodeTolerance_data();
    void decodeTolerance();
    void encodedLength();
    void scrambleKnownBytes_data();
    void scrambleKnownBytes();
    void scrambledPrefixOnly_data();
    void scrambledPrefixOnly();
    void roundTrip_data();
    void roundTrip();
};

void TestCodec::groups_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("chars");
    QTest::addRow("empty") << QByteArray() << QByteArray();
    QTest::addRow("a") << QByteArray("a") << QByteArray("hB");
    QTest::addRow("ab") << QByteArray("ab") << QByteArray("hJG");
    QTest::addRow("abc") << QByteArray("abc") << QByteArray("hJ2Y");
    QTest::addRow("abcab") << QByteArray("abcab") << QByteArray("hJ2YhJG");
    QTest::addRow("high bytes") << QByteArray("\xff\xff\xff\x00", 4) << QByteArray("////AA");
}

void TestCodec::groups()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, chars);
    QCOMPARE(EncodeGroups(bytes), chars);
    QCOMPARE(DecodeGroups(chars), bytes);
}

// Decoding cuts strictly by position and never refuses anything.
void TestCodec::decodeTolerance_data()
{
    QTest::addColumn<QByteArray>("chars");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("lone last character") << QByteArray("hJ2Yh") << QByteArray("abc");
    QTest::addRow("single character") << QByteArray("h") << QByteArray();
    QTest::addRow("outside alphabet is 0") << QByteArray("**") << QByteArray(1, '\0');
    QTest::addRow("line break shifts groups")
        << QByteArray("hJ\r\n2Y") << QByteArray::fromHex("61020036");
}

void TestCodec::decodeTolerance()
{
    QFETCH(QByteArray, chars);
    QFETCH(QByteArray, bytes);
    QCOMPARE(DecodeGroups(chars), bytes);
}

void TestCodec::encodedLength()
{
    for (int length = 0; length < 12; ++length) {
        const int expected = 4 * (length / 3) + QList<int>{0, 2, 3}[length % 3];
        QCOMPARE(EncodeConfig(QByteArray(length, 'x'), 38117).size(), expected);
    }
}

// Bytes worked out by hand from the scrambling rule; they catch a key fed
// with the plain byte instead of the scrambled one.
void TestCodec::scrambleKnownBytes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<QByteArray>("scrambled");
    QTest::addRow("file key") << QByteArray("abc") << 38117 << QByteArray::fromHex("f585c0");
    QTest::addRow("key 0") << QByteArray("abc") << 0 << QByteArray::fromHex("619cc4");
    QTest::addRow("file start") << QByteArray("{\r\n\t\"whmeter\": {}\r\n}") << 38117
                                << QByteArray::fromHex("ef9d505b2793d8598600055eccc5f92287ab9408");
}

void TestCodec::scrambleKnownBytes()
{
    QFETCH(QByteArray, text);
    QFETCH(int, key);
    QFETCH(QByteArray, scrambled);
    QCOMPARE(Scramble(text, quint16(key)), scrambled);
    QCOMPARE(Unscramble(scrambled, quint16(key)), text);
    QCOMPARE(EncodeConfig(text, quint16(key)), EncodeGroups(scrambled));
}

// Files are scrambled in their first (length mod 65536) bytes only.
void TestCodec::scrambledPrefixOnly_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("scrambled");
    QTest::addRow("70000") << 70000 << 4464;
    QTest::addRow("65536") << 65536 << 0;
    QTest::addRow("65537") << 65537 << 1;
    QTest::addRow("65535") << 65535 << 65535;
}

void TestCodec::scrambledPrefixOnly()
{
    QFETCH(int, length);
    QFETCH(int, scrambled);
    const QByteArray text(length, 'A');
    const QByteArray out = Scramble(text, 38117);
    QCOMPARE(out.size(), text.size());
    QCOMPARE(out.mid(scrambled), text.mid(scrambled));
    if (scrambled > 0)
        QVERIFY(out.left(scrambled) != text.left(scrambled));
    QCOMPARE(EncodeConfig(text, 38117), EncodeGroups(out));
}

// Lengths include those where the scrambled part ends inside a 3-byte group
// and across the codec's internal pieces.
void TestCodec::roundTrip_data()
{
    QTest::addColumn<int>("length");
    for (int length : {0, 1, 2, 3, 4, 6143, 6144, 6145, 6146, 65535, 65536, 65537, 65538, 70000,
                       71681, 71682, 131071, 3 * 1024 * 1024 + 1})
        QTest::addRow("%d", length) << length;
}

void TestCodec::roundTrip()
{
    QFETCH(int, length);
    const QByteArray text = sampleText(length);
    for (quint16 key : {quint16(38117), quint16(0), quint16(0xFFFF)}) {
        const QByteArray scrambled = Scramble(text, key);
        QCOMPARE(Unscramble(scrambled, key), text);
        const QByteArray encoded = EncodeConfig(text, key);
        QCOMPARE(encoded, EncodeGroups(scrambled));
        QCOMPARE(DecodeGroups(encoded), scrambled);
        QCOMPARE(DecodeConfig(encoded, key), text);
    }
}

QTEST_APPLESS_MAIN(TestCodec)
#include "tst_config_codec.moc"
