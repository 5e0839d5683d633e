#include "Assembler.h"
#include "CaseFile.h"
#include "MemorySourceFiles.h"
#include "TestData.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

// Whole assemblies: passes, includes, constants, labels, the final STOP, messages, throwback
// and the output files.
class tst_Assembler : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void runs_data();
    void runs();
    void appendStop_data();
    void appendStop();
    void includes();
    void includeFromEditorPage();
    void includeFromHomePath();
    void includesFromMemory();
    void binaryFile();
    void symbolFile();
    void outputNames_data();
    void outputNames();
    void closeRefusedWhileBusy();
    void eventsArePaced();

private:
    ScratchDir m_dir;
};

namespace {

// One assembly without range checks; the program, or nothing when it failed (a program that
// assembles always has an instruction).
QList<TInstruction> run(Assembler& a, const QString& source, bool appendStop = false, bool bin = false,
                        bool sym = false, const QString& includePath = QString())
{
    bool error = true;
    a.DoAsm(source, appendStop, bin, sym, false, includePath, error);
    QList<TInstruction> program;
    if (!error)
        a.GetAsmResult(&program);
    return program;
}

} // namespace

// The include files the cases of assembler-runs.cases name.
void tst_Assembler::init()
{
    QVERIFY(m_dir.reset());
    m_dir.write("bad.inc", "STOP\nFOO 1\n");
    m_dir.write("self.inc", "#include self.inc\n");
    m_dir.write("ping.inc", "#include pong.inc\n");
    m_dir.write("pong.inc", "#include ping.inc\n");
    m_dir.write("ok.inc", "ROR 0, 1\n");
    for (int k = 1; k < 10; ++k) {
        const QByteArray next = "#include twice" + QByteArray::number(k + 1) + ".inc\n";
        m_dir.write("twice" + QString::number(k) + ".inc", next + next);
    }
    m_dir.write("twice10.inc", "ROR 0, 1\n");
    QVERIFY(QDir(m_dir.path()).mkdir("sub"));
}

// tests/cases/assembler-runs.cases, and a source a text file cannot show well.
void tst_Assembler::runs_data()
{
    if (!AddCaseRows("assembler-runs.cases"))
        return;
    QTest::newRow("crlf and tabs") << QStringList{"ROR\t0,\t1\r", "STOP\r", ""} << QStringList{"Successful! 2 instructions"};
    QTest::newRow("included too often") << QString("#include ok.inc\n").repeated(257).split('\n')
                                        << QStringList{"Include file included too often in line 257."};
}

void tst_Assembler::runs()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    const QString source = body.join('\n');
    const QRegularExpressionMatch expected = QRegularExpression("^(.*?)(?: (\\d+) instructions)?$").match(results.value(0));
    const int instructions = expected.captured(2).isEmpty() ? -1 : expected.captured(2).toInt();
    m_dir.write("main.kro", source.toUtf8());
    Assembler a;
    a.SetSourceFile(m_dir.path() + "/", "main.kro", 2);
    QSignalSpy throwback(&a, &Assembler::Throwback);
    const QList<TInstruction> program = run(a, source);   // an empty result after errors: tst_translate
    const bool error = program.isEmpty();
    QCOMPARE(a.findChild<QLabel*>("LblAsmMessage")->text(), expected.captured(1));
    QCOMPARE(program.size(), qMax(instructions, 0));
    QCOMPARE(throwback.size(), error ? 1 : 0);
    if (error) {
        // The throwback names main.kro (and its page), or the include file "-> in FILE" names.
        const QString file = results.value(1).startsWith("in /") ? m_dir.path() + results[1].mid(3) : "main.kro";
        QCOMPARE(throwback.at(0).at(1).toString(), file);
        QCOMPARE(throwback.at(0).at(0).toInt(), file == "main.kro" ? 2 : -1);
        QCOMPARE(throwback.at(0).at(2).toInt(), a.LastError().Line);
    } else {
        const int lines = source.count('\n') + 1;
        QCOMPARE(a.findChild<QLabel*>("LblActualLine")->text(), QString("Total lines: %1").arg(lines));
        QCOMPARE(a.findChild<QLabel*>("LblTotalInstructions")->text(),
                 QString("Total instructions: %1").arg(instructions));
    }
    QVERIFY(a.findChild<QPushButton*>("BtnClose")->isEnabled());
}

void tst_Assembler::appendStop_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("lastLine");
    QTest::newRow("ends in STOP") << "ROR 0, 1\nSTOP" << 2 << 2;
    QTest::newRow("ends in ROR") << "ROR 0, 1\nROR 0, 100\n" << 3 << 4;
}

void tst_Assembler::appendStop()
{
    QFETCH(QString, source);
    Assembler a;
    a.SetSourceFile(QString(), "p.kro", 1);
    const QList<TInstruction> program = run(a, source, true);
    QTEST(program.size(), "size");
    QCOMPARE(int(program.last().Opcode), 28);
    QTEST(program.last().Line, "lastLine");
    QCOMPARE(program.last().FileIndex, 1);
}

void tst_Assembler::includes()
{
    m_dir.write("inner.inc", "SPEED = 500\nIN: ROR 0, SPEED\n");
    m_dir.write("outer.inc", "#include inner.inc\nMST 0\n");
    m_dir.write("dir with space/x.inc", "ROL 1, 2\n");
    Assembler a;
    a.SetSourceFile(m_dir.path() + "/", "main.kro", 0);
    const QList<TInstruction> p = run(a, "ROR 0, 1\n#include outer.inc\nSTOP\n#INCLUDE \"dir with space/x.inc\"\nJA IN");
    QCOMPARE(p.size(), 6);
    QCOMPARE(p.at(0).FileName, QStringLiteral("main.kro"));
    QCOMPARE(p.at(1).FileName, m_dir.path() + "/inner.inc");
    QCOMPARE(p.at(1).Line, 2);
    QCOMPARE(p.at(1).Value, 500);
    QCOMPARE(p.at(2).FileName, m_dir.path() + "/outer.inc");   // back in the including file
    QCOMPARE(p.at(2).Line, 2);
    QCOMPARE(p.at(3).FileName, QStringLiteral("main.kro"));
    QCOMPARE(p.at(3).Line, 3);
    QCOMPARE(p.at(4).Opcode, uint8_t(2));
    QCOMPARE(p.at(5).Value, 1);   // label IN from the inner file
    const QList<int> indices{0, -1, -1, 0, -1, 0};
    for (int i = 0; i < p.size(); ++i)
        QCOMPARE(p.at(i).FileIndex, indices.at(i));
}

void tst_Assembler::includeFromEditorPage()
{
    Assembler a;
    a.SetSourceFile(QString(), QString(), 0);
    connect(&a, &Assembler::GetEditorFile,
            [](QString name, bool& found, QString& text, int& index) {
                if (name == "consts.inc") {
                    found = true;
                    text = "N = 7\nCOMP N";
                    index = 3;
                }
            });
    const QList<TInstruction> p = run(a, "#include consts.inc\nROR 0, N", false, true, true);
    QCOMPARE(p.size(), 2);
    QCOMPARE(p.at(0).FileIndex, 3);
    QCOMPARE(p.at(0).FileName, QStringLiteral("consts.inc"));
    QCOMPARE(p.at(1).FileIndex, 0);
    QCOMPARE(p.at(1).Value, 7);
}

void tst_Assembler::includeFromHomePath()
{
    const QString home = qEnvironmentVariable("KROL_HOME");
    QVERIFY(!home.isEmpty());
    WriteTestFile(home + "/KROL-Script/homeonly.inc", "H = 3\n");
    Assembler a;
    a.SetSourceFile(m_dir.path() + "/", "m.kro", -1);
    QVERIFY2(!run(a, "#include homeonly.inc\nROR 0, H").isEmpty(), qPrintable(a.LastError().Message));
    // The include-path option puts its directory in front of the name.
    m_dir.write("lib/opt.inc", "O = 4\n");
    QVERIFY2(!run(a, "#include opt.inc\nROR 0, O", false, false, false, m_dir.path() + "/lib").isEmpty(),
             qPrintable(a.LastError().Message));
}

// The engine alone, with every text in memory: an open page wins over a file of the same name,
// the main file's folder is searched, a cycle is found by identity, and the disk is never read.
void tst_Assembler::includesFromMemory()
{
    MemorySourceFiles files;
    files.addFile("/mem/main.kro", "");
    files.addFile("/mem/lib.inc", "L = 2\n#include page.inc\n");
    files.addFile("page.inc", "P = 99\n");
    files.addPage("page.inc", "P = 5\n", 4);
    files.addFile("/mem/loop.inc", "#include /mem/loop.inc\n");
    m_dir.write("disk.inc", "ROR 0, 1\n");
    AssemblerEngine engine;
    engine.SetSourceFiles(&files);
    engine.SetSourceFile("/mem/", "main.kro", -1);

    QVERIFY(engine.Run("#include lib.inc\nROR L, P", false, false, false, false, QString()));
    QCOMPARE(engine.Program().at(0).Motor, 2);
    QCOMPARE(engine.Program().at(0).Value, 5);

    QVERIFY(!engine.Run("#include loop.inc", false, false, false, false, QString()));
    QCOMPARE(engine.LastError().Message, QStringLiteral("Include file includes itself"));
    QCOMPARE(engine.LastError().FileName, QStringLiteral("/mem/loop.inc"));
    QVERIFY(!engine.Run("#include main.kro", false, false, false, false, QString()));
    QCOMPARE(engine.LastError().Message, QStringLiteral("Include file includes itself"));
    QVERIFY(!engine.Run("#include " + m_dir.path() + "/disk.inc", false, false, false, false,
                        QString()));
    QCOMPARE(engine.LastError().Message, QStringLiteral("Include file not found"));
}

void tst_Assembler::binaryFile()
{
    Assembler a;
    a.SetSourceFile(m_dir.path() + "/", "prog.kro", 0);
    QVERIFY(!run(a, "ROR 0, 1000\nSAP 4, 1, -1\nSAP 300, 0, 0", false, true).isEmpty());
    QFile bin(m_dir.filePath("prog.bin"));
    QVERIFY(bin.open(QIODevice::ReadOnly));
    const QByteArray expected = QByteArray::fromHex("01000000 0003e8ec"
                                                    "050401ff ffffff06"
                                                    "052c0000 00000031");
    QCOMPARE(bin.readAll().toHex(), expected.toHex());
}

void tst_Assembler::symbolFile()
{
    Assembler a;
    a.SetSourceFile(m_dir.path() + "/", "prog.kro", 0);
    const QString source = "STOP\nSTOP\nLOOP: STOP\n" + QString("A%1: STOP\n").arg(QString(31, 'B'));
    QVERIFY(!run(a, source, false, false, true).isEmpty());   // a label of 33 characters with its colon
    QFile sym(m_dir.filePath("prog.sym"));
    QVERIFY(sym.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = sym.readAll().split('\n');
    QCOMPARE(lines.size(), 7);
    QVERIFY(lines.at(0).startsWith("KROL Symbol File (prog.sym "));
    QVERIFY(QRegularExpression("^KROL Symbol File \\(prog\\.sym \\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d\\)$")
                .match(QString(lines.at(0))).hasMatch());
    QCOMPARE(lines.at(1), QByteArray());
    QCOMPARE(lines.at(2), "Label" + QByteArray(36, ' ') + "Address (dec)");
    QCOMPARE(lines.at(3), QByteArray(54, '-'));
    QCOMPARE(lines.at(4), "LOOP:" + QByteArray(28, ' ') + QByteArray(19, ' ') + "2");
    QCOMPARE(lines.at(4).size(), 53);
    QCOMPARE(lines.at(5), "A" + QByteArray(31, 'B') + ":" + QByteArray(19, ' ') + "3");
    QCOMPARE(lines.at(6), QByteArray());
}

void tst_Assembler::outputNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("two dots") << "prog.old.kro" << QStringList{"prog.bin", "prog.sym"};
    QTest::newRow("never saved") << "" << QStringList{};
}

void tst_Assembler::outputNames()
{
    QFETCH(QString, name);
    QVERIFY(QDir(m_dir.path()).mkdir("out"));
    Assembler a;
    a.SetSourceFile(m_dir.filePath("out/"), name, 0);
    QVERIFY(!run(a, "STOP", false, true, true).isEmpty());
    QTEST(QDir(m_dir.filePath("out")).entryList(QDir::Files, QDir::Name), "files");
}

void tst_Assembler::closeRefusedWhileBusy()
{
    Assembler a;
    a.show();
    bool closedDuringRun = false;
    // A close request arrives while busy, from the include lookup in pass 1.
    connect(&a, &Assembler::GetEditorFile, [&](QString, bool&, QString&, int&) {
        closedDuringRun = a.close();
    });
    run(a, "#include x.inc");
    QVERIFY(!closedDuringRun);
    QVERIFY(a.isVisible());
    QVERIFY(a.close());
}

// A long run lets the window breathe at once and then now and then, not after every line, and
// ends showing the last line and instruction count.
void tst_Assembler::eventsArePaced()
{
    Assembler a;
    a.show();
    int passes = 0;   // a zero timer fires once in every pass of the event loop
    QTimer counter;
    connect(&counter, &QTimer::timeout, [&passes] { ++passes; });
    counter.start(0);
    const int lines = 20000;
    QCOMPARE(run(a, QStringLiteral("ROR 0, 1\n").repeated(lines)).size(), lines);
    counter.stop();
    QVERIFY(passes >= 1);
    QVERIFY2(passes < lines / 10, qPrintable(QString::number(passes)));
    QCOMPARE(a.findChild<QLabel*>("LblActualLine")->text(), QString("Total lines: %1").arg(lines + 1));
    QCOMPARE(a.findChild<QLabel*>("LblTotalInstructions")->text(), QString("Total instructions: %1").arg(lines));

    run(a, QStringLiteral("ROR 0, 1\n").repeated(lines) + "JA NOWHERE");
    QCOMPARE(a.findChild<QLabel*>("LblActualLine")->text(), QString("Actual line: %1").arg(lines + 1));
    QCOMPARE(a.findChild<QLabel*>("LblTotalInstructions")->text(), QString("Total instructions: %1").arg(lines + 1));
}

QTEST_MAIN(tst_Assembler)
#include "tst_assembler.moc"
