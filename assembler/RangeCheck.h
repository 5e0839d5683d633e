#pragma once

#include "TInstruction.h"
#include "TParameterDescriptor.h"

#include <QList>
#include <QStringList>

#include <bitset>

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

    // The opcodes CommandList names, taken from it once per assembly (the list does not change
    // while one runs); when unset, CommandList itself is searched.
    bool HasSupportedOpcodes = false;
    std::bitset<256> SupportedOpcodes;
};

// Fills SupportedOpcodes from *CommandList: opcode n is supported when the list holds n
// written in decimal without leading zeros.
void CacheSupportedOpcodes(TRangeSettings* ranges);

// Returns when the instruction passes every rule; otherwise throws CAsmError with the first
// failed rule's message and the instruction's Line, FileName and FileIndex.
void CheckInstructionRanges(const TRangeSettings& ranges, const TInstruction& instruction);
