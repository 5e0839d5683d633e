// The binary program file and the symbol file written after a successful assembly.
#include "Assembler.h"

#include "HeaderTime.h"
#include "OutputFile.h"

#include <QTextStream>

#include <cstring>

void Assembler::CreateBinFile(const QString& path)
{
    QByteArray bytes(m_program.size() * 8, Qt::Uninitialized);
    char* out = bytes.data();
    for (const TInstruction& ins : m_program) {
        const uint32_t value = static_cast<uint32_t>(ins.Value);
        unsigned char record[8] = {
            ins.Opcode,
            static_cast<unsigned char>(ins.Type & 0xff),
            ins.Motor,
            static_cast<unsigned char>(value >> 24),
            static_cast<unsigned char>(value >> 16),
            static_cast<unsigned char>(value >> 8),
            static_cast<unsigned char>(value),
            0,
        };
        unsigned sum = 0;
        for (int i = 0; i < 7; ++i)
            sum += record[i];
        record[7] = static_cast<unsigned char>(sum);
        std::memcpy(out, record, 8);
        out += 8;
    }
    // Not reported when it fails: the assembly itself succeeded.
    QString ignored;
    OutputFile(path).write(bytes, &ignored);
}

void Assembler::CreateSymbolFile(const QString& path)
{
    // Not reported when it fails, as for the binary file; an earlier file stays as it was.
    QString ignored;
    OutputFile(path).write(SymbolFileText(path), &ignored);
}

QByteArray Assembler::SymbolFileText(const QString& path) const
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
