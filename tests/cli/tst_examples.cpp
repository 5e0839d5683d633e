#include "Assembler.h"
#include "ModuleDescription.h"

#include <QtTest>

// The example include file names the virtual module's parameters: every axis parameter,
// bank 0 setting and timer of modules/virtual.json must be there under its own name.
class tst_Examples : public QObject
{
    Q_OBJECT

private slots:
    void includeFileMatchesDescription_data();
    void includeFileMatchesDescription();
};

// "par::MaxPositioningSpeed" -> MAX_POSITIONING_SPEED, "par::auto start mode" -> AUTO_START_MODE
static QString constantName(QString key)
{
    key.remove(0, 5);
    QString name;
    for (int i = 0; i < key.size(); ++i) {
        const QChar c = key.at(i);
        if (c == ' ') {
            name += '_';
        } else {
            if (c.isUpper() && i > 0 && (key.at(i - 1).isLower() || key.at(i - 1).isDigit()))
                name += '_';
            name += c.toUpper();
        }
    }
    return name;
}

void tst_Examples::includeFileMatchesDescription_data()
{
    QTest::addColumn<QString>("map");
    QTest::newRow("axis parameters") << "axis0";
    QTest::newRow("settings") << "global0";
    QTest::newRow("timers") << "global3";
}

void tst_Examples::includeFileMatchesDescription()
{
    QFETCH(QString, map);
    const QString root = qEnvironmentVariable("KROL_SOURCE_DIR");
    ModuleDescription module;
    QString error;
    QVERIFY2(ModuleDescription::load(root + "/modules/virtual.json", &module, &error),
             qPrintable(error));

    QFile inc(root + "/examples/virtual-module.inc");
    QVERIFY(inc.open(QIODevice::ReadOnly | QIODevice::Text));
    Assembler a;
    a.SetHeadless(true);
    bool failed = true;
    a.DoAsm(QString::fromUtf8(inc.readAll()) + "\nSTOP", false, false, false, false, QString(),
            failed);
    QVERIFY2(!failed, qPrintable(a.LastError().Message));
    QHash<QString, double> constants;
    for (const TConstant& c : a.Constants())
        constants.insert(c.Name, c.Value);

    const ParameterMap parameters = module.maps.value(map);
    QVERIFY(!parameters.isEmpty());
    for (auto it = parameters.begin(); it != parameters.end(); ++it) {
        const QString name = constantName(it.key());
        QVERIFY2(constants.contains(name), qPrintable(name + " is missing"));
        QCOMPARE(constants.value(name), double(it.value().number));
    }
}

QTEST_MAIN(tst_Examples)
#include "tst_examples.moc"
