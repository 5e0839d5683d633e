#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Reads a whole input of bounded size: a regular file, or "-" for standard input (read as a
// stream). A FIFO, a device or a directory is refused before anything is read from it, so no
// read blocks or runs on without end; a file beyond the limit is refused before it is read.
class InputFile
{
public:
    // Sources and include files: far beyond any real program, which the module's 2047
    // instructions keep to a few hundred kilobytes even with every comment.
    static constexpr qint64 TextLimit = qint64(32) << 20;
    // Binary program files: 524,288 records, 256 times what the module's memory holds.
    static constexpr qint64 BinaryLimit = qint64(4) << 20;

    static bool isStandardInput(const QString& path) { return path == QLatin1String("-"); }

    // Reads the input whole. On failure *error is the reason, without the path ("no such file",
    // "not a regular file", ...).
    static bool read(const QString& path, qint64 limit, QByteArray* data, QString* error);

    // Reads a text within TextLimit, decoded as a QTextStream decodes a file opened as text.
    static bool readText(const QString& path, QString* text, QString* error);

    // The reason for a size beyond the limit.
    static QString tooLarge(qint64 size, qint64 limit);

    // Bytes decoded as readText decodes a file.
    static QString decodeText(const QByteArray& bytes);

private:
    friend class FileLines;   // reads a source piece by piece within the same rules

    static bool openChecked(const QString& path, qint64 limit, QFile* file, qint64* size,
                            QString* error);
    static bool readOpen(QFile* file, qint64 size, qint64 limit, QByteArray* data, QString* error);
    // Appends plain ASCII bytes as text; false, with nothing appended, for any other byte.
    static bool appendAscii(const char* data, int size, QString* text);
};
