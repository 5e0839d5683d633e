#include "BinaryFile.h"

#include "InputFile.h"
#include "OutputFile.h"

namespace {

uint8_t Checksum(const char* record)
{
    unsigned sum = 0;
    for (int i = 0; i < BinaryFile::RecordSize - 1; ++i)
        sum += uint8_t(record[i]);
    return uint8_t(sum);
}

template <class Program>
QByteArray EncodeAll(const Program& program)
{
    QByteArray data(program.size() * BinaryFile::RecordSize, Qt::Uninitialized);
    char* record = data.data();
    for (const TInstruction& instruction : program) {
        const uint32_t value = uint32_t(instruction.Value);
        record[0] = char(instruction.Opcode);
        record[1] = char(instruction.Type & 0xff);
        record[2] = char(instruction.Motor);
        record[3] = char(value >> 24);
        record[4] = char(value >> 16);
        record[5] = char(value >> 8);
        record[6] = char(value);
        record[7] = char(Checksum(record));
        record += BinaryFile::RecordSize;
    }
    return data;
}

} // namespace

bool BinaryFile::Decode(const QByteArray& data, QList<TInstruction>* program, QString* error)
{
    const int records = data.size() / RecordSize;
    if (data.size() % RecordSize != 0) {
        *error = QStringLiteral("record %1 is incomplete: the file size of %2 bytes is not a multiple of %3")
                     .arg(records)
                     .arg(data.size())
                     .arg(RecordSize);
        return false;
    }
    QList<TInstruction> decoded;
    decoded.reserve(records);
    for (int k = 0; k < records; ++k) {
        const char* record = data.constData() + k * RecordSize;
        const uint8_t stored = uint8_t(record[7]);
        const uint8_t computed = Checksum(record);
        if (stored != computed) {
            *error = QStringLiteral("record %1: checksum mismatch (stored %2, computed %3)")
                         .arg(k)
                         .arg(stored)
                         .arg(computed);
            return false;
        }
        TInstruction instruction;
        instruction.Opcode = uint8_t(record[0]);
        instruction.Type = uint8_t(record[1]);
        instruction.Motor = uint8_t(record[2]);
        const uint32_t value = uint32_t(uint8_t(record[3])) << 24 | uint32_t(uint8_t(record[4])) << 16
                               | uint32_t(uint8_t(record[5])) << 8 | uint32_t(uint8_t(record[6]));
        instruction.Value = int32_t(value);
        decoded.append(instruction);
    }
    program->swap(decoded);
    return true;
}

BinaryFile::ReadStatus BinaryFile::Read(const QString& path, QList<TInstruction>* program, QString* error)
{
    QByteArray data;
    if (!InputFile::read(path, InputFile::BinaryLimit, &data, error))
        return ReadStatus::CannotRead;
    return Decode(data, program, error) ? ReadStatus::Ok : ReadStatus::BadFormat;
}

QByteArray BinaryFile::Encode(const QList<TInstruction>& program)
{
    return EncodeAll(program);
}

QByteArray BinaryFile::Encode(const QVector<TInstruction>& program)
{
    return EncodeAll(program);
}

bool BinaryFile::Write(const QString& path, const QList<TInstruction>& program, QString* error)
{
    return OutputFile(path).write(Encode(program), error);
}

bool BinaryFile::Write(const QString& path, const QVector<TInstruction>& program, QString* error)
{
    return OutputFile(path).write(Encode(program), error);
}
