#pragma once

#include "Globals.h"
#include "TInstruction.h"
#include "TParameterDescriptor.h"

#include <QString>
#include <QVarLengthArray>

#include <array>

// Writes one program word as KROL source text, the way the disassembler writes its lines: the
// mnemonic, a space, then the operands as keywords and decimal numbers, a jump target as "Lbl"
// and its address. The disassembler and `krol sim --trace` share it, so both read alike.
class InstructionWriter
{
public:
    // A line is put together on the stack: a long program has a line per instruction, and
    // temporaries per operand would dominate.
    using Buffer = QVarLengthArray<QChar, 128>;

    // The WAIT events name the WAIT instruction's type; an empty list stands for the defaults.
    explicit InstructionWriter(const TParameterList& waitEvents);

    // Appends the text of the word at the address to line and returns true when its value
    // operand is a jump target. A word without a text throws CDisAsmError with the address and
    // the disassembler's message; line may then hold part of the text.
    bool Append(int address, const TInstruction& instruction, Buffer& line) const;

    // The text alone, as a labelled line shows it: white space simplified, none at the end.
    QString Text(int address, const TInstruction& instruction) const;

private:
    struct KeywordTable
    {
        const QString* Table;   // null: the type kind takes no keyword
        const char* Message;
        int Count;              // entries before the end entry
    };
    std::array<KeywordTable, TypeCle + 1> Keywords;   // by type kind
    TParameterList WaitEvents;
};
