#include "AppSettings.h"
#include "CaseFile.h"
#include "WorkbenchTest.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The page life cycle of a workbench loaded from the plug-in file: which page a file goes to,
// every question asked before text could be lost, and the reload of files changed outside.
class tst_WorkbenchPages : public WorkbenchTest
{
    Q_OBJECT

private slots:
    void steps_data();
    void steps() { runSteps(); }
    void saveAndSaveAs();
    void aboutToExit_data();
    void aboutToExit();

private:
    void checkQuestion(int index, const QString& text, QMessageBox::StandardButtons buttons) const;
};

void tst_WorkbenchPages::checkQuestion(int index, const QString& text, QMessageBox::StandardButtons buttons) const
{
    QVERIFY(index < m_answers->seen().size());
    const ModalAnswerer::Seen& seen = m_answers->seen().at(index);
    const ModalAnswerer::Seen question{{}, text, "Do you want to save your changes?", QMessageBox::Question, buttons};
    QCOMPARE(seen.summary(), question.summary());
}

// tests/cases/workbench-pages.cases.
void tst_WorkbenchPages::steps_data()
{
    AddCaseRows("workbench-pages.cases");
}

void tst_WorkbenchPages::saveAndSaveAs()
{
    // Save on a loaded, unchanged page writes it again.
    const QString a = m_dir.write(QStringLiteral("a.kro"), "ROR 0, 1\n");
    m_pages->drop(a);
    WriteTestFile(a, "changed behind our back");
    m_pages->trigger("actionSave");
    QCOMPARE(read(a), QStringLiteral("ROR 0, 1\n"));
    QCOMPARE(m_pages->modification(), QStringLiteral("Original"));

    // Save on a page never saved asks for a name; no suffix is added to it.
    m_pages->trigger("actionNew");
    m_pages->type(1, QStringLiteral("STOP"));
    const QString sub = m_dir.filePath(QStringLiteral("sub"));
    QVERIFY(QDir().mkpath(sub));
    m_answers->chooseFile(sub + QStringLiteral("/plain"));
    m_pages->trigger("actionSave");
    QCOMPARE(read(sub + QStringLiteral("/plain")), QStringLiteral("STOP"));
    QCOMPARE(m_pages->title(1), QStringLiteral("plain"));
    QCOMPARE(m_pages->modification(), QStringLiteral("Original"));

    // The directory is remembered per module and offered by the next file dialog.
    AppSettings settings;
    settings.beginGroup(QStringLiteral("Tools_KROLCreator"));
    QCOMPARE(settings.value(QStringLiteral("Virtual module_Dir")).toString(), sub + QLatin1Char('/'));
    QString offered;
    QString caption;
    QStringList filters;
    m_answers->answer([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        offered = dialog->directory().absolutePath();
        caption = dialog->windowTitle();
        filters = dialog->nameFilters();
        dialog->reject();
    });
    m_pages->trigger("actionLoad");
    QCOMPARE(offered, sub);
    QCOMPARE(caption, QStringLiteral("Open KROL file"));
    QCOMPARE(filters, QStringList({"KROL source file (*.kro)", "All files (*.*)"}));
    QCOMPARE(m_pages->count(), 2);

    // Save as a second name moves the page to it; a cancelled Save as changes nothing.
    m_pages->type(1, QStringLiteral("\n"));
    m_answers->answer([&](QWidget* w) {
        caption = w->windowTitle();
        auto* dialog = qobject_cast<QFileDialog*>(w);
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(m_dir.filePath(QStringLiteral("second.kro")));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    m_pages->trigger("actionSave_as");
    QCOMPARE(caption, QStringLiteral("Save KROL file"));
    QCOMPARE(m_pages->title(1), QStringLiteral("second.kro"));
    QCOMPARE(read(m_dir.filePath(QStringLiteral("second.kro"))), QStringLiteral("STOP\n"));
    m_answers->chooseFile(QString());
    m_pages->trigger("actionSave_as");
    QCOMPARE(m_pages->title(1), QStringLiteral("second.kro"));
}

void tst_WorkbenchPages::aboutToExit_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveAsName");
    QTest::addColumn<QString>("named");       // what the named page's file then holds
    QTest::addColumn<bool>("newWritten");

    QTest::newRow("save both") << int(QMessageBox::Save) << "new.kro" << "N+" << true;
    QTest::newRow("save, save as cancelled") << int(QMessageBox::Save) << QString() << "N+" << false;
    QTest::newRow("discard") << int(QMessageBox::Discard) << QString() << "N" << false;
}

void tst_WorkbenchPages::aboutToExit()
{
    QFETCH(int, answer);
    QFETCH(QString, saveAsName);
    QFETCH(QString, named);
    QFETCH(bool, newWritten);

    m_plugin.prototype()->aboutToExit();
    QVERIFY(m_answers->seen().isEmpty());

    const QString file = m_dir.write(QStringLiteral("named.kro"), "N");
    m_pages->drop(file);                   // page 0
    m_pages->trigger("actionNew");         // page 1, stays unchanged
    m_pages->trigger("actionNew");         // page 2
    m_pages->type(0, QStringLiteral("+"));
    m_pages->type(2, QStringLiteral("new"));
    m_pages->tabs()->setCurrentIndex(1);

    int currentWhenAsked = -1;
    m_answers->answer([&](QWidget* w) {
        currentWhenAsked = m_pages->current();
        qobject_cast<QMessageBox*>(w)->button(QMessageBox::StandardButton(answer))->click();
    });
    m_answers->press(QMessageBox::StandardButton(answer));
    if (answer == QMessageBox::Save)
        m_answers->chooseFile(saveAsName.isEmpty() ? QString() : m_dir.filePath(saveAsName));
    m_tool->aboutToExit();

    QCOMPARE(currentWhenAsked, 0);
    checkQuestion(0, QStringLiteral("The file \"named.kro\" has been modified but not saved."),
                  QMessageBox::Save | QMessageBox::Discard);
    checkQuestion(1, QStringLiteral("The file \"[New File 3]\" has been modified but not saved."),
                  QMessageBox::Save | QMessageBox::Discard);
    QCOMPARE(m_pages->current(), 2);
    QCOMPARE(read(file), named);
    QCOMPARE(QFile::exists(m_dir.filePath(QStringLiteral("new.kro"))), newWritten);
}

QTEST_MAIN(tst_WorkbenchPages)
#include "tst_workbenchpages.moc"
