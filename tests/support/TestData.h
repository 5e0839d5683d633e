#pragma once

#include "TInstruction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopedPointer>
#include <QString>
#include <QTemporaryDir>

#include <sys/stat.h>

// One program word, for tests that build programs by hand.
inline TInstruction MakeInstruction(int opcode, int type = 0, int motor = 0, qint64 value = 0)
{
    TInstruction i;
    i.Opcode = uint8_t(opcode);
    i.Type = uint16_t(type);
    i.Motor = uint8_t(motor);
    i.Value = value;
    return i;
}

// Writes a file (and the folders it needs); returns its path.
inline QString WriteTestFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
    return path;
}

// /dev/full and /dev/null are devices on the machines we know; tests that rely on one check first.
inline bool IsCharacterDevice(const char* path)
{
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISCHR(st.st_mode);
}

// Makes a FIFO; returns its path, or an empty string when it could not.
inline QString MakeFifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
}

// A fresh temporary folder for each test function (call reset() from init()), with a helper
// that puts files into it.
class ScratchDir
{
public:
    bool reset()
    {
        m_dir.reset(new QTemporaryDir);
        return m_dir->isValid();
    }
    QString path() const { return m_dir->path(); }
    QString filePath(const QString& name) const { return m_dir->filePath(name); }
    QString write(const QString& name, const QByteArray& data) const
    {
        return WriteTestFile(filePath(name), data);
    }
    // The file's bytes; empty when it does not exist.
    QByteArray read(const QString& name) const
    {
        QFile file(filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QScopedPointer<QTemporaryDir> m_dir;
};
