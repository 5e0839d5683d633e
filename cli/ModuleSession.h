#pragma once

#include "LinkOptions.h"

#include <QString>

#include <memory>

class Command;
class KROLConnectionInterface;
class KROLModuleInterface;
class SerialConnection;

// The module a module command talks to: on a serial port, or a fresh virtual module in the
// process (--sim). Failures are printed as "krol COMMAND: MESSAGE" and the caller exits 1.
class ModuleSession
{
public:
    explicit ModuleSession(const LinkOptions& options);
    ~ModuleSession();

    // Parses the options with the link's (the caller has added its own) and opens the link;
    // null with *exitCode set when the command should not go on.
    static std::unique_ptr<ModuleSession> connect(CommandParser& parser, const QStringList& arguments,
                                                  int* exitCode);

    // Opens the port (or builds the virtual module); false after printing why not.
    bool open();

    KROLConnectionInterface* connection() const { return m_connection; }
    unsigned char address() const { return m_address; }

    // Sends one request. True when the module answered with "done" (100); otherwise prints
    // what went wrong (naming the request and the status) and returns false.
    bool request(unsigned char command, unsigned short type, int value, Command* reply,
                 const QString& what);
    // Why the last request got no valid reply, as the link tells it.
    QString linkError() const;

    // "command not available" and the like, for a reply's status byte.
    static QString statusText(int status);

private:
    LinkOptions m_options;
    unsigned char m_address;
    std::unique_ptr<KROLModuleInterface> m_virtual;
    std::unique_ptr<SerialConnection> m_serial;
    KROLConnectionInterface* m_connection = nullptr;
};
