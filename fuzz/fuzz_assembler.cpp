// The assembler on a whole source text. Input: one flag byte, then the main text; NUL bytes
// separate further texts, served as the include files "a.inc", "b.inc" and "c.inc". Flag bit 0
// turns range checking against the virtual module's description on, bit 1 appends STOP.
// "virtual-module.inc" (the example constants) and "main.kro" (the main page itself) can be
// included too; any other name is an empty page.
#include "FuzzSupport.h"

#include "Assembler.h"
#include "KROLModuleInterface.h"
#include "ModuleDescription.h"
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
    ModuleDescription description;
    QString error;
    if (!ModuleDescription::parse(FuzzSupport::resource(QStringLiteral(":/fuzz/virtual.json")),
                                  QStringLiteral("virtual.json"), &description, &error))
        FuzzSupport::finding("virtual.json does not load", error);
    KROLModuleInterface module(description);
    TParameterLists lists;
    lists.make(module);
    setup->commandList = lists.CommandList;
    setup->moduleRanges = makeRangeSettings(module, lists, &setup->commandList);
    setup->defaultRanges.WaitEventList = DefaultWaitEventList();
    setup->parameterConstants =
        QString::fromUtf8(FuzzSupport::resource(QStringLiteral(":/fuzz/virtual-module.inc")));
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
    static const QStringList includeNames{QStringLiteral("a.inc"), QStringLiteral("b.inc"),
                                          QStringLiteral("c.inc")};

    Assembler assembler;
    assembler.SetHeadless(true);
    assembler.SetSourceFile(QString(), QStringLiteral("main.kro"), 0);
    assembler.SetRanges(checkRanges ? setup->moduleRanges : setup->defaultRanges);
    QObject::connect(&assembler, &Assembler::GetEditorFile,
                     [&texts](const QString& name, bool& found, QString& text, int& index) {
                         found = true;
                         const int k = includeNames.indexOf(name);
                         if (k >= 0) {
                             index = k + 1;
                             text = k + 1 < texts.size() ? texts.at(k + 1) : QString();
                         } else if (name == QLatin1String("virtual-module.inc")) {
                             index = 10;
                             text = setup->parameterConstants;
                         } else if (name == QLatin1String("main.kro")) {
                             index = 0;
                             text = texts.at(0);
                         } else {
                             index = 20;
                             text.clear();
                         }
                     });

    bool error = false;
    assembler.DoAsm(texts.at(0), appendStop, false, false, checkRanges, QString(), error);

    QList<TInstruction> program;
    assembler.GetAsmResult(&program);
    if (error) {
        const CAsmError& e = assembler.LastError();
        if (e.Message.isEmpty())
            FuzzSupport::finding("an error without a message");
        if (!program.isEmpty())
            FuzzSupport::finding("a failed assembly left a program");
    } else {
        if (program.isEmpty())
            FuzzSupport::finding("a successful assembly without instructions");
        if (appendStop && program.last().Opcode != Opcode::STOP)
            FuzzSupport::finding("STOP was not appended");
    }
    return 0;
}
