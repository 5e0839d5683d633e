#include "AppSettings.h"
#include "ModalAnswerer.h"
#include "PageProbe.h"
#include "PluginFixture.h"
#include "TestData.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The page life cycle of a workbench loaded from the plug-in file: which page a file goes to,
// every question asked before text could be lost, and the reload of files changed outside.
class tst_WorkbenchPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void loadTargetsAndNaming();
    void closeQuestions_data();
    void closeQuestions();
    void closeOnlyPage_data();
    void closeOnlyPage();
    void closeOtherPageSavesThatPage();
    void closingCurrentFirstTabRewiresEditActions();
    void saveAndSaveAs();
    void saveAll();
    void aboutToExit_data();
    void aboutToExit();
    void reloadQuestion_data();
    void reloadQuestion();
    void watchedFiles();
    void filesThatCannotBeOpened();
    void tabSwitchShowsPageState();

private:
    QString read(const QString& path) const;
    // Waits until the workbench asks about a file changed outside; the answers queued decide.
    void changeOutside(const QString& path, const QByteArray& data) const;
    void checkQuestion(int index, const QString& text, QMessageBox::StandardButtons buttons) const;

    PluginFixture m_plugin;
    ScratchDir m_dir;
    std::unique_ptr<ModalAnswerer> m_answers;
    std::unique_ptr<ToolsInterface> m_tool;
    std::unique_ptr<PageProbe> m_pages;
};

void tst_WorkbenchPages::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QString error;
    QVERIFY2(m_plugin.load(&error), qPrintable(error));
}

void tst_WorkbenchPages::init()
{
    QVERIFY(m_dir.reset());
    AppSettings().clear();
    m_answers.reset(new ModalAnswerer);
    QString error;
    m_tool = m_plugin.clone(PluginFixture::modulePath(QStringLiteral("virtual.json")), 1, &error);
    QVERIFY2(m_tool, qPrintable(error));
    m_pages.reset(new PageProbe(m_tool.get()));
}

void tst_WorkbenchPages::cleanup()
{
    m_pages.reset();
    m_tool.reset();
    QCOMPARE(m_answers->unexpected(), 0);
    QCOMPARE(m_answers->pending(), 0);
    m_answers.reset();
}

QString tst_WorkbenchPages::read(const QString& path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(file.readAll())
                                                            : QStringLiteral("(missing)");
}

void tst_WorkbenchPages::changeOutside(const QString& path, const QByteArray& data) const
{
    const int before = m_answers->seen().size();
    WriteTestFile(path, data);
    QTRY_COMPARE(m_answers->seen().size(), before + 1);
}

void tst_WorkbenchPages::checkQuestion(int index, const QString& text, QMessageBox::StandardButtons buttons) const
{
    QVERIFY(index < m_answers->seen().size());
    const ModalAnswerer::Seen& seen = m_answers->seen().at(index);
    QCOMPARE(seen.text, text);
    QCOMPARE(seen.informativeText, QStringLiteral("Do you want to save your changes?"));
    QCOMPARE(seen.icon, QMessageBox::Question);
    QCOMPARE(seen.buttons, buttons);
}

void tst_WorkbenchPages::loadTargetsAndNaming()
{
    const QString a = m_dir.write(QStringLiteral("a.kro"), "ROR 0, 100\n");
    const QString b = m_dir.write(QStringLiteral("b.kro"), "STOP\n");
    QCOMPARE(m_pages->title(0), QStringLiteral("[New File 1]"));
    QCOMPARE(m_pages->modification(), QStringLiteral("Original"));

    m_answers->chooseFile(a);
    m_pages->trigger("actionLoad");
    QCOMPARE(m_pages->count(), 1);
    QCOMPARE(m_pages->title(0), QStringLiteral("a.kro"));
    QCOMPARE(m_pages->text(0), QStringLiteral("ROR 0, 100\n"));
    QCOMPARE(m_pages->modification(), QStringLiteral("Original"));

    // The second file gets a page of its own, which used number 2 of the counter.
    m_answers->chooseFile(b);
    m_pages->trigger("actionLoad");
    QCOMPARE(m_pages->count(), 2);
    QCOMPARE(m_pages->current(), 1);
    QCOMPARE(m_pages->title(1), QStringLiteral("b.kro"));
    m_pages->trigger("actionNew");
    QCOMPARE(m_pages->title(2), QStringLiteral("[New File 3]"));

    // Numbers are never reused after a close.
    m_pages->trigger("actionClose");
    m_pages->trigger("actionNew");
    QCOMPARE(m_pages->count(), 3);
    QCOMPARE(m_pages->title(2), QStringLiteral("[New File 4]"));

    // Typing into a fresh workbench's first page makes the next file open in a page of its own.
    m_tool = m_plugin.clone(PluginFixture::modulePath(QStringLiteral("virtual.json")), 2, nullptr);
    m_pages.reset(new PageProbe(m_tool.get()));
    m_pages->type(0, QStringLiteral("x"));
    QCOMPARE(m_pages->modification(), QStringLiteral("Modified"));
    m_pages->drop(a);
    QCOMPARE(m_pages->count(), 2);
    QCOMPARE(m_pages->text(0), QStringLiteral("x"));
    QCOMPARE(m_pages->text(1), QStringLiteral("ROR 0, 100\n"));
    QCOMPARE(m_pages->modification(), QStringLiteral("Original"));
}

void tst_WorkbenchPages::closeQuestions_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");          // to the question; NoButton: none expected
    QTest::addColumn<QString>("saveAsName");  // chosen in Save as; empty: cancelled
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("written");     // what the file then holds

    const int none = QMessageBox::NoButton;
    QTest::newRow("unchanged") << true << false << none << QString() << true << "old";
    QTest::newRow("cancel") << true << true << int(QMessageBox::Cancel) << QString() << false << "old";
    QTest::newRow("discard") << true << true << int(QMessageBox::Discard) << QString() << true << "old";
    QTest::newRow("save") << true << true << int(QMessageBox::Save) << QString() << true << "old+";
    QTest::newRow("save as") << false << true << int(QMessageBox::Save) << "new.kro" << true << "+";
    QTest::newRow("save as cancelled") << false << true << int(QMessageBox::Save) << QString() << false
                                       << "(missing)";
}

void tst_WorkbenchPages::closeQuestions()
{
    QFETCH(bool, named);
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(QString, saveAsName);
    QFETCH(bool, closed);
    QFETCH(QString, written);

    const QString file = named ? m_dir.write(QStringLiteral("page.kro"), "old")
                               : m_dir.filePath(QStringLiteral("new.kro"));
    m_pages->trigger("actionNew");
    if (named)
        m_pages->drop(file);
    const int page = m_pages->current();
    if (modified)
        m_pages->type(page, QStringLiteral("+"));

    if (answer != QMessageBox::NoButton)
        m_answers->press(QMessageBox::StandardButton(answer));
    if (!named && answer == QMessageBox::Save)
        m_answers->chooseFile(saveAsName.isEmpty() ? QString() : m_dir.filePath(saveAsName));
    m_pages->trigger("actionClose");

    QCOMPARE(m_answers->seen().isEmpty(), answer == QMessageBox::NoButton);
    if (answer != QMessageBox::NoButton)
        checkQuestion(0, QStringLiteral("The current file has been modified but not saved."),
                      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    QCOMPARE(m_pages->count(), closed ? page : page + 1);
    QCOMPARE(read(file), written);
    QCOMPARE(m_pages->modification(), closed ? QStringLiteral("Original") : QStringLiteral("Modified"));
}

void tst_WorkbenchPages::closeOnlyPage_data()
{
    QTest::addColumn<bool>("modified");
    QTest::newRow("unchanged") << false;
    QTest::newRow("modified") << true;
}

void tst_WorkbenchPages::closeOnlyPage()
{
    QFETCH(bool, modified);
    if (modified)
        m_pages->type(0, QStringLiteral("ROR 0, 1"));
    m_pages->trigger("actionClose");
    emit m_pages->tabs()->tabCloseRequested(0);
    QCOMPARE(m_pages->count(), 1);
    QVERIFY(m_answers->seen().isEmpty());
}

void tst_WorkbenchPages::closeOtherPageSavesThatPage()
{
    const QString a = m_dir.write(QStringLiteral("a.kro"), "A");
    const QString b = m_dir.write(QStringLiteral("b.kro"), "B");
    m_pages->drop(a);
    m_pages->drop(b);
    m_pages->type(0, QStringLiteral("0"));
    m_pages->type(1, QStringLiteral("1"));
    QCOMPARE(m_pages->current(), 1);

    m_answers->press(QMessageBox::Save);
    emit m_pages->tabs()->tabCloseRequested(0);
    QCOMPARE(read(a), QStringLiteral("A0"));
    QCOMPARE(read(b), QStringLiteral("B"));
    QCOMPARE(m_pages->count(), 1);
    QCOMPARE(m_pages->title(0), QStringLiteral("b.kro"));
    QCOMPARE(m_pages->modification(), QStringLiteral("Modified"));
}

void tst_WorkbenchPages::closingCurrentFirstTabRewiresEditActions()
{
    m_pages->type(0, QStringLiteral("zero"));
    m_pages->trigger("actionNew");
    m_pages->type(1, QStringLiteral("one"));
    m_pages->tabs()->setCurrentIndex(0);

    m_answers->press(QMessageBox::Discard);
    m_pages->trigger("actionClose");
    QCOMPARE(m_pages->count(), 1);
    QCOMPARE(m_pages->text(0), QStringLiteral("one"));

    m_pages->trigger("actionSelect_all");
    QCOMPARE(m_pages->editor(0)->textCursor().selectedText(), QStringLiteral("one"));
    m_pages->trigger("actionCut");
    QCOMPARE(m_pages->text(0), QString());
    m_pages->trigger("actionUndo");
    QCOMPARE(m_pages->text(0), QStringLiteral("one"));
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

void tst_WorkbenchPages::saveAll()
{
    const QString named = m_dir.write(QStringLiteral("named.kro"), "N");
    m_pages->type(0, QStringLiteral("first"));
    m_pages->trigger("actionNew");
    m_pages->drop(named);
    WriteTestFile(named, "outside");
    m_pages->trigger("actionNew");
    m_pages->type(3, QStringLiteral("last"));
    m_pages->tabs()->setCurrentIndex(2);

    m_answers->chooseFile(m_dir.filePath(QStringLiteral("first.kro")));
    m_answers->chooseFile(QString());   // page 1, never edited: stays unsaved
    m_answers->chooseFile(QString());   // page 3
    m_pages->trigger("actionSave_all");

    QCOMPARE(m_answers->seen().size(), 3);
    QCOMPARE(read(m_dir.filePath(QStringLiteral("first.kro"))), QStringLiteral("first"));
    QCOMPARE(m_pages->title(0), QStringLiteral("first.kro"));
    QCOMPARE(read(named), QStringLiteral("N"));
    QCOMPARE(m_pages->title(3), QStringLiteral("[New File 4]"));
    QCOMPARE(m_pages->current(), 3);
    QCOMPARE(m_pages->modification(), QStringLiteral("Modified"));
    // Save all reads the stored directory but never stores one.
    AppSettings settings;
    settings.beginGroup(QStringLiteral("Tools_KROLCreator"));
    QVERIFY(!settings.contains(QStringLiteral("Virtual module_Dir")));
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

void tst_WorkbenchPages::reloadQuestion_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("status");

    QTest::newRow("yes") << false << int(QMessageBox::Yes) << "outside" << "Modified";
    QTest::newRow("yes over edits") << true << int(QMessageBox::Yes) << "outside" << "Modified";
    QTest::newRow("discard") << true << int(QMessageBox::Discard) << "mine+" << "Modified";
    QTest::newRow("cancel") << false << int(QMessageBox::Cancel) << "mine" << "Original";
}

void tst_WorkbenchPages::reloadQuestion()
{
    QFETCH(bool, edited);
    QFETCH(int, answer);
    QFETCH(QString, text);
    QFETCH(QString, status);

    const QString file = m_dir.write(QStringLiteral("w.kro"), "mine");
    m_answers->chooseFile(file);
    m_pages->trigger("actionLoad");
    if (edited)
        m_pages->type(0, QStringLiteral("+"));

    bool yesIsDefault = false;
    m_answers->answer([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        yesIsDefault = box->defaultButton() == box->button(QMessageBox::Yes);
        box->button(QMessageBox::StandardButton(answer))->click();
    });
    changeOutside(file, "outside");
    const ModalAnswerer::Seen& seen = m_answers->seen().last();
    QCOMPARE(seen.text, QStringLiteral("The file has been modified outside of creator."));
    QCOMPARE(seen.informativeText, QStringLiteral("Do you want to reload it?"));
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::Discard | QMessageBox::Cancel);
    QVERIFY(yesIsDefault);
    QCOMPARE(m_pages->text(0), text);
    QCOMPARE(m_pages->modification(), status);

    // Still watched after the answer, whatever it was.
    m_answers->press(QMessageBox::Cancel);
    changeOutside(file, "again");
}

void tst_WorkbenchPages::watchedFiles()
{
    const QString opened = m_dir.write(QStringLiteral("opened.kro"), "O");
    const QString dropped = m_dir.write(QStringLiteral("dropped.kro"), "D");
    m_answers->chooseFile(opened);
    m_pages->trigger("actionLoad");
    m_pages->drop(dropped);
    QCOMPARE(m_pages->count(), 2);

    // Saving our own page raises no question about our own write.
    m_pages->tabs()->setCurrentIndex(0);
    m_pages->trigger("actionSave");

    // The dropped file is not watched: changing it first and the opened file second, the one
    // question that comes is about the opened file.
    const int asked = m_answers->seen().size();
    m_answers->press(QMessageBox::Cancel);
    WriteTestFile(dropped, "D2");
    changeOutside(opened, "O2");
    QCOMPARE(m_answers->seen().size(), asked + 1);

    // A closed page's file stays watched; Yes then changes no page.
    m_pages->tabs()->setCurrentIndex(0);
    m_pages->trigger("actionClose");
    QCOMPARE(m_pages->count(), 1);
    m_answers->press(QMessageBox::Yes);
    changeOutside(opened, "O3");
    QCOMPARE(m_pages->text(0), QStringLiteral("D"));
    QCOMPARE(m_pages->modification(), QStringLiteral("Original"));
}

void tst_WorkbenchPages::filesThatCannotBeOpened()
{
    // Neither case says a word: an unreadable file gives an empty page, an unwritable one
    // counts as saved.
    const QString missing = m_dir.filePath(QStringLiteral("no/such/x.kro"));
    m_pages->drop(missing);
    QCOMPARE(m_pages->title(0), QStringLiteral("x.kro"));
    QCOMPARE(m_pages->text(0), QString());
    m_pages->type(0, QStringLiteral("STOP"));
    QCOMPARE(m_pages->modification(), QStringLiteral("Modified"));
    m_pages->trigger("actionSave");
    QCOMPARE(m_pages->modification(), QStringLiteral("Original"));
    QVERIFY(!QFile::exists(missing));

    // A path without "/" is split at its last "\".
    m_pages->drop(QStringLiteral("C:\\KROL\\odd.kro"));
    QCOMPARE(m_pages->title(1), QStringLiteral("odd.kro"));
    m_pages->tabs()->setCurrentIndex(0);
    m_pages->trigger("actionClose");   // no question: the page counts as saved
    QCOMPARE(m_pages->count(), 1);
}

void tst_WorkbenchPages::tabSwitchShowsPageState()
{
    m_pages->type(0, QStringLiteral("line 1\nline 2"));
    m_pages->editor(0)->moveCursor(QTextCursor::End);
    m_pages->editor(0)->setOverwriteMode(true);
    m_pages->trigger("actionNew");
    QCOMPARE(m_pages->modification(), QStringLiteral("Original"));
    QCOMPARE(m_pages->status(0), QStringLiteral("1:1"));
    QCOMPARE(m_pages->status(2), QStringLiteral("Insert"));
    m_pages->tabs()->setCurrentIndex(0);
    QCOMPARE(m_pages->modification(), QStringLiteral("Modified"));
    QCOMPARE(m_pages->status(0), QStringLiteral("7:2"));
    QCOMPARE(m_pages->status(2), QStringLiteral("Overwrite"));
}

QTEST_MAIN(tst_WorkbenchPages)
#include "tst_workbenchpages.moc"
