#pragma once

#include "TInstruction.h"
#include "TParameterDescriptor.h"

#include <QList>
#include <QStringList>

// What a module supports, as the assembler checks instructions against it.
struct TRangeSettings
{
    const QStringList* CommandList = nullptr;   // owned by the caller, outlives the assembly
    int VelocityParameter = 0;
    int NumberOfAxes = 0;
    QList<TParameterList> AxisParameterLists;
    QList<TParameterList> GlobalParameterLists;
    TParameterList InterruptList;
    TParameterList WaitEventList;
    QList<TParameterList> IoPortLists;
    TParameterList PullUpList;
    TParameterList CoordinateList;
    bool CoordinateEepromFlag = false;
    bool MultiAxisFlag = false;
};

// Returns when the instruction passes every rule; otherwise throws CAsmError with the first
// failed rule's message and the instruction's Line, FileName and FileIndex.
void CheckInstructionRanges(const TRangeSettings& ranges, const TInstruction& instruction);
