#include "Globals.h"
#include "ModuleDescription.h"

#include <QtTest>

// modules/virtual.json against the numbering tables of docs/module-description.md, which are the
// one place where the virtual module's parameters are defined.
class tst_VirtualDescription : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void matchesDocumentedTables();
    void keepsTheModuleContract();

private:
    QMap<QString, ParameterMap> readTables();

    ModuleDescription m_json;
};

namespace {

QString SourcePath(const char* relative)
{
    return QDir(qEnvironmentVariable("KROL_SOURCE_DIR")).filePath(QLatin1String(relative));
}

QString Unquote(QString cell)
{
    cell = cell.trimmed();
    if (cell.startsWith(QLatin1Char('`')) && cell.endsWith(QLatin1Char('`')))
        cell = cell.mid(1, cell.size() - 2);
    return cell;
}

} // namespace

void tst_VirtualDescription::initTestCase()
{
    QString error;
    QVERIFY2(ModuleDescription::load(SourcePath("modules/virtual.json"), &m_json, &error), qPrintable(error));
}

QMap<QString, ParameterMap> tst_VirtualDescription::readTables()
{
    QFile file(SourcePath("docs/module-description.md"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    QMap<QString, ParameterMap> maps;
    QStringList current;
    bool inSection = false;
    const QRegularExpression mapName(QStringLiteral("`([^`]+)`"));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("## ")))
            inSection = line == QLatin1String("## Parameters of the virtual module");
        if (!inSection)
            continue;
        if (line.startsWith(QLatin1String("### "))) {
            current.clear();
            for (auto it = mapName.globalMatch(line); it.hasNext();)
                current << it.next().captured(1);
            continue;
        }
        const QStringList cells = line.split(QLatin1Char('|'));
        bool isNumber = false;
        if (cells.size() != 10 || (cells[1].trimmed().toInt(&isNumber), !isNumber))
            continue;   // header, rule or prose
        Parameter p;
        p.number = cells[1].trimmed().toInt();
        p.name = cells[3].trimmed();
        p.unit = cells[4].trimmed();
        p.min = cells[5].trimmed().toLongLong();
        p.max = cells[6].trimmed().toLongLong();
        p.access = cells[7].trimmed();
        const QStringList flags = cells[8].split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString& f : flags) {
            p.flag |= f.trimmed() == QLatin1String("flag");
            p.flag2 |= f.trimmed() == QLatin1String("flag2");
        }
        for (const QString& map : qAsConst(current))
            maps[map].insert(Unquote(cells[2]), p);
    }
    return maps;
}

void tst_VirtualDescription::matchesDocumentedTables()
{
    const QMap<QString, ParameterMap> documented = readTables();
    QVERIFY(documented.size() > 10);

    QStringList jsonMaps = m_json.maps.keys();
    jsonMaps.removeOne(QStringLiteral("module"));
    QCOMPARE(jsonMaps, documented.keys());
    for (auto map = documented.begin(); map != documented.end(); ++map) {
        const ParameterMap& json = m_json.maps[map.key()];
        QCOMPARE(json.keys(), map->keys());
        for (auto it = map->begin(); it != map->end(); ++it) {
            const Parameter& want = it.value();
            const Parameter& got = json[it.key()];
            const QByteArray where = (map.key() + QLatin1Char(' ') + it.key()).toUtf8();
            QVERIFY2(got.number == want.number, where);
            QVERIFY2(got.name == want.name, where);
            QVERIFY2(got.unit == want.unit, where);
            QVERIFY2(got.min == want.min && got.max == want.max, where);
            QVERIFY2(got.access == want.access, where);
            QVERIFY2(got.flag == want.flag && got.flag2 == want.flag2, where);
        }
    }
}

// The axis count, the parameter ranges, the interrupts and the coordinate flags are held
// against the virtual module's own tables by tst_simdescription; these tie the file to the
// instruction and keyword tables the assembler uses.
void tst_VirtualDescription::keepsTheModuleContract()
{
    QStringList opcodes;
    for (int i = 0; !KROLInstructions[i].Mnemonic.isEmpty(); ++i)
        opcodes << QString::number(KROLInstructions[i].Opcode);
    QCOMPARE(m_json.maps["module"]["DirectModeCommands"].name, opcodes.join(QLatin1Char(',')));

    QStringList events;
    for (const Parameter& p : m_json.maps["wait_cmd"]) {
        QCOMPARE(p.name, p.name.toUpper());
        if (p.number == 0)
            QCOMPARE(p.name, QStringLiteral("TICKS"));
        events << p.name;
    }
    for (int i = 0; !WaitEventMnemonic[i].isEmpty(); ++i)
        QVERIFY(events.contains(WaitEventMnemonic[i]));
    for (const QString& key : m_json.maps.value("coordinates").keys())
        QVERIFY(key.startsWith(QLatin1String("par::")));
}

QTEST_APPLESS_MAIN(tst_VirtualDescription)
#include "tst_virtualdescription.moc"
