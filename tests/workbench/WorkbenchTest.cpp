#include "WorkbenchTest.h"

#include "AppSettings.h"
#include "DebugProbe.h"
#include "SettingsGroup.h"

#include <QMenu>
#include <QTextBlock>
#include <QtTest>

namespace {

QString Unescape(QString text)
{
    return text.replace(QLatin1String("\\n"), QLatin1String("\n"));
}

QString Bool(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

const QMap<QString, QMessageBox::StandardButton> Buttons{{"Ok", QMessageBox::Ok},         {"Save", QMessageBox::Save},
                                                         {"Discard", QMessageBox::Discard}, {"Cancel", QMessageBox::Cancel},
                                                         {"Yes", QMessageBox::Yes},       {"No", QMessageBox::No}};

} // namespace

WorkbenchTest::WorkbenchTest(unsigned char id, QVariantMap options, QStringList leave)
    : m_id(id), m_options(std::move(options)), m_leave(std::move(leave))
{
}

void WorkbenchTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QString error;
    QVERIFY2(m_plugin.load(&error), qPrintable(error));
}

void WorkbenchTest::init()
{
    QVERIFY(m_dir.reset());
    writeOptions(m_options);
    m_answers.reset(new ModalAnswerer);
    for (const QString& window : m_leave)
        m_answers->leave(window);
    makeWorkbench();
}

void WorkbenchTest::cleanup()
{
    m_pages.reset();
    m_tool.reset();
    QCOMPARE(m_answers->unexpected(), 0);
    QCOMPARE(m_answers->pending(), 0);
}

void WorkbenchTest::makeWorkbench()
{
    m_pages.reset();
    m_tool.reset();   // before the fixture's module it uses
    QString error;
    m_tool = m_plugin.clone(PluginFixture::modulePath(QStringLiteral("virtual.json")), m_id, &error);
    QVERIFY2(m_tool, qPrintable(error));
    m_pages.reset(new PageProbe(m_tool.get()));
    m_plugin.link().clear();
}

void WorkbenchTest::writeOptions(const QVariantMap& options)
{
    AppSettings settings;
    settings.clear();
    settings.beginGroup(QLatin1String(SettingsGroup::KROLCreator));
    for (auto it = options.begin(); it != options.end(); ++it)
        settings.setValue(it.key(), it.value());
    settings.endGroup();
    settings.sync();
}

QString WorkbenchTest::path(const QString& name) const
{
    return name.contains('\\') ? name : m_dir.filePath(name);
}

QString WorkbenchTest::read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(file.readAll())
                                                            : QStringLiteral("(missing)");
}

void WorkbenchTest::changeOutside(const QString& path, const QByteArray& data) const
{
    const int before = m_answers->seen().size();
    WriteTestFile(path, data);
    QTRY_COMPARE(m_answers->seen().size(), before + 1);
}

void WorkbenchTest::runSteps()
{
    QFETCH(QStringList, body);
    QFETCH(QStringList, results);
    for (const QString& line : body) {
        const QString verb = line.section(' ', 0, 0);
        const QString args = Unescape(line.section(' ', 1));
        const QString first = args.section(' ', 0, 0);
        const QString rest = args.section(' ', 1);
        if (verb == "expect")
            check(args);
        else if (verb == "write")
            m_dir.write(first, rest.toUtf8());
        else if (verb == "change")
            WriteTestFile(path(first), rest.toUtf8());
        else if (verb == "outside")
            changeOutside(path(first), rest.toUtf8());
        else if (verb == "drop")
            m_pages->drop(path(first));
        else if (verb == "choose")
            m_answers->chooseFile(first.isEmpty() ? QString() : path(first));
        else if (verb == "press" && Buttons.contains(first))
            m_answers->press(Buttons[first]);
        else if (verb == "click")
            m_answers->click(args);
        else if (verb == "type")
            m_pages->type(first.toInt(), rest);
        else if (verb == "replace")
            m_pages->editor(first.toInt())->setPlainText(rest);
        else if (verb == "end")
            m_pages->editor(first.toInt())->moveCursor(QTextCursor::End);
        else if (verb == "overwrite")
            m_pages->editor(first.toInt())->setOverwriteMode(true);
        else if (verb == "key" && rest == "Insert")
            QTest::keyClick(m_pages->editor(first.toInt()), Qt::Key_Insert);
        else if (verb == "cursor") {
            QTextCursor cursor(m_pages->editor(first.toInt())->document()->findBlockByNumber(rest.section(' ', 0, 0).toInt() - 1));
            cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, rest.section(' ', 1).toInt() - 1);
            m_pages->editor(first.toInt())->setTextCursor(cursor);
        }
        else if (verb == "current")
            m_pages->tabs()->setCurrentIndex(first.toInt());
        else if (verb == "close")
            emit m_pages->tabs()->tabCloseRequested(first.toInt());
        else if (verb == "trigger")
            m_pages->trigger(qPrintable(first));
        else if (verb == "margin")
            DebugProbe::Click(*m_pages, first.toInt());
        else if (verb == "settle")
            QVERIFY(DebugProbe::Settle(m_tool.get()));
        else if (verb == "answer")
            m_plugin.link().queueReply(first == "none" ? Command() : RecordingConnection::reply(uchar(first.toInt()), rest.toInt()));
        else if (verb == "show" && m_tool->findChild<QMenu*>(first))
            QMetaObject::invokeMethod(m_tool->findChild<QMenu*>(first), "aboutToShow");
        else if (verb == "tick" && m_tool->findChild<QAction*>(first))
            m_tool->findChild<QAction*>(first)->setChecked(rest == "true");
        else if (verb == "import")
            m_tool->importValue(&ExportTypes::KROLScript, args, nullptr);
        else if (verb == "lock")
            m_pages->editor(first.toInt())->setReadOnly(true);
        else if (!step(verb, args))
            QFAIL(qPrintable("not a step: " + line));
        if (QTest::currentTestFailed())
            return;
    }
    for (const QString& item : results) {
        check(Unescape(item));
        if (QTest::currentTestFailed())
            return;
    }
}

// "on": the debugger switched on and the requests that took forgotten; "clear": the requests
// so far forgotten.
bool WorkbenchTest::step(const QString& verb, const QString&)
{
    if (verb != "on" && verb != "clear")
        return false;
    if (verb == "on") {
        m_pages->trigger("actionDebugger_active");
        if (!m_tool->findChild<QAction*>("actionDebugger_active")->isChecked())
            QTest::qFail("the debugger did not come on", __FILE__, __LINE__);
    }
    m_plugin.link().clear();
    return true;
}

void WorkbenchTest::check(const QString& item)
{
    const QString key = item.section('=', 0, 0);
    const QString want = item.section('=', 1);
    const QString got = value(key);
    QVERIFY2(got == want, qPrintable(QStringLiteral("%1: \"%2\", not \"%3\"").arg(key, got, want)));
}

QString WorkbenchTest::value(const QString& key)
{
    const QString what = key.section(' ', 1);
    const QList<ModalAnswerer::Seen>& seen = m_answers->seen();
    QStringList list;
    if (key == "pages") {
        for (int i = 0; i < m_pages->count(); ++i)
            list << (i == m_pages->current() ? "*" : "") + m_pages->title(i);
        return list.join(" | ");
    }
    if (key == "boxes") {
        for (const ModalAnswerer::Seen& box : seen)
            list << box.text + '|' + box.informativeText;
        return list.join(" / ");
    }
    if (key == "margin") {
        for (int line = 1; line <= 5; ++line)
            list << DebugProbe::Margin(*m_pages, line);
        return list.replaceInStrings(QRegularExpression("^$"), ".").join(' ');
    }
    if (key == "mark") {
        const int line = m_pages->editor(m_pages->current())->execLine();
        return line == 0 ? QStringLiteral("none") : QStringLiteral("%1:%2").arg(m_pages->current()).arg(line);
    }
    if (key == "status")
        return m_pages->modification();
    if (key == "line")
        return QString::number(m_pages->editor(m_pages->current())->textCursor().blockNumber() + 1);
    if (key == "errors") {
        for (const QTextEdit::ExtraSelection& mark : m_pages->editor(m_pages->current())->extraSelections()) {
            if (mark.format.background().color() == QColor(255, 0, 0) && mark.format.property(QTextFormat::FullWidthSelection).toBool())
                list << QString::number(mark.cursor.blockNumber() + 1);
        }
        return list.join(' ');
    }
    if (key == "selection")
        return m_pages->editor(m_pages->current())->textCursor().selectedText();
    if (key == "questions")
        return QString::number(seen.size());
    if (key == "icon")
        return seen.isEmpty() ? QString() : seen.last().summary().section(':', 0, 0);
    if (key == "calls") {
        for (const RecordingConnection::Call& call : m_plugin.link().calls()) {
            const Command& r = call.request;
            const bool plain = !r.flag() && r.trailer() == 12 && r.status() == 0 && r.isValid();
            list << (call.kind == RecordingConnection::Call::OpenInterface
                         ? QStringLiteral("open %1").arg(call.mode)
                         : QStringLiteral("%1 %2 %3.%4.%5.%6%7")
                               .arg(call.kind == RecordingConnection::Call::DirectRequest ? "direct" : "process")
                               .arg(r.address()).arg(r.command()).arg(r.type()).arg(r.motorBank()).arg(r.value())
                               .arg(plain ? "" : " (flag, trailer, status or validity unlike a request's)"));
        }
        return list.join(" / ");
    }
    if (key == "sent")
        return DebugProbe::Texts(m_plugin.link().requests()).join(' ');
    if (key.startsWith("default "))
        return Buttons.key(seen.value(what.toInt()).defaultButton, QStringLiteral("none"));
    if (key.startsWith("question "))
        return seen.value(what.toInt()).summary();
    if (key.startsWith("file "))
        return read(path(what));
    if (key.startsWith("text "))
        return m_pages->text(what.toInt());
    if (key.startsWith("label "))
        return m_pages->status(what.toInt());
    if (key.startsWith("readonly "))
        return Bool(m_pages->editor(what.toInt())->isReadOnly());
    const QAction* action = m_tool->findChild<QAction*>(what);
    if (key.startsWith("enabled ") && action)
        return Bool(action->isEnabled());
    if (key.startsWith("checked ") && action)
        return Bool(action->isChecked());
    if (key.startsWith("setting "))
        return AppSettings().value(QLatin1String(SettingsGroup::KROLCreator) + '/' + what, "(none)").toString();
    return QStringLiteral("(not a check)");
}
