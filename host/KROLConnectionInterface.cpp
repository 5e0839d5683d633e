#include "KROLConnectionInterface.h"

#include "Command.h"

#include <memory>

KROLConnectionInterface::KROLConnectionInterface(QObject* parent) : CommandHandler(parent)
{
}

KROLConnectionInterface::~KROLConnectionInterface() = default;

void KROLConnectionInterface::doDirectRequest(Command* request, Command* reply)
{
    std::unique_ptr<Command> owned(request);
    Command scratch;
    Command* answer = reply ? reply : &scratch;
    if (!owned) {
        *answer = Command();
        return;
    }
    processRequest(owned.get(), answer);
}
