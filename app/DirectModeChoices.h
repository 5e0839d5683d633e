#pragma once

#include <QList>
#include <QString>

#include <cstdint>

class KROLModuleInterface;
struct TInstructionRow;

// What the direct-mode panel offers for a module: the instructions its "DirectModeCommands"
// lists (without flow control, which a module refuses outside a program), the types each
// takes (the module's parameters or the instruction's keywords), and the texts of a request
// and of its reply. No widgets, so tests read it directly.
class DirectModeChoices
{
public:
    struct Choice
    {
        QString text;
        int value;
    };

    // The opcodes in ascending order.
    static QList<int> instructions(const KROLModuleInterface* module);
    // The type operand's choices for the instruction on that motor or bank; empty when the
    // type is a plain number or the instruction has none.
    static QList<Choice> types(const KROLModuleInterface* module, int opcode, int motorBank);
    // The instruction as a line of KROL source ("SAP 4, 0, 1000"); empty when an operand has
    // no text (a keyword out of its table).
    static QString line(int opcode, int type, int motorBank, int32_t value);
    // "100 done", or the number alone for a status without a meaning.
    static QString statusText(int status);
    // The map of the module whose parameters the instruction's type names, or empty.
    static QString parameterMap(int opcode, int motorBank);
    // "Motor" or "Bank", as the instruction uses its motor/bank operand.
    static QString motorLabel(int opcode);
};
