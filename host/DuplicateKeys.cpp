#include "DuplicateKeys.h"

#include <QSet>
#include <QVector>

namespace {

struct Level
{
    bool object = false;
    bool expectKey = false;
    QString key;          // the member being read, in an object
    QSet<QString> keys;   // the members read so far
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads the string whose opening quote is at *at and leaves *at behind its closing quote.
// Escapes are decoded, so "\u0061" and "a" are the same key. False when the string never ends.
bool ReadString(const QByteArray& json, int* at, QString* text)
{
    const int n = json.size();
    int i = *at + 1;
    int run = i;
    text->clear();
    while (i < n && json.at(i) != '"') {
        if (json.at(i) != '\\') {
            ++i;
            continue;
        }
        text->append(QString::fromUtf8(json.constData() + run, i - run));
        if (i + 1 >= n)
            return false;
        const char e = json.at(i + 1);
        i += 2;
        switch (e) {
        case 'b': text->append(QLatin1Char('\b')); break;
        case 'f': text->append(QLatin1Char('\f')); break;
        case 'n': text->append(QLatin1Char('\n')); break;
        case 'r': text->append(QLatin1Char('\r')); break;
        case 't': text->append(QLatin1Char('\t')); break;
        case 'u': {
            int code = 0;
            for (int k = 0; k < 4; ++k) {
                const int digit = i + k < n ? HexDigit(json.at(i + k)) : -1;
                if (digit < 0)
                    return false;
                code = code * 16 + digit;
            }
            text->append(QChar(ushort(code)));
            i += 4;
            break;
        }
        default: text->append(QLatin1Char(e)); break;
        }
        run = i;
    }
    if (i >= n)
        return false;
    text->append(QString::fromUtf8(json.constData() + run, i - run));
    *at = i + 1;
    return true;
}

QString Quoted(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// Names the duplicate the way the description's other faults name their place.
QString Fault(const QVector<Level>& levels, const QString& key)
{
    const bool inMaps = levels.size() >= 2 && levels.at(0).key == QLatin1String("maps");
    const QString twice = QStringLiteral(" appears twice");
    if (inMaps && levels.size() == 2)
        return QStringLiteral("map ") + Quoted(key) + twice;
    if (inMaps && levels.size() == 3)
        return QStringLiteral("map ") + Quoted(levels.at(1).key) + QStringLiteral(": key ") + Quoted(key) + twice;
    if (inMaps && levels.size() == 4)
        return QStringLiteral("map ") + Quoted(levels.at(1).key) + QStringLiteral(", key ") + Quoted(levels.at(2).key)
               + QStringLiteral(": field ") + Quoted(key) + twice;
    return QStringLiteral("key ") + Quoted(key) + twice;
}

} // namespace

QString FindDuplicateKey(const QByteArray& json)
{
    QVector<Level> levels;
    QString text;
    const int n = json.size();
    int i = 0;
    while (i < n) {
        const char c = json.at(i);
        if (c == '{' || c == '[') {
            Level level;
            level.object = c == '{';
            level.expectKey = level.object;
            levels.append(level);
            ++i;
        } else if (c == '}' || c == ']') {
            if (levels.isEmpty())
                return QString();
            levels.removeLast();
            ++i;
        } else if (c == ',' && !levels.isEmpty()) {
            levels.last().expectKey = levels.last().object;
            ++i;
        } else if (c == '"') {
            if (!ReadString(json, &i, &text))
                return QString();
            if (!levels.isEmpty() && levels.last().expectKey) {
                Level& level = levels.last();
                if (level.keys.contains(text))
                    return Fault(levels, text);
                level.keys.insert(text);
                level.key = text;
                level.expectKey = false;
            }
        } else {
            ++i;
        }
    }
    return QString();
}
