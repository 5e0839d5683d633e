#pragma once

#include "TInstruction.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

// The binary program file: one 8-byte record per instruction, no header: opcode, type (low
// 8 bits), motor/bank, value (32 bits, most significant byte first), and a checksum byte that
// is the sum of the seven bytes before it modulo 256. Records are numbered from 0, which is
// also the program address of the instruction they hold.
class BinaryFile
{
public:
    static constexpr int RecordSize = 8;

    enum class ReadStatus { Ok, CannotRead, BadFormat };

    // Decodes every record; the value is sign-extended from its 32 bits. On a fault returns false,
    // leaves *program untouched and sets *error to a text naming the first bad record.
    static bool Decode(const QByteArray& data, QList<TInstruction>* program, QString* error);

    // The file contents for a program; the value's low 32 bits are stored.
    static QByteArray Encode(const QList<TInstruction>& program);
    static QByteArray Encode(const QVector<TInstruction>& program);

    // Reads and decodes a whole file (InputFile's rules and limit for binaries). *error does not
    // repeat the path.
    static ReadStatus Read(const QString& path, QList<TInstruction>* program, QString* error);

    // Writes the whole file as OutputFile writes; *error does not repeat the path.
    static bool Write(const QString& path, const QList<TInstruction>& program, QString* error);
    static bool Write(const QString& path, const QVector<TInstruction>& program, QString* error);
};
