// The assembler on a whole source text. Input: one flag byte, then the main text; NUL bytes
// separate further texts, served as the include files "a.inc", "b.inc" and "c.inc". Flag bit 0
// turns range checking against the virtual module's description on, bit 1 appends STOP.
// More names can be included: "virtual-module.inc" (the example constants), "main.kro" (the main
// page itself), "deepN" (a chain of files each including the next, "deepN+1"), and names
// starting with "missing" (not found anywhere); any other name is an empty page.
#include "FuzzSupport.h"

#include "AssemblerEngine.h"
#include "DisassemblerEngine.h"
#include "KROLModuleInterface.h"
#include "MemorySourceFiles.h"
#include "ModuleCommands.h"
#include "ParameterLists.h"

#include <QStringList>

namespace {

struct Setup
{
    QStringList commandList;
    TRangeSettings moduleRanges;
    TRangeSettings defaultRanges;
    QString parameterConstants;
};

Setup* setup = nullptr;

void buildSetup()
{
    setup = new Setup;
    KROLModuleInterface module(FuzzSupport::virtualModule());
    TParameterLists lists;
    lists.make(module);
    setup->commandList = lists.CommandList;
    setup->moduleRanges = makeRangeSettings(module, lists, &setup->commandList);
    setup->defaultRanges.WaitEventList = DefaultWaitEventList();
    setup->parameterConstants =
        QString::fromUtf8(FuzzSupport::resource(QStringLiteral(":/fuzz/virtual-module.inc")));
}

const QStringList IncludeNames{QStringLiteral("a.inc"), QStringLiteral("b.inc"),
                               QStringLiteral("c.inc")};

struct Result
{
    bool failed = false;
    CAsmError error;
    QList<TInstruction> program;
};

// The editor pages an include can name; false for a file that is nowhere.
bool serveInclude(const QStringList& texts, const QString& name, QString* text, int* index)
{
    const int k = IncludeNames.indexOf(name);
    bool isNumber = false;
    const int depth = name.startsWith(QLatin1String("deep")) ? name.mid(4).toInt(&isNumber) : -1;
    if (k >= 0) {
        *index = k + 1;
        *text = k + 1 < texts.size() ? texts.at(k + 1) : QString();
    } else if (name == QLatin1String("virtual-module.inc")) {
        *index = 10;
        *text = setup->parameterConstants;
    } else if (isNumber && depth >= 0 && depth < 1000) {
        *index = 100 + depth;
        *text = QStringLiteral("#include deep%1\nROR 0, %2\n").arg(depth + 1).arg(depth);
    } else if (name.startsWith(QLatin1String("missing"))) {
        return false;
    } else if (name == QLatin1String("main.kro")) {
        *index = 0;
        *text = texts.at(0);
    } else {
        *index = 20;
        text->clear();
    }
    return true;
}

// One assembly of the main text (texts[0]) with the include files of this input.
// Every include is a page served from memory; nothing is on disk.
class FuzzPages : public MemorySourceFiles
{
public:
    explicit FuzzPages(const QStringList& texts) : m_texts(texts) {}
    bool page(const QString& name, QString* text, int* fileIndex) override
    {
        return serveInclude(m_texts, name, text, fileIndex);
    }

private:
    const QStringList& m_texts;
};

Result assemble(const QStringList& texts, bool checkRanges, bool appendStop)
{
    AssemblerEngine assembler;
    FuzzPages pages(texts);
    assembler.SetSourceFiles(&pages);
    assembler.SetSourceFile(QString(), QStringLiteral("main.kro"), 0);
    assembler.SetRanges(checkRanges ? setup->moduleRanges : setup->defaultRanges);
    Result result;
    result.failed =
        !assembler.Run(texts.at(0), appendStop, false, false, checkRanges, QString());
    result.error = assembler.LastError();
    assembler.GetAsmResult(&result.program);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzSupport::initialize(argc, argv);
    buildSetup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t flags = data[0];
    const bool checkRanges = flags & 1;
    const bool appendStop = flags & 2;
    const QList<QByteArray> parts = FuzzSupport::bytes(data + 1, size - 1).split('\0');
    QStringList texts;
    for (const QByteArray& part : parts)
        texts.append(QString::fromUtf8(part));

    const Result result = assemble(texts, checkRanges, appendStop);
    if (result.failed) {
        if (result.error.Message.isEmpty())
            FuzzSupport::finding("an error without a message");
        if (!result.program.isEmpty())
            FuzzSupport::finding("a failed assembly left a program");
        return 0;
    }
    const QList<TInstruction>& program = result.program;
    if (program.isEmpty())
        FuzzSupport::finding("a successful assembly without instructions");
    if (appendStop && program.last().Opcode != Opcode::STOP)
        FuzzSupport::finding("STOP was not appended");

    // Range checking only refuses: what passes it assembles the same without it.
    if (checkRanges) {
        const Result unchecked = assemble(texts, false, appendStop);
        if (unchecked.failed)
            FuzzSupport::finding("fails only without range checking", unchecked.error.Message);
        if (!FuzzSupport::sameWords(program, unchecked.program))
            FuzzSupport::finding("range checking changed the words");
    }

    // The disassembly of the program assembles to the same words whenever it assembles (a
    // label behind the last instruction has no line to stand on, for one).
    QString text;
    {
        DisassemblerEngine disassembler(checkRanges ? setup->moduleRanges.WaitEventList
                                                    : TParameterList());
        QList<TInstruction> copy = program;
        if (!disassembler.Run(&copy, &text))
            return 0;
    }
    const Result again = assemble(QStringList{text}, false, false);
    if (!again.failed && !FuzzSupport::sameWords(program, again.program))
        FuzzSupport::finding("the disassembly assembles to other words", text);
    return 0;
}
