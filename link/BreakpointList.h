#pragma once

#include "TInstruction.h"

#include <QHash>
#include <QList>
#include <QPair>

// The breakpoints of a program: flags on its instructions (not on source lines), of which the
// module holds at most Maximum(). Count() is how many the module holds now. The list keeps no
// copy of the program; it reads and flags the caller's.
class BreakpointList
{
public:
    void SetProgram(QList<TInstruction>* program);

    void SetMaximum(int maximum) { Max = maximum; }
    int Maximum() const { return Max; }
    int Count() const { return Set; }

    // Indexes the program's lines once, so that the margin's many questions while it paints
    // cost no search; call it whenever the program list may have changed.
    void IndexLines();
    // The first (lowest) address whose instruction came from that page and line; -1 for none.
    int AddressOfLine(int fileIndex, int line) const;
    bool IsFlagged(int address) const;

    // Flags the address and counts it when the module has room: false (nothing flagged) when
    // the limit is reached.
    bool Flag(int address);
    // Clears the flag; the count never goes below 0.
    void Unflag(int address);
    // Clears every flag; the count is 0.
    void UnflagAll();
    // The flagged addresses the module is to hold, in address order and up to the limit; the
    // count becomes their number. Flags beyond the limit stay in the program.
    QList<int> TakeForModule();

private:
    QList<TInstruction>* Program = nullptr;
    QHash<QPair<int, int>, int> LineAddress;   // (page, line) -> first address
    int Max = 0;
    int Set = 0;
};
