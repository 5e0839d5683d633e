// The binary program file and the symbol file written after a successful assembly.
#include "Assembler.h"

#include <QDateTime>
#include <QFile>
#include <QTextStream>

#include <cstring>

void Assembler::CreateBinFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;   // not reported: the assembly itself succeeded
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
    file.write(bytes);
}

void Assembler::CreateSymbolFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return;
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = slash >= 2 ? path.mid(slash + 1) : path;

    QTextStream out(&file);
    out << "KROL Symbol File (" << name << ' '
        << QDateTime::currentDateTime().toString(QStringLiteral("MM-dd-yyyy hh:mm:ss")) << ")\n";
    out << "\n";
    out << "Label" << QString(36, QLatin1Char(' ')) << "Address (dec)\n";
    out << QString(54, QLatin1Char('-')) << "\n";
    for (const TLabel& label : m_labels) {
        out << qSetFieldWidth(33) << Qt::left << label.Name + QLatin1Char(':')
            << qSetFieldWidth(20) << Qt::right << label.Address << qSetFieldWidth(0) << "\n";
    }
}
