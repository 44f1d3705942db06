#include "config/json.h"
#include "programmer/config_image.h"

#include <QtTest>

using namespace vrs;

class TstConfigImage : public QObject {
    Q_OBJECT
private slots:
    void imageLayout_data();
    void imageLayout();
    void damagedImages_data();
    void damagedImages();
    void merge_data();
    void merge();
};

void TstConfigImage::imageLayout_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("image");
    QTest::addRow("empty text has CRC 0") << QByteArray() << QByteArray::fromHex("0000000000000000");
    QTest::addRow("check string") << QByteArray("123456789")
        << QByteArray::fromHex("09000000") + "123456789" + QByteArray::fromHex("882DFD2D");
}

void TstConfigImage::imageLayout()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, image);
    QCOMPARE(BuildConfigImage(text), image);
    QVERIFY(ConfigImageCrcOk(image));
    QCOMPARE(ConfigImageText(image), text);
}

void TstConfigImage::damagedImages_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QByteArray>("text");
    const QByteArray good = BuildConfigImage("{\"whmeter\":{}}");
    QByteArray flipped = good;
    flipped[6] = 'X';
    QTest::addRow("text changed") << flipped << flipped.mid(4, flipped.size() - 8);
    QTest::addRow("truncated") << good.left(good.size() - 1) << QByteArray();
    QTest::addRow("shorter than a header") << QByteArray("\x01\x00", 2) << QByteArray();
    QTest::addRow("length field too big") << QByteArray::fromHex("FFFFFFFF00000000") << QByteArray();
}

void TstConfigImage::damagedImages()
{
    QFETCH(QByteArray, image);
    QFETCH(QByteArray, text);
    QVERIFY(!ConfigImageCrcOk(image));
    QCOMPARE(ConfigImageText(image), text);
}

void TstConfigImage::merge_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("written");

    const QByteArray set = R"({"asudd":{"a":1},"whmeter":{"w":2}})";
    QTest::addRow("replaces and moves to the end") << set << QByteArray(R"({"asudd":{"b":3}})") << int(dtPLM)
        << QByteArray(R"({"whmeter":{"w":2},"asudd":{"b":3}})");
    QTest::addRow("adds a new member") << set << QByteArray(R"({"ntrv":{"n":4}})") << int(dtNTRV)
        << QByteArray(R"({"asudd":{"a":1},"whmeter":{"w":2},"ntrv":{"n":4}})");
    QTest::addRow("empty stored text") << QByteArray() << QByteArray(R"({"whmeter":{"w":5}})") << int(dtZMT)
        << QByteArray(R"({"whmeter":{"w":5}})");
    QTest::addRow("stored text not an object") << QByteArray("[1,2]") << QByteArray(R"({"whmeter":{}})")
        << int(dtZMT) << QByteArray(R"({"whmeter":{}})");
    QTest::addRow("stored text garbage") << QByteArray("{\"asudd\":") << QByteArray(R"({"whmeter":{}})")
        << int(dtZMT) << QByteArray(R"({"whmeter":{}})");
    QTest::addRow("document lacks the member") << set << QByteArray(R"({"ntrv":{}})") << int(dtZMT)
        << QByteArray(R"({"ntrv":{}})");
    QTest::addRow("type without a member name") << set << QByteArray(R"({"asudd":{}})") << int(dtVRS)
        << QByteArray(R"({"asudd":{}})");
}

void TstConfigImage::merge()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, document);
    QFETCH(int, type);
    QFETCH(QByteArray, written);
    QCOMPARE(MergeConfiguration(stored, document, DeviceType(type)), written);
}

QTEST_APPLESS_MAIN(TstConfigImage)
#include "tst_config_image.moc"
