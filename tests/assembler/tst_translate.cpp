#include "Assembler.h"

#include <QtTest>

// The text operations of translation; lines and their words or errors are cases in
// tests/cases/translate.cases (tst_cases).
class tst_Translate : public QObject
{
    Q_OBJECT

private slots:
    void stripComment_data();
    void stripComment();
    void parameterString_data();
    void parameterString();
    void waitEventsFromModule();
    void fileNameOnFirstInstructionOnly();
};

void tst_Translate::stripComment_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("result");
    QTest::newRow("none") << "ROR 0, 1" << "ROR 0, 1";
    QTest::newRow("trailing") << "ROR 0, 1 // go" << "ROR 0, 1 ";
    QTest::newRow("whole line") << "// all" << "";
    QTest::newRow("first of two") << "A // b // c" << "A ";
    QTest::newRow("single slash stays") << "X = 4/2" << "X = 4/2";
}

void tst_Translate::stripComment()
{
    QFETCH(QString, line);
    Assembler a;
    QTEST(a.StripComment(line), "result");
}

void tst_Translate::parameterString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("error");

    QTest::newRow("plain") << "#include file.inc" << 8 << 1 << "file.inc" << false;
    QTest::newRow("quoted with space") << "#include \"my file.inc\"" << 8 << 1 << "my file.inc" << false;
    QTest::newRow("second word") << "#include a b" << 8 << 2 << "b" << false;
    QTest::newRow("after quoted word") << "#include \"a b\" c" << 8 << 2 << "c" << false;
    QTest::newRow("unclosed quote") << "#include \"a b" << 8 << 1 << "a b" << true;
    QTest::newRow("quote inside word") << "#include ab\"c" << 8 << 1 << "ab" << true;
    QTest::newRow("missing word") << "#include" << 8 << 1 << "" << false;
    QTest::newRow("no space found") << "#includefile" << -1 << 1 << "#includefile" << false;
}

void tst_Translate::parameterString()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, index);
    bool error = true;   // the call must reset it
    QTEST(Assembler::GetParameterString(text, start, index, error), "result");
    QTEST(error, "error");
}

void tst_Translate::waitEventsFromModule()
{
    Assembler a;
    a.SetHeadless(true);
    TRangeSettings r;
    TParameterDescriptor ev;
    ev.Number = 9;
    ev.Name = "INPUT";
    r.WaitEventList = {ev};
    a.SetRanges(r);
    bool failed = true;
    a.DoAsm("WAIT INPUT, 0, 5", false, false, false, false, QString(), failed);
    QVERIFY(!failed);
    QList<TInstruction> program;
    a.GetAsmResult(&program);
    QCOMPARE(int(program.at(0).Type), 9);
    a.DoAsm("WAIT TICKS, 0, 5", false, false, false, false, QString(), failed);
    QVERIFY(failed);
    QCOMPARE(a.LastError().Message, QStringLiteral("Invalid WAIT event"));

    // An empty list falls back to the default events.
    a.SetRanges(TRangeSettings());
    a.DoAsm("WAIT LIMSW, 0, 5", false, false, false, false, QString(), failed);
    QVERIFY(!failed);
    a.GetAsmResult(&program);
    QCOMPARE(int(program.at(0).Type), 3);
}

void tst_Translate::fileNameOnFirstInstructionOnly()
{
    Assembler a;
    a.SetHeadless(true);
    a.SetSourceFile(QString(), QStringLiteral("t.kro"), 0);
    bool failed = true;
    a.DoAsm(QStringLiteral("X = 1\nROR 0, 1\nROL 0, 1"), false, false, false, false, QString(), failed);
    QVERIFY(!failed);
    QList<TInstruction> program;
    a.GetAsmResult(&program);
    QCOMPARE(program.size(), 2);
    QCOMPARE(program.at(0).FileName, QStringLiteral("t.kro"));
    QCOMPARE(program.at(0).FileIndex, 0);
    QVERIFY(program.at(1).FileName.isEmpty());
}

QTEST_MAIN(tst_Translate)
#include "tst_translate.moc"
