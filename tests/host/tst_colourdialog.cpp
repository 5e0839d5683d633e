#include "ColourDialog.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

QPushButton* button(ColourDialog& d, const char* name)
{
    return d.findChild<QPushButton*>(QLatin1String(name));
}

} // namespace

class tst_ColourDialog : public QObject
{
    Q_OBJECT

private slots:
    void editsReachTheMapOnlyOnAccept_data();
    void editsReachTheMapOnlyOnAccept();
    void listsEveryEntryInReadingOrder();
    void defaultsRestoreTheTable();
    void keepBoxFollowsHighlighting();
};

void tst_ColourDialog::editsReachTheMapOnlyOnAccept_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("foreground");
    QTest::addColumn<QColor>("answer");
    QTest::addColumn<bool>("accept");

    QTest::newRow("command text, OK") << EditorColour::KROLCommand << true << QColor(9, 8, 7) << true;
    QTest::newRow("error background, OK") << EditorColour::HighlightedError << false << QColor(1, 2, 3) << true;
    QTest::newRow("picker cancelled") << EditorColour::Comment << true << QColor() << true;
    QTest::newRow("dialog cancelled") << EditorColour::ActiveLine << false << QColor(4, 5, 6) << false;
}

void tst_ColourDialog::editsReachTheMapOnlyOnAccept()
{
    QFETCH(QString, key);
    QFETCH(bool, foreground);
    QFETCH(QColor, answer);
    QFETCH(bool, accept);

    TEditorColourMap map = EditorColour::KROL;
    ColourDialog dialog;
    dialog.SetColourMap(&map);
    QColor offered;
    dialog.setColourPicker([&](QWidget*, const QColor& initial, const QString&) {
        offered = initial;
        return answer;
    });
    dialog.selectEntry(key);
    QTest::mouseClick(button(dialog, foreground ? "BtnForeground" : "BtnBackground"), Qt::LeftButton);
    const TEditorColour before = EditorColour::KROL.value(key);
    QCOMPARE(offered, foreground ? before.Foreground : before.Background);
    QCOMPARE(map, EditorColour::KROL); // nothing written yet

    accept ? dialog.accept() : dialog.reject();
    TEditorColourMap expected = EditorColour::KROL;
    if (accept && answer.isValid())
        (foreground ? expected[key].Foreground : expected[key].Background) = answer;
    QCOMPARE(map, expected);
}

void tst_ColourDialog::listsEveryEntryInReadingOrder()
{
    TEditorColourMap map = EditorColour::KROL;
    ColourDialog dialog;
    dialog.SetColourMap(&map);
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("ListColours"));
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    QCOMPARE(shown, (QStringList{"KROL Command", "Comment", "Assembler Directive", "Other Text", "Selected Text",
                                 "Active Line", "Highlighted Error", "Highlighted Breakpoint"}));
    QCOMPARE(list->item(7)->background().color(), QColor(128, 0, 0));
    QCOMPARE(list->item(7)->foreground().color(), QColor(255, 255, 255));
}

void tst_ColourDialog::defaultsRestoreTheTable()
{
    TEditorColourMap map = EditorColour::KROL;
    for (TEditorColour& c : map)
        c = {Qt::yellow, Qt::darkBlue};
    ColourDialog dialog;
    dialog.SetColourMap(&map);
    QTest::mouseClick(button(dialog, "BtnDefaults"), Qt::LeftButton);
    dialog.accept();
    QCOMPARE(map, EditorColour::KROL);
}

// Keeping the colours of a line that is not highlighted means nothing: the box says so.
void tst_ColourDialog::keepBoxFollowsHighlighting()
{
    ColourDialog dialog;
    auto* keep = dialog.findChild<QCheckBox*>(QStringLiteral("CheckKeepTextColor"));
    dialog.SetKeepTextColor(false);
    dialog.SetActiveLineHighlighting(false);
    QVERIFY(!keep->isEnabled());
    dialog.SetActiveLineHighlighting(true);
    QVERIFY(keep->isEnabled());
    QCOMPARE(dialog.GetKeepTextColor(), false);
    QCOMPARE(dialog.GetActiveLineHighlighting(), true);
}

QTEST_MAIN(tst_ColourDialog)
#include "tst_colourdialog.moc"
