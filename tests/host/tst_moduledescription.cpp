#include "CaseFile.h"
#include "ModuleDescription.h"

#include <QtTest>

class tst_ModuleDescription : public QObject
{
    Q_OBJECT

private slots:
    void readsRecords();
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
