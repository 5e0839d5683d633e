#include "UnlinkedConnection.h"

#include "Command.h"

UnlinkedConnection::UnlinkedConnection(QObject* parent) : KROLConnectionInterface(parent)
{
}

void UnlinkedConnection::openInterface(int)
{
}

void UnlinkedConnection::processRequest(Command*, Command* reply)
{
    if (reply)
        *reply = Command();
}
