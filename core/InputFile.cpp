#include "InputFile.h"

#include <QBuffer>
#include <QFile>
#include <QTextStream>

#include <cerrno>
#include <cstring>
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

// Opens a regular file within the limit for reading; on failure *error is the reason.
bool InputFile::openChecked(const QString& path, qint64 limit, QFile* file, qint64* size, QString* error)
{
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
    if (!file->open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = file->errorString();
        return false;
    }
    *size = st.st_size;
    return true;
}

bool InputFile::read(const QString& path, qint64 limit, QByteArray* data, QString* error)
{
    if (isStandardInput(path))
        return readStream(limit, data, error);
    QFile file;
    qint64 size = 0;
    if (!openChecked(path, limit, &file, &size, error))
        return false;
    return readOpen(&file, size, limit, data, error);
}

bool InputFile::readOpen(QFile* file, qint64 size, qint64 limit, QByteArray* data, QString* error)
{
    QByteArray all = file->read(qMin<qint64>(size, limit) + 1);
    if (file->error() != QFileDevice::NoError) {
        *error = file->errorString();
        return false;
    }
    if (all.size() > limit) {   // it grew after the check
        *error = tooLarge(-1, limit);
        return false;
    }
    data->swap(all);
    return true;
}

QString InputFile::decodeText(const QByteArray& bytes)
{
    QString text;
    if (appendAscii(bytes.constData(), bytes.size(), &text))
        return text;
    QByteArray copy(bytes);
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    QTextStream in(&buffer);
    return in.readAll();
}

bool InputFile::appendAscii(const char* data, int size, QString* text)
{
    // Any byte of 128 or more leaves the decoding to the text stream (a byte-order mark, a
    // multi-byte character or a locale's own encoding); below, every encoding agrees.
    unsigned char any = 0;
    for (int i = 0; i < size; ++i)
        any |= static_cast<unsigned char>(data[i]);
    if (any & 0x80)
        return false;
    // A text stream drops every carriage return, not only those before a line feed.
    const char* end = data + size;
    for (const char* at = data; at < end;) {
        const char* cr = static_cast<const char*>(std::memchr(at, '\r', size_t(end - at)));
        const char* stop = cr ? cr : end;
        text->append(QLatin1String(at, int(stop - at)));
        at = cr ? cr + 1 : end;
    }
    return true;
}

bool InputFile::readText(const QString& path, QString* text, QString* error)
{
    if (isStandardInput(path)) {
        QByteArray bytes;
        if (!readStream(TextLimit, &bytes, error))
            return false;
        *text = decodeText(bytes);
        return true;
    }
    QFile file;
    qint64 size = 0;
    if (!openChecked(path, TextLimit, &file, &size, error))
        return false;
    // Plain ASCII, the usual source, is widened piece by piece straight into the text: no copy
    // of the whole file in bytes, no growing buffers.
    QString ascii;
    ascii.reserve(int(size));
    constexpr int Piece = 65536;
    QByteArray piece(Piece, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 n = file.read(piece.data(), Piece);
        if (n < 0) {
            *error = file.errorString();
            return false;
        }
        if (n == 0)
            break;
        total += n;
        if (total > TextLimit) {   // it grew after the check
            *error = tooLarge(-1, TextLimit);
            return false;
        }
        if (!appendAscii(piece.constData(), int(n), &ascii)) {
            // Decoded whole, from the start, so a byte-order mark and characters that span
            // two pieces come out as the text stream makes them.
            ascii = QString();
            QByteArray bytes;
            if (!file.seek(0)) {
                *error = file.errorString();
                return false;
            }
            if (!readOpen(&file, size, TextLimit, &bytes, error))
                return false;
            *text = decodeText(bytes);
            return true;
        }
    }
    text->swap(ascii);
    return true;
}
