#include "CommandParser.h"

#include "SubCommand.h"

CommandParser::CommandParser(const QString& command, const QString& description)
    : m_command(command)
{
    setApplicationDescription(description);
    addHelpOption();
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
        standardError() << "krol " << m_command << ": " << errorText() << "\n"
                        << "Run 'krol " << m_command << " --help' for usage.\n";
        standardError().flush();
        *exitCode = ExitCode::Usage;
        return false;
    }
    if (isSet(QStringLiteral("help"))) {
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
        standardError() << "krol " << m_command << ": "
                        << (given < m_required.size()
                                ? QStringLiteral("missing ") + m_required.at(given)
                                : QStringLiteral("unexpected argument '")
                                      + positionalArguments().at(m_required.size())
                                      + QLatin1Char('\''))
                        << "\nRun 'krol " << m_command << " --help' for usage.\n";
        standardError().flush();
        *exitCode = ExitCode::Usage;
        return false;
    }
    return true;
}
