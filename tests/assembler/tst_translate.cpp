#include "Assembler.h"

#include <QtTest>

// Translation of single lines, run through a whole assembly so that labels, constants and
// the line numbers of errors take part as they do for users.
class tst_Translate : public QObject
{
    Q_OBJECT

private slots:
    void instruction_data();
    void instruction();
    void error_data();
    void error();
    void stripComment_data();
    void stripComment();
    void parameterString_data();
    void parameterString();
    void waitEventsFromModule();
    void fileNameOnFirstInstructionOnly();
};

// The last line of the source is the one under test; earlier lines may define labels and
// constants (a label DEST is always defined at the end so that jumps resolve).
static QList<TInstruction> assemble(const QString& source, CAsmError* error = nullptr)
{
    Assembler a;
    a.SetHeadless(true);
    a.SetSourceFile(QString(), QStringLiteral("t.kro"), 0);
    bool failed = false;
    a.DoAsm(source + QStringLiteral("\nDEST:"), false, false, false, false, QString(), failed);
    if (error)
        *error = a.LastError();
    QList<TInstruction> program;
    a.GetAsmResult(&program);
    return program;
}

void tst_Translate::instruction_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("opcode");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("motor");
    QTest::addColumn<qlonglong>("value");

    QTest::newRow("STOP") << "STOP" << 28 << 0 << 0 << 0LL;
    QTest::newRow("lower case") << "ror 1, 500" << 1 << 0 << 1 << 500LL;
    QTest::newRow("trailing comma") << "ROR 0, 100," << 1 << 0 << 0 << 100LL;
    QTest::newRow("type up to 4095") << "SAP 4095, 0, 1" << 5 << 4095 << 0 << 1LL;
    QTest::newRow("type 300 kept whole") << "GAP 300, 2" << 6 << 300 << 2 << 0LL;
    QTest::newRow("min value") << "MVP ABS, 0, -2147483648" << 4 << 0 << 0 << -2147483648LL;
    QTest::newRow("max value") << "MVP REL, 0, 4294967295" << 4 << 1 << 0 << 4294967295LL;
    QTest::newRow("move mode numeral") << "MVP 1, 0, 5" << 4 << 1 << 0 << 5LL;
    QTest::newRow("RELCOORD") << "MVP RELCOORD, 1, 5" << 4 << 3 << 1 << 5LL;
    QTest::newRow("value truncated") << "MVP ABS, 0, 2.9" << 4 << 0 << 0 << 2LL;
    QTest::newRow("negative value truncated") << "MVP ABS, 0, -2.9" << 4 << 0 << 0 << -2LL;
    QTest::newRow("RFS STATUS") << "RFS STATUS, 2" << 13 << 2 << 2 << 0LL;
    QTest::newRow("RFS numeral") << "RFS 1, 0" << 13 << 1 << 0 << 0LL;
    QTest::newRow("WAIT TICKS") << "WAIT TICKS, 0, 100" << 27 << 0 << 0 << 100LL;
    QTest::newRow("WAIT RFS") << "WAIT RFS, 1, 0" << 27 << 4 << 1 << 0LL;
    QTest::newRow("JC resolves label") << "JC GE, DEST" << 21 << 5 << 0 << 1LL;
    QTest::newRow("CALL ESD") << "CALL ESD, DEST" << 80 << 12 << 0 << 1LL;
    QTest::newRow("CALCX SWAP") << "CALCX SWAP" << 33 << 10 << 0 << 0LL;
    QTest::newRow("CALCV COMP") << "CALCV COMP, 3, 7" << 45 << 11 << 3 << 7LL;
    QTest::newRow("CALCVV byte value") << "CALCVV MUL, 255, 255" << 40 << 2 << 255 << 255LL;
    QTest::newRow("CLE EDV") << "CLE EDV" << 36 << 3 << 0 << 0LL;
    QTest::newRow("SAPX has no motor") << "SAPX 4, 1000" << 16 << 4 << 0 << 1000LL;
    QTest::newRow("VECT") << "VECT 3, DEST" << 37 << 3 << 0 << 1LL;
    QTest::newRow("DJNZ") << "DJNZ 2, DEST" << 49 << 2 << 0 << 1LL;
    QTest::newRow("UF7") << "UF7 1, 2, 3" << 71 << 1 << 2 << 3LL;
    QTest::newRow("UF15") << "UF15 0, 0, 0" << 79 << 0 << 0 << 0LL;
    QTest::newRow("underscore label") << "_LOOP2:\nJA _LOOP2" << 22 << 0 << 0 << 0LL;
    QTest::newRow("label before instruction") << "LOOP: ROR 0, 100" << 1 << 0 << 0 << 100LL;
    QTest::newRow("label may be a constant's name") << "X = 2\nX: JA X" << 22 << 0 << 0 << 0LL;
    QTest::newRow("constant operands") << "V = 1000\nSAP 4, 0, V * 2" << 5 << 4 << 0 << 2000LL;
    QTest::newRow("hex in lower-case source") << "SAP 4, 0, $ff" << 5 << 4 << 0 << 255LL;
    QTest::newRow("comment removed") << "ROR 0, 100 // fast" << 1 << 0 << 0 << 100LL;
    QTest::newRow("CODE") << "CODE 1, 0, 0, -1" << 1 << 0 << 0 << -1LL;
    QTest::newRow("CODE value out of 32 bits") << "CODE 1, 0, 0, 1E300" << 1 << 0 << 0 << -2147483648LL;
    QTest::newRow("CODEB") << "CODEB 5, 4, 0, 0, 0, 3, 232" << 5 << 4 << 0 << 1000LL;
    QTest::newRow("CODEB sign") << "CODEB 5, 4, 0, 255, 255, 255, 254" << 5 << 4 << 0 << -2LL;
    QTest::newRow("NaN value") << "ROR 0, 0/0" << 1 << 0 << 0 << 0LL;
}

void tst_Translate::instruction()
{
    QFETCH(QString, source);
    CAsmError error;
    const QList<TInstruction> program = assemble(source, &error);
    QVERIFY2(!program.isEmpty(), qPrintable(error.Message));
    const TInstruction& ins = program.last();
    QTEST(int(ins.Opcode), "opcode");
    QTEST(int(ins.Type), "type");
    QTEST(int(ins.Motor), "motor");
    QTEST(qlonglong(ins.Value), "value");
    QCOMPARE(ins.Line, source.count('\n') + 1);
    QVERIFY(!ins.BreakpointFlag);
}

void tst_Translate::error_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("line");

    QTest::newRow("too many for STOP") << "STOP 1" << "Too many parameters" << 1;
    QTest::newRow("too many for ROR") << "ROR 0, 1, 2" << "Too many parameters" << 1;
    QTest::newRow("too many after label") << "JA DEST, 1" << "Too many parameters" << 1;
    QTest::newRow("missing value") << "ROR 0" << "Missing parameter" << 1;
    QTest::newRow("empty middle operand") << "ROR 0,,100" << "Missing parameter" << 1;
    QTest::newRow("missing type") << "\nSAP" << "Missing parameter" << 2;
    QTest::newRow("type above 4095") << "SAP 4096, 0, 1" << "Parameter out of range" << 1;
    QTest::newRow("negative type") << "SAP -1, 0, 1" << "Parameter out of range" << 1;
    QTest::newRow("motor above 255") << "ROR 256, 1" << "Parameter out of range" << 1;
    QTest::newRow("value below range") << "MVP ABS, 0, -2147483649" << "Parameter value out of range" << 1;
    QTest::newRow("value above range") << "MVP REL, 0, 4294967296" << "Parameter value out of range" << 1;
    QTest::newRow("infinite value") << "ROR 0, 1/0" << "Parameter value out of range" << 1;
    QTest::newRow("byte value") << "CALCVV ADD, 0, 256" << "Parameter out of range" << 1;
    QTest::newRow("move mode expression") << "MVP 0+1, 0, 5" << "Parameter must be ABS, REL, COORD or RELCOORD" << 1;
    QTest::newRow("rfs mode") << "RFS GO, 0" << "Parameter must be START, STOP or STATUS" << 1;
    QTest::newRow("wait event") << "WAIT FOREVER, 0, 0" << "Invalid WAIT event" << 1;
    QTest::newRow("condition") << "JC XX, DEST" << "Invalid JC condition" << 1;
    QTest::newRow("calc") << "CALC SWAP, 1" << "Invalid CALC operation" << 1;
    QTest::newRow("calcx") << "CALCX FOO" << "Invalid CALCX operation" << 1;
    QTest::newRow("calcxx") << "CALCVA FOO, 1" << "Invalid CALCxx operation" << 1;
    QTest::newRow("calcv placeholder") << "CALCV !!!, 0, 1" << "Invalid CALCV operation" << 1;
    QTest::newRow("calcv swap") << "CALCV SWAP, 0, 1" << "Invalid CALCV operation" << 1;
    QTest::newRow("cle") << "CLE ZE" << "Invalid CLE error code" << 1;
    QTest::newRow("keyword as constant") << "K = 1\nCALC K, 1" << "Invalid CALC operation" << 2;
    QTest::newRow("numeric jump target") << "JA 12" << "Invalid label name" << 1;
    QTest::newRow("label in numeric operand") << "LOOP: SAP 4, 0, LOOP" << "Undefined name" << 1;
    QTest::newRow("unknown instruction") << "PUSHA" << "Unknown instruction" << 1;
    QTest::newRow("code opcode range") << "CODE 1, 256, 0, 0" << "Parameter out of range" << 1;
    QTest::newRow("code NaN opcode") << "CODE 0/0, 0, 0, 0" << "Parameter out of range" << 1;
    QTest::newRow("code missing value") << "CODE 1, 0, 0" << "Missing parameter" << 1;
    QTest::newRow("code too many") << "CODE 1, 0, 0, 0, 0" << "Too many parameters" << 1;
    QTest::newRow("codeb byte range") << "CODEB 1, 0, 0, 0, 0, 0, -1" << "Parameter out of range" << 1;
    QTest::newRow("codeb too many") << "CODEB 1, 0, 0, 0, 0, 0, 0, 0" << "Too many parameters" << 1;
    QTest::newRow("codeb expression error") << "\n\nCODEB 1, 0, 0, 0, 0, 0, (" << "Syntax error in numerical expression" << 3;
    QTest::newRow("colon first") << ":ROR 0, 1" << "Syntax error" << 1;
    QTest::newRow("space before colon") << "LOOP : ROR 0, 1" << "Syntax error" << 1;
    QTest::newRow("label starting with digit") << "1LOOP: STOP" << "Syntax error" << 1;
    QTest::newRow("label defined twice") << "LOOP: STOP\nLOOP: STOP" << "Label already defined" << 2;
    QTest::newRow("evaluator message passes through") << "ROR 0, FOO" << "Undefined name" << 1;
}

void tst_Translate::error()
{
    QFETCH(QString, source);
    CAsmError error;
    const QList<TInstruction> program = assemble(source, &error);
    QVERIFY(program.isEmpty());
    QTEST(error.Message, "message");
    QTEST(error.Line, "line");
}

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
    const QList<TInstruction> program = assemble("X = 1\nROR 0, 1\nROL 0, 1");
    QCOMPARE(program.size(), 2);
    QCOMPARE(program.at(0).FileName, QStringLiteral("t.kro"));
    QCOMPARE(program.at(0).FileIndex, 0);
    QVERIFY(program.at(1).FileName.isEmpty());
}

QTEST_MAIN(tst_Translate)
#include "tst_translate.moc"
