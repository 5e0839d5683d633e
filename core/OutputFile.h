#pragma once

#include <QString>

#include <memory>

class QFileDevice;

// Writes one output. A regular file, or a path where nothing is yet, is written through
// QSaveFile: a failure (disk full, I/O error) leaves an earlier file as it was and no partial
// file behind. An existing file that is not regular (a device, a FIFO, a terminal) is written
// into, never replaced, and "-" is standard output.
class OutputFile
{
public:
    explicit OutputFile(const QString& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const QString& path() const { return m_path; }
    static bool isStandardOutput(const QString& path) { return path == QLatin1String("-"); }
    // True when the output is written atomically (a regular file or a new one).
    bool isRegular() const;

    // Whether the output can be written, asked before the work: an existing writable file, or a
    // new file in an existing writable folder. Creates nothing. *error is the reason.
    bool check(QString* error) const;

    // Starts writing; append() takes the bytes until commit() finishes the file. A failure
    // anywhere makes commit() give false and the system's reason in *error; the output is then
    // left as it was (for a regular file) and nothing half-written stays behind.
    bool open(QString* error);
    // False once a write failed (later appends do nothing).
    bool append(const QByteArray& data);
    bool commit(QString* error);

    // The whole output in one step.
    bool write(const QByteArray& data, QString* error);

    // True when two paths name one file: the same device and inode for existing files (so
    // different spellings and links are caught), the same place for new ones. "-" is no file.
    static bool sameFile(const QString& a, const QString& b);

private:
    QString m_path;
    std::unique_ptr<QFileDevice> m_file;
    QString m_error;   // the first failure
};
