#include "Globals.h"
#include "TParameterDescriptor.h"

#include <QtTest>

class tst_Globals : public QObject
{
    Q_OBJECT

private slots:
    void instructionByMnemonic_data();
    void instructionByMnemonic();
    void instructionByOpcode_data();
    void instructionByOpcode();
    void tableIsConsistent();
    void keyword_data();
    void keyword();
    void defaultWaitEvents();
    void angles();
};

void tst_Globals::instructionByMnemonic_data()
{
    QTest::addColumn<QString>("mnemonic");
    QTest::addColumn<int>("opcode");   // -1: not found
    QTest::addColumn<int>("typeKind");
    QTest::addColumn<int>("motorKind");
    QTest::addColumn<int>("valueKind");

    QTest::newRow("first row") << "ROR" << 1 << int(TypeNone) << 1 << int(ValueNumber);
    QTest::newRow("UF7") << "UF7" << 71 << int(TypeNumber) << 1 << int(ValueNumber);
    QTest::newRow("UF15 last row") << "UF15" << 79 << int(TypeNumber) << 1 << int(ValueNumber);
    QTest::newRow("SAPX has no motor") << "SAPX" << 16 << int(TypeNumber) << 0 << int(ValueNumber);
    QTest::newRow("CALL uses conditions") << "CALL" << 80 << int(TypeCondition) << 0 << int(ValueLabel);
    QTest::newRow("CALCVV value byte") << "CALCVV" << 40 << int(TypeCalcxx) << 1 << int(ValueByte);
    QTest::newRow("CALCV") << "CALCV" << 45 << int(TypeCalcv) << 1 << int(ValueNumber);
    QTest::newRow("WAIT") << "WAIT" << 27 << int(TypeWaitEvent) << 1 << int(ValueNumber);
    QTest::newRow("RFS") << "RFS" << 13 << int(TypeRfsMode) << 1 << int(ValueNone);
    QTest::newRow("no PUSHA") << "PUSHA" << -1 << 0 << 0 << 0;
    QTest::newRow("case-sensitive") << "ror" << -1 << 0 << 0 << 0;
    QTest::newRow("empty is not the end row") << "" << -1 << 0 << 0 << 0;
    QTest::newRow("prefix is not a match") << "CALCVVX" << -1 << 0 << 0 << 0;
}

void tst_Globals::instructionByMnemonic()
{
    QFETCH(QString, mnemonic);
    QFETCH(int, opcode);
    const TInstructionRow* row = FindInstruction(mnemonic);
    if (opcode < 0) {
        QVERIFY(row == nullptr);
        return;
    }
    QVERIFY(row != nullptr);
    QCOMPARE(row->Mnemonic, mnemonic);
    QCOMPARE(int(row->Opcode), opcode);
    QTEST(row->TypeKind, "typeKind");
    QTEST(row->MotorKind, "motorKind");
    QTEST(row->ValueKind, "valueKind");
}

void tst_Globals::instructionByOpcode_data()
{
    QTest::addColumn<int>("opcode");
    QTest::addColumn<QString>("mnemonic");   // empty: unknown

    QTest::newRow("0 has no row") << 0 << "";
    QTest::newRow("15 GIO") << 15 << "GIO";
    QTest::newRow("16 SAPX") << 16 << "SAPX";
    QTest::newRow("19 CALC") << 19 << "CALC";
    QTest::newRow("58 has no row") << 58 << "";
    QTest::newRow("63 has no row") << 63 << "";
    QTest::newRow("64 UF0") << 64 << "UF0";
    QTest::newRow("80 CALL") << 80 << "CALL";
    QTest::newRow("81 unknown") << 81 << "";
    QTest::newRow("255 unknown") << 255 << "";
}

void tst_Globals::instructionByOpcode()
{
    QFETCH(int, opcode);
    QFETCH(QString, mnemonic);
    const TInstructionRow* row = FindInstructionByOpcode(uint8_t(opcode));
    if (mnemonic.isEmpty())
        QVERIFY(row == nullptr);
    else
        QCOMPARE(row ? row->Mnemonic : QString(), mnemonic);
}

// Every row uses only defined kind codes, opcodes are unique, and the end row closes the table.
void tst_Globals::tableIsConsistent()
{
    QSet<int> opcodes;
    QSet<QString> mnemonics;
    const QSet<int> typeKinds{0, 1, 2, 4, 7, 8, 9, 10, 11, 12, 13};
    int rows = 0;
    for (const TInstructionRow* row = KROLInstructions; !row->Mnemonic.isEmpty(); ++row, ++rows) {
        QVERIFY2(typeKinds.contains(row->TypeKind), qPrintable(row->Mnemonic));
        QVERIFY(row->MotorKind == 0 || row->MotorKind == 1);
        QVERIFY(row->ValueKind >= 0 && row->ValueKind <= 3);
        QVERIFY2(!opcodes.contains(row->Opcode), qPrintable(row->Mnemonic));
        QVERIFY(!mnemonics.contains(row->Mnemonic));
        QCOMPARE(row->Mnemonic, row->Mnemonic.toUpper());
        QCOMPARE(FindInstructionByOpcode(row->Opcode), row);
        opcodes.insert(row->Opcode);
        mnemonics.insert(row->Mnemonic);
    }
    QCOMPARE(rows, KROLInstructionCount);
    QVERIFY(KROLInstructions[KROLInstructionCount].Mnemonic.isEmpty());
}

void tst_Globals::keyword_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");

    QTest::newRow("condition first") << 0 << "ZE" << 0;
    QTest::newRow("condition last") << 0 << "ESD" << 12;
    QTest::newRow("condition lower case") << 0 << "ze" << -1;
    QTest::newRow("calc LOAD") << 1 << "LOAD" << 9;
    QTest::newRow("calc has no SWAP") << 1 << "SWAP" << -1;
    QTest::newRow("calcx SWAP") << 2 << "SWAP" << 10;
    QTest::newRow("calcxx COMP") << 3 << "COMP" << 11;
    QTest::newRow("calcv placeholder") << 4 << "!!!" << -1;
    QTest::newRow("calcv COMP stays 11") << 4 << "COMP" << 11;
    QTest::newRow("calcv no SWAP") << 4 << "SWAP" << -1;
    QTest::newRow("cle ESD") << 5 << "ESD" << 5;
    QTest::newRow("empty never matches") << 5 << "" << -1;
    QTest::newRow("wait RFS") << 6 << "RFS" << 4;
}

void tst_Globals::keyword()
{
    QFETCH(int, table);
    QFETCH(QString, text);
    const QString* tables[] = {ConditionMnemonic, CalcMnemonic, CalcxMnemonic, CalceMnemonic,
                               CalcvMnemonic, CleMnemonic, WaitEventMnemonic};
    QTEST(FindKeyword(tables[table], text), "index");
    const int counts[] = {13, 10, 12, 12, 12, 6, 5};
    QCOMPARE(KeywordCount(tables[table]), counts[table]);
}

void tst_Globals::defaultWaitEvents()
{
    const TParameterList events = DefaultWaitEventList();
    QCOMPARE(events.size(), 5);
    const QStringList names{"TICKS", "POS", "REFSW", "LIMSW", "RFS"};
    for (int i = 0; i < events.size(); ++i) {
        const TParameterDescriptor& d = events.at(i);
        QCOMPARE(d.Number, i);
        QCOMPARE(d.Name, names.at(i));
        QCOMPARE(d.Unit, QStringLiteral("10 ms"));
        QCOMPARE(d.Min, -1);
        QCOMPARE(d.Max, 2147483647u);
        QVERIFY(!d.Flag && !d.Readable && d.Writable && !d.Storable);
    }
    QCOMPARE(FindParameter(events, 3)->Name, QStringLiteral("LIMSW"));
    QVERIFY(FindParameter(events, 5) == nullptr);
}

void tst_Globals::angles()
{
    QCOMPARE(DegToRad(180.0), 3.141592653589793);
    QCOMPARE(RadToDeg(3.141592653589793), 180.0);
}

QTEST_APPLESS_MAIN(tst_Globals)
#include "tst_globals.moc"
