#pragma once

#include "Command.h"
#include "Globals.h"
#include "KROLConnectionInterface.h"
#include "KROLModuleInterface.h"
#include "ModuleCommands.h"
#include "VirtualModule.h"

// A request straight to a virtual module.
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
