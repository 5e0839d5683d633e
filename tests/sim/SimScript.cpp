#include "SimScript.h"

#include "CaseFile.h"
#include "Globals.h"
#include "VirtualModule.h"

#include <QtTest>

QString SimProbe(const VirtualModule& m, const QString& what)
{
    const QStringList p = what.split('/');
    const auto n = [&p](int i) { return p.value(i).toInt(); };
    const auto number = [](qint64 v) { return QString::number(v); };
    if (p[0] == "a" || p[0] == "x")
        return number(p[0] == "a" ? m.registers().A : m.registers().X);
    if (p[0] == "state")
        return QStringList{"stopped", "running", "halted"}.value(int(m.state()));
    if (p[0] == "errors") {
        QStringList flags;
        for (int bit = 0; bit < 5; ++bit)
            if (m.registers().Errors & (1 << bit))
                flags << ConditionMnemonic[Condition::ETO + bit];
        return flags.isEmpty() ? "none" : flags.join('+');
    }
    if (p[0] == "end")
        return QStringList{"none", "stop", "end-marker", "call-overflow", "return-without-call"}.value(int(m.endCause()));
    const QHash<QString, std::function<qint64()>> values{
        {"pc", [&] { return m.programCounter(); }},
        {"var", [&] { return m.registers().Vars[n(1)]; }},
        {"ap", [&] { return m.axisParameter(n(1), n(2)); }},
        {"out", [&] { return m.output(n(1)); }},
        {"coord", [&] { return m.coordinate(n(1), n(2)); }},
        {"depth", [&] { return m.callDepth(); }},
        {"time", [&] { return m.timeMs(); }},
        {"waiting", [&] { return m.waiting(); }},
        {"interrupt", [&] { return m.inInterrupt(); }},
        {"length", [&] { return m.programLength(); }},
        {"download", [&] { return m.downloadMode(); }},
        {"breakpoints", [&] { return m.breakpointCount(); }},
        {"executed", [&] { return qint64(m.executedInstructions()); }},
        {"endaddress", [&] { return m.endAddress(); }},
    };
    const auto value = values.find(p[0]);
    return value == values.end() ? "unknown probe" : number(value.value()());
}

namespace {

// A request "WORD [=> STATUS [VALUE]]" or "WORD => word WORD"; returns the line with the reply
// the module gave written in place of the expected one, numbers in the base they were written.
QString request(VirtualModule& m, const QString& line, bool checksumValid, bool* ok)
{
    const QString asked = line.section(" => ", 0, 0);
    const QString expected = line.section(" => ", 1);
    TInstruction word;
    *ok = ParseCaseWord(asked, &word);
    TModuleRequest r;
    r.Command = word.Opcode;
    r.Type = word.Type;
    r.MotorBank = word.Motor;
    r.Value = int32_t(word.Value);
    r.ChecksumValid = checksumValid;
    const TModuleReply reply = m.request(r);
    if (expected.isEmpty())
        return line;
    if (reply.IsWord || expected.startsWith("word ")) {
        TInstruction stored;
        *ok = *ok && ParseCaseWord(expected.mid(5), &stored);
        const bool same = reply.IsWord && reply.Opcode == stored.Opcode && reply.Type == stored.Type
                          && reply.Motor == stored.Motor && reply.Value == stored.Value;
        return same ? line
                    : asked + QStringLiteral(" => %1 %2 %3 %4 %5").arg(reply.IsWord ? "word" : "reply")
                          .arg(reply.Opcode).arg(reply.Type).arg(reply.Motor).arg(reply.Value);
    }
    const QStringList numbers = expected.split(' ');
    bool status = false, value = true;
    if (numbers.value(0).toInt(&status) == reply.Status && status
        && (numbers.size() == 1 || numbers[1].toLongLong(&value, 0) == reply.Value) && value)
        return line;
    QString got = asked + " => " + QString::number(reply.Status);
    if (numbers.size() > 1)
        got += numbers[1].startsWith("0x") ? " 0x" + QString::number(uint32_t(reply.Value), 16)
                                           : " " + QString::number(reply.Value);
    return got;
}

// Runs one step; returns it as the module answered it (the step itself when it held).
QString step(VirtualModule& m, const QString& line)
{
    const QString verb = line.section(' ', 0, 0);
    const QString rest = line.section(' ', 1);
    const QStringList args = rest.split(' ', Qt::SkipEmptyParts);
    bool ok = true;
    if (verb == "load") {
        // The program words and the end marker, each of which must be stored.
        QString got = request(m, "DownloadStart => 100", true, &ok) == "DownloadStart => 100" ? line : "no download mode";
        for (const QString& word : (rest + "; 0").split(';')) {
            const QString store = word.trimmed() + " => 101";
            if (request(m, store, true, &ok) != store || !ok)
                got = "word not stored: " + word.trimmed();
        }
        request(m, "DownloadEnd", true, &ok);
        return got;
    }
    if (verb == "advance") {
        m.advance(rest.toLongLong(&ok));
    } else if (verb == "runfor") {
        m.runFor(args.value(0).toLongLong(&ok), args.value(1).toULongLong());
    } else if (verb == "check") {
        QStringList got;
        for (const QString& pair : CasePairs(rest))
            got << pair.section('=', 0, 0) + '=' + SimProbe(m, pair.section('=', 0, 0));
        return "check " + got.join(' ');
    } else if (verb == "repeat") {
        const int count = args.value(0).toInt(&ok);
        for (int i = 0; ok && i < count; ++i) {
            const QString one = rest.section(' ', 1).replace("{i}", QString::number(i));
            const QString got = step(m, one);
            if (got != one)
                return QStringLiteral("repeat, turn %1: ").arg(i) + got;
        }
    } else if (verb == "protect") {
        m.setWriteProtected(true);
    } else if (verb == "powercycle") {
        m.powerCycle();
    } else if (verb == "input") {
        m.setDigitalInput(args.value(0).toInt(&ok), args.value(1) == "1");
    } else if (verb == "analog") {
        m.setAnalogInput(args.value(0).toInt(&ok), args.value(1).toInt());
    } else if (verb == "commands") {
        m.setDirectModeCommands(rest.split(','));
    } else if (verb == "unchecked") {
        const QString got = request(m, rest, false, &ok);
        return ok ? "unchecked " + got : "not a request: " + line;
    } else {
        const QString got = request(m, line, true, &ok);
        return ok ? got : "not a step: " + line;
    }
    return ok ? line : "not a step: " + line;
}

} // namespace

bool LoadProgram(VirtualModule& m, const QString& words)
{
    return step(m, "load " + words) == "load " + words;
}

void RunSimScript(const QStringList& body, const QStringList& results)
{
    VirtualModule m;
    QStringList steps = body;
    for (const QString& line : results)
        steps << (line.section(' ', 0, 0).contains('=') ? "check " + line : line);
    for (QString line : steps) {
        line = line.section(" # ", 0, 0).trimmed();   // a step may end in a comment
        if (!line.isEmpty() && !line.startsWith('#'))
            QCOMPARE(step(m, line), line);
    }
}
