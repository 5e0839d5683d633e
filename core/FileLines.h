#pragma once

#include "SourceLines.h"
#include "StringLines.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

// The lines of a source file, read piece by piece: a large source is never held whole, neither
// as bytes nor as text. Plain ASCII is widened a line at a time. At the first line with any
// other byte the file is decoded whole, as InputFile::readText decodes it, and the lines go on
// from there (the lines before were plain ASCII, which every encoding reads alike).
class FileLines : public SourceLines
{
public:
    // A regular file within InputFile::TextLimit; false with *error the reason (InputFile's).
    bool open(const QString& path, QString* error);

    bool next(QStringRef* line) override;
    qint64 sizeHint() const override { return m_size; }

    // Why the lines ended before the end of the file; empty when the whole file was read.
    const QString& error() const { return m_error; }

private:
    bool readMore();
    bool widen(const char* begin, const char* end);
    bool decodeWhole();
    bool stop(const QString& error);

    QFile m_file;
    qint64 m_size = 0;
    qint64 m_total = 0;        // bytes read so far
    QByteArray m_buffer;       // bytes read and not yet taken as lines start at m_at
    int m_at = 0;
    bool m_atEnd = false;      // the file has no more bytes
    bool m_done = false;       // the last line was given
    int m_given = 0;           // lines given so far
    QString m_line;            // the line given last; its memory serves line after line
    std::unique_ptr<StringLines> m_whole;   // after a byte beyond ASCII
    QString m_error;
};
