#include "AssemblerEngine.h"
#include "ModuleDescription.h"
#include "SimParameters.h"

#include <QtTest>

#include <set>

// The virtual module's own tables against modules/virtual.json, which publishes them: a
// parameter the description names must be one the module has, with the same range and access;
// and the example include file, which names them for programs.
class tst_SimDescription : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tables_data();
    void tables();
    void numberedMaps_data();
    void numberedMaps();
    void waitEventsAndCoordinates();
    void includeFileNamesTheParameters_data();
    void includeFileNamesTheParameters();

private:
    ModuleDescription m_json;
};

namespace {

QString accessText(int access)
{
    QString s;
    if (access & Sim::R) s += 'r';
    if (access & Sim::W) s += 'w';
    if (access & Sim::E) s += 'e';
    return s;
}

template <int N>
QList<Sim::TParameterInfo> infos(const Sim::TParameterInfo (&table)[N])
{
    return QList<Sim::TParameterInfo>(std::begin(table), std::end(table));
}

} // namespace

Q_DECLARE_METATYPE(QList<Sim::TParameterInfo>)

void tst_SimDescription::initTestCase()
{
    QString error;
    const QString path = QDir(qEnvironmentVariable("KROL_SOURCE_DIR")).filePath("modules/virtual.json");
    QVERIFY2(ModuleDescription::load(path, &m_json, &error), qPrintable(error));
    QCOMPARE(m_json.axes, Sim::AxisCount);
}

void tst_SimDescription::tables_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QList<Sim::TParameterInfo>>("table");
    for (int axis = 0; axis < Sim::AxisCount; ++axis)
        QTest::addRow("axis%d", axis) << QString("axis%1").arg(axis) << infos(Sim::AxisParameters);
    QTest::newRow("global0") << "global0" << infos(Sim::ModuleParameters);
    QTest::newRow("global3") << "global3" << infos(Sim::TimerParameters);
}

void tst_SimDescription::tables()
{
    QFETCH(QString, map);
    QFETCH(QList<Sim::TParameterInfo>, table);
    const ParameterMap records = m_json.maps.value(map);
    QCOMPARE(records.size(), table.size());
    for (const Sim::TParameterInfo& info : table) {
        const QString key = QString::fromLatin1(info.key);
        QVERIFY2(records.contains(key), qPrintable(key));
        const Parameter p = records.value(key);
        QCOMPARE(p.number, info.number);
        QCOMPARE(p.min, info.min);
        QCOMPARE(p.max, info.max);
        QCOMPARE(p.access, accessText(info.access));
    }
}

void tst_SimDescription::numberedMaps_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("min");
    QTest::addColumn<qint64>("max");
    QTest::addColumn<QString>("access");
    QTest::newRow("user variables") << "global2" << Sim::UserVariableCount << qint64(Sim::I32Min) << qint64(Sim::I32Max) << "rwe";
    QTest::newRow("digital inputs") << "io0" << Sim::DigitalInputCount << 0LL << 1LL << "r";
    QTest::newRow("analog inputs") << "io1" << Sim::AnalogInputCount << 0LL << qint64(Sim::AnalogMax) << "r";
    QTest::newRow("outputs") << "io2" << Sim::OutputCount << 0LL << 1LL << "rw";
    QTest::newRow("pull-ups") << "pu0" << 1 << 0LL << qint64(Sim::PullUpMax) << "w";
}

// Maps whose records are numbered 0 to count - 1 with one range and access.
void tst_SimDescription::numberedMaps()
{
    QFETCH(QString, map);
    QFETCH(int, count);
    QFETCH(qint64, min);
    QFETCH(qint64, max);
    QFETCH(QString, access);
    std::set<int> numbers;
    for (const Parameter& p : m_json.maps.value(map)) {
        numbers.insert(p.number);
        QCOMPARE(p.min, min);
        QCOMPARE(p.max, max);
        QCOMPARE(p.access, access);
    }
    QCOMPARE(int(numbers.size()), count);
    QCOMPARE(*numbers.begin(), 0);
    QCOMPARE(*numbers.rbegin(), count - 1);
}

void tst_SimDescription::waitEventsAndCoordinates()
{
    const ParameterMap waits = m_json.maps.value("wait_cmd");
    QCOMPARE(waits.value("par::POS").number, int(Sim::WaitEvent::Pos));
    QCOMPARE(waits.value("par::RFS").number, int(Sim::WaitEvent::Rfs));

    const ParameterMap irq = m_json.maps.value("irq");
    QCOMPARE(irq.size(), Sim::Irq::Last + 2);
    QCOMPARE(irq.value("par::TI_GLOBAL").number, int(Sim::Irq::Global));
    QCOMPARE(irq.value("par::TI_POS_REACHED0").number, int(Sim::Irq::PositionReached0));
    QCOMPARE(irq.value("par::TI_STOPRIGHT2").number, Sim::Irq::StopRight0 + 4);
    QCOMPARE(irq.value("par::TI_INPUT0").number, int(Sim::Irq::Input0));

    ParameterMap coordinates = m_json.maps.value("coordinates");
    const Parameter eeprom = coordinates.take("par::eeprom");
    QVERIFY(eeprom.flag2 && eeprom.number == Sim::CoordinateCount - 1);
    QVERIFY(coordinates.take("par::multiaxis").flag2);
    QCOMPARE(coordinates.size(), Sim::CoordinateCount);
}

void tst_SimDescription::includeFileNamesTheParameters_data()
{
    QTest::addColumn<QString>("map");
    QTest::newRow("axis parameters") << "axis0";
    QTest::newRow("settings") << "global0";
    QTest::newRow("timers") << "global3";
}

// Every axis parameter, bank 0 setting and timer is a constant of examples/virtual-module.inc
// under its own name: "par::MaxPositioningSpeed" is MAX_POSITIONING_SPEED, "par::auto start
// mode" AUTO_START_MODE.
void tst_SimDescription::includeFileNamesTheParameters()
{
    QFETCH(QString, map);
    QFile inc(qEnvironmentVariable("KROL_SOURCE_DIR") + "/examples/virtual-module.inc");
    QVERIFY(inc.open(QIODevice::ReadOnly | QIODevice::Text));
    AssemblerEngine a;
    QVERIFY2(a.Run(QString::fromUtf8(inc.readAll()) + "\nSTOP", false, false, false, false, QString()),
             qPrintable(a.LastError().Message));
    QHash<QString, double> constants;
    for (const TConstant& c : a.Constants())
        constants.insert(c.Name, c.Value);
    const ParameterMap parameters = m_json.maps.value(map);
    QVERIFY(!parameters.isEmpty());
    for (auto it = parameters.begin(); it != parameters.end(); ++it) {
        QString name = it.key().mid(5);
        name.replace(QRegularExpression("([a-z0-9])([A-Z])"), "\\1_\\2").replace(' ', '_');
        name = name.toUpper();
        QVERIFY2(constants.contains(name), qPrintable(name + " is missing"));
        QCOMPARE(constants.value(name), double(it.value().number));
    }
}

QTEST_GUILESS_MAIN(tst_SimDescription)
#include "tst_simdescription.moc"
