#pragma once

#include <QList>
#include <QString>

// Checks a command's outputs before any work: each can be written, and none is the same file
// as one of the inputs or as an output checked before it (however the paths are spelled).
// Problems are reported as "krol COMMAND: cannot write 'PATH': REASON".
class OutputCheck
{
public:
    // role names the file in messages: "source", "program file", ...
    void addInput(const QString& path, const QString& role);
    // False after reporting the problem; a good output is then compared with later ones.
    bool addOutput(const QString& path, const QString& role);

private:
    struct File
    {
        QString path;
        QString role;
    };
    QList<File> m_files;
};
