#include "CaseFile.h"
#include "ModuleDescription.h"
#include "PlainDescriptionReader.h"

#include <QtTest>

class tst_ModuleDescription : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void malformed_data();
    void malformed();
    void badJsonNamesItsLine();
    void unreadableFile();
    void failureLeavesDescriptionAlone();
};

// tests/cases/module-description-read.cases, and two texts a case file cannot hold.
void tst_ModuleDescription::read_data()
{
    if (!AddCaseRows("module-description-read.cases"))
        return;
    QFile module(qEnvironmentVariable("KROL_SOURCE_DIR") + QStringLiteral("/modules/virtual.json"));
    QVERIFY(module.open(QIODevice::ReadOnly));
    QTest::newRow("the virtual module") << QStringList(QString::fromUtf8(module.readAll())) << QStringList{"quick"};
    QTest::newRow("white space of every kind")
        << QStringList("\t{\r\n\"name\" :\"m\" , \"axes\":1,\"maps\":{ \"a\" : { \"k\":{\"number\" : 0 } } } }\n")
        << QStringList{"quick"};
}

void tst_ModuleDescription::read()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    const QByteArray json = body.join('\n').toUtf8();
    const bool quick = results.value(0) == QLatin1String("quick");
    QVERIFY(quick || results.value(0) == QLatin1String("json only"));
    ModuleDescription plain;
    QCOMPARE(PlainDescriptionReader::read(json, &plain), quick);
    ModuleDescription viaParse;
    ModuleDescription full;
    QString parseError;
    QString fullError;
    const bool parsed = ModuleDescription::parse(json, QStringLiteral("m.json"), &viaParse, &parseError);
    QCOMPARE(parsed, ModuleDescription::parseJson(json, QStringLiteral("m.json"), &full, &fullError));
    QCOMPARE(parseError, fullError);
    QVERIFY(viaParse == full);
    if (quick) {
        QVERIFY2(parsed, qPrintable(fullError));
        QVERIFY(plain == full);
    }
    if (results.size() == 1)
        return;
    QVERIFY2(parsed, qPrintable(fullError));
    const QMap<QString, QString> top = CaseItems({results[1]});
    QCOMPARE(QStringLiteral("%1 %2 %3").arg(full.name).arg(full.axes).arg(full.maps.keys().join(' ')),
             top["name"] + ' ' + top["axes"] + ' ' + top["maps"]);
    QMap<QString, QStringList> keys;
    for (const QString& line : results.mid(2)) {
        const QString map = line.section(' ', 0, 0);
        const QString key = line.section(' ', 1).section(": ", 0, 0);
        keys[map] << key;
        const Parameter p = full.maps.value(map).value(key);
        const QString format = QStringLiteral("%1 name=%2 unit=%3 min=%4 max=%5 flag=%6 flag2=%7 access=%8");
        const QMap<QString, QString> f = CaseItems({line.section(": ", 1)}, {{"number", "0"}, {"min", "0"}, {"max", "0"},
                                                                                  {"flag", "false"}, {"flag2", "false"}});
        QCOMPARE(format.arg(p.number).arg(p.name, p.unit).arg(p.min).arg(p.max).arg(p.flag ? "true" : "false")
                     .arg(p.flag2 ? "true" : "false", p.access),
                 format.arg(f["number"], f["name"], f["unit"], f["min"], f["max"], f["flag"], f["flag2"], f["access"]));
    }
    for (auto map = full.maps.begin(); map != full.maps.end(); ++map)
        QCOMPARE(map->keys(), keys.value(map.key()));
}

// tests/cases/module-description.cases: a description file "m.json" and the error it gets.
void tst_ModuleDescription::malformed_data()
{
    AddCaseRows("module-description.cases");
}

void tst_ModuleDescription::malformed()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    ModuleDescription d;
    QString error;
    QVERIFY(!ModuleDescription::parse(body.join('\n').toUtf8(), QStringLiteral("m.json"), &d, &error));
    QCOMPARE(error, QStringLiteral("m.json: ") + results.join('\n'));
}

void tst_ModuleDescription::badJsonNamesItsLine()
{
    QString error;
    QVERIFY(!ModuleDescription::parse("{\n  \"name\": \"m\",\n  \"axes\" 1\n}", QStringLiteral("m.json"), nullptr, &error));
    // The column is the reader's; the line is ours to get right.
    QVERIFY2(error.startsWith(QStringLiteral("m.json: not valid JSON at line 3, column ")), qPrintable(error));
    QVERIFY2(error.endsWith(QStringLiteral(": missing name separator")), qPrintable(error));
}

void tst_ModuleDescription::unreadableFile()
{
    const QString path = QDir::temp().filePath(QStringLiteral("krol-no-such-description.json"));
    QString error;
    ModuleDescription d;
    QVERIFY(!ModuleDescription::load(path, &d, &error));
    QVERIFY2(error.startsWith(path + QStringLiteral(": cannot read the module description: ")), qPrintable(error));
}

void tst_ModuleDescription::failureLeavesDescriptionAlone()
{
    ModuleDescription d;
    d.name = QStringLiteral("kept");
    d.axes = 7;
    QString error;
    QVERIFY(!ModuleDescription::parse(R"({"name": "new", "axes": 1, "maps": {"a": {"k": {}}}})", "f", &d, &error));
    QCOMPARE(d.name, QStringLiteral("kept"));
    QCOMPARE(d.axes, 7);
}

QTEST_APPLESS_MAIN(tst_ModuleDescription)
#include "tst_moduledescription.moc"
