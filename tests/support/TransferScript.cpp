#include "TransferScript.h"

#include "ModuleCommands.h"

#include <memory>

namespace TransferScript {

Command Answer(int status)
{
    if (status == Invalid)
        return Command();
    Command c = RecordingConnection::reply(uint8_t(status == StoredButInvalid ? 101 : status));
    c.setValid(status != StoredButInvalid);
    return c;
}

void Script(RecordingConnection& module, int faultAt, int faultStatus, QList<TInstruction> memory)
{
    auto count = std::make_shared<int>(0);
    module.setResponder([=](const Command& request) {
        if (request.command() == ModuleCommand::ReadMem) {
            if (request.value() == faultAt || request.value() >= memory.size())
                return Command();
            const TInstruction& i = memory.at(request.value());
            Command c = Answer(100);
            c.setAddress(i.Opcode);
            c.setStatus(uint8_t(i.Type));
            c.setCommand(i.Motor);
            c.setValue(int(i.Value));
            return c;
        }
        if ((*count)++ == faultAt)
            return Answer(faultStatus);
        const auto command = request.command();
        return Answer(command == ModuleCommand::DownloadStart || command == ModuleCommand::DownloadEnd
                              || command == 0 ? 100 : 101);
    });
}

QList<int> CommandBytes(const RecordingConnection& module)
{
    QList<int> bytes;
    for (const Command& c : module.requests())
        bytes.append(c.command());
    return bytes;
}

} // namespace TransferScript
