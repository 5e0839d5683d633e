#include "SharedConnection.h"

#include "Command.h"
#include "KROLModuleInterface.h"

SharedConnection::SharedConnection(KROLModuleInterface* module, QObject* parent)
    : KROLConnectionInterface(parent)
    , m_module(module)
{
}

void SharedConnection::openInterface(int mode)
{
    m_exclusive = mode == Exclusive;
    if (m_module)
        m_module->connectionInterface()->openInterface(mode);
}

void SharedConnection::processRequest(Command* request, Command* reply)
{
    if (m_module)
        m_module->connectionInterface()->processRequest(request, reply);
    else
        reply->setValid(false);
}

bool SharedConnection::hostRequest(const Command& request, Command* reply)
{
    if (m_exclusive)
        return false;
    Command copy(request);
    processRequest(&copy, reply);
    return true;
}
