#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdint>

// One program word as the assembler produces it and the module link moves it.
struct TInstruction
{
    uint8_t Opcode = 0;
    uint16_t Type = 0;
    uint8_t Motor = 0;
    int64_t Value = 0;       // a 32-bit quantity; files and modules take the low 32 bits
    QString Label;           // label the value comes from, if any; the second pass sets Value from it
    int Line = 0;            // 1-based source line in its file
    QString FileName;        // set only on the first instruction taken from each file
    int FileIndex = -1;      // editor page of the source, -1 when read from disk
    bool BreakpointFlag = false;
};

// Its strings may be moved in memory as bytes, so a growing program is moved, not copied.
Q_DECLARE_TYPEINFO(TInstruction, Q_MOVABLE_TYPE);
