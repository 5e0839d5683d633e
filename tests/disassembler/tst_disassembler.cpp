#include "Disassembler.h"
#include "Globals.h"
#include "ModuleCommands.h"

#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(TInstruction)
Q_DECLARE_METATYPE(QList<TInstruction>)

namespace {

TInstruction I(int opcode, int type = 0, int motor = 0, qint64 value = 0)
{
    TInstruction i;
    i.Opcode = uint8_t(opcode);
    i.Type = uint16_t(type);
    i.Motor = uint8_t(motor);
    i.Value = value;
    return i;
}

const QString Pad = QStringLiteral("          ");

// Disassembles and returns the lines after the header; fails the test on a disassembly error.
QStringList Body(QList<TInstruction> program, const TParameterList& events = {})
{
    Disassembler dialog(events);
    QString text;
    if (!dialog.DoDisAsm(&program, &text, true))
        return {QStringLiteral("error: ") + dialog.LastError().Message};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() < 2 || !lines.last().isEmpty())
        return {QStringLiteral("text does not end in a line feed")};
    lines.removeLast();
    lines.removeFirst();
    return lines;
}

// Inserts blank lines into the list exactly as the layout rule is worded; the reference for
// the one-pass implementation.
QStringList InsertBlanks(QStringList lines)
{
    if (lines.size() < 2)
        return lines;
    int i = 1;
    for (;;) {
        QString check;
        if (i >= 2 && lines.at(i).contains(':')) {
            lines.insert(i, QString());
            check = lines.at(i);
            ++i;
        } else {
            check = lines.at(i - 1);
        }
        if (check.contains("RSUB") || check.contains("RETI"))
            lines.insert(i, QString());
        ++i;
        if (i >= lines.size())
            return lines;
    }
}

} // namespace

class tst_Disassembler : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void lineShapes_data();
    void lineShapes();
    void layout_data();
    void layout();
    void layoutMatchesInsertion();
    void errors_data();
    void errors();
    void emptyProgram();
    void headerAndCounter();
    void closeWhenDone_data();
    void closeWhenDone();
    void refusesToCloseWhileBusy();
    void programChangedMeanwhile();
};

void tst_Disassembler::form()
{
    Disassembler dialog({});
    QCOMPARE(dialog.windowTitle(), QString("Disassembler"));
    const Qt::WindowFlags flags = dialog.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!(flags & (Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint)));
    auto* message = dialog.findChild<QLabel*>("LblDisAsmMessage");
    auto* counter = dialog.findChild<QLabel*>("LblDisAsmInstructions");
    auto* ok = dialog.findChild<QPushButton*>("BtnOK");
    QVERIFY(message && counter && ok);
    QVERIFY(message->text().isEmpty());
    QCOMPARE(message->font().weight(), 75);
    QCOMPARE(counter->font().weight(), 50);
    QCOMPARE(counter->text(), QString("Total instructions:"));
    QCOMPARE(message->frameShape(), QFrame::Panel);
    QCOMPARE(counter->frameShadow(), QFrame::Sunken);
    QCOMPARE(ok->text(), QString("OK"));
    QVERIFY(!ok->isEnabled());
}

void tst_Disassembler::lineShapes_data()
{
    QTest::addColumn<TInstruction>("instruction");
    QTest::addColumn<QString>("line");   // after the ten spaces

    QTest::newRow("no type, motor, value") << I(Opcode::ROR, 0, 0, 1000) << "ROR 0, 1000";
    QTest::newRow("motor only") << I(Opcode::MST, 0, 2) << "MST 2";
    QTest::newRow("move ABS") << I(Opcode::MVP, 0, 0, 5000) << "MVP ABS, 0, 5000";
    QTest::newRow("move RELCOORD") << I(Opcode::MVP, 3, 1, -5) << "MVP RELCOORD, 1, -5";
    QTest::newRow("MVPA REL") << I(Opcode::MVPA, 1, 2) << "MVPA REL, 2";
    QTest::newRow("MVPXA COORD") << I(Opcode::MVPXA, 2) << "MVPXA COORD";
    QTest::newRow("type number") << I(Opcode::SAP, 4, 0, 1000) << "SAP 4, 0, 1000";
    QTest::newRow("negative value") << I(Opcode::SAP, 4, 0, -1) << "SAP 4, 0, -1";
    QTest::newRow("type above 255") << I(Opcode::SGP, 300, 255, -2147483648LL)
                                    << "SGP 300, 255, -2147483648";
    QTest::newRow("no value") << I(Opcode::GAP, 4) << "GAP 4, 0";
    QTest::newRow("RFS START") << I(Opcode::RFS) << "RFS START, 0";
    QTest::newRow("RFS STATUS") << I(Opcode::RFS, 2, 1) << "RFS STATUS, 1";
    QTest::newRow("CALC") << I(Opcode::CALC, 0, 0, 5) << "CALC ADD, 5";
    QTest::newRow("CALC LOAD") << I(Opcode::CALC, 9, 0, 2147483647) << "CALC LOAD, 2147483647";
    QTest::newRow("COMP") << I(Opcode::COMP, 0, 0, 100) << "COMP 100";
    QTest::newRow("JC") << I(Opcode::JC, 0, 0, 12) << "JC ZE, Lbl12";
    QTest::newRow("CALL ESD") << I(Opcode::CALL, 12, 0, 7) << "CALL ESD, Lbl7";
    QTest::newRow("JA") << I(Opcode::JA, 0, 0, 12) << "JA Lbl12";
    QTest::newRow("DJNZ") << I(Opcode::DJNZ, 3, 0, 9) << "DJNZ 3, Lbl9";
    QTest::newRow("WAIT") << I(Opcode::WAIT, 0, 0, 100) << "WAIT TICKS, 0, 100";
    QTest::newRow("WAIT RFS") << I(Opcode::WAIT, 4, 1, 0) << "WAIT RFS, 1, 0";
    QTest::newRow("CALCX SWAP") << I(Opcode::CALCX, 10) << "CALCX SWAP";
    QTest::newRow("CALCVV") << I(Opcode::CALCVV, 11, 3, 255) << "CALCVV COMP, 3, 255";
    QTest::newRow("CALCXV") << I(Opcode::CALCXV, 10, 0) << "CALCXV SWAP, 0";
    QTest::newRow("CALCV COMP") << I(Opcode::CALCV, 11, 1, 3) << "CALCV COMP, 1, 3";
    QTest::newRow("CLE") << I(Opcode::CLE) << "CLE ALL";
    QTest::newRow("CLE ESD") << I(Opcode::CLE, 5) << "CLE ESD";
    QTest::newRow("VECT") << I(Opcode::VECT, 3, 0, 40) << "VECT 3, Lbl40";
    QTest::newRow("SAPX") << I(Opcode::SAPX, 140, 0, 2) << "SAPX 140, 2";
    QTest::newRow("EI") << I(Opcode::EI, 27) << "EI 27";
    QTest::newRow("UF15") << I(79, 1, 2, 3) << "UF15 1, 2, 3";
    QTest::newRow("STOP keeps its space") << I(Opcode::STOP) << "STOP ";
    QTest::newRow("RSUB keeps its space") << I(Opcode::RSUB) << "RSUB ";
    QTest::newRow("motor and value ignored without operands") << I(Opcode::RETI, 0, 7, 9)
                                                               << "RETI ";
}

void tst_Disassembler::lineShapes()
{
    QFETCH(TInstruction, instruction);
    QFETCH(QString, line);
    QCOMPARE(Body({instruction}), QStringList{Pad + line});
}

void tst_Disassembler::layout_data()
{
    QTest::addColumn<QList<TInstruction>>("program");
    QTest::addColumn<QStringList>("lines");

    const TInstruction stop = I(Opcode::STOP);
    const TInstruction rsub = I(Opcode::RSUB);
    const TInstruction reti = I(Opcode::RETI);
    const TInstruction mst = I(Opcode::MST);

    QTest::newRow("jump target inside")
        << QList<TInstruction>{I(Opcode::ROR, 0, 0, 1), I(Opcode::JA, 0, 0, 3), mst,
                               I(Opcode::SAP, 4, 0, 1), stop}
        << QStringList{Pad + "ROR 0, 1", Pad + "JA Lbl3", Pad + "MST 0", "",
                       "Lbl3:     SAP 4, 0, 1", Pad + "STOP "};
    QTest::newRow("jump beyond the end: no label line")
        << QList<TInstruction>{I(Opcode::ROR, 0, 0, 1), I(Opcode::JA, 0, 0, 9), mst,
                               I(Opcode::SAP, 4, 0, 1), stop}
        << QStringList{Pad + "ROR 0, 1", Pad + "JA Lbl9", Pad + "MST 0", Pad + "SAP 4, 0, 1",
                       Pad + "STOP "};
    QTest::newRow("label on the jump itself, simplified")
        << QList<TInstruction>{mst, I(Opcode::JC, 1, 0, 1)}
        << QStringList{Pad + "MST 0", "Lbl1:     JC NZ, Lbl1"};
    QTest::newRow("label at address 0")
        << QList<TInstruction>{stop, I(Opcode::JA, 0, 0, 0)}
        << QStringList{"Lbl0:     STOP", Pad + "JA Lbl0"};
    QTest::newRow("label at address 1 gets no blank")
        << QList<TInstruction>{I(Opcode::JA, 0, 0, 1), stop}
        << QStringList{Pad + "JA Lbl1", "Lbl1:     STOP"};
    QTest::newRow("label at address 2 gets a blank")
        << QList<TInstruction>{I(Opcode::JA, 0, 0, 2), mst, stop}
        << QStringList{Pad + "JA Lbl2", Pad + "MST 0", "", "Lbl2:     STOP"};
    QTest::newRow("two jumps, one label")
        << QList<TInstruction>{I(Opcode::JA, 0, 0, 3), I(Opcode::CSUB, 0, 0, 3), mst, rsub}
        << QStringList{Pad + "JA Lbl3", Pad + "CSUB Lbl3", Pad + "MST 0", "", "Lbl3:     RSUB"};
    QTest::newRow("RSUB then plain line")
        << QList<TInstruction>{mst, rsub, mst}
        << QStringList{Pad + "MST 0", Pad + "RSUB ", "", Pad + "MST 0"};
    QTest::newRow("RETI then plain line")
        << QList<TInstruction>{mst, reti, mst}
        << QStringList{Pad + "MST 0", Pad + "RETI ", "", Pad + "MST 0"};
    QTest::newRow("RSUB last: nothing after")
        << QList<TInstruction>{mst, rsub} << QStringList{Pad + "MST 0", Pad + "RSUB "};
    QTest::newRow("single RSUB") << QList<TInstruction>{rsub} << QStringList{Pad + "RSUB "};
    QTest::newRow("RSUB first line")
        << QList<TInstruction>{rsub, mst} << QStringList{Pad + "RSUB ", "", Pad + "MST 0"};
    QTest::newRow("RSUB then label: one blank")
        << QList<TInstruction>{I(Opcode::CSUB, 0, 0, 3), stop, rsub, mst}
        << QStringList{Pad + "CSUB Lbl3", Pad + "STOP ", Pad + "RSUB ", "", "Lbl3:     MST 0"};
    QTest::newRow("RSUB first, label at 1: two blanks")
        << QList<TInstruction>{rsub, mst, I(Opcode::JA, 0, 0, 1)}
        << QStringList{Pad + "RSUB ", "", "", "Lbl1:     MST 0", Pad + "JA Lbl1"};
    QTest::newRow("labelled RETI ends its block")
        << QList<TInstruction>{I(Opcode::VECT, 1, 0, 2), stop, reti, mst}
        << QStringList{Pad + "VECT 1, Lbl2", Pad + "STOP ", "", "Lbl2:     RETI", "",
                       Pad + "MST 0"};
    QList<TInstruction> long120;
    for (int i = 0; i < 120; ++i)
        long120.append(mst);
    long120[0] = I(Opcode::JA, 0, 0, 100);
    QStringList lines120;
    for (int i = 0; i < 120; ++i)
        lines120.append(Pad + "MST 0");
    lines120[0] = Pad + "JA Lbl100";
    lines120[100] = "Lbl100:   MST 0";
    lines120.insert(100, QString());
    QTest::newRow("three-digit label padded to ten") << long120 << lines120;
}

void tst_Disassembler::layout()
{
    QFETCH(QList<TInstruction>, program);
    QFETCH(QStringList, lines);
    QCOMPARE(Body(program), lines);
}

// Every short program made of the line kinds that matter gets the same blank lines as
// inserting them one by one into the list of lines. WAIT event names put a ':' or an "RSUB"
// into lines without a label, and a run of spaces into a labelled line's simplified text.
void tst_Disassembler::layoutMatchesInsertion()
{
    struct Kind
    {
        TInstruction instruction;
        QString text;
        bool labelled;
    };
    const QList<Kind> kinds{
        {I(Opcode::MST), Pad + "MST 0", false},
        {I(Opcode::RSUB), Pad + "RSUB ", false},
        {I(Opcode::RETI), Pad + "RETI ", false},
        {I(Opcode::WAIT, 7), Pad + "WAIT X:Y, 0, 0", false},
        {I(Opcode::WAIT, 8), Pad + "WAIT TRSUBT, 0, 0", false},
        {I(Opcode::MST), "MST 0", true},
        {I(Opcode::RSUB), "RSUB", true},
        {I(Opcode::WAIT, 9), "WAIT A B, 0, 0", true},
    };
    TParameterList events;
    for (const auto& [number, name] : {std::pair<int, const char*>{7, "X:Y"}, {8, "TRSUBT"}, {9, "A  B"}}) {
        TParameterDescriptor event;
        event.Number = number;
        event.Name = name;
        events.append(event);
    }
    Disassembler dialog(events);
    int programs = 0;
    for (int length = 0; length <= 4; ++length) {
        int combinations = 1;
        for (int i = 0; i < length; ++i)
            combinations *= kinds.size();
        for (int c = 0; c < combinations; ++c, ++programs) {
            QList<TInstruction> program;
            QStringList lines;
            QList<int> targets;
            for (int p = 0, rest = c; p < length; ++p, rest /= kinds.size()) {
                const Kind& kind = kinds.at(rest % kinds.size());
                program.append(kind.instruction);
                if (kind.labelled) {
                    lines.append(QString("Lbl%1:").arg(p).leftJustified(10) + kind.text);
                    targets.append(p);
                } else {
                    lines.append(kind.text);
                }
            }
            for (int target : targets) {
                program.append(I(Opcode::JA, 0, 0, target));
                lines.append(Pad + "JA Lbl" + QString::number(target));
            }
            QString text;
            QVERIFY(dialog.DoDisAsm(&program, &text, false));
            QStringList got = text.split('\n');
            got.removeFirst();
            got.removeLast();
            if (got != InsertBlanks(lines))
                QFAIL(qPrintable(lines.join(" | ") + "\ngot: " + got.join(" | ")));
        }
    }
    QCOMPARE(programs, 4681);
}

void tst_Disassembler::errors_data()
{
    QTest::addColumn<QList<TInstruction>>("program");
    QTest::addColumn<QString>("message");

    const TInstruction mst = I(Opcode::MST);
    QTest::newRow("opcode 0") << QList<TInstruction>{I(0)} << "Unknown opcode at address 0";
    QTest::newRow("opcode 58") << QList<TInstruction>{mst, mst, I(58)}
                               << "Unknown opcode at address 2";
    QTest::newRow("opcode 81") << QList<TInstruction>{mst, I(81), I(0)}
                               << "Unknown opcode at address 1";
    QTest::newRow("move mode 4") << QList<TInstruction>{mst, I(Opcode::MVP, 4)}
                                 << "cmd at address 1";
    QTest::newRow("wait event 5") << QList<TInstruction>{I(Opcode::WAIT, 5)}
                                  << "Unknown event code at address 0";
    QTest::newRow("condition 13") << QList<TInstruction>{mst, mst, I(Opcode::JC, 13)}
                                  << "Unknow condition code at address 2";
    QTest::newRow("CALL condition 200") << QList<TInstruction>{I(Opcode::CALL, 200)}
                                        << "Unknow condition code at address 0";
    QTest::newRow("CALC 10") << QList<TInstruction>{I(Opcode::CALC, 10)}
                             << "Unknown CALC code at address 0";
    QTest::newRow("CALCX 12") << QList<TInstruction>{I(Opcode::CALCX, 12)}
                              << "Unknown CALCX code at address 0";
    QTest::newRow("CALCVA 12") << QList<TInstruction>{I(Opcode::CALCVA, 12)}
                               << "Unknown CALCxx code at address 0";
    QTest::newRow("CALCV placeholder") << QList<TInstruction>{I(Opcode::CALCV, 10)}
                                       << "Unknown CALCV code at address 0";
    QTest::newRow("CALCV 12") << QList<TInstruction>{I(Opcode::CALCV, 12)}
                              << "Unknown CALCV code at address 0";
    QTest::newRow("RFS 3") << QList<TInstruction>{I(Opcode::RFS, 3)}
                           << "Unexpected parameter value at address 0";
    QTest::newRow("CLE 6") << QList<TInstruction>{I(Opcode::CLE, 6)}
                           << "Unknown CLE code at address 0";
    QTest::newRow("type beyond a byte") << QList<TInstruction>{I(Opcode::CLE, 65535)}
                                        << "Unknown CLE code at address 0";
    QTest::newRow("first error wins") << QList<TInstruction>{I(Opcode::JA, 0, 0, 0), I(Opcode::CLE, 9), I(0)}
                                      << "Unknown CLE code at address 1";
}

void tst_Disassembler::errors()
{
    QFETCH(QList<TInstruction>, program);
    QFETCH(QString, message);
    Disassembler dialog({});
    QString text = "unchanged";
    QVERIFY(!dialog.DoDisAsm(&program, &text, false));
    QCOMPARE(text, QString("unchanged"));
    QCOMPARE(dialog.findChild<QLabel*>("LblDisAsmMessage")->text(), message);
    QCOMPARE(dialog.LastError().Message + " at address " + QString::number(dialog.LastError().Address),
             message);
}

void tst_Disassembler::emptyProgram()
{
    Disassembler dialog({});
    QList<TInstruction> program;
    QString text = "old text";
    QVERIFY(dialog.DoDisAsm(&program, &text, false));
    QVERIFY(text.startsWith("//KROL disassembly at "));
    QCOMPARE(text.count('\n'), 1);
    QVERIFY(text.endsWith('\n'));
    QCOMPARE(dialog.findChild<QLabel*>("LblDisAsmMessage")->text(), QString("Successful!"));
}

void tst_Disassembler::headerAndCounter()
{
    // The module's own event list replaces the default one.
    TParameterDescriptor event;
    event.Number = 7;
    event.Name = "VELOCITY";
    Disassembler dialog({event});
    QList<TInstruction> program{I(Opcode::WAIT, 7, 0, 10), I(Opcode::WAIT, 7, 1, -1), I(Opcode::STOP)};
    QString text;
    const QDateTime before = QDateTime::currentDateTime();
    QVERIFY(dialog.DoDisAsm(&program, &text, false));
    const QDateTime after = QDateTime::currentDateTime();

    const QStringList lines = text.split('\n');
    QCOMPARE(lines.mid(1), (QStringList{Pad + "WAIT VELOCITY, 0, 10", Pad + "WAIT VELOCITY, 1, -1",
                                        Pad + "STOP ", ""}));
    const QRegularExpressionMatch m = QRegularExpression(
        "^//KROL disassembly at (\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d)$").match(lines.first());
    QVERIFY2(m.hasMatch(), qPrintable(lines.first()));
    const QDateTime stamp = QDateTime::fromString(m.captured(1), "MM-dd-yyyy hh:mm:ss");
    QVERIFY(stamp >= before.addSecs(-1) && stamp <= after);
    QCOMPARE(dialog.findChild<QLabel*>("LblDisAsmInstructions")->text(),
             QString("Total instructions: 3"));

    Disassembler withoutTicks({event});
    QList<TInstruction> ticks{I(Opcode::WAIT, 0)};
    QVERIFY(!withoutTicks.DoDisAsm(&ticks, &text, true));
    QCOMPARE(withoutTicks.LastError().Message, QString("Unknown event code"));
}

void tst_Disassembler::closeWhenDone_data()
{
    QTest::addColumn<bool>("closeWhenDone");
    QTest::addColumn<QList<TInstruction>>("program");
    QTest::addColumn<QString>("message");

    const QList<TInstruction> good{I(Opcode::STOP)};
    const QList<TInstruction> bad{I(Opcode::MVP, 4)};
    QTest::newRow("success, close") << true << good << "Successful!";
    QTest::newRow("success, stay") << false << good << "Successful!";
    QTest::newRow("error, close") << true << bad << "cmd at address 0";
    QTest::newRow("error, stay") << false << bad << "cmd at address 0";
}

void tst_Disassembler::closeWhenDone()
{
    QFETCH(bool, closeWhenDone);
    QFETCH(QList<TInstruction>, program);
    QFETCH(QString, message);
    Disassembler dialog({});
    dialog.show();
    QString text;
    dialog.DoDisAsm(&program, &text, closeWhenDone);
    QCOMPARE(dialog.findChild<QLabel*>("LblDisAsmMessage")->text(), message);
    auto* ok = dialog.findChild<QPushButton*>("BtnOK");
    QVERIFY(ok->isEnabled());
    QCOMPARE(dialog.isVisible(), !closeWhenDone);
    if (!closeWhenDone) {
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }
}

void tst_Disassembler::refusesToCloseWhileBusy()
{
    Disassembler dialog({});
    dialog.show();
    bool attempted = false;
    bool closed = true;
    bool visibleAfterEscape = false;
    QTimer::singleShot(0, &dialog, [&] {
        attempted = true;
        closed = dialog.close();
        dialog.reject();
        visibleAfterEscape = dialog.isVisible();
    });
    QList<TInstruction> program;
    for (int i = 0; i < 50; ++i)
        program.append(I(Opcode::MST));
    QString text;
    QVERIFY(dialog.DoDisAsm(&program, &text, false));
    QVERIFY(attempted);
    QVERIFY(!closed);
    QVERIFY(visibleAfterEscape);
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.close());
    QVERIFY(!dialog.isVisible());
}

// The caller's list may change while events are processed; the text is that of the program
// handed in.
void tst_Disassembler::programChangedMeanwhile()
{
    Disassembler dialog({});
    QList<TInstruction> program{I(Opcode::JA, 0, 0, 2), I(Opcode::MST), I(Opcode::STOP)};
    QTimer::singleShot(0, &dialog, [&] { program.clear(); });
    QString text;
    QVERIFY(dialog.DoDisAsm(&program, &text, true));
    QVERIFY(program.isEmpty());
    QCOMPARE(text.section('\n', 1), QString(Pad + "JA Lbl2\n" + Pad + "MST 0\n\nLbl2:     STOP\n"));
}

QTEST_MAIN(tst_Disassembler)
#include "tst_disassembler.moc"
