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

void tst_ModuleDescription::malformed_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("message");   // after "m.json: "

    auto rec = [](const char* record) {
        return QByteArray(R"({"name": "m", "axes": 1, "maps": {"axis0": {"par::x": )") + record + "}}}";
    };
    const QString at = QStringLiteral("map \"axis0\", key \"par::x\": ");

    QTest::newRow("array at top") << QByteArray("[1]") << "the top level must be a JSON object";
    QTest::newRow("no name") << QByteArray(R"({"axes": 1, "maps": {}})") << "\"name\" is missing";
    QTest::newRow("no axes") << QByteArray(R"({"name": "m", "maps": {}})") << "\"axes\" is missing";
    QTest::newRow("no maps") << QByteArray(R"({"name": "m", "axes": 1})") << "\"maps\" is missing";
    QTest::newRow("name not text") << QByteArray(R"({"name": 5, "axes": 1, "maps": {}})")
                                   << "\"name\" must be a string, not a number";
    QTest::newRow("axes as text") << QByteArray(R"({"name": "m", "axes": "3", "maps": {}})")
                                  << "\"axes\" must be an integer, not a string";
    QTest::newRow("negative axes") << QByteArray(R"({"name": "m", "axes": -1, "maps": {}})")
                                   << "\"axes\" must be from 0 to 255, not -1";
    QTest::newRow("256 axes") << QByteArray(R"({"name": "m", "axes": 256, "maps": {}})")
                              << "\"axes\" must be from 0 to 255, not 256";
    QTest::newRow("fractional axes") << QByteArray(R"({"name": "m", "axes": 1.5, "maps": {}})")
                                     << "\"axes\" must be an integer, not the fraction 1.5";
    QTest::newRow("unknown top key") << QByteArray(R"({"name": "m", "axes": 1, "maps": {}, "extra": 1})")
                                     << "unknown key \"extra\"";
    QTest::newRow("maps as array") << QByteArray(R"({"name": "m", "axes": 1, "maps": []})")
                                   << "\"maps\" must be an object, not an array";
    QTest::newRow("map as array") << QByteArray(R"({"name": "m", "axes": 1, "maps": {"irq": []}})")
                                  << "map \"irq\": the map must be an object, not an array";
    QTest::newRow("record as number") << rec("7") << at + "the record must be an object, not a number";
    QTest::newRow("no number") << rec(R"({"name": "x"})") << at + "\"number\" is missing";
    QTest::newRow("number as text") << rec(R"({"number": "4"})") << at + "\"number\" must be an integer, not a string";
    QTest::newRow("number beyond int") << rec(R"({"number": 2147483648})")
                                       << at + "\"number\" must be from -2147483648 to 2147483647, not 2147483648";
    QTest::newRow("fraction") << rec(R"({"number": 1, "min": 0.5})")
                              << at + "\"min\" must be an integer, not the fraction 0.5";
    QTest::newRow("beyond 2^53") << rec(R"({"number": 1, "max": 9007199254740993})")
                                 << at + "\"max\" is beyond +-2^53: 9007199254740993";
    QTest::newRow("below -2^53") << rec(R"({"number": 1, "min": -1e300})")
                                 << at + "\"min\" is beyond +-2^53: -1.0000000000000001e+300";
    QTest::newRow("unit as null") << rec(R"({"number": 1, "unit": null})") << at + "\"unit\" must be a string, not null";
    QTest::newRow("flag as number") << rec(R"({"number": 1, "flag": 1})")
                                    << at + "\"flag\" must be true or false, not a number";
    QTest::newRow("flag2 as text") << rec(R"({"number": 1, "flag2": "true"})")
                                   << at + "\"flag2\" must be true or false, not a string";
    QTest::newRow("unknown field") << rec(R"({"number": 1, "default": 3})") << at + "unknown field \"default\"";
    QTest::newRow("min above max") << rec(R"({"number": 1, "min": 5, "max": 1})")
                                   << at + "\"min\" 5 is above \"max\" 1";
    QTest::newRow("min above default max") << rec(R"({"number": 1, "min": 1})")
                                           << at + "\"min\" 1 is above \"max\" 0";
    QTest::newRow("access letter") << rec(R"({"number": 1, "access": "rW"})")
                                   << at + "\"access\" has the unknown letter \"W\" (letters r, w and e only)";
    QTest::newRow("top key twice") << QByteArray(R"({"name": "m", "axes": 1, "maps": {}, "na\u006de": "n"})")
                                   << "key \"name\" appears twice";
    QTest::newRow("map twice") << QByteArray(R"({"name": "m", "axes": 1, "maps": {"irq": {}, "io0": [], "irq": {}}})")
                               << "map \"irq\" appears twice";
    QTest::newRow("record twice")
        << QByteArray(R"({"name": "m", "axes": 1, "maps": {"axis0": {"par::x": {"number": 1}, "par::x": {"number": 2}}}})")
        << "map \"axis0\": key \"par::x\" appears twice";
    QTest::newRow("field twice") << rec(R"({"number": 1, "name": "a,b", "number": 2})")
                                 << at + "field \"number\" appears twice";
    QTest::newRow("access as array") << rec(R"({"number": 1, "access": ["r"]})")
                                     << at + "\"access\" must be a string, not an array";
}

void tst_ModuleDescription::malformed()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, message);
    ModuleDescription d;
    QString error;
    QVERIFY(!ModuleDescription::parse(json, QStringLiteral("m.json"), &d, &error));
    QCOMPARE(error, QStringLiteral("m.json: ") + message);
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
