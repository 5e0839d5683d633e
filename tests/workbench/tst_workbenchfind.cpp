#include "CaseFile.h"
#include "FindReplace.h"
#include "WorkbenchTest.h"

#include <QTextBlock>
#include <QtTest>

// Find and replace through the workbench's bar on the current page, and the status labels,
// on a workbench loaded from the plug-in file.
class tst_WorkbenchFind : public WorkbenchTest
{
    Q_OBJECT

private slots:
    void init();
    void findAndReplace_data();
    void findAndReplace();
    void escapeAndCtrlF();

private:
    FindReplace* m_bar = nullptr;
};

void tst_WorkbenchFind::init()
{
    WorkbenchTest::init();
    m_bar = m_tool->findChild<FindReplace*>();
    QVERIFY(m_bar != nullptr);
}

// tests/cases/workbench-find.cases.
void tst_WorkbenchFind::findAndReplace_data()
{
    AddCaseRows("workbench-find.cases");
}

void tst_WorkbenchFind::findAndReplace()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    const QStringList words = body.value(0).split(' ');
    const QString steps = words.value(0);
    const int start = words.value(2).section('+', 0, 0).toInt();
    QTextDocument::FindFlags options;
    if (words.contains("cased"))
        options |= QTextDocument::FindCaseSensitively;
    if (words.contains("whole"))
        options |= QTextDocument::FindWholeWords;

    m_pages->trigger("actionNew");   // the search works on the current page only
    m_pages->type(0, QStringLiteral("ab"));
    m_pages->type(1, QStringLiteral("ab ab abc Ab"));
    CodeEditor* editor = m_pages->editor(1);
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + words.value(2).section('+', 1).toInt(), QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);

    const QString find = QStringLiteral("ab");
    const QString replace = QStringLiteral("X");
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 'f': emit m_bar->findForwardButton(find, options); break;
        case 'b': emit m_bar->findReverseButton(find, options); break;
        case 'r': emit m_bar->replaceButton(find, replace, options); break;
        case 'R': emit m_bar->replaceAndFindButton(find, replace, options); break;
        default: QFAIL("not a step");
        }
    }
    QCOMPARE(QStringLiteral("%1-%2: %3").arg(editor->textCursor().anchor()).arg(editor->textCursor().position())
                 .arg(m_pages->text(1)), results.value(0));
    QCOMPARE(m_pages->text(0), QStringLiteral("ab"));
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
