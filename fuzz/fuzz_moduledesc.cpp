// The module description loader on a JSON text. A description that loads is turned into the
// range settings the assembler checks against, and a short program touching every kind of
// range rule is assembled with them: whatever a user writes into a description must give an
// error or an answer there too.
#include "FuzzSupport.h"

#include "AssemblerEngine.h"
#include "MemorySourceFiles.h"
#include "KROLModuleInterface.h"
#include "ModuleDescription.h"
#include "ParameterLists.h"

namespace {

const char* const Program = R"(
        SAP 4, 0, 1000
        GAP 4, 2, 0
        STAP 4, 1, 0
        RSAP 4, 0, 0
        SGP 77, 0, 1
        GGP 77, 2
        STGP 0, 1, 0
        ROR 0, 1000
        MVP ABS, 1, 500
        MVP COORD, 0, 3
        SCO 1, 0, 100
        GCO 1, 0
        CCO 1, 0
        SIO 0, 2, 1
        GIO 0, 1
        WAIT POS, 0, 0
        WAIT TICKS, 0, 10
        EI 0
        DI 255
        VECT 3, L1
        RFS START, 0
L1:     CALC ADD, 1
        JA L1
)";

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzSupport::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray json = FuzzSupport::bytes(data, size);
    ModuleDescription description;
    description.name = QStringLiteral("untouched");
    QString error;
    if (!ModuleDescription::parse(json, QStringLiteral("fuzz.json"), &description, &error)) {
        if (!error.contains(QLatin1String("fuzz.json")))
            FuzzSupport::finding("an error that does not name the file", error);
        if (description.name != QLatin1String("untouched") || !description.maps.isEmpty())
            FuzzSupport::finding("a failed load changed the description");
        return 0;
    }
    // parse reads plain texts its own way; the full route must read them the same.
    ModuleDescription full;
    QString fullError;
    if (!ModuleDescription::parseJson(json, QStringLiteral("fuzz.json"), &full, &fullError))
        FuzzSupport::finding("a description only the quick route accepts", fullError);
    if (!(full == description))
        FuzzSupport::finding("the quick route read a description differently");
    if (description.axes < 0 || description.axes > 255)
        FuzzSupport::finding("axes out of range", QString::number(description.axes));

    KROLModuleInterface module(description);
    TParameterLists lists;
    lists.make(module);
    const TRangeSettings ranges = makeRangeSettings(module, lists, &lists.CommandList);

    AssemblerEngine assembler;
    MemorySourceFiles noFiles;
    assembler.SetSourceFiles(&noFiles);
    assembler.SetSourceFile(QString(), QStringLiteral("ranges.kro"), 0);
    assembler.SetRanges(ranges);
    const bool failed =
        !assembler.Run(QString::fromLatin1(Program), true, false, false, true, QString());
    if (failed && assembler.LastError().Message.isEmpty())
        FuzzSupport::finding("a range error without a message");
    return 0;
}
