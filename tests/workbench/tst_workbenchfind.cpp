#include "AppSettings.h"
#include "FindReplace.h"
#include "ModalAnswerer.h"
#include "PageProbe.h"
#include "PluginFixture.h"

#include <QTextBlock>
#include <QtTest>

// Find and replace through the workbench's bar on the current page, and the status labels,
// on a workbench loaded from the plug-in file.
class tst_WorkbenchFind : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void findAndReplace_data();
    void findAndReplace();
    void statusLabels();
    void escapeAndCtrlF();

private:
    PluginFixture m_plugin;
    std::unique_ptr<ToolsInterface> m_tool;
    std::unique_ptr<PageProbe> m_pages;
    FindReplace* m_bar = nullptr;
};

void tst_WorkbenchFind::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QString error;
    QVERIFY2(m_plugin.load(&error), qPrintable(error));
}

void tst_WorkbenchFind::init()
{
    AppSettings().clear();
    QString error;
    m_tool = m_plugin.clone(PluginFixture::modulePath(QStringLiteral("virtual.json")), 1, &error);
    QVERIFY2(m_tool, qPrintable(error));
    m_pages.reset(new PageProbe(m_tool.get()));
    m_bar = m_tool->findChild<FindReplace*>();
    QVERIFY(m_bar != nullptr);
}

void tst_WorkbenchFind::cleanup()
{
    m_pages.reset();
    m_tool.reset();
}

void tst_WorkbenchFind::findAndReplace_data()
{
    QTest::addColumn<QString>("steps");   // f forward, b backward, r replace, R replace and find
    QTest::addColumn<int>("start");       // cursor position before the first step
    QTest::addColumn<int>("selected");    // characters selected from there
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("text");    // the page afterwards
    QTest::addColumn<int>("anchor");      // the cursor afterwards
    QTest::addColumn<int>("position");

    const int none = 0;
    const int whole = QTextDocument::FindWholeWords;
    const int cased = QTextDocument::FindCaseSensitively;
    const QString page = QStringLiteral("ab ab abc Ab");   // where "ab" is searched
    QTest::newRow("forward") << "f" << 0 << 0 << none << page << 0 << 2;
    QTest::newRow("forward twice") << "ff" << 0 << 0 << none << page << 3 << 5;
    QTest::newRow("case-sensitive skips Ab") << "ff" << 6 << 0 << cased << page << 6 << 8;
    QTest::newRow("after the last match: no wrap") << "f" << 12 << 0 << none << page << 12 << 12;
    QTest::newRow("whole words") << "fff" << 0 << 0 << whole << page << 10 << 12;
    QTest::newRow("backward") << "b" << 12 << 0 << none << page << 10 << 12;
    QTest::newRow("backward at start: no wrap") << "b" << 0 << 0 << none << page << 0 << 0;
    QTest::newRow("replace without selection") << "r" << 4 << 0 << none << page << 4 << 4;
    QTest::newRow("replace") << "fr" << 0 << 0 << none << "X ab abc Ab" << 1 << 1;
    QTest::newRow("replace ignores the find text") << "r" << 6 << 3 << cased << "ab ab X Ab" << 7 << 7;
    QTest::newRow("replace and find") << "fR" << 0 << 0 << none << "X ab abc Ab" << 2 << 4;
    QTest::newRow("replace and find goes on backwards") << "bR" << 12 << 0 << none << "ab ab abc X" << 6 << 8;
    QTest::newRow("replace and find at the end") << "bfR" << 12 << 0 << none << "ab ab abc X" << 11 << 11;
    QTest::newRow("replace and find without selection") << "R" << 0 << 0 << none << page << 0 << 0;
}

void tst_WorkbenchFind::findAndReplace()
{
    QFETCH(QString, steps);
    QFETCH(int, start);
    QFETCH(int, selected);
    QFETCH(int, flags);
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, position);

    m_pages->trigger("actionNew");   // the search works on the current page only
    m_pages->type(0, QStringLiteral("ab"));
    m_pages->type(1, QStringLiteral("ab ab abc Ab"));
    CodeEditor* editor = m_pages->editor(1);
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + selected, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);

    const QString find = QStringLiteral("ab");
    const QString replace = QStringLiteral("X");
    const QTextDocument::FindFlags options(flags);
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 'f': emit m_bar->findForwardButton(find, options); break;
        case 'b': emit m_bar->findReverseButton(find, options); break;
        case 'r': emit m_bar->replaceButton(find, replace, options); break;
        case 'R': emit m_bar->replaceAndFindButton(find, replace, options); break;
        }
    }
    QCOMPARE(m_pages->text(1), text);
    QCOMPARE(editor->textCursor().anchor(), anchor);
    QCOMPARE(editor->textCursor().position(), position);
    QCOMPARE(m_pages->text(0), QStringLiteral("ab"));
}

void tst_WorkbenchFind::statusLabels()
{
    QCOMPARE(m_pages->status(0), QStringLiteral("1:1"));
    QCOMPARE(m_pages->status(2), QStringLiteral("Insert"));
    CodeEditor* editor = m_pages->editor(0);
    editor->setPlainText(QString(QStringLiteral("line\n")).repeated(20));
    QTextCursor cursor(editor->document()->findBlockByNumber(11));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 4);
    editor->setTextCursor(cursor);
    QCOMPARE(m_pages->status(0), QStringLiteral("5:12"));

    QTest::keyClick(editor, Qt::Key_Insert);
    QCOMPARE(m_pages->status(2), QStringLiteral("Overwrite"));
    QTest::keyClick(editor, Qt::Key_Insert);
    QCOMPARE(m_pages->status(2), QStringLiteral("Insert"));

    // A new page shows its own cursor.
    m_pages->trigger("actionNew");
    QCOMPARE(m_pages->status(0), QStringLiteral("1:1"));
    m_pages->type(1, QStringLiteral("abc"));
    m_pages->editor(1)->moveCursor(QTextCursor::End);
    QCOMPARE(m_pages->status(0), QStringLiteral("4:1"));
}

void tst_WorkbenchFind::escapeAndCtrlF()
{
    m_tool->show();
    QVERIFY(QTest::qWaitForWindowActive(m_tool.get()));
    QVERIFY(m_bar->isHidden());
    m_pages->trigger("actionFind");
    QVERIFY(m_bar->isVisible());
    QVERIFY(m_bar->isAncestorOf(QApplication::focusWidget()));

    QTest::keyClick(m_pages->editor(0), Qt::Key_Escape);
    QVERIFY(m_bar->isHidden());

    QTest::keyClick(m_tool.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(m_bar->isVisible());
}

QTEST_MAIN(tst_WorkbenchFind)
#include "tst_workbenchfind.moc"
