#pragma once

#include "RecordingConnection.h"
#include "TInstruction.h"

#include <QList>

// A module for transfer tests, scripted on a RecordingConnection: it accepts every download
// request, except that request number faultAt (counted from 0, ReadMem not counted) gets the
// reply faultStatus; it reads back memory (a ReadMem reply carries the word in its own fields),
// and a read at address faultAt or past the memory is not answered.
namespace TransferScript {

constexpr int Invalid = -1;           // the module did not answer
constexpr int StoredButInvalid = -2;  // status 101 in a reply that is not valid

Command Answer(int status);
void Script(RecordingConnection& module, int faultAt, int faultStatus, QList<TInstruction> memory = {});
// The command byte of every request sent, in order.
QList<int> CommandBytes(const RecordingConnection& module);

} // namespace TransferScript
