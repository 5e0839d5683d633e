#include "CommandParser.h"

#include "SubCommand.h"

#include <QCoreApplication>

CommandParser::CommandParser(const QString& command, const QString& description)
    : m_command(command)
{
    setApplicationDescription(description);
    addHelpOption();
    addVersionOption();
}

void CommandParser::addRequired(const QString& name, const QString& description)
{
    addPositionalArgument(name, description);
    m_required.append(name);
}

bool CommandParser::parseArguments(const QStringList& arguments, int* exitCode)
{
    QStringList all = arguments;
    all.prepend(QStringLiteral("krol ") + m_command);
    if (!parse(all)) {
        *exitCode = report(errorText() + QStringLiteral("\nRun 'krol ") + m_command
                           + QStringLiteral(" --help' for usage."));
        return false;
    }
    if (isSet(QStringLiteral("version"))) {
        standardOutput() << "krol " << QCoreApplication::applicationVersion() << Qt::endl;
        *exitCode = ExitCode::Ok;
        return false;
    }
    // --help-all adds Qt's own options, which krol does not take: the same help.
    if (isSet(QStringLiteral("help")) || isSet(QStringLiteral("help-all"))) {
        // Qt names the binary's full path; users type "krol COMMAND".
        QString text = helpText();
        const int usage = text.indexOf(QLatin1String("Usage: "));
        const int space = text.indexOf(QLatin1Char(' '), usage + 7);
        if (usage >= 0 && space > 0)
            text.replace(usage + 7, space - usage - 7, QStringLiteral("krol ") + m_command);
        standardOutput() << text;
        standardOutput().flush();
        *exitCode = ExitCode::Ok;
        return false;
    }
    const int given = positionalArguments().size();
    if (given != m_required.size()) {
        *exitCode = report((given < m_required.size()
                                ? QStringLiteral("missing ") + m_required.at(given)
                                : QStringLiteral("unexpected argument '")
                                      + positionalArguments().at(m_required.size())
                                      + QLatin1Char('\''))
                           + QStringLiteral("\nRun 'krol ") + m_command
                           + QStringLiteral(" --help' for usage."));
        return false;
    }
    return true;
}
