#include "PlainDescriptionReader.h"

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

bool PlainDescriptionReader::top(ModuleDescription* d)
{
    if (!punctuation('{'))
        return false;
    bool name = false, axes = false, maps = false;
    for (bool more = true; more;) {
        const char* k;
        int size;
        if (!key(&k, &size))
            return false;
        bool ok = false;
        if (Is(k, size, "name") && !name) {
            ok = name = text(&d->name);
        } else if (Is(k, size, "axes") && !axes) {
            qint64 v = 0;
            ok = axes = integer(&v) && v >= 0 && v <= 255;
            d->axes = int(v);
        } else if (Is(k, size, "maps") && !maps) {
            ok = maps = this->maps(&d->maps);
        }
        if (!ok || !next(&more))
            return false;
    }
    return name && axes && maps;
}

bool PlainDescriptionReader::maps(QMap<QString, ParameterMap>* maps)
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
        if (!key(&k, &size))
            return false;
        const QString name = QString::fromLatin1(k, size);
        if (maps->contains(name) || !map(&(*maps)[name]) || !next(&more))
            return false;
    }
    return true;
}

bool PlainDescriptionReader::map(ParameterMap* map)
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
        if (!key(&k, &size))
            return false;
        Parameter p;
        if (!record(&p) || !next(&more))
            return false;
        const int before = map->size();
        map->insert(QString::fromLatin1(k, size), p);
        if (map->size() == before)   // the key was there already
            return false;
    }
    return true;
}

bool PlainDescriptionReader::record(Parameter* p)
{
    if (!punctuation('{'))
        return false;
    enum Field { Number = 1, Name = 2, Unit = 4, Min = 8, Max = 16, Flag = 32, Flag2 = 64, Access = 128 };
    int seen = 0;
    space();
    if (m_at < m_end && *m_at == '}')
        return false;   // "number" is missing
    for (bool more = true; more;) {
        const char* k;
        int size;
        if (!key(&k, &size))
            return false;
        int field = 0;
        bool ok = false;
        if (Is(k, size, "number")) {
            field = Number;
            qint64 v = 0;
            ok = integer(&v) && v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
            p->number = int(v);
        } else if (Is(k, size, "name")) {
            field = Name;
            ok = text(&p->name);
        } else if (Is(k, size, "unit")) {
            field = Unit;
            ok = text(&p->unit);
        } else if (Is(k, size, "min")) {
            field = Min;
            ok = integer(&p->min);
        } else if (Is(k, size, "max")) {
            field = Max;
            ok = integer(&p->max);
        } else if (Is(k, size, "flag")) {
            field = Flag;
            ok = boolean(&p->flag);
        } else if (Is(k, size, "flag2")) {
            field = Flag2;
            ok = boolean(&p->flag2);
        } else if (Is(k, size, "access")) {
            field = Access;
            ok = text(&p->access);
            for (const QChar c : qAsConst(p->access))
                ok = ok && (c == QLatin1Char('r') || c == QLatin1Char('w') || c == QLatin1Char('e'));
        }
        if (!ok || (seen & field) || !next(&more))
            return false;
        seen |= field;
    }
    return (seen & Number) && p->min <= p->max;
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
