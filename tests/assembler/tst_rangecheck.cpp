#include "CAsmError.h"
#include "Globals.h"
#include "ModuleCommands.h"
#include "RangeCheck.h"

#include <QtTest>

namespace {

TParameterDescriptor Desc(int number, const char* access, int32_t min, uint32_t max)
{
    TParameterDescriptor d;
    d.Number = number;
    d.Name = QStringLiteral("p%1").arg(number);
    d.Min = min;
    d.Max = max;
    const QString a = QString::fromLatin1(access);
    d.Readable = a.contains(QLatin1Char('r'));
    d.Writable = a.contains(QLatin1Char('w'));
    d.Storable = a.contains(QLatin1Char('e'));
    return d;
}

const QStringList& AllOpcodes()
{
    static const QStringList list = [] {
        QStringList l;
        for (int i = 0; !KROLInstructions[i].Mnemonic.isEmpty(); ++i)
            l << QString::number(KROLInstructions[i].Opcode);
        return l;
    }();
    return list;
}

TParameterList Axis(int index)
{
    TParameterList axis {
        Desc(0, "rw", INT32_MIN, INT32_MAX),
        Desc(4, "rw", -1000, 1000),           // the velocity parameter
        Desc(6, "r", 0, 1),
        Desc(7, "rwe", 0, 100),
        Desc(8, "w", 0, 0),                   // no known range
        Desc(9, "rw", 0, 4294967295u),        // all 32 bits of Max set
        Desc(10, "rw", -10, 10),
    };
    if (index == 1)
        axis << Desc(11, "rwe", 0, 5);        // only axis 1 has it
    return axis;
}

// Three axes, both coordinate flags set; variants change one thing each.
TRangeSettings Module(const QString& name)
{
    static const QStringList shortCommands {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                            QStringLiteral("5"), QStringLiteral(" 4")};
    TRangeSettings r;
    r.CommandList = &AllOpcodes();
    r.VelocityParameter = 4;
    r.NumberOfAxes = 3;
    r.AxisParameterLists = {Axis(0), Axis(1), Axis(2)};
    r.GlobalParameterLists = {
        {Desc(77, "rwe", 0, 1), Desc(5, "r", 0, 9), Desc(6, "w", 0, 0)},
        {},
        {Desc(0, "rw", INT32_MIN, INT32_MAX)},
        {Desc(0, "rwe", 0, 4294967295u)},
    };
    r.InterruptList = {Desc(0, "", 0, 0), Desc(1, "", 0, 0), Desc(2, "", 0, 0), Desc(255, "", 0, 0)};
    r.WaitEventList = DefaultWaitEventList();
    r.IoPortLists = {
        {Desc(0, "r", 0, 1), Desc(1, "rw", 0, 1)},
        {Desc(0, "r", 0, 4095), Desc(1, "w", 0, 0)},
        {},
    };
    r.PullUpList = {Desc(0, "w", 0, 255), Desc(1, "w", 0, 1)};
    for (int i = 0; i <= 20; ++i)
        r.CoordinateList << Desc(i, "rwe", INT32_MIN, INT32_MAX);
    r.CoordinateEepromFlag = true;
    r.MultiAxisFlag = true;

    if (name == QLatin1String("two axes")) {
        r.NumberOfAxes = 2;
        r.AxisParameterLists.removeLast();
    } else if (name == QLatin1String("no flags")) {
        r.CoordinateEepromFlag = false;
        r.MultiAxisFlag = false;
    } else if (name == QLatin1String("short commands")) {
        r.CommandList = &shortCommands;
    } else if (name == QLatin1String("no commands")) {
        r.CommandList = nullptr;
    } else if (name == QLatin1String("velocity 0..0")) {
        for (TParameterList& axis : r.AxisParameterLists)
            axis[1].Max = 0, axis[1].Min = 0;
    } else if (name == QLatin1String("no velocity")) {
        for (TParameterList& axis : r.AxisParameterLists)
            axis.removeAt(1);
    } else if (name == QLatin1String("no pull-ups")) {
        r.PullUpList.clear();
    } else if (name == QLatin1String("fewer lists")) {
        r.AxisParameterLists = {Axis(0)};
    } else if (name == QLatin1String("eight axes")) {
        r.NumberOfAxes = 8;
    }
    return r;
}

} // namespace

class tst_RangeCheck : public QObject
{
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
    void errorCarriesSourcePosition();
};

void tst_RangeCheck::rules_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<int>("opcode");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("motor");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("message");   // empty: passes

    const QString m3 = QStringLiteral("three axes");
    auto row = [](const char* name, const QString& module, int opcode, int type, int motor,
                  qint64 value, const char* message) {
        QTest::newRow(name) << module << opcode << type << motor << value << QString::fromLatin1(message);
    };
    const char* none = "";

    // 1: command list
    row("command: STOP listed", m3, Opcode::STOP, 0, 0, 0, none);
    row("command: SAP in 1,2,3,5", "short commands", Opcode::SAP, 0, 0, 0, none);
    row("command: ' 4' is not 4", "short commands", Opcode::MVP, 0, 0, 0, "Command not supported by module");
    row("command: UF7 not listed", "short commands", Opcode::UF0 + 7, 0, 0, 0, "Command not supported by module");
    row("command: no list at all", "no commands", Opcode::STOP, 0, 0, 0, "Command not supported by module");
    row("command: checked before axis", "short commands", Opcode::MVP, 0, 9, 0, "Command not supported by module");

    // 2: axis numbers
    row("axis: ROR last axis", m3, Opcode::ROR, 0, 2, 0, none);
    row("axis: ROR motor 3", m3, Opcode::ROR, 0, 3, 0, "Axis number out of range");
    row("axis: ROR motor 2 of two", "two axes", Opcode::ROR, 0, 2, 0, "Axis number out of range");
    row("axis: MST motor 3", m3, Opcode::MST, 0, 3, 0, "Axis number out of range");
    row("axis: RFS motor 255", m3, Opcode::RFS, 0, 255, 0, "Axis number out of range");
    row("axis: SAP before parameter", m3, Opcode::SAP, 99, 3, 0, "Axis number out of range");
    row("axis: ACO before coordinate", m3, Opcode::ACO, 99, 3, 0, "Axis number out of range");
    row("axis: SAPX has no axis check", m3, Opcode::SAPX, 999, 0, 0, none);
    row("wait: TICKS any motor", m3, Opcode::WAIT, 0, 200, 5, none);
    row("wait: POS motor 7 of two", "two axes", Opcode::WAIT, 1, 7, 0, "Axis number out of range");
    row("wait: POS motor 1 of two", "two axes", Opcode::WAIT, 1, 1, 0, none);
    row("wait: REFSW motor 3", m3, Opcode::WAIT, 2, 3, 0, "Axis number out of range");
    row("SCO: motor 255 with eeprom", m3, Opcode::SCO, 0, 255, 0, none);
    row("SCO: motor 255 without eeprom", "no flags", Opcode::SCO, 0, 255, 0, "Axis number out of range");
    row("SCO: motor 254", m3, Opcode::SCO, 0, 254, 0, "Axis number out of range");
    row("GCO: motor 255 with eeprom", m3, Opcode::GCO, 20, 255, 0, none);
    row("GCO: motor 3", m3, Opcode::GCO, 0, 3, 0, "Axis number out of range");

    // 2a: MVP
    row("MVP ABS: motor 3", m3, Opcode::MVP, 0, 3, 0, "Axis number out of range");
    row("MVP REL: no coordinate check", m3, Opcode::MVP, 1, 2, 99999, none);
    row("MVP COORD: mask 7 of three", m3, Opcode::MVP, 2, 135, 5, none);
    row("MVP COORD: mask 8 of three", m3, Opcode::MVP, 2, 136, 5, "Invalid axis bits set");
    row("MVP COORD: bit 6 marks a mask", m3, Opcode::MVP, 2, 64 + 7, 0, none);
    row("MVP COORD: bit 6 mask 8", m3, Opcode::MVP, 2, 64 + 8, 0, "Invalid axis bits set");
    row("MVP COORD: mask needs a coordinate", m3, Opcode::MVP, 2, 135, 21, "Coordinate index out of range");
    row("MVP COORD: value not truncated", m3, Opcode::MVP, 2, 0, 4294967296LL + 5, "Coordinate index out of range");
    row("MVP COORD: plain axis", m3, Opcode::MVP, 2, 2, 20, none);
    row("MVP COORD: plain axis 3", m3, Opcode::MVP, 2, 3, 0, "Axis number out of range");
    row("MVP COORD: eight axes take any mask", "eight axes", Opcode::MVP, 2, 128 + 63, 0, none);
    row("MVP RELCOORD: no mask", m3, Opcode::MVP, 3, 135, 5, "Axis number out of range");
    row("MVP COORD: no multi-axis flag", "no flags", Opcode::MVP, 2, 135, 5, "Axis number out of range");
    row("MVP COORD: flag clear, no coord check", "no flags", Opcode::MVP, 2, 0, 999, none);

    // 2b: CCO
    row("CCO: mask 7 of three", m3, Opcode::CCO, 0, 135, 0, none);
    row("CCO: bit 3 of three", m3, Opcode::CCO, 0, 136, 0, "Invalid axis bits set");
    row("CCO: bit 6 of three", m3, Opcode::CCO, 0, 128 + 64, 0, "Invalid axis bits set");
    row("CCO: bit 6 alone is no mask", m3, Opcode::CCO, 0, 64, 0, "Axis number out of range");
    row("CCO: motor 3", m3, Opcode::CCO, 0, 3, 0, "Axis number out of range");
    row("CCO: no multi-axis flag", "no flags", Opcode::CCO, 0, 135, 0, "Axis number out of range");
    row("CCO: then the coordinate", m3, Opcode::CCO, 21, 130, 0, "Coordinate index out of range");

    // 3: rotation speed
    row("ROL: at the maximum", m3, Opcode::ROL, 0, 0, 1000, none);
    row("ROL: above the maximum", m3, Opcode::ROL, 0, 0, 1001, "ROL/ROR motor speed range exceeded");
    row("ROR: below the minimum", m3, Opcode::ROR, 0, 1, -1001, "ROL/ROR motor speed range exceeded");
    row("ROL: 0..0 means default, top", "velocity 0..0", Opcode::ROL, 0, 0, 2147483647, none);
    row("ROL: default excludes -2^31", "velocity 0..0", Opcode::ROL, 0, 0, -2147483648LL, "ROL/ROR motor speed range exceeded");
    row("ROL: default bottom", "velocity 0..0", Opcode::ROL, 0, 0, -2147483647, none);
    row("ROL: default above 2^31-1", "velocity 0..0", Opcode::ROL, 0, 0, 2147483648LL, "ROL/ROR motor speed range exceeded");
    row("ROR: no velocity descriptor", "no velocity", Opcode::ROR, 0, 0, -2147483648LL, "ROL/ROR motor speed range exceeded");
    row("ROR: no velocity descriptor, top", "no velocity", Opcode::ROR, 0, 0, 2147483647, none);
    row("ROR: axis without a list", "fewer lists", Opcode::ROR, 0, 2, 2147483647, none);

    // 4: axis parameters
    row("SAP: unknown type", m3, Opcode::SAP, 99, 0, 0, "Axis parameter type not supported");
    row("SAP: read-only", m3, Opcode::SAP, 6, 0, 0, "Axis parameter not writable");
    row("AAP: read-only", m3, Opcode::AAP, 6, 0, 0, "Axis parameter not writable");
    row("GAP: write-only", m3, Opcode::GAP, 8, 0, 0, "Axis parameter not readable");
    row("GAP: readable", m3, Opcode::GAP, 6, 2, 0, none);
    row("STAP: not storable", m3, Opcode::STAP, 0, 0, 0, "Axis parameter cannot be stored/restored");
    row("RSAP: storable", m3, Opcode::RSAP, 7, 0, 0, none);
    row("STAP: axis 1's own list", m3, Opcode::STAP, 11, 1, 0, none);
    row("STAP: not in axis 0's list", m3, Opcode::STAP, 11, 0, 0, "Axis parameter type not supported");
    row("STAP: motor beyond the axes", m3, Opcode::STAP, 7, 3, 0, "Axis number out of range");
    row("RSAP: motor 255", m3, Opcode::RSAP, 7, 255, 0, "Axis number out of range");
    row("STAP: axis without a list", "fewer lists", Opcode::STAP, 7, 2, 0, "Axis parameter type not supported");
    row("GAP: axis without a list", "fewer lists", Opcode::GAP, 0, 1, 0, "Axis parameter type not supported");
    row("SAP: above 2^31 in 32-bit Max", m3, Opcode::SAP, 9, 0, 2147483648LL, none);
    row("SAP: 4294967295", m3, Opcode::SAP, 9, 0, 4294967295LL, none);
    row("SAP: 2^32", m3, Opcode::SAP, 9, 0, 4294967296LL, "Axis parameter too high");
    row("SAP: -1 against Min 0", m3, Opcode::SAP, 9, 0, -1, "Axis parameter too low");
    row("SAP: at Min", m3, Opcode::SAP, 10, 0, -10, none);
    row("SAP: below Min", m3, Opcode::SAP, 10, 0, -11, "Axis parameter too low");
    row("SAP: above Max", m3, Opcode::SAP, 10, 0, 11, "Axis parameter too high");
    row("SAP: 0..0 is not checked", m3, Opcode::SAP, 8, 0, -5000000000LL, none);
    row("AAP: no range check", m3, Opcode::AAP, 10, 0, 99, none);

    // 5: global parameters
    row("SGP: bank 4 of four", m3, Opcode::SGP, 77, 4, 0, "Parameter bank not supported");
    row("SGP: empty bank", m3, Opcode::SGP, 0, 1, 0, "Parameter bank not supported");
    row("GGP: bank 255", m3, Opcode::GGP, 0, 255, 0, "Parameter bank not supported");
    row("SGP: unknown type", m3, Opcode::SGP, 78, 0, 0, "Global parameter type not supported");
    row("SGP: read-only", m3, Opcode::SGP, 5, 0, 0, "Global parameter not writable");
    row("AGP: read-only", m3, Opcode::AGP, 5, 0, 0, "Global parameter not writable");
    row("GGP: write-only", m3, Opcode::GGP, 6, 0, 0, "Global parameter not readable");
    row("STGP: not storable", m3, Opcode::STGP, 0, 2, 0, "Global parameter cannot be stored/restored");
    row("RSGP: storable", m3, Opcode::RSGP, 77, 0, 0, none);
    row("SGP: auto start on", m3, Opcode::SGP, 77, 0, 1, none);
    row("SGP: above Max", m3, Opcode::SGP, 77, 0, 2, "Global parameter too high");
    row("SGP: below Min", m3, Opcode::SGP, 77, 0, -1, "Global parameter too low");
    row("SGP: 4294967295", m3, Opcode::SGP, 0, 3, 4294967295LL, none);
    row("SGP: 2^32", m3, Opcode::SGP, 0, 3, 4294967296LL, "Global parameter too high");
    row("SGP: 0..0 is not checked", m3, Opcode::SGP, 6, 0, 123456, none);

    // 6: interrupts
    row("EI: global", m3, Opcode::EI, 255, 0, 0, none);
    row("DI: unknown", m3, Opcode::DI, 3, 0, 0, "Interrupt type not supported");
    row("VECT: known", m3, Opcode::VECT, 2, 0, 0, none);
    row("VECT: unknown", m3, Opcode::VECT, 47, 0, 0, "Interrupt type not supported");

    // 7: coordinates
    row("SCO: last coordinate", m3, Opcode::SCO, 20, 0, -7, none);
    row("GCO: beyond the list", m3, Opcode::GCO, 21, 0, 0, "Coordinate index out of range");
    row("ACO: known", m3, Opcode::ACO, 20, 2, 0, none);

    // 8: I/O ports and pull-ups
    row("GIO: empty bank", m3, Opcode::GIO, 0, 2, 0, "I/O port bank not supported");
    row("GIO: bank 3 of three", m3, Opcode::GIO, 0, 3, 0, "I/O port bank not supported");
    row("GIO: unknown port", m3, Opcode::GIO, 9, 0, 0, "I/O port not supported");
    row("GIO: write-only", m3, Opcode::GIO, 1, 1, 0, "I/O port not readable");
    row("GIO: readable", m3, Opcode::GIO, 0, 0, 0, none);
    row("SIO 0,0: pull-ups ignore port 0", m3, Opcode::SIO, 0, 0, 255, none);
    row("SIO 0,0: mask above", m3, Opcode::SIO, 0, 0, 256, "Pull-up resistor mask out of range");
    row("SIO 0,0: mask below", m3, Opcode::SIO, 0, 0, -1, "Pull-up resistor mask out of range");
    row("SIO 0,0: no pull-ups", "no pull-ups", Opcode::SIO, 0, 0, 0, "Pull-up resistor switching not supported");
    row("SIO 0,1: port, not pull-ups", m3, Opcode::SIO, 0, 1, 0, "I/O port not writable");
    row("SIO: in range", m3, Opcode::SIO, 1, 0, 1, none);
    row("SIO: out of range", m3, Opcode::SIO, 1, 0, 2, "I/O port value out of range");
    row("SIO: 0..0 allows 0", m3, Opcode::SIO, 1, 1, 0, none);
    row("SIO: 0..0 refuses 1", m3, Opcode::SIO, 1, 1, 1, "I/O port value out of range");
    row("SIO: unknown port first", "no pull-ups", Opcode::SIO, 5, 0, 0, "I/O port not supported");

    // Everything else passes after the command check.
    row("CALC passes", m3, Opcode::CALC, 2, 0, -5000000000LL, none);
    row("JA passes", m3, Opcode::JA, 0, 0, 12, none);
}

void tst_RangeCheck::rules()
{
    QFETCH(QString, module);
    QFETCH(int, opcode);
    QFETCH(int, type);
    QFETCH(int, motor);
    QFETCH(qint64, value);
    QFETCH(QString, message);

    const TRangeSettings ranges = Module(module);
    TInstruction in;
    in.Opcode = static_cast<uint8_t>(opcode);
    in.Type = static_cast<uint16_t>(type);
    in.Motor = static_cast<uint8_t>(motor);
    in.Value = value;

    QString thrown;
    try {
        CheckInstructionRanges(ranges, in);
    } catch (const CAsmError& e) {
        thrown = e.Message;
        QVERIFY(!thrown.isEmpty());
    }
    QCOMPARE(thrown, message);
}

void tst_RangeCheck::errorCarriesSourcePosition()
{
    const TRangeSettings ranges = Module(QStringLiteral("three axes"));
    TInstruction in;
    in.Opcode = Opcode::SAP;
    in.Type = 10;
    in.Value = 11;
    in.Line = 42;
    in.FileName = QStringLiteral("moves.inc");
    in.FileIndex = 3;
    try {
        CheckInstructionRanges(ranges, in);
        QFAIL("SAP above its maximum passed");
    } catch (const CAsmError& e) {
        QCOMPARE(e.Message, QStringLiteral("Axis parameter too high"));
        QCOMPARE(e.Line, 42);
        QCOMPARE(e.FileName, QStringLiteral("moves.inc"));
        QCOMPARE(e.FileIndex, 3);
    }
}

QTEST_APPLESS_MAIN(tst_RangeCheck)
#include "tst_rangecheck.moc"
