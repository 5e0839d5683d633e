#include "FileLines.h"

#include "InputFile.h"

#include <cstring>

namespace {

constexpr int Piece = 65536;

} // namespace

bool FileLines::open(const QString& path, QString* error)
{
    return InputFile::openChecked(path, InputFile::TextLimit, &m_file, &m_size, error);
}

bool FileLines::next(QStringRef* line)
{
    if (m_whole)
        return m_whole->next(line);
    if (m_done)
        return false;
    for (;;) {
        const char* data = m_buffer.constData();
        const char* begin = data + m_at;
        const char* end = data + m_buffer.size();
        const char* feed = static_cast<const char*>(std::memchr(begin, '\n', size_t(end - begin)));
        if (feed || m_atEnd) {
            const char* stop = feed ? feed : end;
            if (!widen(begin, stop))
                return decodeWhole() && m_whole->next(line);
            m_at = int((feed ? feed + 1 : end) - data);
            m_done = !feed;
            ++m_given;
            *line = QStringRef(&m_line);
            return true;
        }
        if (!readMore())
            return false;
    }
}

// Appends the next piece of the file to what is left of the buffer.
bool FileLines::readMore()
{
    m_buffer.remove(0, m_at);
    m_at = 0;
    // A line longer than a piece doubles the read, so that keeping its start costs no more
    // than reading it.
    const int kept = m_buffer.size();
    const int want = qMax(Piece, kept);
    m_buffer.resize(kept + want);
    const qint64 n = m_file.read(m_buffer.data() + kept, want);
    if (n < 0)
        return stop(m_file.errorString());
    m_buffer.resize(kept + int(n));
    m_total += n;
    if (m_total > InputFile::TextLimit)   // it grew after the check
        return stop(InputFile::tooLarge(-1, InputFile::TextLimit));
    m_atEnd = n == 0;
    return true;
}

bool FileLines::widen(const char* begin, const char* end)
{
    unsigned char any = 0;
    for (const char* at = begin; at < end; ++at)
        any |= static_cast<unsigned char>(*at);
    if (any & 0x80)
        return false;
    // A text stream drops every carriage return, not only those before a line feed.
    m_line.resize(int(end - begin));
    QChar* out = m_line.data();
    for (const char* at = begin; at < end; ++at) {
        if (*at != '\r')
            *out++ = QLatin1Char(*at);
    }
    m_line.truncate(int(out - m_line.constData()));
    return true;
}

bool FileLines::decodeWhole()
{
    m_buffer = QByteArray();
    QByteArray bytes;
    QString error;
    if (!m_file.seek(0))
        return stop(m_file.errorString());
    if (!InputFile::readOpen(&m_file, m_size, InputFile::TextLimit, &bytes, &error))
        return stop(error);
    m_whole.reset(new StringLines(InputFile::decodeText(bytes)));
    QStringRef skipped;
    for (int k = 0; k < m_given; ++k)
        m_whole->next(&skipped);
    return true;
}

bool FileLines::stop(const QString& error)
{
    m_error = error;
    m_done = true;
    return false;
}
