#pragma once

#include <QCommandLineParser>

// A QCommandLineParser for one sub-command that reports problems instead of exiting, so the
// exit statuses stay ours.
class CommandParser : public QCommandLineParser
{
public:
    CommandParser(const QString& command, const QString& description);

    // Parses; prints help and sets *exitCode to 0 for --help, or prints the error and sets it
    // to the usage status. Returns true when the command should go on.
    bool parseArguments(const QStringList& arguments, int* exitCode);

    // Adds a positional argument that must be given exactly once.
    void addRequired(const QString& name, const QString& description);

private:
    QString m_command;
    QStringList m_required;
};
