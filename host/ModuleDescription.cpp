#include "ModuleDescription.h"

#include "DuplicateKeys.h"
#include "PlainDescriptionReader.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

// A JSON reader holds integers exactly up to this magnitude.
constexpr qint64 JsonIntegerLimit = qint64(1) << 53;

// Thrown inside the parser only; parse() turns it into the error text.
struct DescriptionFault
{
    QString where;   // "map \"axis0\", key \"par::X\": " or empty at the top level
    QString fault;
};

QString Quoted(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString KindOf(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::Null: return QStringLiteral("null");
    case QJsonValue::Bool: return QStringLiteral("a boolean");
    case QJsonValue::Double: return QStringLiteral("a number");
    case QJsonValue::String: return QStringLiteral("a string");
    case QJsonValue::Array: return QStringLiteral("an array");
    case QJsonValue::Object: return QStringLiteral("an object");
    case QJsonValue::Undefined: break;
    }
    return QStringLiteral("undefined");
}

// Where a fault lies, named only when one is found: building the text for every record and
// field would cost more than reading them.
class Reader
{
public:
    Reader() = default;   // the top level
    explicit Reader(const QString* map, const QString* key = nullptr) : m_map(map), m_key(key) {}

    [[noreturn]] void fail(const QString& fault) const { throw DescriptionFault{where(), fault}; }

    QJsonValue required(const QJsonObject& o, const char* field) const
    {
        const QJsonValue v = o.value(QLatin1String(field));
        if (v.isUndefined())
            fail(Quoted(QLatin1String(field)) + QStringLiteral(" is missing"));
        return v;
    }

    QString text(const QJsonValue& v, const char* field) const
    {
        if (!v.isString())
            fail(Quoted(QLatin1String(field)) + QStringLiteral(" must be a string, not ") + KindOf(v));
        return v.toString();
    }

    bool boolean(const QJsonValue& v, const char* field) const
    {
        if (!v.isBool())
            fail(Quoted(QLatin1String(field)) + QStringLiteral(" must be true or false, not ") + KindOf(v));
        return v.toBool();
    }

    // An integer within +-2^53; 2.0 or 1e3 count as integers, 1.5 does not.
    qint64 integer(const QJsonValue& v, const char* field) const
    {
        if (!v.isDouble())
            fail(Quoted(QLatin1String(field)) + QStringLiteral(" must be an integer, not ") + KindOf(v));
        // Below 2^53 a double holds every integer exactly, however the reader stored it.
        const double quick = v.toDouble();
        if (std::fabs(quick) < static_cast<double>(JsonIntegerLimit) && std::trunc(quick) == quick)
            return static_cast<qint64>(quick);
        const QString name = Quoted(QLatin1String(field));
        const QVariant exact = v.toVariant();
        if (exact.type() == QVariant::LongLong) {
            const qint64 i = exact.toLongLong();
            if (i > JsonIntegerLimit || i < -JsonIntegerLimit)
                fail(name + QStringLiteral(" is beyond +-2^53: ") + QString::number(i));
            return i;
        }
        const double d = v.toDouble();
        if (!std::isfinite(d) || std::trunc(d) != d)
            fail(name + QStringLiteral(" must be an integer, not the fraction ") + QString::number(d, 'g', 17));
        if (std::fabs(d) > static_cast<double>(JsonIntegerLimit))
            fail(name + QStringLiteral(" is beyond +-2^53: ") + QString::number(d, 'g', 17));
        return static_cast<qint64>(d);
    }

    qint64 integerIn(const QJsonValue& v, const char* field, qint64 low, qint64 high) const
    {
        const qint64 i = integer(v, field);
        if (i < low || i > high)
            fail(Quoted(QLatin1String(field)) + QStringLiteral(" must be from %1 to %2, not %3").arg(low).arg(high).arg(i));
        return i;
    }

private:
    QString where() const
    {
        if (!m_map)
            return QString();
        QString w = QStringLiteral("map ") + Quoted(*m_map);
        if (m_key)
            w += QStringLiteral(", key ") + Quoted(*m_key);
        return w + QStringLiteral(": ");
    }

    const QString* m_map = nullptr;
    const QString* m_key = nullptr;
};

Parameter ReadRecord(const QJsonValue& value, const Reader& r)
{
    if (!value.isObject())
        r.fail(QStringLiteral("the record must be an object, not ") + KindOf(value));
    const QJsonObject o = value.toObject();
    static const char* const known[] = {"number", "name", "unit", "min", "max", "flag", "flag2", "access"};
    QJsonValue fields[8];
    int present = 0;
    for (int k = 0; k < 8; ++k) {
        fields[k] = o.value(QLatin1String(known[k]));
        if (!fields[k].isUndefined())
            ++present;
    }
    // Some key is none of the known ones: name the first in the object's order.
    if (present != o.size()) {
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (!std::any_of(std::begin(known), std::end(known),
                             [&it](const char* name) { return it.key() == QLatin1String(name); }))
                r.fail(QStringLiteral("unknown field ") + Quoted(it.key()));
        }
    }
    const QJsonValue& number = fields[0];
    const QJsonValue& name = fields[1];
    const QJsonValue& unit = fields[2];
    const QJsonValue& min = fields[3];
    const QJsonValue& max = fields[4];
    const QJsonValue& flag = fields[5];
    const QJsonValue& flag2 = fields[6];
    const QJsonValue& access = fields[7];

    Parameter p;
    if (number.isUndefined())
        r.fail(QStringLiteral("\"number\" is missing"));
    p.number = static_cast<int>(r.integerIn(number, "number", std::numeric_limits<int>::min(),
                                            std::numeric_limits<int>::max()));
    if (!name.isUndefined())
        p.name = r.text(name, "name");
    if (!unit.isUndefined())
        p.unit = r.text(unit, "unit");
    if (!min.isUndefined())
        p.min = r.integer(min, "min");
    if (!max.isUndefined())
        p.max = r.integer(max, "max");
    if (!flag.isUndefined())
        p.flag = r.boolean(flag, "flag");
    if (!flag2.isUndefined())
        p.flag2 = r.boolean(flag2, "flag2");
    if (!access.isUndefined()) {
        p.access = r.text(access, "access");
        for (const QChar c : qAsConst(p.access)) {
            if (c != QLatin1Char('r') && c != QLatin1Char('w') && c != QLatin1Char('e'))
                r.fail(QStringLiteral("\"access\" has the unknown letter ") + Quoted(QString(c))
                       + QStringLiteral(" (letters r, w and e only)"));
        }
    }
    if (p.min > p.max)
        r.fail(QStringLiteral("\"min\" %1 is above \"max\" %2").arg(p.min).arg(p.max));
    return p;
}

ParameterMap ReadMap(const QString& mapName, const QJsonValue& value)
{
    const Reader r(&mapName);
    if (!value.isObject())
        r.fail(QStringLiteral("the map must be an object, not ") + KindOf(value));
    const QJsonObject o = value.toObject();
    ParameterMap map;
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QString key = it.key();
        map.insert(key, ReadRecord(it.value(), Reader(&mapName, &key)));
    }
    return map;
}

ModuleDescription ReadDescription(const QJsonObject& top)
{
    const Reader r;
    for (auto it = top.begin(); it != top.end(); ++it) {
        if (it.key() != QLatin1String("name") && it.key() != QLatin1String("axes") && it.key() != QLatin1String("maps"))
            r.fail(QStringLiteral("unknown key ") + Quoted(it.key()));
    }
    ModuleDescription d;
    d.name = r.text(r.required(top, "name"), "name");
    d.axes = static_cast<int>(r.integerIn(r.required(top, "axes"), "axes", 0, 255));
    const QJsonValue maps = r.required(top, "maps");
    if (!maps.isObject())
        r.fail(QStringLiteral("\"maps\" must be an object, not ") + KindOf(maps));
    const QJsonObject o = maps.toObject();
    for (auto it = o.begin(); it != o.end(); ++it)
        d.maps.insert(it.key(), ReadMap(it.key(), it.value()));
    return d;
}

// 1-based line and column of a byte offset, for JSON syntax errors.
QString Position(const QByteArray& text, int offset)
{
    int line = 1;
    int column = 1;
    for (int i = 0; i < offset && i < text.size(); ++i) {
        if (text.at(i) == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return QStringLiteral("line %1, column %2").arg(line).arg(column);
}

} // namespace

bool ModuleDescription::parse(const QByteArray& json, const QString& fileName, ModuleDescription* description,
                              QString* error)
{
    ModuleDescription plain;
    if (PlainDescriptionReader::read(json, &plain)) {
        if (description)
            *description = std::move(plain);
        return true;
    }
    return parseJson(json, fileName, description, error);
}

bool ModuleDescription::parseJson(const QByteArray& json, const QString& fileName, ModuleDescription* description,
                                  QString* error)
{
    const QString prefix = fileName + QStringLiteral(": ");
    // Qt's reader keeps the last of two equal keys, silently, and leaks the value it drops when
    // that is an object or an array: look for them first.
    const QString duplicate = FindDuplicateKey(json);
    if (!duplicate.isEmpty()) {
        if (error)
            *error = prefix + duplicate;
        return false;
    }
    QJsonParseError syntax;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &syntax);
    if (syntax.error != QJsonParseError::NoError) {
        if (error)
            *error = prefix + QStringLiteral("not valid JSON at ") + Position(json, syntax.offset)
                     + QStringLiteral(": ") + syntax.errorString();
        return false;
    }
    if (!doc.isObject()) {
        if (error)
            *error = prefix + QStringLiteral("the top level must be a JSON object");
        return false;
    }
    try {
        ModuleDescription read = ReadDescription(doc.object());
        if (description)
            *description = std::move(read);
        return true;
    } catch (const DescriptionFault& f) {
        if (error)
            *error = prefix + f.where + f.fault;
        return false;
    }
}

bool ModuleDescription::load(const QString& path, ModuleDescription* description, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = path + QStringLiteral(": cannot read the module description: ") + file.errorString();
        return false;
    }
    return parse(file.readAll(), path, description, error);
}
