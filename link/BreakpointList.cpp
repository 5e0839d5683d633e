#include "BreakpointList.h"

void BreakpointList::SetProgram(QList<TInstruction>* program)
{
    Program = program;
    IndexLines();
}

void BreakpointList::IndexLines()
{
    LineAddress.clear();
    if (Program == nullptr)
        return;
    LineAddress.reserve(Program->size());
    for (int address = 0; address < Program->size(); ++address) {
        const TInstruction& instruction = Program->at(address);
        const QPair<int, int> key(instruction.FileIndex, instruction.Line);
        if (!LineAddress.contains(key))
            LineAddress.insert(key, address);
    }
}

int BreakpointList::AddressOfLine(int fileIndex, int line) const
{
    return LineAddress.value(QPair<int, int>(fileIndex, line), -1);
}

bool BreakpointList::IsFlagged(int address) const
{
    return Program != nullptr && address >= 0 && address < Program->size() && Program->at(address).BreakpointFlag;
}

bool BreakpointList::Flag(int address)
{
    if (Set >= Max)
        return false;
    (*Program)[address].BreakpointFlag = true;
    ++Set;
    return true;
}

void BreakpointList::Unflag(int address)
{
    (*Program)[address].BreakpointFlag = false;
    if (Set > 0)
        --Set;
}

void BreakpointList::UnflagAll()
{
    if (Program != nullptr) {
        for (TInstruction& instruction : *Program)
            instruction.BreakpointFlag = false;
    }
    Set = 0;
}

QList<int> BreakpointList::TakeForModule()
{
    QList<int> addresses;
    if (Program != nullptr) {
        for (int address = 0; address < Program->size() && addresses.size() < Max; ++address) {
            if (Program->at(address).BreakpointFlag)
                addresses.append(address);
        }
    }
    Set = addresses.size();
    return addresses;
}
