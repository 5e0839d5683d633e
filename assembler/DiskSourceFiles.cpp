#include "DiskSourceFiles.h"

#include "InputFile.h"

#include <QFileInfo>

SourceFiles::Kind DiskSourceFiles::kind(const QString& path) const
{
    const QFileInfo info(path);
    if (!info.exists())
        return Kind::Missing;
    if (info.isDir())
        return Kind::Directory;
    return info.isFile() ? Kind::File : Kind::Special;
}

qint64 DiskSourceFiles::size(const QString& path) const
{
    return QFileInfo(path).size();
}

bool DiskSourceFiles::read(const QString& path, QString* text)
{
    QString reason;
    return InputFile::readText(path, text, &reason);
}

QString DiskSourceFiles::identity(const QString& path) const
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}
