#include "FindReplace.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(QTextDocument::FindFlags)

class tst_FindReplace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void buttonsSignalTextsAndFlags_data();
    void buttonsSignalTextsAndFlags();
    void enterSearchesEscapeCloses();
    void noSearchForNothing();
    void focusGoesToTheFindField();
};

void tst_FindReplace::initTestCase()
{
    qRegisterMetaType<QTextDocument::FindFlags>();
}

void tst_FindReplace::buttonsSignalTextsAndFlags_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<QTextDocument::FindFlags>("flags");

    const QTextDocument::FindFlags none;
    QTest::newRow("next, no options") << "BtnFindNext" << false << false << none;
    QTest::newRow("next, case") << "BtnFindNext" << true << false
                                << QTextDocument::FindFlags(QTextDocument::FindCaseSensitively);
    QTest::newRow("previous, words") << "BtnFindPrevious" << false << true
                                     << QTextDocument::FindFlags(QTextDocument::FindWholeWords);
    QTest::newRow("replace, both") << "BtnReplace" << true << true
                                   << (QTextDocument::FindCaseSensitively | QTextDocument::FindWholeWords);
    QTest::newRow("replace and find") << "BtnReplaceFind" << false << true
                                      << QTextDocument::FindFlags(QTextDocument::FindWholeWords);
}

void tst_FindReplace::buttonsSignalTextsAndFlags()
{
    QFETCH(QString, button);
    QFETCH(bool, caseSensitive);
    QFETCH(bool, wholeWords);
    QFETCH(QTextDocument::FindFlags, flags);

    FindReplace bar;
    QSignalSpy forward(&bar, &FindReplace::findForwardButton);
    QSignalSpy reverse(&bar, &FindReplace::findReverseButton);
    QSignalSpy replace(&bar, &FindReplace::replaceButton);
    QSignalSpy replaceFind(&bar, &FindReplace::replaceAndFindButton);
    bar.findChild<QLineEdit*>(QStringLiteral("EditFind"))->setText(QStringLiteral("ROR"));
    bar.findChild<QLineEdit*>(QStringLiteral("EditReplace"))->setText(QStringLiteral("ROL"));
    bar.findChild<QCheckBox*>(QStringLiteral("CheckCaseSensitive"))->setChecked(caseSensitive);
    bar.findChild<QCheckBox*>(QStringLiteral("CheckWholeWords"))->setChecked(wholeWords);
    QTest::mouseClick(bar.findChild<QPushButton*>(button), Qt::LeftButton);

    QSignalSpy* fired = button == QLatin1String("BtnFindNext")       ? &forward
                      : button == QLatin1String("BtnFindPrevious") ? &reverse
                      : button == QLatin1String("BtnReplace")      ? &replace
                                                                     : &replaceFind;
    QCOMPARE(forward.count() + reverse.count() + replace.count() + replaceFind.count(), 1);
    QCOMPARE(fired->count(), 1);
    const QList<QVariant> args = fired->first();
    QCOMPARE(args.first().toString(), QStringLiteral("ROR"));
    if (args.size() == 3)
        QCOMPARE(args.at(1).toString(), QStringLiteral("ROL"));
    QCOMPARE(args.last().value<QTextDocument::FindFlags>(), flags);
}

void tst_FindReplace::enterSearchesEscapeCloses()
{
    QWidget window;
    auto* bar = new FindReplace(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy forward(bar, &FindReplace::findForwardButton);
    QSignalSpy reverse(bar, &FindReplace::findReverseButton);
    QSignalSpy replaceFind(bar, &FindReplace::replaceAndFindButton);
    auto* find = bar->findChild<QLineEdit*>(QStringLiteral("EditFind"));
    auto* replace = bar->findChild<QLineEdit*>(QStringLiteral("EditReplace"));

    find->setFocus();
    QTest::keyClicks(find, QStringLiteral("GAP"));
    QTest::keyClick(find, Qt::Key_Return);
    QTest::keyClick(find, Qt::Key_Return, Qt::ShiftModifier);
    replace->setFocus();
    QTest::keyClick(replace, Qt::Key_Enter);
    QCOMPARE(forward.count(), 1);
    QCOMPARE(reverse.count(), 1);
    QCOMPARE(replaceFind.count(), 1);
    QCOMPARE(forward.first().first().toString(), QStringLiteral("GAP"));

    QTest::keyClick(replace, Qt::Key_Escape);
    QVERIFY(bar->isHidden());
}

void tst_FindReplace::noSearchForNothing()
{
    FindReplace bar;
    QVERIFY(!bar.findChild<QPushButton*>(QStringLiteral("BtnFindNext"))->isEnabled());
    QVERIFY(!bar.findChild<QPushButton*>(QStringLiteral("BtnFindPrevious"))->isEnabled());
    QVERIFY(!bar.findChild<QPushButton*>(QStringLiteral("BtnReplaceFind"))->isEnabled());
    QVERIFY(bar.findChild<QPushButton*>(QStringLiteral("BtnReplace"))->isEnabled());
    bar.findChild<QLineEdit*>(QStringLiteral("EditFind"))->setText(QStringLiteral("x"));
    QVERIFY(bar.findChild<QPushButton*>(QStringLiteral("BtnFindNext"))->isEnabled());
}

void tst_FindReplace::focusGoesToTheFindField()
{
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* bar = new FindReplace(&window);
    bar->move(0, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    other->setFocus();
    auto* find = bar->findChild<QLineEdit*>(QStringLiteral("EditFind"));
    find->setText(QStringLiteral("old search"));
    bar->doSetFocus();
    QTRY_VERIFY(find->hasFocus());
    QCOMPARE(find->selectedText(), QStringLiteral("old search"));
}

QTEST_MAIN(tst_FindReplace)
#include "tst_findreplace.moc"
