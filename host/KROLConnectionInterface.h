#pragma once

#include "CommandHandler.h"

// A module's link: a command handler that can also be taken for exclusive use.
class KROLHOST_EXPORT KROLConnectionInterface : public CommandHandler
{
    Q_OBJECT

public:
    enum OpenMode { Exclusive = 0, Normal = 1 };

    explicit KROLConnectionInterface(QObject* parent = nullptr);
    ~KROLConnectionInterface() override;

    // Sends the request through processRequest, then frees it.
    void doDirectRequest(Command* request, Command* reply) override;

    // 0: exclusive (before a transfer), 1: normal (after).
    virtual void openInterface(int mode) = 0;
    // Synchronous; the request stays the caller's.
    virtual void processRequest(Command* request, Command* reply) = 0;
};
