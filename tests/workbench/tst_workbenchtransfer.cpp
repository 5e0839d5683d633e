#include "AppSettings.h"
#include "ModalAnswerer.h"
#include "ModuleCommands.h"
#include "PluginFixture.h"
#include "SettingsGroup.h"
#include "TestData.h"
#include "TransferScript.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>

Q_DECLARE_METATYPE(QList<TInstruction>)

using namespace TransferScript;

// Download and Disassemble through the loaded plug-in, against a recording connection.
class tst_WorkbenchTransfer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void disassemble_data();
    void disassemble();
    void secondReadBackOpensAPage();
    void downloadAsksToAssemble();

private:
    void trigger(const char* action) { m_tool->findChild<QAction*>(action)->trigger(); }
    QTabWidget* tabs() const { return m_tool->findChild<QTabWidget*>("tabWidget"); }
    QString pageText(int index) const { return tabs()->widget(index)->findChild<QPlainTextEdit*>()->toPlainText(); }

    PluginFixture m_plugin;
    std::unique_ptr<ToolsInterface> m_tool;
    ModalAnswerer* m_answerer = nullptr;
};

void tst_WorkbenchTransfer::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QString error;
    QVERIFY2(m_plugin.load(&error), qPrintable(error));
}

void tst_WorkbenchTransfer::init()
{
    AppSettings().clear();
    QString error;
    m_tool = m_plugin.clone(PluginFixture::modulePath(QStringLiteral("virtual.json")), 5, &error);
    QVERIFY2(m_tool, qPrintable(error));
    m_tool->setEnabled(true);
    m_plugin.link().clear();
    delete m_answerer;
    m_answerer = new ModalAnswerer(this);
    m_answerer->leave("UploadDownload");
    m_answerer->leave("Disassembler");
}

void tst_WorkbenchTransfer::disassemble_data()
{
    QTest::addColumn<QList<TInstruction>>("memory");
    QTest::addColumn<int>("invalidAt");
    QTest::addColumn<int>("reads");
    QTest::addColumn<QString>("text");         // a line the page shows; empty: the page stays empty
    QTest::addColumn<QStringList>("message");  // text and informative text of the box after it

    const QList<TInstruction> program{MakeInstruction(1, 0, 0, 1000), MakeInstruction(28), MakeInstruction(0)};
    QTest::newRow("program") << program << -1 << 3 << "ROR 0, 1000" << QStringList();
    QTest::newRow("empty memory") << QList<TInstruction>{MakeInstruction(0)} << -1 << 1 << ""
                                  << QStringList{"The KROL program memory of the module is empty.", ""};
    QList<TInstruction> full;
    for (int a = 0; a < 2048; ++a)
        full.append(MakeInstruction(1, 0, 0, a));
    QTest::newRow("no end") << full << -1 << 2048 << "ROR 0, 2047"
        << QStringList{"The KROL program read back has been aborted.", "The disassembled program may be incomplete."};
}

void tst_WorkbenchTransfer::disassemble()
{
    QFETCH(QList<TInstruction>, memory);
    QFETCH(int, invalidAt);
    QFETCH(int, reads);
    QFETCH(QString, text);
    QFETCH(QStringList, message);
    RecordingConnection& module = m_plugin.link();
    Script(module, invalidAt, Invalid, memory);
    if (!message.isEmpty())
        m_answerer->press(QMessageBox::Ok);

    trigger("actionDisassemble");

    const QList<RecordingConnection::Call>& calls = module.calls();
    QCOMPARE(calls.size(), reads + 2);
    QCOMPARE(calls.first().mode, 0);
    QCOMPARE(calls.last().mode, 1);
    for (int a = 0; a < reads; ++a)
        QVERIFY(calls[a + 1].request == Command(5, ModuleCommand::ReadMem, 0, 0, a, false, 12));
    QCOMPARE(m_answerer->unexpected(), 0);
    QCOMPARE(m_answerer->pending(), 0);
    if (!message.isEmpty()) {
        QCOMPARE(m_answerer->seen().last().text, message[0]);
        QCOMPARE(m_answerer->seen().last().informativeText, message[1]);
    }
    QCOMPARE(tabs()->count(), 1);
    QCOMPARE(pageText(0).contains(text), true);
    QCOMPARE(pageText(0).isEmpty(), text.isEmpty());
    QStringList labels;
    for (const QLabel* label : m_tool->findChild<QStatusBar*>()->findChildren<QLabel*>())
        labels << label->text();
    QVERIFY(labels.contains(text.isEmpty() ? "Original" : "Modified"));
}

void tst_WorkbenchTransfer::secondReadBackOpensAPage()
{
    Script(m_plugin.link(), -1, 0, {MakeInstruction(28), MakeInstruction(0)});
    trigger("actionDisassemble");
    trigger("actionDisassemble");
    QCOMPARE(tabs()->count(), 2);
    QCOMPARE(pageText(1), pageText(0));
    QCOMPARE(m_answerer->unexpected(), 0);
}

// No, with the check box ticked: nothing is sent, the choice is stored, and the next Download
// goes straight to assembling (an empty page assembles to nothing, so it stops there).
void tst_WorkbenchTransfer::downloadAsksToAssemble()
{
    m_answerer->answer([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        box->checkBox()->setChecked(true);
        box->button(QMessageBox::No)->click();
    });
    trigger("actionDownload");
    QCOMPARE(m_answerer->pending(), 0);
    const ModalAnswerer::Seen& box = m_answerer->seen().first();
    QCOMPARE(box.text, QString("The program needs to be assembled first."));
    QCOMPARE(box.informativeText, QString("Would you like to do that now?"));
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(m_plugin.link().calls().isEmpty());
    AppSettings settings;
    settings.beginGroup(QString::fromLatin1(SettingsGroup::KROLCreator));
    QCOMPARE(settings.value("DoNotNotifyAgain").toBool(), true);

    // The next Download asks no more; it goes straight to the assembler's window.
    const QString question = box.text;
    trigger("actionDownload");
    int questions = 0;
    for (const ModalAnswerer::Seen& seen : m_answerer->seen())
        questions += seen.text == question;
    QCOMPARE(questions, 1);
}

QTEST_MAIN(tst_WorkbenchTransfer)
#include "tst_workbenchtransfer.moc"
