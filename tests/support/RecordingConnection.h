#pragma once

#include "Command.h"
#include "KROLConnectionInterface.h"

#include <QList>

#include <functional>

// A connection for tests: records every call in one sequence and answers from a script.
// Replies come from the queue in order; when it is empty, from the responder; without one
// the reply is invalid, as from a module that does not answer.
class RecordingConnection : public KROLConnectionInterface
{
    Q_OBJECT

public:
    struct Call
    {
        enum Kind { DirectRequest, ProcessRequest, OpenInterface };
        Kind kind;
        Command request;   // empty for OpenInterface
        int mode = -1;     // openInterface's argument
    };

    explicit RecordingConnection(QObject* parent = nullptr);

    void queueReply(const Command& reply) { m_replies.append(reply); }
    void setResponder(std::function<Command(const Command&)> responder) { m_responder = std::move(responder); }

    // A valid reply as a module sends it.
    static Command reply(unsigned char status, int value = 0);

    const QList<Call>& calls() const { return m_calls; }
    QList<Command> requests() const;   // the requests of both kinds, in order
    void clear() { m_calls.clear(); }

    void doDirectRequest(Command* request, Command* reply) override;
    void openInterface(int mode) override;
    void processRequest(Command* request, Command* reply) override;

private:
    Command answer(const Command& request);

    QList<Call> m_calls;
    QList<Command> m_replies;
    std::function<Command(const Command&)> m_responder;
};
