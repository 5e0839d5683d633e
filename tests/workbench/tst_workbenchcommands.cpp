#include "AppSettings.h"
#include "ColourDialog.h"
#include "SettingsGroup.h"
#include "WorkbenchTest.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

// The workbench's own commands, driven through its actions and slots as a host and a user
// reach them: options and their settings, the module's program control, imported lines.
class tst_WorkbenchCommands : public WorkbenchTest
{
    Q_OBJECT

public:
    tst_WorkbenchCommands() : WorkbenchTest(6) {}

private slots:
    void optionsDefaults();
    void optionsReadAtConstruction();
    void optionsAcceptWritesCancelDoesNot_data();
    void optionsAcceptWritesCancelDoesNot();
    void animationDelayLimits();
    void selectIncludePath_data();
    void selectIncludePath();
    void coloursReadAtConstruction();
    void coloursAcceptWritesCancelDoesNot_data();
    void coloursAcceptWritesCancelDoesNot();
    void programControl_data();
    void programControl();
    void autoStart_data();
    void autoStart();
    void autoStartMarks_data();
    void autoStartMarks();
    void processCommand();
    void forwardDoDirectRequest();
    void importValue_data();
    void importValue();

private:
    QMap<QString, QVariant> options();
    // The editor colours of every page, as its palette shows them: text and background.
    QList<QPair<QColor, QColor>> pageColours() const;
    static QVariantMap storedGroup();
};

Q_DECLARE_METATYPE(Command)

namespace {

// The option controls of KROLOptions and the settings keys behind them, in the order written.
const QList<QPair<QString, QString>> OptionKeys = {
    {"AppendStopCmd", "CheckAppendStop"},       {"CheckRanges", "CheckRangeChecking"},
    {"WriteBinaryFile", "CheckBinaryFile"},     {"WriteSymbolFile", "CheckSymbolFile"},
    {"IncludePath", "EditIncludePath"},         {"AnimationDelay", "EditAnimationDelay"},
    {"ConfirmAssembler", "CheckConfirmAssembler"}, {"ConfirmDisassembler", "CheckConfirmDisassembler"},
    {"ConfirmDownload", "CheckConfirmDownload"}};

QVariant ControlValue(QWidget* dialog, const QString& name)
{
    QObject* o = dialog->findChild<QObject*>(name);
    if (auto* c = qobject_cast<QCheckBox*>(o))
        return c->isChecked();
    if (auto* e = qobject_cast<QLineEdit*>(o))
        return e->text();
    if (auto* s = qobject_cast<QSpinBox*>(o))
        return s->value();
    return QVariant();
}

void SetControl(QWidget* dialog, const QString& name, const QVariant& value)
{
    QObject* o = dialog->findChild<QObject*>(name);
    if (auto* c = qobject_cast<QCheckBox*>(o))
        c->setChecked(value.toBool());
    else if (auto* e = qobject_cast<QLineEdit*>(o))
        e->setText(value.toString());
    else if (auto* s = qobject_cast<QSpinBox*>(o))
        s->setValue(value.toInt());
}

const QVariantMap Defaults = {{"AppendStopCmd", true},     {"CheckRanges", true},
                              {"WriteBinaryFile", false},  {"WriteSymbolFile", false},
                              {"IncludePath", QString()},  {"AnimationDelay", 10},
                              {"ConfirmAssembler", true},  {"ConfirmDisassembler", false},
                              {"ConfirmDownload", true}};

const QVariantMap Changed = {{"AppendStopCmd", false},    {"CheckRanges", false},
                             {"WriteBinaryFile", true},   {"WriteSymbolFile", true},
                             {"IncludePath", "/inc/krol"}, {"AnimationDelay", 250},
                             {"ConfirmAssembler", false}, {"ConfirmDisassembler", true},
                             {"ConfirmDownload", false}};

} // namespace

// What the Options dialog shows, read while the dialog is open, then cancelled.
QVariantMap tst_WorkbenchCommands::options()
{
    QVariantMap shown;
    m_answers->click(QStringLiteral("Cancel"), [&shown](QWidget* dialog) {
        for (const auto& k : OptionKeys)
            shown.insert(k.first, ControlValue(dialog, k.second));
    });
    m_pages->trigger("actionOptions");
    return shown;
}

QVariantMap tst_WorkbenchCommands::storedGroup()
{
    AppSettings settings;
    settings.beginGroup(QString::fromLatin1(SettingsGroup::KROLCreator));
    QVariantMap stored;
    for (const QString& key : settings.childKeys())
        stored.insert(key, settings.value(key));
    return stored;
}

void tst_WorkbenchCommands::optionsDefaults()
{
    QCOMPARE(options(), Defaults);
    QVERIFY(storedGroup().isEmpty());
}

void tst_WorkbenchCommands::optionsReadAtConstruction()
{
    writeOptions(Changed);
    makeWorkbench();
    QCOMPARE(options(), Changed);
}

void tst_WorkbenchCommands::optionsAcceptWritesCancelDoesNot_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("OK") << "OK";
    QTest::newRow("Cancel") << "Cancel";
}

void tst_WorkbenchCommands::optionsAcceptWritesCancelDoesNot()
{
    QFETCH(QString, button);
    const bool accepted = button == QLatin1String("OK");
    m_answers->click(button, [](QWidget* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Assembler/Debugger Options"));
        for (const auto& k : OptionKeys)
            SetControl(dialog, k.second, Changed.value(k.first));
    });
    m_pages->trigger("actionOptions");
    const QVariantMap stored = storedGroup();
    if (!accepted) {
        QVERIFY(stored.isEmpty());
        QCOMPARE(options(), Defaults);
        return;
    }
    QCOMPARE(stored.keys(), Changed.keys());
    for (auto it = Changed.begin(); it != Changed.end(); ++it)
        QCOMPARE(stored.value(it.key()).toString(), it.value().toString());
    QCOMPARE(options(), Changed);   // the members took the new values at once
}

void tst_WorkbenchCommands::animationDelayLimits()
{
    QPair<int, int> range;
    m_answers->click(QStringLiteral("Cancel"), [&range](QWidget* dialog) {
        auto* spin = dialog->findChild<QSpinBox*>(QStringLiteral("EditAnimationDelay"));
        range = {spin->minimum(), spin->maximum()};
    });
    m_pages->trigger("actionOptions");
    QCOMPARE(range, qMakePair(0, 1000));
}

void tst_WorkbenchCommands::selectIncludePath_data()
{
    QTest::addColumn<bool>("choose");
    QTest::newRow("chosen") << true;
    QTest::newRow("cancelled") << false;
}

void tst_WorkbenchCommands::selectIncludePath()
{
    QFETCH(bool, choose);
    const QString folder = QDir::tempPath();
    QString shown;
    m_answers->click(QStringLiteral("OK"), [&](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("EditIncludePath"))->setText(QStringLiteral("typed"));
        m_answers->answer([&](QWidget* files) {
            QCOMPARE(files->windowTitle(), QStringLiteral("Select include directory"));
            if (choose)
                files->findChild<QLineEdit*>()->setText(folder);
            QMetaObject::invokeMethod(files, choose ? "accept" : "reject");
        });
        dialog->findChild<QPushButton*>(QStringLiteral("BtnSelectPath"))->click();
        shown = dialog->findChild<QLineEdit*>(QStringLiteral("EditIncludePath"))->text();
    });
    m_pages->trigger("actionOptions");
    QCOMPARE(shown, choose ? folder : QStringLiteral("typed"));
    QCOMPARE(storedGroup().value(QStringLiteral("IncludePath")).toString(), shown);
}

QList<QPair<QColor, QColor>> tst_WorkbenchCommands::pageColours() const
{
    QList<QPair<QColor, QColor>> colours;
    for (int i = 0; i < m_pages->count(); ++i) {
        const QPalette p = m_pages->editor(i)->palette();
        colours.append({p.color(QPalette::Text), p.color(QPalette::Base)});
    }
    return colours;
}

// A stored text converts to a colour; one that does not gives an invalid colour, unchanged.
void tst_WorkbenchCommands::coloursReadAtConstruction()
{
    writeOptions({{"Other Text_BG", "#010203"}, {"Other Text_FG", "no colour"}});
    makeWorkbench();
    QCOMPARE(pageColours(), (QList<QPair<QColor, QColor>>{{QColor(), QColor(1, 2, 3)}}));
}

void tst_WorkbenchCommands::coloursAcceptWritesCancelDoesNot_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void tst_WorkbenchCommands::coloursAcceptWritesCancelDoesNot()
{
    QFETCH(bool, accept);
    m_pages->trigger("actionNew");
    const QColor picked(1, 2, 3);
    m_answers->answer([&](QWidget* w) {
        auto* dialog = qobject_cast<ColourDialog*>(w);
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->GetActiveLineHighlighting());
        QVERIFY(dialog->GetKeepTextColor());
        dialog->setColourPicker([picked](QWidget*, const QColor&, const QString&) { return picked; });
        dialog->selectEntry(QLatin1String(EditorColour::OtherText));
        dialog->findChild<QPushButton*>(QStringLiteral("BtnBackground"))->click();
        dialog->SetActiveLineHighlighting(false);
        dialog->findChild<QDialogButtonBox*>()
            ->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    m_pages->trigger("actionColours");
    const QVariantMap stored = storedGroup();
    const QColor background = accept ? picked : QColor(Qt::white);
    QCOMPARE(pageColours(), (QList<QPair<QColor, QColor>>{{Qt::black, background}, {Qt::black, background}}));
    if (!accept) {
        QVERIFY(stored.isEmpty());
        return;
    }
    QCOMPARE(stored.size(), 18);   // all sixteen colours, changed or not, and the two options
    for (auto it = EditorColour::KROL.cbegin(); it != EditorColour::KROL.cend(); ++it) {
        const bool changed = it.key() == QLatin1String(EditorColour::OtherText);
        QCOMPARE(stored.value(it.key() + "_BG").value<QColor>(), changed ? picked : it->Background);
        QCOMPARE(stored.value(it.key() + "_FG").value<QColor>(), it->Foreground);
    }
    QCOMPARE(stored.value(QStringLiteral("HighlightActiveLine")).toBool(), false);
    QCOMPARE(stored.value(QStringLiteral("KeepActiveLineColor")).toBool(), true);
    m_pages->trigger("actionNew");   // later pages take the new colours too
    QCOMPARE(pageColours().last().second, picked);
}

void tst_WorkbenchCommands::programControl_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QList<int>>("commands");
    QTest::newRow("Run") << "actionRun" << QList<int>{128, 131, 129};
    QTest::newRow("Stop") << "actionStop" << QList<int>{128};
    QTest::newRow("Continue") << "actionContinue" << QList<int>{129};
}

// Replies are not examined: the same requests go out whether the module answers or not.
void tst_WorkbenchCommands::programControl()
{
    QFETCH(QString, action);
    QFETCH(QList<int>, commands);
    m_pages->trigger(action.toLatin1().constData());
    QList<int> sent;
    for (const RecordingConnection::Call& c : m_plugin.link().calls()) {
        QCOMPARE(c.kind, RecordingConnection::Call::DirectRequest);
        QCOMPARE(c.request, Command(6, c.request.command(), 0, 0, 0, false, 12));
        sent << c.request.command();
    }
    QCOMPARE(sent, commands);
}

void tst_WorkbenchCommands::autoStart_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("value");   // -1: nothing sent
    const QString on = QStringLiteral("You are about to turn on the KROL auto start function on the module.");
    const QString off = QStringLiteral("You are about to turn off the KROL auto start function on the module.");
    QTest::newRow("on, yes") << "actionOn" << on << int(QMessageBox::Yes) << 1;
    QTest::newRow("on, no") << "actionOn" << on << int(QMessageBox::No) << -1;
    QTest::newRow("off, yes") << "actionOff" << off << int(QMessageBox::Yes) << 0;
    QTest::newRow("off, no") << "actionOff" << off << int(QMessageBox::No) << -1;
}

void tst_WorkbenchCommands::autoStart()
{
    QFETCH(QString, action);
    QFETCH(QString, text);
    QFETCH(int, answer);
    QFETCH(int, value);
    m_answers->press(QMessageBox::StandardButton(answer));
    m_pages->trigger(action.toLatin1().constData());
    QCOMPARE(m_answers->seen().size(), 1);
    QCOMPARE(m_answers->seen().first().summary(), "Question: " + text + "|Would you like to proceed? [Yes No]");
    const QList<Command> sent = m_plugin.link().requests();
    if (value < 0) {
        QVERIFY(sent.isEmpty());
        return;
    }
    QCOMPARE(sent, QList<Command>({Command(6, 9, 77, 0, value, false, 12)}));
}

void tst_WorkbenchCommands::autoStartMarks_data()
{
    QTest::addColumn<Command>("reply");
    QTest::addColumn<bool>("on");
    QTest::addColumn<bool>("off");
    QTest::newRow("1") << RecordingConnection::reply(100, 1) << true << false;
    QTest::newRow("0") << RecordingConnection::reply(100, 0) << false << true;
    QTest::newRow("2") << RecordingConnection::reply(100, 2) << false << false;
    QTest::newRow("no answer") << Command() << false << true;
}

void tst_WorkbenchCommands::autoStartMarks()
{
    QFETCH(Command, reply);
    QFETCH(bool, on);
    QFETCH(bool, off);
    auto* menu = m_tool->findChild<QMenu*>(QStringLiteral("menuAutostart"));
    m_tool->findChild<QAction*>(QStringLiteral("actionOn"))->setChecked(!on);
    m_tool->findChild<QAction*>(QStringLiteral("actionOff"))->setChecked(!off);
    m_plugin.link().queueReply(reply);
    QMetaObject::invokeMethod(menu, "aboutToShow");
    QCOMPARE(m_plugin.link().requests(), QList<Command>({Command(6, 10, 77, 0, 0, false, 12)}));
    QCOMPARE(m_tool->findChild<QAction*>(QStringLiteral("actionOn"))->isChecked(), on);
    QCOMPARE(m_tool->findChild<QAction*>(QStringLiteral("actionOff"))->isChecked(), off);
}

// A caller outside the plug-in: the request goes through processRequest, the reply's fields
// come back whether it is valid or not.
void tst_WorkbenchCommands::processCommand()
{
    Command answer = RecordingConnection::reply(100, -5);
    answer.setAddress(2);
    answer.setCommand(6);
    answer.setValid(false);
    m_plugin.link().queueReply(answer);
    uchar address = 0, status = 0, opcode = 0;
    int value = 0;
    QVERIFY(QMetaObject::invokeMethod(m_tool.get(), "ProcessCommand", Q_ARG(uchar, 6), Q_ARG(uchar, 1),
                                      Q_ARG(uchar, 2), Q_ARG(int, 1000), Q_ARG(uchar&, address),
                                      Q_ARG(uchar&, status), Q_ARG(uchar&, opcode), Q_ARG(int&, value)));
    QCOMPARE(m_plugin.link().calls().size(), 1);
    QCOMPARE(m_plugin.link().calls().first().kind, RecordingConnection::Call::ProcessRequest);
    const Command sent = m_plugin.link().calls().first().request;
    QCOMPARE(int(sent.address()), 6);
    QCOMPARE(int(sent.command()), 6);
    QCOMPARE(int(sent.type()), 1);
    QCOMPARE(int(sent.motorBank()), 2);
    QCOMPARE(sent.value(), 1000);
    QVERIFY(sent.isValid());
    QCOMPARE(QList<int>({address, status, opcode, value}), QList<int>({2, 100, 6, -5}));
}

void tst_WorkbenchCommands::forwardDoDirectRequest()
{
    m_plugin.link().queueReply(RecordingConnection::reply(101, 42));
    Command reply;
    auto* request = new Command(9, 132, 0, 0, 0, false, 12);
    QVERIFY(QMetaObject::invokeMethod(m_tool.get(), "forwardDoDirectRequest", Q_ARG(Command*, request),
                                      Q_ARG(Command*, &reply)));
    QCOMPARE(m_plugin.link().requests(), QList<Command>({Command(9, 132, 0, 0, 0, false, 12)}));
    QCOMPARE(m_plugin.link().calls().first().kind, RecordingConnection::Call::DirectRequest);
    QCOMPARE(reply.value(), 42);
}

void tst_WorkbenchCommands::importValue_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("after");
    QTest::newRow("module marker") << "" << "SAP 4, %module%, 1000" << false << "SAP 4, 1000";
    QTest::newRow("every marker") << "" << "SIO 1, %module%, 2, %module%" << false << "SIO 1, 2";
    QTest::newRow("case kept") << "" << "ROR 0, %MODULE%, 5" << false << "ROR 0, %MODULE%, 5";
    QTest::newRow("a line of its own") << "STOP" << "MST %module%" << false << "STOP\nMST %module%";
    QTest::newRow("read-only page") << "STOP" << "SAP 4, %module%, 1000" << true << "STOP";
}

void tst_WorkbenchCommands::importValue()
{
    QFETCH(QString, before);
    QFETCH(QString, value);
    QFETCH(bool, readOnly);
    QFETCH(QString, after);
    CodeEditor* editor = m_pages->editor(m_pages->current());
    editor->setPlainText(before);
    editor->setReadOnly(readOnly);
    m_tool->importValue(&ExportTypes::KROLScript, value, nullptr);
    QCOMPARE(editor->toPlainText(), after);
}

QTEST_MAIN(tst_WorkbenchCommands)
#include "tst_workbenchcommands.moc"
