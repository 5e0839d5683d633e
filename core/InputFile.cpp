#include "InputFile.h"

#include <QBuffer>
#include <QFile>
#include <QTextStream>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reasonFor(int error)
{
    switch (error) {
    case ENOENT: return QStringLiteral("no such file");
    case EISDIR: return QStringLiteral("is a directory");
    case EACCES: return QStringLiteral("permission denied");
    default: return qt_error_string(error);
    }
}

// Standard input has no size to check first: it is read in pieces until it ends or passes
// the limit.
bool readStream(qint64 limit, QByteArray* data, QString* error)
{
    QFile in;
    if (!in.open(STDIN_FILENO, QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *error = in.errorString();
        return false;
    }
    QByteArray all;
    constexpr qint64 Piece = 65536;
    for (;;) {
        const int at = all.size();
        const qint64 want = qMin(Piece, limit + 1 - at);
        all.resize(at + int(want));
        const qint64 n = in.read(all.data() + at, want);
        if (n < 0) {
            *error = in.errorString();
            return false;
        }
        all.resize(at + int(n));
        if (all.size() > limit) {
            *error = InputFile::tooLarge(-1, limit);
            return false;
        }
        if (n == 0)
            break;
    }
    data->swap(all);
    return true;
}

} // namespace

QString InputFile::tooLarge(qint64 size, qint64 limit)
{
    const QString mib = QString::number(limit >> 20) + QStringLiteral(" MiB");
    return size < 0 ? QStringLiteral("too large: more than %1").arg(mib)
                    : QStringLiteral("too large: %1 bytes (the limit is %2)").arg(size).arg(mib);
}

bool InputFile::read(const QString& path, qint64 limit, QByteArray* data, QString* error)
{
    if (isStandardInput(path))
        return readStream(limit, data, error);
    // Opening without blocking and asking the open descriptor what it is: a FIFO would block
    // a plain open, and a check by name before the open could be raced.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = reasonFor(errno);
        return false;
    }
    struct stat st;
    QString reason;
    if (::fstat(fd, &st) != 0)
        reason = reasonFor(errno);
    else if (S_ISDIR(st.st_mode))
        reason = reasonFor(EISDIR);
    else if (!S_ISREG(st.st_mode))
        reason = QStringLiteral("not a regular file");
    else if (st.st_size > limit)
        reason = tooLarge(st.st_size, limit);
    if (!reason.isEmpty()) {
        ::close(fd);
        *error = reason;
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = file.errorString();
        return false;
    }
    QByteArray all = file.read(qMin<qint64>(st.st_size, limit) + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    if (all.size() > limit) {   // it grew after the check
        *error = tooLarge(-1, limit);
        return false;
    }
    data->swap(all);
    return true;
}

bool InputFile::readText(const QString& path, QString* text, QString* error)
{
    QByteArray bytes;
    if (!read(path, TextLimit, &bytes, error))
        return false;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    QTextStream in(&buffer);
    *text = in.readAll();
    return true;
}
