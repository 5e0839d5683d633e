#include "RecordingConnection.h"

#include <memory>

RecordingConnection::RecordingConnection(QObject* parent) : KROLConnectionInterface(parent)
{
}

Command RecordingConnection::reply(unsigned char status, int value)
{
    Command c;
    c.setStatus(status);
    c.setValue(value);
    c.setValid(true);
    return c;
}

QList<Command> RecordingConnection::requests() const
{
    QList<Command> list;
    for (const Call& c : m_calls) {
        if (c.kind != Call::OpenInterface)
            list.append(c.request);
    }
    return list;
}

Command RecordingConnection::answer(const Command& request)
{
    if (!m_replies.isEmpty())
        return m_replies.takeFirst();
    if (m_responder)
        return m_responder(request);
    return Command();
}

void RecordingConnection::doDirectRequest(Command* request, Command* reply)
{
    // Ownership passes here: freeing it lets the sanitizer catch a caller that still uses it.
    std::unique_ptr<Command> owned(request);
    const Command sent = owned ? *owned : Command();
    m_calls.append({Call::DirectRequest, sent, -1});
    const Command a = answer(sent);
    if (reply)
        *reply = a;
}

void RecordingConnection::openInterface(int mode)
{
    m_calls.append({Call::OpenInterface, Command(), mode});
}

void RecordingConnection::processRequest(Command* request, Command* reply)
{
    const Command sent = request ? *request : Command();
    m_calls.append({Call::ProcessRequest, sent, -1});
    const Command a = answer(sent);
    if (reply)
        *reply = a;
}
