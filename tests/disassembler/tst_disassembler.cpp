#include "TestData.h"
#include "Assembler.h"
#include "CaseFile.h"
#include "Disassembler.h"
#include "Globals.h"
#include "ModuleCommands.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(QList<TInstruction>)

namespace {

const QString Pad(10, ' ');

// The lines after the header, or the error text.
QStringList Body(QList<TInstruction> program, const TParameterList& events = {})
{
    Disassembler dialog(events);
    QString text = "untouched";
    if (!dialog.DoDisAsm(&program, &text, true))
        return {text + ": " + dialog.findChild<QLabel*>("LblDisAsmMessage")->text()};
    QStringList lines = text.split('\n');
    if (!lines.last().isEmpty() || !lines.first().startsWith("//KROL disassembly at "))
        return {"bad header or end: " + text};
    return lines.mid(1, lines.size() - 2);
}

// The layout rule as worded: blank lines inserted into the list while walking it.
QStringList InsertBlanks(QStringList lines)
{
    for (int i = 1; i < lines.size(); ++i) {
        QString check = lines.at(i - 1);
        if (i >= 2 && lines.at(i).contains(':')) {
            lines.insert(i, QString());
            check = lines.at(i++);
        }
        if (check.contains("RSUB") || check.contains("RETI"))
            lines.insert(i, QString());
    }
    return lines;
}

TParameterDescriptor Event(int number, const QString& name)
{
    TParameterDescriptor event;
    event.Number = number;
    event.Name = name;
    return event;
}

} // namespace

class tst_Disassembler : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void layoutMatchesInsertion();
    void closeWhenDone_data();
    void closeWhenDone();
    void refusesToCloseWhileBusy();
    void programChangedMeanwhile();
    void roundTrip();
};

// tests/cases/disassemble.cases: program words and the lines after the header, or the error
// ("error: MESSAGE"; the text stays as it was). A long program is added here.
void tst_Disassembler::lines_data()
{
    if (!AddCaseRows("disassemble.cases"))
        return;
    QStringList long120 = QVector<QString>(120, "MST").toList();
    long120[0] = "VECT 3 0 100";
    QStringList lines120 = QVector<QString>(120, Pad + "MST 0").toList();
    lines120[0] = Pad + "VECT 3, Lbl100";
    lines120[100] = "Lbl100:   MST 0";
    lines120.insert(100, QString());
    QTest::newRow("three-digit label") << long120 << lines120;
}

void tst_Disassembler::lines()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    QList<TInstruction> program;
    for (const QString& line : body) {
        program.append(TInstruction());
        QVERIFY2(ParseCaseWord(line, &program.last()), qPrintable("not a program word: " + line));
    }
    if (results == QStringList{"(no lines)"})
        results.clear();
    else if (results.value(0).startsWith("error: "))
        results[0].replace(0, 6, "untouched:");
    QCOMPARE(Body(program), results);
}

// Every program of up to four lines of the kinds that matter, with jumps after them to the
// labelled ones, gets the same blank lines as inserting them one by one. Event names put a ':'
// or an "RSUB" into unlabelled lines and a run of spaces into a labelled line.
void tst_Disassembler::layoutMatchesInsertion()
{
    struct Kind
    {
        TInstruction instruction;
        QString text;   // without the label
        bool labelled;
    };
    const QList<Kind> kinds{
        {MakeInstruction(Opcode::MST), Pad + "MST 0", false},
        {MakeInstruction(Opcode::RSUB), Pad + "RSUB ", false},
        {MakeInstruction(Opcode::RETI), Pad + "RETI ", false},
        {MakeInstruction(Opcode::WAIT, 7), Pad + "WAIT X:Y, 0, 0", false},
        {MakeInstruction(Opcode::WAIT, 8), Pad + "WAIT TRSUBT, 0, 0", false},
        {MakeInstruction(Opcode::MST), "MST 0", true},
        {MakeInstruction(Opcode::RSUB), "RSUB", true},
        {MakeInstruction(Opcode::WAIT, 9), "WAIT A B, 0, 0", true},
    };
    Disassembler dialog({Event(7, "X:Y"), Event(8, "TRSUBT"), Event(9, "A  B")});
    for (int c = 0; c < 1 + 8 + 64 + 512 + 4096; ++c) {
        QList<TInstruction> program;
        QStringList lines;
        QList<int> targets;
        for (int rest = c; rest > 0; rest = (rest - 1) / 8) {
            const Kind& kind = kinds.at((rest - 1) % 8);
            if (kind.labelled) {
                targets.append(program.size());
                lines.append(QString("Lbl%1:").arg(program.size()).leftJustified(10) + kind.text);
            } else {
                lines.append(kind.text);
            }
            program.append(kind.instruction);
        }
        for (int target : targets) {
            program.append(MakeInstruction(Opcode::JA, 0, 0, target));
            lines.append(Pad + "JA Lbl" + QString::number(target));
        }
        QString text;
        QVERIFY(dialog.DoDisAsm(&program, &text, false));
        const QStringList got = text.split('\n').mid(1, -1);
        if (got.mid(0, got.size() - 1) != InsertBlanks(lines))
            QFAIL(qPrintable(lines.join(" | ") + "\ngot: " + got.join(" | ")));
    }
}

void tst_Disassembler::closeWhenDone_data()
{
    QTest::addColumn<bool>("closeWhenDone");
    QTest::addColumn<int>("opcode");
    QTest::addColumn<QString>("message");
    QTest::newRow("success, close") << true << int(Opcode::STOP) << "Successful!";
    QTest::newRow("success, stay") << false << int(Opcode::STOP) << "Successful!";
    QTest::newRow("error, close") << true << 0 << "Unknown opcode at address 0";
    QTest::newRow("error, stay") << false << 0 << "Unknown opcode at address 0";
}

void tst_Disassembler::closeWhenDone()
{
    QFETCH(bool, closeWhenDone);
    QFETCH(int, opcode);
    Disassembler dialog({});
    auto* ok = dialog.findChild<QPushButton*>("BtnOK");
    QVERIFY(!ok->isEnabled());
    dialog.show();
    QList<TInstruction> program{MakeInstruction(opcode), MakeInstruction(opcode)};
    QString text;
    dialog.DoDisAsm(&program, &text, closeWhenDone);
    QTEST(dialog.findChild<QLabel*>("LblDisAsmMessage")->text(), "message");
    QCOMPARE(dialog.findChild<QLabel*>("LblDisAsmInstructions")->text(),
             QString(opcode ? "Total instructions: 2" : "Total instructions:"));
    QVERIFY(ok->isEnabled());
    QCOMPARE(dialog.isVisible(), !closeWhenDone);
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

void tst_Disassembler::refusesToCloseWhileBusy()
{
    Disassembler dialog({});
    dialog.show();
    bool closed = true;
    bool visible = false;
    QTimer::singleShot(0, &dialog, [&] {
        closed = dialog.close();
        dialog.reject();   // Escape
        visible = dialog.isVisible();
    });
    QList<TInstruction> program = QVector<TInstruction>(50, MakeInstruction(Opcode::MST)).toList();
    QString text;
    QVERIFY(dialog.DoDisAsm(&program, &text, false));
    QVERIFY(!closed);
    QVERIFY(visible);
    QVERIFY(dialog.close());
}

// The caller's list may change while events are processed; the text is that of the program
// handed in.
void tst_Disassembler::programChangedMeanwhile()
{
    Disassembler dialog({});
    QList<TInstruction> program{MakeInstruction(Opcode::JA, 0, 0, 2), MakeInstruction(Opcode::MST), MakeInstruction(Opcode::STOP)};
    QTimer::singleShot(0, &dialog, [&] { program.clear(); });
    QString text;
    QVERIFY(dialog.DoDisAsm(&program, &text, true));
    QCOMPARE(text.section('\n', 1), QString(Pad + "JA Lbl2\n" + Pad + "MST 0\n\nLbl2:     STOP\n"));
}

// Every instruction with the extremes of its operands, disassembled and assembled again, gives
// the same words.
void tst_Disassembler::roundTrip()
{
    QList<TInstruction> program;
    const QList<qint64> numbers{0, -1, 2147483647, -2147483647 - 1};
    for (const TInstructionRow* row = KROLInstructions; !row->Mnemonic.isEmpty(); ++row) {
        // The first and the last keyword of a type, or the extremes of a number.
        const QString* keywords = TypeKeywordTable(row->TypeKind);
        const QList<int> types = keywords                      ? QList<int>{0, KeywordCount(keywords) - 1}
                                 : row->TypeKind == TypeNumber ? QList<int>{0, 4095}
                                                               : QList<int>{0};
        for (int type : types) {
            TInstruction i = MakeInstruction(row->Opcode, type, row->MotorKind ? 255 : 0);
            if (row->ValueKind == ValueNumber)
                i.Value = numbers[program.size() % numbers.size()];
            else if (row->ValueKind == ValueByte)
                i.Value = 255;
            else if (row->ValueKind == ValueLabel)
                i.Value = (program.size() * 37 + 5) % 120;
            program.append(i);
        }
    }
    QVERIFY(program.size() >= 120);
    QString text;
    QVERIFY(Disassembler({}).DoDisAsm(&program, &text, true));

    Assembler assembler;
    assembler.SetSourceFile(QString(), "roundtrip.kro", 0);
    TRangeSettings ranges;
    ranges.WaitEventList = DefaultWaitEventList();
    assembler.SetRanges(ranges);
    assembler.SetHeadless(true);
    bool error = true;
    assembler.DoAsm(text, false, false, false, false, QString(), error);
    QVERIFY2(!error, qPrintable(assembler.LastError().Message));
    QList<TInstruction> again;
    assembler.GetAsmResult(&again);
    QCOMPARE(again.size(), program.size());
    for (int a = 0; a < program.size(); ++a) {
        QVERIFY2(again[a].Opcode == program[a].Opcode && again[a].Type == program[a].Type
                     && again[a].Motor == program[a].Motor
                     && uint32_t(again[a].Value) == uint32_t(program[a].Value),
                 qPrintable(QString::number(a)));
    }
}

QTEST_MAIN(tst_Disassembler)
#include "tst_disassembler.moc"
