#include "CAsmError.h"
#include "CaseFile.h"
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

const QStringList ModuleNames{"three axes", "two axes", "no flags", "short commands", "no commands",
                              "velocity 0..0", "no velocity", "no pull-ups", "fewer lists", "eight axes"};

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

// tests/cases/range-check.cases: one instruction against one of the modules above, and the
// message it gets.
void tst_RangeCheck::rules_data()
{
    AddCaseRows("range-check.cases");
}

void tst_RangeCheck::rules()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    TInstruction in;
    QVERIFY2(body.size() == 1 && ParseCaseWord(body[0].section(": ", 1), &in)
                 && ModuleNames.contains(body[0].section(": ", 0, 0)),
             "one line: \"MODULE: MNEMONIC TYPE MOTOR VALUE\" with a known module");
    QString thrown = QStringLiteral("passes");
    try {
        CheckInstructionRanges(Module(body[0].section(": ", 0, 0)), in);
    } catch (const CAsmError& e) {
        thrown = e.Message;
        QVERIFY(!thrown.isEmpty());
    }
    QCOMPARE(QStringList{thrown}, results);
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
