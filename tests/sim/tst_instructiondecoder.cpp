#include "InstructionDecoder.h"
#include "SimTestSupport.h"

#include <QtTest>

// Ties the instruction table to the virtual module: every row reaches an operation, and the
// row's traits are what the module does with the word.
class tst_InstructionDecoder : public QObject
{
    Q_OBJECT

private slots:
    void everyRow_data();
    void everyRow();
    void opcodesWithoutRow();
};

namespace {

bool isFlowOp(uint8_t op)
{
    switch (op) {
    case OpJa: case OpJcEq: case OpJcNe: case OpJcGt: case OpJcGe: case OpJcLt: case OpJcLe:
    case OpJcError: case OpCsub: case OpRsub: case OpCall: case OpDjnz: case OpRst: case OpStop:
    case OpWait: case OpVect: case OpReti:
        return true;
    default:
        return false;
    }
}

// Sends a row's word directly after loading A and X, and returns the reply.
TModuleReply directWith(const TInstructionRow& row, int a, int x)
{
    VirtualModule m;
    send(m, Opcode::CALC, CalcOp::Load, 0, x);
    send(m, Opcode::CALCX, CalcOp::Swap);   // X = x, A = 0
    send(m, Opcode::CALC, CalcOp::Load, 0, a);
    // Parameter 0 of bank 0 does not exist; bank 2 holds the user variables.
    const int motor = row.Opcode == Opcode::AGP ? Sim::GlobalBank::UserVariables : 0;
    return send(m, row.Opcode, 0, motor, 1);
}

} // namespace

void tst_InstructionDecoder::everyRow_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < KROLInstructionCount; ++i)
        QTest::newRow(qPrintable(KROLInstructions[i].Mnemonic)) << i;
}

void tst_InstructionDecoder::everyRow()
{
    QFETCH(int, row);
    const TInstructionRow& r = KROLInstructions[row];

    // Operands of 0 are valid for every row: condition ZE, operation ADD, variable 0, event TICKS.
    const TDecodedWord w = DecodeWord(r.Opcode, 0, 0, 0);
    QVERIFY(w.Op != OpNop && w.Op != OpEnd && w.Op != OpBreak);
    QCOMPARE(w.Opcode, r.Opcode);
    QCOMPARE(isFlowOp(w.Op), r.Has(FlowControl));
    if (r.Has(AxisFromX) || r.Has(ValueFromA))
        QCOMPARE(w.Op, uint8_t(OpSlow));

    // Outside a program flow control is refused; everything else is executed.
    const TModuleReply plain = directWith(r, 0, 0);
    QCOMPARE(plain.Status == ReplyStatus::InvalidCommand, r.Has(FlowControl));
    if (r.Has(FlowControl))
        return;

    // X names no axis: only the forms that take their axis from X notice.
    const TModuleReply badX = directWith(r, 0, 5);
    if (r.Has(AxisFromX))
        QCOMPARE(badX.Status, uint8_t(ReplyStatus::InvalidValue));
    else
        QCOMPARE(badX.Status, plain.Status);

    // A holds the value: the forms that take it from A answer with it.
    const TModuleReply fromA = directWith(r, 3, 0);
    if (r.Has(ValueFromA)) {
        QCOMPARE(fromA.Status, uint8_t(ReplyStatus::Ok));
        QCOMPARE(fromA.Value, 3);
    }
}

// Opcodes without a row are never executed: 0 ends the program, the others do nothing.
void tst_InstructionDecoder::opcodesWithoutRow()
{
    for (int opcode = 0; opcode < 256; ++opcode) {
        if (FindInstructionByOpcode(uint8_t(opcode)))
            continue;
        QCOMPARE(DecodeWord(uint8_t(opcode), 0, 0, 0).Op, uint8_t(opcode == 0 ? OpEnd : OpNop));
    }
}

QTEST_APPLESS_MAIN(tst_InstructionDecoder)
#include "tst_instructiondecoder.moc"
