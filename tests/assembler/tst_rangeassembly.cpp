#include "Assembler.h"
#include "KROLModuleInterface.h"
#include "ParameterLists.h"

#include <QtTest>

// Whole sources assembled with range checking against modules/virtual.json, the way the
// workbench and `krol asm --module` do it.
class tst_RangeAssembly : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sources_data();
    void sources();

private:
    std::unique_ptr<KROLModuleInterface> m_module;
    TParameterLists m_lists;
};

void tst_RangeAssembly::initTestCase()
{
    QString error;
    m_module.reset(KROLModuleInterface::fromFile(
        QDir(qEnvironmentVariable("KROL_SOURCE_DIR")).filePath(QStringLiteral("modules/virtual.json")), &error));
    QVERIFY2(m_module, qPrintable(error));
    m_lists.make(*m_module);
}

void tst_RangeAssembly::sources_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("message");   // empty: assembles
    QTest::addColumn<int>("line");

    const QString program = QStringLiteral(
        "// home all three axes, then run a move sequence with coordinates\n"
        "SAP 4, 0, 50000           // maximum positioning speed\n"
        "SAP 5, 0, 200000\n"
        "SAP 194, 0, 20000\n"
        "STAP 4, 0\n"
        "SGP 77, 0, 1\n"
        "STGP 77, 0\n"
        "SIO 0, 0, $FF             // pull-ups on\n"
        "SGP 0, 3, 100             // timer 0 every 100 ms\n"
        "VECT 0, TICK\n"
        "EI 0\n"
        "EI 255\n"
        "RFS START, 0\n"
        "WAIT RFS, 0, 0\n"
        "SCO 1, 0, 1000\n"
        "SCO 2, 255, 2000\n"
        "CCO 3, 135\n"
        "MVP COORD, 135, 1\n"
        "WAIT POS, 0, 500\n"
        "LOOP: MVP REL, 2, -200\n"
        "WAIT POS, 2, 0\n"
        "GIO 3, 1\n"
        "SIO 5, 2, 1\n"
        "ROL 1, 2147483647\n"
        "WAIT TICKS, 200, 10\n"
        "MST 1\n"
        "GGP 0, 2\n"
        "GGP 77, 0\n"
        "SGP 255, 2, -2147483648   // the last user variable\n"
        "VECT 255, TICK\n"
        "CALL ZE, TICK\n"
        "JC NZ, LOOP\n"
        "STOP\n"
        "TICK: CALCV ADD, 7, 1\n"
        "RETI\n");
    QTest::newRow("realistic program") << program << QString() << 0;

    auto bad = [](const char* name, const char* line, const char* message) {
        QTest::newRow(name) << QStringLiteral("SAP 4, 0, 1000\n\n%1\nSTOP").arg(QLatin1String(line))
                            << QString::fromLatin1(message) << 3;
    };
    bad("axis beyond three", "ROR 3, 100", "Axis number out of range");
    bad("mask with axis 3", "MVP COORD, 136, 1", "Invalid axis bits set");
    bad("speed beyond 32 bits", "ROL 0, 2147483648", "ROL/ROR motor speed range exceeded");
    bad("read-only axis parameter", "SAP 3, 1, 1", "Axis parameter not writable");
    bad("axis parameter not storable", "STAP 0, 0", "Axis parameter cannot be stored/restored");
    bad("input port written", "SIO 0, 1, 0", "I/O port not writable");
    bad("SAP below the minimum", "SAP 4, 2, -1", "Axis parameter too low");
    bad("STAP beyond the axes", "STAP 4, 3", "Axis number out of range");
    bad("bank 1 has nothing", "SGP 0, 1, 0", "Parameter bank not supported");
    bad("auto start 2", "SGP 77, 0, 2", "Global parameter too high");
    bad("interrupt 47", "EI 47", "Interrupt type not supported");
    bad("coordinate 21", "GCO 21, 0", "Coordinate index out of range");
    bad("output value 2", "SIO 0, 2, 2", "I/O port value out of range");
    bad("pull-up mask 256", "SIO 0, 0, 256", "Pull-up resistor mask out of range");
    bad("WAIT POS on axis 5", "WAIT POS, 5, 0", "Axis number out of range");
}

void tst_RangeAssembly::sources()
{
    QFETCH(QString, source);
    QFETCH(QString, message);
    QFETCH(int, line);

    Assembler a;
    a.SetHeadless(true);
    a.SetSourceFile(QString(), QStringLiteral("prog.kro"), 0);
    a.SetRanges(makeRangeSettings(*m_module, m_lists, &m_lists.CommandList));
    bool error = false;
    a.DoAsm(source, false, false, false, true, QString(), error);
    if (message.isEmpty()) {
        QVERIFY2(!error, qPrintable(QStringLiteral("line %1: %2").arg(a.LastError().Line).arg(a.LastError().Message)));
        return;
    }
    QVERIFY(error);
    QCOMPARE(a.LastError().Message, message);
    QCOMPARE(a.LastError().Line, line);
}

QTEST_MAIN(tst_RangeAssembly)
#include "tst_rangeassembly.moc"
