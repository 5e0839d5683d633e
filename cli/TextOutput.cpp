#include "TextOutput.h"

#include "OutputFile.h"
#include "SubCommand.h"

namespace TextOutput {

namespace {

// Writes the text as UTF-8 a piece at a time: converting a long text in one go would touch
// as much fresh memory again as the disassembly itself needed. Stops at the first failure,
// which the commit reports.
void writeUtf8(OutputFile& file, const QString& text)
{
    constexpr int Piece = 16384;
    const QStringView all(text);
    for (qsizetype at = 0; at < all.size();) {
        qsizetype n = qMin<qsizetype>(Piece, all.size() - at);
        if (at + n < all.size() && all.at(at + n - 1).isHighSurrogate())
            ++n;
        if (!file.append(all.mid(at, n).toUtf8()))
            return;
        at += n;
    }
}

} // namespace

bool write(const QString& path, const QString& text)
{
    standardOutput().flush();
    OutputFile file(path);
    QString reason;
    if (file.open(&reason)) {
        writeUtf8(file, text);
        if (file.commit(&reason))
            return true;
    }
    report(OutputFile::isStandardOutput(path) ? QStringLiteral("cannot write to standard output: ") + reason
                                              : QStringLiteral("cannot write '%1': %2").arg(path, reason));
    return false;
}

} // namespace TextOutput
