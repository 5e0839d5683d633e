#include "Globals.h"
#include "TParameterDescriptor.h"

#include <QtTest>

class tst_Globals : public QObject
{
    Q_OBJECT

private slots:
    void unknownInstructions_data();
    void unknownInstructions();
    void tableIsConsistent();
    void keyword_data();
    void keyword();
    void defaultWaitEvents();
    void keywordCodes();
};

// Misses only: every row's own mnemonic and opcode are looked up in tableIsConsistent.
void tst_Globals::unknownInstructions_data()
{
    QTest::addColumn<QString>("mnemonic");
    QTest::addColumn<int>("opcode");

    QTest::newRow("PUSHA, opcode 0") << "PUSHA" << 0;
    QTest::newRow("case-sensitive, gap at 58") << "ror" << 58;
    QTest::newRow("empty is not the end row, gap at 63") << "" << 63;
    QTest::newRow("prefix is not a match, past CALL") << "CALCVVX" << 81;
    QTest::newRow("opcode 255") << "UF16" << 255;
}

void tst_Globals::unknownInstructions()
{
    QFETCH(QString, mnemonic);
    QFETCH(int, opcode);
    QVERIFY(FindInstruction(mnemonic) == nullptr);
    QVERIFY(FindInstructionByOpcode(uint8_t(opcode)) == nullptr);
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
        QCOMPARE(FindInstruction(row->Mnemonic), row);
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
    QTest::newRow("move mode RELCOORD") << 7 << "RELCOORD" << 3;
    QTest::newRow("rfs mode STATUS") << 8 << "STATUS" << 2;
}

void tst_Globals::keyword()
{
    QFETCH(int, table);
    QFETCH(QString, text);
    const QString* tables[] = {ConditionMnemonic, CalcMnemonic, CalcxMnemonic, CalceMnemonic,
                               CalcvMnemonic, CleMnemonic, WaitEventMnemonic,
                               MoveModeMnemonic, RfsModeMnemonic};
    QTEST(FindKeyword(tables[table], text), "index");
    // The named codes that code acts on end where their tables end.
    const int counts[] = {Condition::Count, CalcOp::Load + 1, CalcOp::Count, CalcOp::Count,
                          CalcOp::Count, CleCode::Count, 5, MoveMode::Count, RfsMode::Count};
    QCOMPARE(KeywordCount(tables[table]), counts[table]);
}

// The events the assembler knows without a module are the WAIT keywords, numbered alike.
void tst_Globals::defaultWaitEvents()
{
    const TParameterList events = DefaultWaitEventList();
    QCOMPARE(events.size(), KeywordCount(WaitEventMnemonic));
    for (int i = 0; i < events.size(); ++i) {
        QCOMPARE(events.at(i).Number, i);
        QCOMPARE(events.at(i).Name, WaitEventMnemonic[i]);
    }
    QCOMPARE(FindParameter(events, 3)->Name, QStringLiteral("LIMSW"));
    QVERIFY(FindParameter(events, 5) == nullptr);
}

// The codes by name are the tables' indices.
void tst_Globals::keywordCodes()
{
    QCOMPARE(ConditionMnemonic[Condition::GT], QStringLiteral("GT"));
    QCOMPARE(ConditionMnemonic[Condition::ETO], QStringLiteral("ETO"));
    QCOMPARE(CalcxMnemonic[CalcOp::Not], QStringLiteral("NOT"));
    QCOMPARE(CalcxMnemonic[CalcOp::Swap], QStringLiteral("SWAP"));
    QCOMPARE(CalcvMnemonic[CalcOp::Comp], QStringLiteral("COMP"));
    QCOMPARE(CleMnemonic[CleCode::EAL], QStringLiteral("EAL"));
    QCOMPARE(MoveModeMnemonic[MoveMode::Coord], QStringLiteral("COORD"));
    QCOMPARE(RfsModeMnemonic[RfsMode::Stop], QStringLiteral("STOP"));
}

QTEST_APPLESS_MAIN(tst_Globals)
#include "tst_globals.moc"
