#pragma once

#include "TInstruction.h"

#include <QString>
#include <QStringList>
#include <QVector>

// One case of a case file in tests/cases/. A case is a block: "== NAME", its body lines, then
// one or more "-> RESULT" lines ("->" alone is an empty result). Outside a body, blank lines and lines starting with '#' are
// comments; inside one every line belongs to it (KROL's own "#include" lines too).
struct TCase
{
    QString Where;   // "FILE:LINE: NAME", so a failing row points at its case
    QStringList Body;
    QStringList Results;
};

// The cases of tests/cases/NAME; false with *error (naming file and line) when the file cannot
// be read or is not in the format above.
bool ReadCaseFile(const QString& name, QVector<TCase>* cases, QString* error);

// For a _data() function: the columns "body" and "results" (QStringList) and one row per case.
// False (after a failure report) when the file cannot be read.
bool AddCaseRows(const QString& name);

// "PATH=VALUE" items of a result line; a value runs up to the next " PATH=".
QStringList CasePairs(const QString& line);

// One program word written "MNEMONIC [TYPE [MOTOR [VALUE]]]": the mnemonic may be a raw opcode
// number or the name of a host request (ApplRun, GetStatus, ...), TYPE a keyword of the instruction's type (LOAD, EQ, TICKS, ABS, ...), numbers may be
// hexadecimal (0x87). False when a part is not understood.
bool ParseCaseWord(const QString& text, TInstruction* word);
