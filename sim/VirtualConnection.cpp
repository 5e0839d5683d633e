#include "VirtualConnection.h"

#include "Command.h"

VirtualConnection::VirtualConnection(QObject* parent)
    : KROLConnectionInterface(parent)
{
}

void VirtualConnection::openInterface(int mode)
{
    // The module is only ever ours: exclusive use changes nothing but the record.
    m_openMode = mode;
}

void VirtualConnection::processRequest(Command* request, Command* reply)
{
    if (!reply)
        return;
    if (!request || !request->isValid()) {
        *reply = Command();
        return;
    }
    m_module.advance(m_quantumMs);

    TModuleRequest r;
    r.Command = request->command();
    r.Type = request->type();
    r.MotorBank = request->motorBank();
    r.Value = request->value();
    const TModuleReply answer = m_module.request(r);

    *reply = Command();
    reply->setValue(answer.Value);
    if (answer.IsWord) {
        // A read-back word travels in the reply's own fields.
        reply->setAddress(answer.Opcode);
        reply->setStatus(answer.Type);
        reply->setCommand(answer.Motor);
    } else {
        reply->setAddress(request->address());
        reply->setStatus(answer.Status);
        reply->setCommand(request->command());
    }
    reply->setValid(true);
}
