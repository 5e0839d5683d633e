#pragma once

#include "Command.h"
#include "Globals.h"
#include "KROLConnectionInterface.h"
#include "KROLModuleInterface.h"
#include "ModuleCommands.h"
#include "VirtualModule.h"

#include <QMetaType>
#include <QString>
#include <QVector>

// One program word written as its mnemonic, so test tables read like KROL.
struct TestWord
{
    QString Mnemonic;
    int Type = 0;
    int Motor = 0;
    qint64 Value = 0;
};
using TestProgram = QVector<TestWord>;
Q_DECLARE_METATYPE(TestWord)

inline TModuleReply send(VirtualModule& m, int command, int type = 0, int motor = 0,
                         qint64 value = 0)
{
    TModuleRequest r;
    r.Command = uint8_t(command);
    r.Type = uint16_t(type);
    r.MotorBank = uint8_t(motor);
    r.Value = int32_t(value);
    return m.request(r);
}

// A direct request to motor 0 through a module's connection, as the host sends it.
inline Command ask(KROLModuleInterface& m, int command, int type = 0, int value = 0)
{
    Command reply;
    m.connectionInterface()->doDirectRequest(new Command(1, uchar(command), ushort(type), 0, value, false, 12),
                                             &reply);
    return reply;
}

inline int opcodeOf(const QString& mnemonic)
{
    const TInstructionRow* row = FindInstruction(mnemonic);
    return row ? row->Opcode : mnemonic.toInt();   // a number stands for a raw opcode
}

// Downloads the program and its end marker; true when every word was stored.
inline bool download(VirtualModule& m, const TestProgram& program)
{
    bool ok = send(m, ModuleCommand::DownloadStart).Status == 100;
    for (const TestWord& w : program)
        ok = send(m, opcodeOf(w.Mnemonic), w.Type, w.Motor, w.Value).Status == 101 && ok;
    ok = send(m, 0).Status == 101 && ok;
    send(m, ModuleCommand::DownloadEnd);
    return ok;
}

inline int statusState(uint32_t word) { return int(word >> 24); }
inline int statusPc(uint32_t word) { return int(word & 0xFFFF); }
inline bool statusWaiting(uint32_t word) { return (word >> 16) & 0xFF; }
