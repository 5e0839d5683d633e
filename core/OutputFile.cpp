#include "OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Unbuffered: a write the system shortens is then seen at once, with its reason, instead of
// inside a later flush of Qt's buffer, which loses the reason.
constexpr QIODevice::OpenMode WriteMode = QIODevice::WriteOnly | QIODevice::Unbuffered;

bool statPath(const QString& path, struct stat* st)
{
    return ::stat(QFile::encodeName(path).constData(), st) == 0;
}

} // namespace

OutputFile::OutputFile(const QString& path)
    : m_path(path)
{
}

OutputFile::~OutputFile() = default;

bool OutputFile::isRegular() const
{
    if (isStandardOutput(m_path))
        return false;
    struct stat st;
    return !statPath(m_path, &st) || S_ISREG(st.st_mode);
}

bool OutputFile::check(QString* error) const
{
    if (isStandardOutput(m_path))
        return true;
    const QFileInfo info(m_path);
    if (info.isDir())
        *error = QStringLiteral("is a directory");
    else if (info.exists() && !info.isWritable())
        *error = QStringLiteral("permission denied");
    else if (!info.exists()) {
        const QFileInfo dir(info.absolutePath());
        if (!dir.isDir())
            *error = QStringLiteral("no such directory");
        else if (!dir.isWritable())
            *error = QStringLiteral("permission denied");
        else
            return true;
    } else
        return true;
    return false;
}

bool OutputFile::open(QString* error)
{
    if (isStandardOutput(m_path)) {
        auto out = std::make_unique<QFile>();
        if (!out->open(STDOUT_FILENO, WriteMode)) {
            *error = out->errorString();
            return false;
        }
        m_file = std::move(out);
        return true;
    }
    if (isRegular()) {
        auto save = std::make_unique<QSaveFile>(m_path);
        if (!save->open(WriteMode)) {
            *error = save->errorString();
            return false;
        }
        m_file = std::move(save);
        return true;
    }
    // A device or a FIFO: renaming a file over it would replace it for everyone.
    auto direct = std::make_unique<QFile>(m_path);
    if (!direct->open(WriteMode)) {
        *error = direct->errorString();
        return false;
    }
    m_file = std::move(direct);
    return true;
}

bool OutputFile::append(const QByteArray& data)
{
    if (!m_file || !m_error.isEmpty())
        return false;
    // A short write is retried: only the retry tells the reason (a full disk, a size limit).
    for (qint64 done = 0; done < data.size();) {
        const qint64 n = m_file->write(data.constData() + done, data.size() - done);
        if (n <= 0) {
            m_error = m_file->errorString();
            return false;
        }
        done += n;
    }
    return true;
}

bool OutputFile::commit(QString* error)
{
    if (!m_file) {
        *error = QStringLiteral("not open");
        return false;
    }
    auto* save = dynamic_cast<QSaveFile*>(m_file.get());
    if (m_error.isEmpty()) {
        const bool ok = save ? save->commit()
                             : m_file->flush() && m_file->error() == QFileDevice::NoError;
        if (!ok)
            m_error = m_file->errorString();
    }
    // An uncommitted save file removes its temporary file when it goes.
    m_file.reset();
    *error = m_error;
    return m_error.isEmpty();
}

bool OutputFile::write(const QByteArray& data, QString* error)
{
    if (!open(error))
        return false;
    append(data);
    return commit(error);
}

bool OutputFile::sameFile(const QString& a, const QString& b)
{
    if (isStandardOutput(a) || isStandardOutput(b))
        return false;
    struct stat sa, sb;
    const bool hasA = statPath(a, &sa);
    const bool hasB = statPath(b, &sb);
    if (hasA && hasB)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (hasA || hasB)
        return false;
    // Neither exists yet: the same name in the same folder, however the folder is spelled.
    const QFileInfo ia(a), ib(b);
    return ia.fileName() == ib.fileName() && sameFile(ia.absolutePath(), ib.absolutePath());
}
