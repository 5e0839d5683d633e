#include "AppSettings.h"
#include "CaseFile.h"
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
    void session_data();
    void session() { runSteps(); }
    void processCommand();
    void forwardDoDirectRequest();

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

// tests/cases/workbench-commands.cases.
void tst_WorkbenchCommands::session_data()
{
    AddCaseRows("workbench-commands.cases");
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

QTEST_MAIN(tst_WorkbenchCommands)
#include "tst_workbenchcommands.moc"
