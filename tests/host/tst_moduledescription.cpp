#include "CaseFile.h"
#include "ModuleDescription.h"
#include "PlainDescriptionReader.h"

#include <QtTest>

class tst_ModuleDescription : public QObject
{
    Q_OBJECT

private slots:
    void readsRecords();
    void quickRouteAgrees_data();
    void quickRouteAgrees();
    void malformed_data();
    void malformed();
    void badJsonNamesItsLine();
    void unreadableFile();
    void failureLeavesDescriptionAlone();
};

void tst_ModuleDescription::readsRecords()
{
    const QByteArray json = R"({
        "name": "Bench module", "axes": 2,
        "maps": {
            "module": { "DirectModeCommands": { "number": 0, "name": "1,2,3" } },
            "axis0": {
                "par::b": { "number": 4, "name": "Speed", "unit": "pps", "min": -9007199254740992,
                            "max": 4294967295, "flag": true, "access": "rwe" },
                "par::a": { "number": 2.0 },
                "plain": { "number": 1e2, "flag2": true, "access": "" }
            },
            "empty": {}
        }
    })";
    ModuleDescription d;
    QString error;
    QVERIFY2(ModuleDescription::parse(json, QStringLiteral("bench.json"), &d, &error), qPrintable(error));
    QCOMPARE(d.name, QStringLiteral("Bench module"));
    QCOMPARE(d.axes, 2);
    QCOMPARE(d.maps.keys(), (QStringList {"axis0", "empty", "module"}));
    QCOMPARE(d.maps.value("axis0").keys(), (QStringList {"par::a", "par::b", "plain"}));

    const Parameter b = d.maps["axis0"]["par::b"];
    QCOMPARE(b.number, 4);
    QCOMPARE(b.name, QStringLiteral("Speed"));
    QCOMPARE(b.unit, QStringLiteral("pps"));
    QCOMPARE(b.min, -9007199254740992LL);
    QCOMPARE(b.max, 4294967295LL);
    QVERIFY(b.flag);
    QVERIFY(!b.flag2);
    QCOMPARE(b.access, QStringLiteral("rwe"));

    const Parameter a = d.maps["axis0"]["par::a"];   // every optional field at its default
    QCOMPARE(a.number, 2);
    QVERIFY(a.name.isEmpty() && a.unit.isEmpty() && a.access.isEmpty());
    QCOMPARE(a.min, 0);
    QCOMPARE(a.max, 0);
    QVERIFY(!a.flag && !a.flag2);
    QCOMPARE(d.maps["axis0"]["plain"].number, 100);
    QVERIFY(d.maps["axis0"]["plain"].flag2);
    QVERIFY(d.maps["empty"].isEmpty());
}

void tst_ModuleDescription::quickRouteAgrees_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("quick");   // read by the plain reader, not only through QJsonDocument

    auto rec = [](const char* record) {
        return QByteArray(R"({"name": "m", "axes": 3, "maps": {"axis0": {"par::x": )") + record + "}}}";
    };
    QFile module(qEnvironmentVariable("KROL_SOURCE_DIR") + QStringLiteral("/modules/virtual.json"));
    QVERIFY(module.open(QIODevice::ReadOnly));
    QTest::newRow("the virtual module") << module.readAll() << true;
    QTest::newRow("every field")
        << rec(R"({"number": -7, "name": "Speed", "unit": "pps", "min": -9007199254740991,
                   "max": 9007199254740991, "flag": true, "flag2": false, "access": "rwe"})") << true;
    QTest::newRow("no map") << QByteArray(R"({"maps": {}, "axes": 0, "name": ""})") << true;
    QTest::newRow("empty map") << QByteArray(R"({"name": "m", "axes": 0, "maps": {"irq": {}}})") << true;
    QTest::newRow("white space of every kind")
        << QByteArray("\t{\r\n\"name\" :\"m\" , \"axes\":1,\"maps\":{ \"a\" : { \"k\":{\"number\" : 0 } } } }\n") << true;
    QTest::newRow("minus zero") << rec(R"({"number": -0})") << true;
    QTest::newRow("fraction that is whole") << rec(R"({"number": 2.0})") << false;
    QTest::newRow("exponent") << rec(R"({"number": 1e2})") << false;
    QTest::newRow("2^53") << rec(R"({"number": 1, "max": 9007199254740992})") << false;
    QTest::newRow("escape") << rec(R"({"number": 1, "name": "a\u0062"})") << false;
    QTest::newRow("beyond ASCII") << rec("{\"number\": 1, \"unit\": \"\xc2\xb0\"}") << false;
    QTest::newRow("control character") << rec("{\"number\": 1, \"name\": \"a\tb\"}") << false;
    QTest::newRow("leading zero") << rec(R"({"number": 012})") << false;
    QTest::newRow("sign alone") << rec(R"({"number": -})") << false;
    QTest::newRow("word run on") << rec(R"({"number": 1, "flag": truer})") << false;
    QTest::newRow("field twice") << rec(R"({"number": 1, "number": 2})") << false;
    QTest::newRow("record twice")
        << QByteArray(R"({"name": "m", "axes": 1, "maps": {"a": {"k": {"number": 1}, "k": {"number": 1}}}})") << false;
    QTest::newRow("map twice") << QByteArray(R"({"name": "m", "axes": 1, "maps": {"a": {}, "a": {}}})") << false;
    QTest::newRow("top key twice") << QByteArray(R"({"name": "m", "axes": 1, "axes": 1, "maps": {}})") << false;
    QTest::newRow("unknown field") << rec(R"({"number": 1, "default": 3})") << false;
    QTest::newRow("no number") << rec(R"({"name": "x"})") << false;
    QTest::newRow("empty record") << rec("{}") << false;
    QTest::newRow("min above max") << rec(R"({"number": 1, "min": 1})") << false;
    QTest::newRow("access letter") << rec(R"({"number": 1, "access": "rW"})") << false;
    QTest::newRow("number beyond int") << rec(R"({"number": 2147483648})") << false;
    QTest::newRow("256 axes") << QByteArray(R"({"name": "m", "axes": 256, "maps": {}})") << false;
    QTest::newRow("no name") << QByteArray(R"({"axes": 1, "maps": {}})") << false;
    QTest::newRow("array for a map") << QByteArray(R"({"name": "m", "axes": 1, "maps": {"a": []}})") << false;
    QTest::newRow("text after the end") << QByteArray(R"({"name": "m", "axes": 1, "maps": {}} x)") << false;
    QTest::newRow("cut short") << QByteArray(R"({"name": "m", "axes": 1, "maps": {)") << false;
    QTest::newRow("missing comma") << rec(R"({"number": 1 "name": "x"})") << false;
}

// The plain reader reads what it knows exactly as QJsonDocument's route does, and leaves every
// other text to that route.
void tst_ModuleDescription::quickRouteAgrees()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, quick);
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
