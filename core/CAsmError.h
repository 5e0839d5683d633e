#pragma once

#include <QString>

// The assembler's exception: thrown by value, caught by reference in the assembly driver.
class CAsmError
{
public:
    CAsmError() = default;
    CAsmError(const QString& message, int line, const QString& fileName, int fileIndex)
        : Message(message), Line(line), FileName(fileName), FileIndex(fileIndex)
    {
    }

    QString Message;
    int Line = 0;
    QString FileName;
    int FileIndex = -1;
};
