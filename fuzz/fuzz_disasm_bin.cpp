// The disassembler on a byte string read as a .bin file. When the file decodes and disassembles,
// the text must assemble back to the same words (the operands each instruction has) whenever the
// assembler accepts it.
#include "FuzzSupport.h"

#include "Assembler.h"
#include "BinaryFile.h"
#include "Disassembler.h"
#include "Globals.h"

namespace {

// The words with the operands an instruction does not have cleared: the text cannot carry them.
QList<TInstruction> meaningful(QList<TInstruction> program)
{
    for (TInstruction& ins : program) {
        const TInstructionRow* row = FindInstructionByOpcode(ins.Opcode);
        if (row->TypeKind == TypeNone)
            ins.Type = 0;
        if (row->MotorKind == 0)
            ins.Motor = 0;
        if (row->ValueKind == ValueNone)
            ins.Value = 0;
    }
    return program;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzSupport::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file = FuzzSupport::bytes(data, size);
    QList<TInstruction> program;
    QString error;
    if (!BinaryFile::Decode(file, &program, &error)) {
        if (error.isEmpty() || !program.isEmpty())
            FuzzSupport::finding("a bad file without a message, or with a program");
        return 0;
    }
    if (program.size() != int(size / BinaryFile::RecordSize))
        FuzzSupport::finding("records lost in decoding");
    if (BinaryFile::Encode(program) != file)
        FuzzSupport::finding("decoding and encoding do not give the file back");

    QString text;
    {
        Disassembler disassembler({});
        if (!disassembler.DoDisAsm(&program, &text, true)) {
            if (disassembler.LastError().Message.isEmpty())
                FuzzSupport::finding("a disassembly error without a message");
            return 0;
        }
    }
    if (program.isEmpty())
        return 0;

    Assembler assembler;
    assembler.SetHeadless(true);
    assembler.SetSourceFile(QString(), QStringLiteral("disassembly.kro"), 0);
    TRangeSettings ranges;
    ranges.WaitEventList = DefaultWaitEventList();
    assembler.SetRanges(ranges);
    bool failed = true;
    assembler.DoAsm(text, false, false, false, false, QString(), failed);
    if (failed)
        return 0;
    QList<TInstruction> again;
    assembler.GetAsmResult(&again);
    if (BinaryFile::Encode(again) != BinaryFile::Encode(meaningful(program)))
        FuzzSupport::finding("the disassembly assembles to other words", text);
    return 0;
}
