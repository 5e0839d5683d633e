// The disassembler on a byte string read as a .bin file. When the file decodes and disassembles,
// the text must assemble back to the same words (the operands each instruction has) whenever the
// assembler accepts it.
#include "FuzzSupport.h"

#include "AssemblerEngine.h"
#include "BinaryFile.h"
#include "DisassemblerEngine.h"
#include "MemorySourceFiles.h"

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
        DisassemblerEngine disassembler({});
        if (!disassembler.Run(&program, &text)) {
            if (disassembler.LastError().Message.isEmpty())
                FuzzSupport::finding("a disassembly error without a message");
            return 0;
        }
    }
    if (program.isEmpty())
        return 0;

    AssemblerEngine assembler;
    MemorySourceFiles noFiles;
    assembler.SetSourceFiles(&noFiles);
    assembler.SetSourceFile(QString(), QStringLiteral("disassembly.kro"), 0);
    TRangeSettings ranges;
    ranges.WaitEventList = DefaultWaitEventList();
    assembler.SetRanges(ranges);
    if (!assembler.Run(text, false, false, false, false, QString()))
        return 0;
    QList<TInstruction> again;
    assembler.GetAsmResult(&again);
    if (!FuzzSupport::sameWords(program, again))
        FuzzSupport::finding("the disassembly assembles to other words", text);
    return 0;
}
