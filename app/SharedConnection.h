#pragma once

#include "KROLConnectionInterface.h"

#include <QPointer>

class KROLModuleInterface;

// The link that a module's tools and the host's own panels share. It passes everything on to
// the module's current connection and remembers when a tool has taken the link for exclusive
// use (a transfer): the panels keep quiet then, since a request in the middle of a download
// would be stored as a program word.
class SharedConnection : public KROLConnectionInterface
{
    Q_OBJECT

public:
    explicit SharedConnection(KROLModuleInterface* module, QObject* parent = nullptr);

    void openInterface(int mode) override;
    void processRequest(Command* request, Command* reply) override;

    bool isExclusive() const { return m_exclusive; }
    // A request of the host's panels: refused while a tool holds the link (false, reply
    // untouched), else sent; true when it was sent.
    bool hostRequest(const Command& request, Command* reply);

private:
    QPointer<KROLModuleInterface> m_module;
    bool m_exclusive = false;
};
