#include "PlainDescriptionReader.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Plain texts are small; a larger one takes the full route.
constexpr int PlainLimit = 1 << 20;
// Integers below 2^53 in magnitude are exact in every reader; 16 digits stay within 10^16.
constexpr qint64 IntegerLimit = qint64(1) << 53;
constexpr int MaxDigits = 16;

bool Is(const char* begin, int size, const char* name)
{
    return int(std::strlen(name)) == size && std::memcmp(begin, name, size_t(size)) == 0;
}

} // namespace

bool PlainDescriptionReader::read(const QByteArray& json, ModuleDescription* description)
{
    if (json.size() > PlainLimit)
        return false;
    PlainDescriptionReader reader(json);
    ModuleDescription d;
    if (!reader.top(&d))
        return false;
    reader.space();
    if (reader.m_at != reader.m_end)
        return false;
    *description = std::move(d);
    return true;
}

template <typename Member>
bool PlainDescriptionReader::object(Member member)
{
    if (!punctuation('{'))
        return false;
    space();
    if (m_at < m_end && *m_at == '}') {
        ++m_at;
        return true;
    }
    for (bool more = true; more;) {
        const char* k;
        int size;
        if (!key(&k, &size) || !member(k, size) || !next(&more))
            return false;
    }
    return true;
}

bool PlainDescriptionReader::top(ModuleDescription* d)
{
    bool name = false, axes = false, maps = false;
    const bool read = object([&](const char* k, int size) {
        if (Is(k, size, "name") && !name)
            return name = text(&d->name);
        if (Is(k, size, "axes") && !axes) {
            qint64 v = 0;
            axes = integer(&v) && v >= 0 && v <= 255;
            d->axes = int(v);
            return axes;
        }
        if (Is(k, size, "maps") && !maps)
            return maps = this->maps(&d->maps);
        return false;
    });
    return read && name && axes && maps;
}

bool PlainDescriptionReader::maps(QMap<QString, ParameterMap>* maps)
{
    return object([&](const char* k, int size) {
        const QString name = QString::fromLatin1(k, size);
        return !maps->contains(name) && map(&(*maps)[name]);
    });
}

bool PlainDescriptionReader::map(ParameterMap* map)
{
    return object([&](const char* k, int size) {
        Parameter p;
        if (!record(&p))
            return false;
        const int before = map->size();
        map->insert(QString::fromLatin1(k, size), p);
        return map->size() > before;   // not when the key was there already
    });
}

bool PlainDescriptionReader::record(Parameter* p)
{
    struct Field
    {
        const char* key;
        QString Parameter::*text;
        qint64 Parameter::*integer;
        bool Parameter::*boolean;
    };
    static const Field fields[] = {
        {"number", nullptr, nullptr, nullptr},         {"name", &Parameter::name, nullptr, nullptr},
        {"unit", &Parameter::unit, nullptr, nullptr},  {"min", nullptr, &Parameter::min, nullptr},
        {"max", nullptr, &Parameter::max, nullptr},    {"flag", nullptr, nullptr, &Parameter::flag},
        {"flag2", nullptr, nullptr, &Parameter::flag2}, {"access", &Parameter::access, nullptr, nullptr},
    };
    int seen = 0;   // a bit per field read
    const bool read = object([&](const char* k, int size) {
        int index = 0;
        while (index < 8 && !Is(k, size, fields[index].key))
            ++index;
        if (index == 8 || (seen & (1 << index)))
            return false;
        seen |= 1 << index;
        const Field& f = fields[index];
        if (f.text)
            return text(&(p->*f.text));
        if (f.integer)
            return integer(&(p->*f.integer));
        if (f.boolean)
            return boolean(&(p->*f.boolean));
        qint64 v = 0;
        const bool ok = integer(&v) && v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
        p->number = int(v);
        return ok;
    });
    const auto allowed = [](QChar c) {
        return c == QLatin1Char('r') || c == QLatin1Char('w') || c == QLatin1Char('e');
    };
    return read && (seen & 1) && p->min <= p->max && std::all_of(p->access.begin(), p->access.end(), allowed);
}

bool PlainDescriptionReader::punctuation(char c)
{
    space();
    if (m_at >= m_end || *m_at != c)
        return false;
    ++m_at;
    return true;
}

bool PlainDescriptionReader::key(const char** begin, int* size)
{
    return string(begin, size) && punctuation(':');
}

bool PlainDescriptionReader::string(const char** begin, int* size)
{
    if (!punctuation('"'))
        return false;
    const char* start = m_at;
    // Printable ASCII only: escapes, control characters and other encodings take the full route.
    while (m_at < m_end && *m_at != '"') {
        const unsigned char c = static_cast<unsigned char>(*m_at);
        if (c < 0x20 || c >= 0x7f || c == '\\')
            return false;
        ++m_at;
    }
    if (m_at >= m_end)
        return false;
    *begin = start;
    *size = int(m_at - start);
    ++m_at;
    return true;
}

bool PlainDescriptionReader::text(QString* s)
{
    const char* begin;
    int size;
    if (!string(&begin, &size))
        return false;
    *s = QString::fromLatin1(begin, size);
    return true;
}

bool PlainDescriptionReader::integer(qint64* v)
{
    space();
    const bool negative = m_at < m_end && *m_at == '-';
    if (negative)
        ++m_at;
    const char* digits = m_at;
    qint64 value = 0;
    while (m_at < m_end && *m_at >= '0' && *m_at <= '9') {
        value = value * 10 + (*m_at - '0');
        ++m_at;
        if (m_at - digits > MaxDigits)
            return false;
    }
    const int count = int(m_at - digits);
    // No digits, a leading zero, a fraction or an exponent.
    if (count == 0 || (count > 1 && *digits == '0'))
        return false;
    if (m_at < m_end && (*m_at == '.' || *m_at == 'e' || *m_at == 'E'))
        return false;
    if (value >= IntegerLimit)
        return false;
    *v = negative ? -value : value;
    return true;
}

bool PlainDescriptionReader::boolean(bool* b)
{
    space();
    const auto word = [this](const char* w) {
        const int n = int(std::strlen(w));
        if (m_end - m_at < n || std::memcmp(m_at, w, size_t(n)) != 0)
            return false;
        m_at += n;
        return true;
    };
    if (word("true"))
        *b = true;
    else if (word("false"))
        *b = false;
    else
        return false;
    return true;
}

bool PlainDescriptionReader::next(bool* more)
{
    space();
    if (m_at >= m_end)
        return false;
    const char c = *m_at++;
    *more = c == ',';
    return c == ',' || c == '}';
}

void PlainDescriptionReader::space()
{
    while (m_at < m_end && (*m_at == ' ' || *m_at == '\n' || *m_at == '\r' || *m_at == '\t'))
        ++m_at;
}
