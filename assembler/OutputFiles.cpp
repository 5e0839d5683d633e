// The binary program file and the symbol file written after a successful assembly.
#include "AssemblerEngine.h"

#include "BinaryFile.h"
#include "HeaderTime.h"
#include "OutputFile.h"

#include <QTextStream>

void AssemblerEngine::CreateBinFile(const QString& path)
{
    // Not reported when it fails: the assembly itself succeeded.
    QString ignored;
    BinaryFile::Write(path, m_program, &ignored);
}

void AssemblerEngine::CreateSymbolFile(const QString& path)
{
    // Not reported when it fails, as for the binary file; an earlier file stays as it was.
    QString ignored;
    OutputFile(path).write(SymbolFileText(path), &ignored);
}

QByteArray AssemblerEngine::SymbolFileText(const QString& path) const
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = slash >= 2 ? path.mid(slash + 1) : path;

    QByteArray bytes;
    QTextStream out(&bytes, QIODevice::WriteOnly);
    out << "KROL Symbol File (" << name << ' ' << HeaderTime::text() << ")\n";
    out << "\n";
    out << "Label" << QString(36, QLatin1Char(' ')) << "Address (dec)\n";
    out << QString(54, QLatin1Char('-')) << "\n";
    for (const TLabel& label : m_labels) {
        out << qSetFieldWidth(33) << Qt::left << label.Name + QLatin1Char(':')
            << qSetFieldWidth(20) << Qt::right << label.Address << qSetFieldWidth(0) << "\n";
    }
    out.flush();
    return bytes;
}
