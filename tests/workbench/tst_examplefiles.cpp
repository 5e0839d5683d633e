#include "Assembler.h"
#include "KROLModuleInterface.h"
#include "PluginFixture.h"

#include <QRegularExpression>
#include <QtTest>

// The include files the plug-in carries: they assemble as includes, and the parameter
// constants are those of the virtual module's description.
class tst_ExampleFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void assembleAsIncludes_data();
    void assembleAsIncludes();
    void parameterConstantsMatchTheVirtualModule();
    void everyAxisParameterHasAConstant();

private:
    static QString examplesPath();
    QList<TConstant> constantsOf(const QString& file);

    std::unique_ptr<KROLModuleInterface> m_module;
};

QString tst_ExampleFiles::examplesPath()
{
    return qEnvironmentVariable("KROL_SOURCE_DIR") + QStringLiteral("/resources/Examples");
}

void tst_ExampleFiles::initTestCase()
{
    QString error;
    m_module.reset(KROLModuleInterface::fromFile(PluginFixture::modulePath(QStringLiteral("virtual.json")), &error));
    QVERIFY2(m_module, qPrintable(error));
}

QList<TConstant> tst_ExampleFiles::constantsOf(const QString& file)
{
    Assembler a;
    a.SetHeadless(true);
    bool error = true;
    a.DoAsm(QStringLiteral("#include \"%1\"\nSTOP\n").arg(file), false, false, false, false, examplesPath(), error);
    if (error)
        qWarning() << a.LastError().Message << a.LastError().Line;
    return error ? QList<TConstant>() : a.Constants();
}

void tst_ExampleFiles::assembleAsIncludes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("value");
    QTest::newRow("parameters") << "KROLParam.kro" << "AP_TARGET_VELOCITY" << 2.0;
    QTest::newRow("interrupts: first") << "Interrupts.inc" << "TI_TIMER0" << 0.0;
    QTest::newRow("interrupts: right stop 5") << "Interrupts.inc" << "TI_STOPRIGHT5" << 38.0;
    QTest::newRow("interrupts: input 7") << "Interrupts.inc" << "TI_INPUT7" << 46.0;
    QTest::newRow("interrupts: global") << "Interrupts.inc" << "TI_GLOBAL" << 255.0;
}

void tst_ExampleFiles::assembleAsIncludes()
{
    QFETCH(QString, file);
    QFETCH(QString, name);
    QFETCH(double, value);
    const QList<TConstant> constants = constantsOf(file);
    QVERIFY(!constants.isEmpty());
    auto it = std::find_if(constants.begin(), constants.end(), [&](const TConstant& c) { return c.Name == name; });
    QVERIFY(it != constants.end());
    QCOMPARE(it->Value, value);
    if (file == QLatin1String("Interrupts.inc")) {
        // Every vector the virtual module knows, and nothing else.
        QCOMPARE(constants.size(), m_module->getParameterMapByName(QStringLiteral("irq"))->size());
        for (const TConstant& c : constants)
            QCOMPARE(m_module->getParameter(QStringLiteral("irq"), QStringLiteral("par::") + c.Name).number,
                     int(c.Value));
    }
}

// Each constant line says which map and parameter it stands for: "NAME = 2 // axis0 par::Key".
void tst_ExampleFiles::parameterConstantsMatchTheVirtualModule()
{
    QFile file(examplesPath() + QStringLiteral("/KROLParam.kro"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QRegularExpression parameter(QStringLiteral(R"(^(\w+)\s*=\s*(\d+)\s*//\s*(\w+) (par::.+)$)"));
    const QRegularExpression axis(QStringLiteral(R"(^AXIS(\d+)\s*=\s*(\d+)$)"));
    int parameters = 0;
    int axes = 0;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1String("//")))
            continue;
        const QRegularExpressionMatch p = parameter.match(line);
        const QRegularExpressionMatch a = axis.match(line);
        QVERIFY2(p.hasMatch() || a.hasMatch(), qPrintable(line));
        if (a.hasMatch()) {
            QCOMPARE(a.captured(1), a.captured(2));
            QVERIFY(a.captured(2).toInt() < m_module->numberOfAxes());
            ++axes;
            continue;
        }
        QVERIFY2(m_module->hasParameter(p.captured(3), p.captured(4)), qPrintable(line));
        QCOMPARE(m_module->getParameter(p.captured(3), p.captured(4)).number, p.captured(2).toInt());
        ++parameters;
    }
    QCOMPARE(axes, m_module->numberOfAxes());
    QCOMPARE(parameters, constantsOf(QStringLiteral("KROLParam.kro")).size() - axes);
}

void tst_ExampleFiles::everyAxisParameterHasAConstant()
{
    QFile file(examplesPath() + QStringLiteral("/KROLParam.kro"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(file.readAll());
    const ParameterMap* map = m_module->getParameterMapByName(QStringLiteral("axis0"));
    for (auto it = map->constBegin(); it != map->constEnd(); ++it)
        QVERIFY2(text.contains(QStringLiteral("// axis0 ") + it.key() + QLatin1Char('\n')), qPrintable(it.key()));
}

QTEST_MAIN(tst_ExampleFiles)
#include "tst_examplefiles.moc"
