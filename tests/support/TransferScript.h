#pragma once

#include "RecordingConnection.h"
#include "TInstruction.h"

#include <QList>
#include <QMap>
#include <QStringList>

// A module for transfer tests, scripted on a RecordingConnection: it accepts every download
// request, except that request number faultAt (counted from 0, ReadMem not counted) gets the
// reply faultStatus; it reads back memory (a ReadMem reply carries the word in its own fields),
// and a read at address faultAt or past the memory is not answered.
namespace TransferScript {

constexpr int Invalid = -1;           // the module did not answer
constexpr int StoredButInvalid = -2;  // status 101 in a reply that is not valid

Command Answer(int status);
void Script(RecordingConnection& module, int faultAt, int faultStatus, QList<TInstruction> memory = {});
// Script() from a case of tests/cases/transfer-*.cases: its body's "fault AT STATUS" line (STATUS a
// number, "none" or "stored-invalid") and memory words ("fill N": N words "ROR 0, ADDRESS", no end).
// False when a line is not understood.
bool ScriptCase(RecordingConnection& module, const QStringList& body, QList<TInstruction>* memory);
// The same for the current row of a _data() table made by AddCaseRows: the module scripted from
// its body, and its result items (CaseItems); a body not understood fails the test.
QMap<QString, QString> ScriptCaseRow(RecordingConnection& module, QList<TInstruction>* memory);
// The command byte of every request sent, in order.
QList<int> CommandBytes(const RecordingConnection& module);
// The same, as a text: "132 1 0 133".
QString CommandByteText(const RecordingConnection& module);

} // namespace TransferScript
