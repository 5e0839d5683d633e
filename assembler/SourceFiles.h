#pragma once

#include <QString>

// Where an assembly finds the text of an include: the editor's open pages, the disk, or, for
// tests and fuzzing, memory. The assembler asks for an open page first, then looks on "disk"
// through the other operations, so one seam serves every place a text can come from.
class SourceFiles
{
public:
    enum class Kind { Missing, Directory, Special, File };   // Special: a FIFO, a device

    virtual ~SourceFiles() = default;

    // An open page with this name: its text and page index. None by default.
    virtual bool page(const QString& name, QString* text, int* fileIndex)
    {
        Q_UNUSED(name) Q_UNUSED(text) Q_UNUSED(fileIndex)
        return false;
    }
    virtual Kind kind(const QString& path) const = 0;
    // Bytes of a file, for the size limit before it is read.
    virtual qint64 size(const QString& path) const = 0;
    // The whole text of a file, false when it cannot be read.
    virtual bool read(const QString& path, QString* text) = 0;
    // One name for every spelling of a file (its real path on disk), to tell files apart.
    virtual QString identity(const QString& path) const = 0;
};
