#include "DisasmCommand.h"

#include "BinaryFile.h"
#include "CommandParser.h"
#include "Disassembler.h"
#include "ModuleOption.h"
#include "SourceAssembly.h"
#include "SubCommand.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Problems with the file's contents, as the assembler reports its errors: FILE: error: MESSAGE.
int contentError(const QString& file, const QString& message)
{
    standardError() << file << ": error: " << message << "\n";
    standardError().flush();
    return ExitCode::Failed;
}

bool readInput(const QString& path, QByteArray* data)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason = QFileInfo(path).isDir() ? QStringLiteral("is a directory")
                               : !QFileInfo::exists(path) ? QStringLiteral("no such file")
                                                          : file.errorString();
        standardError() << "krol: cannot read '" << path << "': " << reason << "\n";
        standardError().flush();
        return false;
    }
    *data = file.readAll();
    return true;
}

// Writes the text as UTF-8 a piece at a time: converting a long text in one go would touch
// as much fresh memory again as the disassembly itself needed.
bool writeUtf8(QIODevice& device, const QString& text)
{
    constexpr int Piece = 16384;
    const QStringView all(text);
    for (qsizetype at = 0; at < all.size();) {
        qsizetype n = qMin<qsizetype>(Piece, all.size() - at);
        if (at + n < all.size() && all.at(at + n - 1).isHighSurrogate())
            ++n;
        if (device.write(all.mid(at, n).toUtf8()) < 0)
            return false;
        at += n;
    }
    return true;
}

bool writeOutput(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !writeUtf8(file, text) || !file.commit()) {
        standardError() << "krol: cannot write '" << path << "': " << file.errorString() << "\n";
        standardError().flush();
        return false;
    }
    return true;
}

bool writeStandardOutput(const QString& text)
{
    standardOutput().flush();
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || !writeUtf8(out, text) || !out.flush()) {
        standardError() << "krol: cannot write to standard output: " << out.errorString() << "\n";
        standardError().flush();
        return false;
    }
    return true;
}

} // namespace

int runDisasm(const QStringList& arguments)
{
    CommandParser parser(QStringLiteral("disasm"),
                         QStringLiteral("Turns a binary program file back into KROL source text."));
    parser.addRequired(QStringLiteral("FILE"), QStringLiteral("The binary program file (.bin)."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write the text to FILE (default: standard "
                                                   "output)."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption module = ModuleOption::option();
    parser.addOptions({output, module});

    int exitCode = ExitCode::Ok;
    if (!parser.parseArguments(arguments, &exitCode))
        return exitCode;

    // Inputs and outputs are checked before the work; the output is written only after it.
    const QString input = parser.positionalArguments().at(0);
    QByteArray data;
    if (!readInput(input, &data))
        return ExitCode::Usage;

    TParameterList waitEvents;   // empty: the module's default events
    if (parser.isSet(module)) {
        QStringList commandList;
        TRangeSettings ranges;
        QString error;
        if (!ModuleOption::load(QFileInfo(parser.value(module)).absoluteFilePath(), &commandList,
                                &ranges, &error)) {
            standardError() << "krol: " << error << "\n";
            standardError().flush();
            return ExitCode::Usage;
        }
        waitEvents = ranges.WaitEventList;
    }

    const QString outputPath = parser.isSet(output) ? QFileInfo(parser.value(output)).absoluteFilePath()
                                                    : QString();
    if (!outputPath.isEmpty() && !SourceAssembly::checkWritable(outputPath))
        return ExitCode::Usage;

    QList<TInstruction> program;
    QString error;
    if (!BinaryFile::Decode(data, &program, &error))
        return contentError(input, error);

    Disassembler disassembler(waitEvents);
    QString text;
    if (!disassembler.DoDisAsm(&program, &text, true)) {
        const CDisAsmError& e = disassembler.LastError();
        return contentError(input, e.Message + QStringLiteral(" at address ") + QString::number(e.Address));
    }

    if (!outputPath.isEmpty())
        return writeOutput(outputPath, text) ? ExitCode::Ok : ExitCode::Usage;
    return writeStandardOutput(text) ? ExitCode::Ok : ExitCode::Usage;
}
