#pragma once

#include "KROLConnectionInterface.h"

// The connection of a module that has no link: every reply is invalid.
class KROLHOST_EXPORT UnlinkedConnection : public KROLConnectionInterface
{
    Q_OBJECT

public:
    explicit UnlinkedConnection(QObject* parent = nullptr);

    void openInterface(int mode) override;
    void processRequest(Command* request, Command* reply) override;
};
