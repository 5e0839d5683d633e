#include "ModuleDescription.h"

#include "DuplicateKeys.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QVariant>

#include <cmath>
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

class Reader
{
public:
    explicit Reader(QString where) : m_where(std::move(where)) {}

    [[noreturn]] void fail(const QString& fault) const { throw DescriptionFault{m_where, fault}; }

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
        const QString name = Quoted(QLatin1String(field));
        if (!v.isDouble())
            fail(name + QStringLiteral(" must be an integer, not ") + KindOf(v));
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
    QString m_where;
};

Parameter ReadRecord(const QJsonValue& value, const Reader& r)
{
    if (!value.isObject())
        r.fail(QStringLiteral("the record must be an object, not ") + KindOf(value));
    const QJsonObject o = value.toObject();
    static const QStringList known {QStringLiteral("number"), QStringLiteral("name"), QStringLiteral("unit"),
                                    QStringLiteral("min"), QStringLiteral("max"), QStringLiteral("flag"),
                                    QStringLiteral("flag2"), QStringLiteral("access")};
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (!known.contains(it.key()))
            r.fail(QStringLiteral("unknown field ") + Quoted(it.key()));
    }

    Parameter p;
    p.number = static_cast<int>(r.integerIn(r.required(o, "number"), "number", std::numeric_limits<int>::min(),
                                            std::numeric_limits<int>::max()));
    if (o.contains(QLatin1String("name")))
        p.name = r.text(o.value(QLatin1String("name")), "name");
    if (o.contains(QLatin1String("unit")))
        p.unit = r.text(o.value(QLatin1String("unit")), "unit");
    if (o.contains(QLatin1String("min")))
        p.min = r.integer(o.value(QLatin1String("min")), "min");
    if (o.contains(QLatin1String("max")))
        p.max = r.integer(o.value(QLatin1String("max")), "max");
    if (o.contains(QLatin1String("flag")))
        p.flag = r.boolean(o.value(QLatin1String("flag")), "flag");
    if (o.contains(QLatin1String("flag2")))
        p.flag2 = r.boolean(o.value(QLatin1String("flag2")), "flag2");
    if (o.contains(QLatin1String("access"))) {
        p.access = r.text(o.value(QLatin1String("access")), "access");
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
    const Reader r(QStringLiteral("map ") + Quoted(mapName) + QStringLiteral(": "));
    if (!value.isObject())
        r.fail(QStringLiteral("the map must be an object, not ") + KindOf(value));
    const QJsonObject o = value.toObject();
    ParameterMap map;
    for (auto it = o.begin(); it != o.end(); ++it) {
        const Reader field(QStringLiteral("map ") + Quoted(mapName) + QStringLiteral(", key ") + Quoted(it.key())
                           + QStringLiteral(": "));
        map.insert(it.key(), ReadRecord(it.value(), field));
    }
    return map;
}

ModuleDescription ReadDescription(const QJsonObject& top)
{
    const Reader r {QString()};
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
