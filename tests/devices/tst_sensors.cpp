#include "devices/plm/sensors.h"

#include <QTest>

#include <functional>

using namespace vrs;

namespace {

// A small controller: directions "A" and "B", BOD 0 with sensors 0 and 1
// (sensor 0 bound to "A"), and a counter of the notices reaching the root.
struct Controller {
    TSensorsSettings root;
    TSensorTrend *dirA = nullptr;
    TSensorTrend *dirB = nullptr;
    TBOD *bod = nullptr;
    TSensor *s0 = nullptr;
    TSensor *s1 = nullptr;
    int notices = 0;
    TSettingsObject *lastSender = nullptr;

    Controller()
    {
        dirA = root.AddDirection();
        dirA->SetName("A");
        dirB = root.AddDirection();
        dirB->SetName("B");
        bod = root.AddBOD();
        s0 = bod->AddSensor();
        s1 = bod->AddSensor();
        s0->SetDirection(dirA);
        root.SetOnChange([this](TSettingsObject *sender) {
            ++notices;
            lastSender = sender;
        });
    }
};

using Action = std::function<void(Controller &)>;

QList<int> bodNumbers(const TSensorsSettings &root)
{
    QList<int> numbers;
    for (int i = 0; i < root.BODCount(); ++i)
        numbers << root.BOD(i)->Number();
    return numbers;
}

QList<int> sensorNumbers(const TBOD &bod)
{
    QList<int> numbers;
    for (int i = 0; i < bod.SensorCount(); ++i)
        numbers << bod.Sensor(i)->Number();
    return numbers;
}

} // namespace

Q_DECLARE_METATYPE(Action)

class TestSensors : public QObject {
    Q_OBJECT

private slots:
    void newObjects();
    void nextFreeBODNumber_data();
    void nextFreeBODNumber();
    void nextFreeSensorNumber_data();
    void nextFreeSensorNumber();
    void numberUniqueness();
    void changeNotices_data();
    void changeNotices();
    void directionUse();
    void removingShiftsDirectionNumbers();
    void sortKeepsEqualNumbersInOrder();
    void takeContentsRebindsNotices();
};

void TestSensors::newObjects()
{
    TSensorsSettings root;
    QCOMPARE(root.BODCount(), 0);
    QCOMPARE(root.DirectionCount(), 0);
    TSensorTrend stray;
    QVERIFY(root.IsDirectionUnused(&stray));
    QCOMPARE(root.IndexOfDirection(nullptr), -1);
    QCOMPARE(root.BOD(0), nullptr);

    TBOD *bod = root.AddBOD();
    QCOMPARE(bod->Number(), 0);
    QCOMPARE(bod->Name(), QString("БОД"));
    QCOMPARE(bod->Distance(), qint16(0));
    QCOMPARE(bod->SensorCount(), 0);  // the window adds the first sensor itself

    TSensor *sensor = bod->AddSensor();
    QCOMPARE(sensor->Number(), 0);
    QCOMPARE(sensor->Direction(), nullptr);
    QCOMPARE(root.AddDirection()->Name(), QString("Новое направление"));
}

void TestSensors::nextFreeBODNumber_data()
{
    QTest::addColumn<QList<int>>("present");
    QTest::addColumn<int>("expected");
    QList<int> all;
    for (int n = 0; n < 32; ++n)
        all << n;
    QTest::addRow("empty") << QList<int>{} << 0;
    QTest::addRow("gap after 0,1,3") << QList<int>{0, 1, 3} << 2;
    QTest::addRow("unordered") << QList<int>{2, 0, 1} << 3;
    QTest::addRow("all 32 taken") << all << 0;
    QTest::addRow("out of range ignored") << QList<int>{-1, 32, 40, 0} << 1;
}

void TestSensors::nextFreeBODNumber()
{
    QFETCH(QList<int>, present);
    QFETCH(int, expected);
    TSensorsSettings root;
    for (int n : present)
        root.AddBOD()->SetNumber(n);
    QCOMPARE(root.NextFreeBODNumber(), expected);
    QCOMPARE(root.AddBOD()->Number(), expected);
}

void TestSensors::nextFreeSensorNumber_data()
{
    QTest::addColumn<QList<int>>("present");
    QTest::addColumn<int>("expected");
    QTest::addRow("empty") << QList<int>{} << 0;
    QTest::addRow("gap after 0,2") << QList<int>{0, 2} << 1;
    QTest::addRow("all 8 taken") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7} << 0;
    QTest::addRow("12 blocks nothing") << QList<int>{12, 0} << 1;
}

void TestSensors::nextFreeSensorNumber()
{
    QFETCH(QList<int>, present);
    QFETCH(int, expected);
    TBOD bod(0, "x");
    for (int n : present)
        bod.AddSensor()->SetNumber(n);
    QCOMPARE(bod.NextFreeSensorNumber(), expected);
    QCOMPARE(bod.AddSensor()->Number(), expected);
}

void TestSensors::numberUniqueness()
{
    TSensorsSettings root;
    TBOD *a = root.AddBOD();
    TBOD *b = root.AddBOD();
    TBOD *c = root.AddBOD();
    a->SetNumber(5);
    b->SetNumber(5);
    QVERIFY(!root.IsBODNumberUnique(a));
    QVERIFY(!root.IsBODNumberUnique(b));
    QVERIFY(root.IsBODNumberUnique(c));
    b->SetNumber(6);
    QVERIFY(root.IsBODNumberUnique(a));
    QVERIFY(root.IsBODNumberUnique(b));

    // Sensors are compared within their own BOD only.
    TSensor *a0 = a->AddSensor();
    TSensor *b0 = b->AddSensor();
    QCOMPARE(a0->Number(), b0->Number());
    QVERIFY(a->IsSensorNumberUnique(a0));
    QVERIFY(b->IsSensorNumberUnique(b0));
    TSensor *a1 = a->AddSensor();
    a1->SetNumber(a0->Number());
    QVERIFY(!a->IsSensorNumberUnique(a0));
    QVERIFY(!a->IsSensorNumberUnique(a1));
}

void TestSensors::changeNotices_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("expected");

    QTest::addRow("sensor number") << Action([](Controller &c) { c.s1->SetNumber(5); }) << 1;
    QTest::addRow("sensor same number") << Action([](Controller &c) { c.s1->SetNumber(1); }) << 0;
    QTest::addRow("sensor direction") << Action([](Controller &c) { c.s1->SetDirection(c.dirB); }) << 1;
    QTest::addRow("sensor same direction") << Action([](Controller &c) { c.s0->SetDirection(c.dirA); }) << 0;
    QTest::addRow("sensor direction cleared") << Action([](Controller &c) { c.s0->SetDirection(nullptr); }) << 1;
    QTest::addRow("direction rename") << Action([](Controller &c) { c.dirA->SetName("a"); }) << 1;
    QTest::addRow("direction same name") << Action([](Controller &c) { c.dirA->SetName("A"); }) << 0;
    QTest::addRow("BOD name") << Action([](Controller &c) { c.bod->SetName("north"); }) << 1;
    QTest::addRow("BOD same name") << Action([](Controller &c) { c.bod->SetName("БОД"); }) << 0;
    QTest::addRow("BOD number") << Action([](Controller &c) { c.bod->SetNumber(3); }) << 1;
    QTest::addRow("BOD distance") << Action([](Controller &c) { c.bod->SetDistance(-250); }) << 1;
    QTest::addRow("add sensor") << Action([](Controller &c) { c.bod->AddSensor(); }) << 1;
    QTest::addRow("remove sensor") << Action([](Controller &c) { c.bod->RemoveSensor(c.s1); }) << 1;
    QTest::addRow("remove foreign sensor")
        << Action([](Controller &c) { TSensor stray(0); c.bod->RemoveSensor(&stray); }) << 0;
    QTest::addRow("add BOD") << Action([](Controller &c) { c.root.AddBOD(); }) << 1;
    QTest::addRow("remove BOD") << Action([](Controller &c) { c.root.RemoveBOD(c.bod); }) << 1;
    QTest::addRow("add direction") << Action([](Controller &c) { c.root.AddDirection(); }) << 1;
    QTest::addRow("remove unused direction")
        << Action([](Controller &c) { c.root.RemoveDirection(c.dirB); }) << 1;
    QTest::addRow("remove used direction refused")
        << Action([](Controller &c) { QVERIFY(!c.root.RemoveDirection(c.dirA)); }) << 0;
    QTest::addRow("sort sensors in order") << Action([](Controller &c) { c.bod->SortSensorsByNumber(); }) << 0;
    QTest::addRow("sort sensors reorders") << Action([](Controller &c) {
        c.s0->SetNumber(4);
        c.bod->SortSensorsByNumber();
    }) << 2;
    QTest::addRow("clear") << Action([](Controller &c) { c.root.Clear(); }) << 0;
}

void TestSensors::changeNotices()
{
    QFETCH(Action, action);
    QFETCH(int, expected);
    Controller c;
    action(c);
    QCOMPARE(c.notices, expected);
    if (expected)
        QCOMPARE(c.lastSender, static_cast<TSettingsObject *>(&c.root));
}

void TestSensors::directionUse()
{
    Controller c;
    QVERIFY(!c.root.IsDirectionUnused(c.dirA));
    QVERIFY(c.bod->UsesDirection(c.dirA));
    QVERIFY(c.root.IsDirectionUnused(c.dirB));

    // Rebinding the only user frees the direction.
    c.s0->SetDirection(c.dirB);
    QVERIFY(c.root.IsDirectionUnused(c.dirA));
    QVERIFY(!c.root.IsDirectionUnused(c.dirB));

    // So does removing the sensor, or the whole BOD with its sensors.
    TSensor *extra = c.bod->AddSensor();
    extra->SetDirection(c.dirA);
    QVERIFY(!c.root.IsDirectionUnused(c.dirA));
    c.bod->RemoveSensor(extra);
    QVERIFY(c.root.IsDirectionUnused(c.dirA));
    c.root.RemoveBOD(c.bod);
    QCOMPARE(c.root.BODCount(), 0);
    QVERIFY(c.root.IsDirectionUnused(c.dirB));
    QVERIFY(c.root.RemoveDirection(c.dirB));
    QCOMPARE(c.root.DirectionCount(), 1);
}

void TestSensors::removingShiftsDirectionNumbers()
{
    Controller c;
    TSensorTrend *third = c.root.AddDirection();
    QCOMPARE(c.root.IndexOfDirection(third), 2);
    c.s0->SetDirection(nullptr);
    QVERIFY(c.root.RemoveDirection(c.dirA));
    QCOMPARE(c.root.IndexOfDirection(c.dirB), 0);
    QCOMPARE(c.root.IndexOfDirection(third), 1);
    QCOMPARE(c.root.Direction(1), third);
    QCOMPARE(c.root.Direction(2), nullptr);
}

void TestSensors::sortKeepsEqualNumbersInOrder()
{
    TSensorsSettings root;
    TBOD *first = root.AddBOD();
    TBOD *second = root.AddBOD();
    TBOD *third = root.AddBOD();
    first->SetNumber(7);
    second->SetNumber(2);
    third->SetNumber(7);
    QVERIFY(root.SortBODsByNumber());
    QCOMPARE(bodNumbers(root), (QList<int>{2, 7, 7}));
    QCOMPARE(root.BOD(1), first);
    QCOMPARE(root.BOD(2), third);

    first->AddSensor()->SetNumber(3);
    first->AddSensor()->SetNumber(0);
    QVERIFY(first->SortSensorsByNumber());
    QCOMPARE(sensorNumbers(*first), (QList<int>{0, 3}));
}

void TestSensors::takeContentsRebindsNotices()
{
    Controller staged;
    TSensorsSettings target;
    int targetNotices = 0;
    target.SetOnChange([&](TSettingsObject *) { ++targetNotices; });
    target.AddDirection();
    targetNotices = 0;

    target.TakeContentsFrom(staged.root);
    QCOMPARE(targetNotices, 0);
    QCOMPARE(staged.root.BODCount(), 0);
    QCOMPARE(staged.root.DirectionCount(), 0);
    QCOMPARE(target.DirectionCount(), 2);
    QCOMPARE(target.BOD(0)->Sensor(0)->Direction(), target.Direction(0));

    // Changes of the taken objects now reach the new root, and only it.
    staged.notices = 0;
    target.BOD(0)->Sensor(1)->SetNumber(6);
    target.Direction(1)->SetName("C");
    QCOMPARE(targetNotices, 2);
    QCOMPARE(staged.notices, 0);
}

QTEST_GUILESS_MAIN(TestSensors)
#include "tst_sensors.moc"
