// The disassembler on a program list as the workbench hands it over (after an upload or an
// assembly), with fields wider than a .bin file holds. Input: one flag byte, then 12 bytes per
// instruction: opcode, type (2 bytes), motor, value (8 bytes). Flag bit 0 takes the WAIT events
// of the virtual module's description instead of the default ones.
#include "FuzzSupport.h"

#include "DisassemblerEngine.h"
#include "KROLModuleInterface.h"
#include "ParameterLists.h"

#include <cstring>

namespace {

TParameterList* moduleWaitEvents = nullptr;

template <typename T>
T take(const uint8_t* p)
{
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzSupport::initialize(argc, argv);
    KROLModuleInterface module(FuzzSupport::virtualModule());
    TParameterLists lists;
    lists.make(module);
    moduleWaitEvents = new TParameterList(lists.WaitEventList);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t RecordSize = 12;
    if (size < 1)
        return 0;
    const bool moduleEvents = data[0] & 1;
    QList<TInstruction> program;
    for (size_t at = 1; at + RecordSize <= size; at += RecordSize) {
        TInstruction ins;
        ins.Opcode = data[at];
        ins.Type = take<uint16_t>(data + at + 1);
        ins.Motor = data[at + 3];
        ins.Value = take<int64_t>(data + at + 4);
        ins.Line = int(program.size()) + 1;
        program.append(ins);
    }

    DisassemblerEngine disassembler(moduleEvents ? *moduleWaitEvents : TParameterList());
    QString text = QStringLiteral("untouched");
    if (disassembler.Run(&program, &text)) {
        // One line per instruction at least, after the heading.
        if (text.count(QLatin1Char('\n')) < program.size() + 1)
            FuzzSupport::finding("instructions missing from the text", text);
    } else {
        const CDisAsmError& e = disassembler.LastError();
        if (e.Message.isEmpty() || e.Address < 0 || e.Address >= program.size())
            FuzzSupport::finding("an error without a message or at no instruction", e.Message);
        if (text != QLatin1String("untouched"))
            FuzzSupport::finding("a failed disassembly changed the text");
    }
    return 0;
}
