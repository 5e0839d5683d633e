#pragma once

#include "KrolHostGlobal.h"

#include <QObject>

class Command;

// Where module requests go. One implementation per kind of link.
class KROLHOST_EXPORT CommandHandler : public QObject
{
    Q_OBJECT

public:
    explicit CommandHandler(QObject* parent = nullptr);
    ~CommandHandler() override;

    // Synchronous: on return the reply holds the module's answer or is not valid.
    // The request was created on the heap and now belongs to the handler.
    virtual void doDirectRequest(Command* request, Command* reply) = 0;
};
