#include "KROLModuleInterface.h"
#include "ParameterLists.h"

#include <QtTest>

namespace {

Parameter Record(int number, const char* access = "", qint64 min = 0, qint64 max = 0)
{
    Parameter p;
    p.number = number;
    p.name = QStringLiteral("name %1").arg(number);
    p.unit = QStringLiteral("unit %1").arg(number);
    p.min = min;
    p.max = max;
    p.access = QLatin1String(access);
    return p;
}

QList<int> Numbers(const TParameterList& list)
{
    QList<int> numbers;
    for (const TParameterDescriptor& d : list)
        numbers << d.Number;
    return numbers;
}

// Three axes, but only axis 1, global bank 2 and I/O bank 1 are described.
ModuleDescription Sparse()
{
    ModuleDescription d;
    d.name = QStringLiteral("sparse");
    d.axes = 3;
    d.maps["module"]["DirectModeCommands"].name = QStringLiteral("1, 2,,5");
    ParameterMap& axis = d.maps["axis1"];
    axis["par::b"] = Record(2, "w", -1, 4294967295LL);
    axis["par::a"] = Record(1, "ewr", 2147483648LL, 4294967296LL + 7);
    axis["par::c"] = Record(3, "");
    axis["par::d"] = Record(4, "re");
    axis["par::c"].flag = true;
    axis["Par::x"] = Record(90);                 // the prefix is case-sensitive
    axis["other"] = Record(91);
    axis["xpar::y"] = Record(92);
    d.maps["global2"]["par::v"] = Record(0, "rw");
    d.maps["io1"]["par::p"] = Record(3, "r");
    return d;
}

} // namespace

class tst_ParameterLists : public QObject
{
    Q_OBJECT

private slots:
    void compilesInMapOrder();
    void commandList_data();
    void commandList();
    void coordinateFlags_data();
    void coordinateFlags();
    void rebuildReplaces();
    void velocityAndRangeSettings();
};

void tst_ParameterLists::compilesInMapOrder()
{
    KROLModuleInterface module(Sparse());
    TParameterList list {TParameterDescriptor()};
    compileParameterList(module, QStringLiteral("axis1"), &list);
    QCOMPARE(Numbers(list), (QList<int> {0, 1, 2, 3, 4}));   // appended after what was there

    const TParameterDescriptor& a = list[1];
    QCOMPARE(a.Name, QStringLiteral("name 1"));
    QCOMPARE(a.Unit, QStringLiteral("unit 1"));
    QCOMPARE(a.Min, INT32_MIN);            // low 32 bits of 2^31
    QCOMPARE(a.Max, 7u);                   // low 32 bits of 2^32 + 7
    QVERIFY(a.Readable && a.Writable && a.Storable);
    const TParameterDescriptor& b = list[2];
    QCOMPARE(b.Min, -1);
    QCOMPARE(b.Max, 4294967295u);
    QVERIFY(!b.Readable && b.Writable && !b.Storable);
    QVERIFY(list[3].Flag);
    QVERIFY(!list[3].Readable && !list[3].Writable && !list[3].Storable);
    QVERIFY(list[4].Readable && !list[4].Writable && list[4].Storable);

    compileParameterList(module, QStringLiteral("axis0"), &list);   // no such map: unchanged
    QCOMPARE(list.size(), 5);
}

void tst_ParameterLists::commandList_data()
{
    QTest::addColumn<bool>("hasRecord");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("kept as written") << true << "1, 2,,5" << QStringList {"1", " 2", "", "5"};
    QTest::newRow("trailing comma") << true << "1,2," << QStringList {"1", "2", ""};
    QTest::newRow("no record") << false << "" << QStringList {""};
}

void tst_ParameterLists::commandList()
{
    QFETCH(bool, hasRecord);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    ModuleDescription d;
    if (hasRecord)
        d.maps["module"]["DirectModeCommands"].name = text;
    KROLModuleInterface module(d);
    TParameterLists lists;
    lists.make(module);
    QCOMPARE(lists.CommandList, expected);
}

void tst_ParameterLists::coordinateFlags_data()
{
    QTest::addColumn<bool>("eepromFlag2");
    QTest::addColumn<int>("eepromNumber");
    QTest::addColumn<bool>("multiFlag2");
    QTest::addColumn<bool>("eeprom");
    QTest::addColumn<bool>("multiAxis");
    QTest::newRow("both set") << true << 20 << true << true << true;
    QTest::newRow("eeprom number 0") << true << 0 << false << false << false;
    QTest::newRow("eeprom second flag clear") << false << 20 << true << false << true;
}

void tst_ParameterLists::coordinateFlags()
{
    QFETCH(bool, eepromFlag2);
    QFETCH(int, eepromNumber);
    QFETCH(bool, multiFlag2);
    QFETCH(bool, eeprom);
    QFETCH(bool, multiAxis);
    ModuleDescription d;
    Parameter e = Record(eepromNumber);
    e.flag = true;   // the first flag never counts
    e.flag2 = eepromFlag2;
    Parameter m = Record(0);
    m.flag = true;
    m.flag2 = multiFlag2;
    d.maps["coordinates"]["par::eeprom"] = e;
    d.maps["coordinates"]["par::multiaxis"] = m;
    KROLModuleInterface module(d);
    TParameterLists lists;
    lists.make(module);
    QCOMPARE(lists.CoordinateEepromFlag, eeprom);
    QCOMPARE(lists.MultiAxisFlag, multiAxis);
}

// Missing maps give empty banks; a second build replaces the first.
void tst_ParameterLists::rebuildReplaces()
{
    KROLModuleInterface module(Sparse());
    TParameterLists lists;
    lists.make(module);
    lists.make(module);
    QCOMPARE(lists.AxisParameterLists.size(), 3);
    QVERIFY(lists.AxisParameterLists[0].isEmpty());
    QCOMPARE(lists.AxisParameterLists[1].size(), 4);
    QVERIFY(lists.AxisParameterLists[2].isEmpty());
    QCOMPARE(lists.GlobalParameterLists.size(), 4);
    QCOMPARE(Numbers(lists.GlobalParameterLists[2]), QList<int> {0});
    QCOMPARE(lists.IoPortLists.size(), 3);
    QCOMPARE(Numbers(lists.IoPortLists[1]), QList<int> {3});
    QVERIFY(lists.InterruptList.isEmpty() && lists.WaitEventList.isEmpty());
    QVERIFY(lists.PullUpList.isEmpty() && lists.CoordinateList.isEmpty());
    QCOMPARE(lists.CommandList.size(), 4);

    ModuleDescription smaller;
    smaller.axes = 1;
    module.setDescription(smaller);
    lists.MultiAxisFlag = true;
    lists.make(module);
    QCOMPARE(lists.AxisParameterLists.size(), 1);
    QVERIFY(lists.GlobalParameterLists[2].isEmpty());
    QVERIFY(!lists.MultiAxisFlag);
}

void tst_ParameterLists::velocityAndRangeSettings()
{
    ModuleDescription d;
    d.axes = 2;
    d.maps["axis0"]["par::TargetVelocity"] = Record(9, "rw", -5, 5);
    KROLModuleInterface module(d);
    QCOMPARE(velocityParameterNumber(module), 9);
    d.maps["axis0"].remove("par::TargetVelocity");
    d.maps["axis1"]["par::TargetVelocity"] = Record(9);   // only axis 0 counts
    module.setDescription(d);
    QCOMPARE(velocityParameterNumber(module), 0);
    d.maps.remove("axis0");
    module.setDescription(d);
    QCOMPARE(velocityParameterNumber(module), 0);

    d.maps["axis0"]["par::TargetVelocity"] = Record(9, "rw", -5, 5);
    module.setDescription(d);
    TParameterLists lists;
    lists.make(module);
    const TRangeSettings r = makeRangeSettings(module, lists, &lists.CommandList);
    QCOMPARE(r.CommandList, &lists.CommandList);
    QCOMPARE(r.VelocityParameter, 9);
    QCOMPARE(r.NumberOfAxes, 2);
    QCOMPARE(r.AxisParameterLists.size(), 2);
    QCOMPARE(r.GlobalParameterLists.size(), 4);
    QCOMPARE(r.IoPortLists.size(), 3);
}

QTEST_APPLESS_MAIN(tst_ParameterLists)
#include "tst_parameterlists.moc"
