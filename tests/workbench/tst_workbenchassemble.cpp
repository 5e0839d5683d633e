#include "BinaryFile.h"
#include "WorkbenchTest.h"

#include <QtTest>

// The Assemble command of a workbench loaded from the plug-in file: include files taken from
// open pages first, the throwback of an error to its page and line, and when the assembler's
// window stays open.
class tst_WorkbenchAssemble : public WorkbenchTest
{
    Q_OBJECT

private slots:
    void includeFromOpenPage_data();
    void includeFromOpenPage();
    void throwback_data();
    void throwback();
    void assemblerWindow_data();
    void assemblerWindow();

private:
    // A workbench for the virtual module that writes binary files and confirms as told.
    void makeWorkbench(bool confirm);
    // Answers the assembler's window with OK and keeps the message it showed.
    void answerAssembler();
    // Value of the first instruction of the binary file assembled from main.kro.
    qint64 firstValue() const;

    QString m_message;
};

void tst_WorkbenchAssemble::makeWorkbench(bool confirm)
{
    m_message.clear();
    writeOptions({{"WriteBinaryFile", true}, {"ConfirmAssembler", confirm}});
    WorkbenchTest::makeWorkbench();
}

void tst_WorkbenchAssemble::answerAssembler()
{
    m_answers->click(QStringLiteral("OK"), [this](QWidget* w) {
        if (auto* label = w->findChild<QLabel*>(QStringLiteral("LblAsmMessage")))
            m_message = label->text();
    });
}

qint64 tst_WorkbenchAssemble::firstValue() const
{
    QList<TInstruction> program;
    QString error;
    if (BinaryFile::Read(m_dir.filePath(QStringLiteral("main.bin")), &program, &error) != BinaryFile::ReadStatus::Ok
        || program.isEmpty())
        return -1;
    return program.first().Value;
}

void tst_WorkbenchAssemble::includeFromOpenPage_data()
{
    QTest::addColumn<QString>("include");
    QTest::addColumn<QStringList>("pages");    // include files opened after main.kro, in order
    QTest::addColumn<QStringList>("texts");    // their edited, unsaved texts
    QTest::addColumn<qint64>("value");

    QTest::newRow("from disk") << "inc.kro" << QStringList() << QStringList() << qint64(1);
    QTest::newRow("unsaved edits win") << "inc.kro" << QStringList({"inc.kro"}) << QStringList({"X = 2"})
                                       << qint64(2);
    QTest::newRow("capitals, other directory")
        << "ELSEWHERE/INC.KRO" << QStringList({"inc.kro"}) << QStringList({"X = 3"}) << qint64(3);
    QTest::newRow("lower page wins") << "inc.kro" << QStringList({"b/inc.kro", "inc.kro"})
                                     << QStringList({"X = 4", "X = 5"}) << qint64(4);
}

void tst_WorkbenchAssemble::includeFromOpenPage()
{
    QFETCH(QString, include);
    QFETCH(QStringList, pages);
    QFETCH(QStringList, texts);
    QFETCH(qint64, value);

    makeWorkbench(false);
    m_pages->drop(m_dir.write(QStringLiteral("main.kro"), "#include " + include.toUtf8() + "\nROR 0, X\n"));
    m_dir.write(QStringLiteral("inc.kro"), "X = 1\n");
    for (int i = 0; i < pages.size(); ++i) {
        m_pages->drop(m_dir.write(pages[i], "X = 9\n"));
        m_pages->editor(i + 1)->setPlainText(texts[i]);
    }
    m_pages->tabs()->setCurrentIndex(0);
    m_pages->trigger("actionAssemble");
    QCOMPARE(firstValue(), value);
}

void tst_WorkbenchAssemble::throwback_data()
{
    QTest::addColumn<QString>("main");        // empty: a page never saved
    QTest::addColumn<QString>("mainText");
    QTest::addColumn<bool>("includeOpen");     // err.inc open in page 1
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("line");

    const QString includes = QStringLiteral("ROR 0, 1\n#include err.inc\nSTOP\n");
    QTest::newRow("include not open") << "main.kro" << includes << false << 1 << "err.inc" << 3;
    QTest::newRow("include open") << "main.kro" << includes << true << 1 << "err.inc" << 3;
    QTest::newRow("never saved") << QString() << "ROR 0, 1\n\nBOGUS 3\n" << false << 0 << "[New File 1]" << 3;
}

void tst_WorkbenchAssemble::throwback()
{
    QFETCH(QString, main);
    QFETCH(QString, mainText);
    QFETCH(bool, includeOpen);
    QFETCH(int, page);
    QFETCH(QString, title);
    QFETCH(int, line);

    makeWorkbench(true);
    const QString inc = m_dir.write(QStringLiteral("err.inc"), "X = 1\n\nBOGUS 1\n");
    if (main.isEmpty()) {
        m_pages->type(0, mainText);
    } else {
        m_pages->drop(m_dir.write(main, mainText.toUtf8()));
        if (includeOpen) {
            m_pages->drop(inc);
            m_pages->tabs()->setCurrentIndex(0);
        }
    }
    answerAssembler();
    m_pages->trigger("actionAssemble");

    QCOMPARE(m_message, QStringLiteral("Unknown instruction in line %1.").arg(line));
    QCOMPARE(m_pages->count(), page + 1);
    QCOMPARE(m_pages->current(), page);
    QCOMPARE(m_pages->title(page), title);
    CodeEditor* editor = m_pages->editor(page);
    QCOMPARE(editor->textCursor().blockNumber(), line - 1);
    const QList<QTextEdit::ExtraSelection> marks = editor->extraSelections();
    bool marked = false;
    for (const QTextEdit::ExtraSelection& mark : marks)
        marked = marked
                 || (mark.cursor.blockNumber() == line - 1 && mark.format.background().color() == QColor(255, 0, 0)
                     && mark.format.property(QTextFormat::FullWidthSelection).toBool());
    QVERIFY(marked);
    if (!includeOpen && page == 1) {
        QCOMPARE(m_pages->text(1), QStringLiteral("X = 1\n\nBOGUS 1\n"));
        QCOMPARE(m_pages->modification(), QStringLiteral("Original"));
    }

    // The next run removes the mark before it starts.
    m_pages->tabs()->setCurrentIndex(page);
    m_pages->editor(page)->setPlainText(QStringLiteral("STOP"));
    answerAssembler();
    m_pages->trigger("actionAssemble");
    QCOMPARE(m_message, QStringLiteral("Successful!"));
    for (const QTextEdit::ExtraSelection& mark : m_pages->editor(page)->extraSelections())
        QVERIFY(mark.format.background().color() != QColor(255, 0, 0));
}

void tst_WorkbenchAssemble::assemblerWindow_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("shown");   // the message of the window left open, or empty

    QTest::newRow("confirmed success") << true << "STOP" << "Successful!";
    QTest::newRow("silent success") << false << "STOP" << QString();
    QTest::newRow("error stays open") << false << "BOGUS" << "Unknown instruction in line 1.";
}

void tst_WorkbenchAssemble::assemblerWindow()
{
    QFETCH(bool, confirm);
    QFETCH(QString, source);
    QFETCH(QString, shown);

    makeWorkbench(confirm);
    m_pages->drop(m_dir.write(QStringLiteral("main.kro"), source.toUtf8()));
    if (!shown.isEmpty())
        answerAssembler();
    m_pages->trigger("actionAssemble");
    QCOMPARE(m_message, shown);
    QCOMPARE(QFile::exists(m_dir.filePath(QStringLiteral("main.bin"))), shown != QLatin1String("Unknown instruction in line 1."));
}

QTEST_MAIN(tst_WorkbenchAssemble)
#include "tst_workbenchassemble.moc"
