#include "Assembler.h"
#include "Disassembler.h"
#include "Globals.h"

#include <QtTest>

namespace {

// Type operands the assembler accepts for each kind of row.
QList<int> TypesOf(int typeKind)
{
    switch (typeKind) {
    case TypeNone: return {0};
    case TypeNumber: return {0, 7, 255, 4095};
    case TypeMoveMode: return {0, 1, 2, 3};
    case TypeWaitEvent: return {0, 1, 2, 3, 4};
    case TypeCondition: return {0, 4, 8, 12};
    case TypeCalc: return {0, 3, 9};
    case TypeCalcx:
    case TypeCalcxx: return {0, 10, 11};
    case TypeCalcv: return {0, 9, 11};
    case TypeRfsMode: return {0, 1, 2};
    case TypeCle: return {0, 5};
    }
    return {};
}

} // namespace

// Disassembling a program and assembling the text again gives the same words, for every
// instruction with the extremes of its operands and jumps in both directions.
class tst_RoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void everyInstruction();
};

void tst_RoundTrip::everyInstruction()
{
    const QList<qint64> numbers{0, 1000, -1, 2147483647, -2147483647 - 1};
    QList<TInstruction> program;
    for (const TInstructionRow* row = KROLInstructions; !row->Mnemonic.isEmpty(); ++row) {
        for (int type : TypesOf(row->TypeKind)) {
            for (int n = 0; n < 2; ++n) {
                TInstruction i;
                i.Opcode = row->Opcode;
                i.Type = uint16_t(type);
                i.Motor = row->MotorKind ? uint8_t(n * 255) : 0;
                if (row->ValueKind == ValueNumber)
                    i.Value = numbers[(program.size() + n) % numbers.size()];
                else if (row->ValueKind == ValueByte)
                    i.Value = n * 255;
                else if (row->ValueKind == ValueLabel)
                    i.Value = -1;   // set below, once the size is known
                program.append(i);
            }
        }
    }
    for (int a = 0; a < program.size(); ++a) {
        if (program[a].Value == -1 && FindInstructionByOpcode(program[a].Opcode)->ValueKind == ValueLabel)
            program[a].Value = (a * 37 + 5) % program.size();
    }

    Disassembler disassembler({});
    QString text;
    QVERIFY(disassembler.DoDisAsm(&program, &text, true));

    Assembler assembler;
    assembler.SetSourceFile(QString(), "roundtrip.kro", 0);
    TRangeSettings ranges;
    ranges.WaitEventList = DefaultWaitEventList();
    assembler.SetRanges(ranges);
    assembler.SetHeadless(true);
    bool error = true;
    assembler.DoAsm(text, false, false, false, false, QString(), error);
    QVERIFY2(!error, qPrintable(assembler.LastError().Message + " at line "
                                + QString::number(assembler.LastError().Line)));
    QList<TInstruction> again;
    assembler.GetAsmResult(&again);

    QCOMPARE(again.size(), program.size());
    for (int a = 0; a < program.size(); ++a) {
        const QString where = QString::number(a) + ": " + FindInstructionByOpcode(program[a].Opcode)->Mnemonic;
        QVERIFY2(again[a].Opcode == program[a].Opcode, qPrintable(where));
        QVERIFY2(again[a].Type == program[a].Type, qPrintable(where));
        QVERIFY2(again[a].Motor == program[a].Motor, qPrintable(where));
        QVERIFY2(uint32_t(again[a].Value) == uint32_t(program[a].Value), qPrintable(where));
    }
}

QTEST_MAIN(tst_RoundTrip)
#include "tst_roundtrip.moc"
