#pragma once

#include "TSerialSettings.h"

#include <QCommandLineOption>

class CommandParser;

// The options that say how a module is reached: --port DEVICE, --baud N, --address N,
// --reply-address N, --timeout MS, or --sim for a virtual module in the process. `krol sim --pty`
// takes the address, reply address and baud options for the module it serves.
class LinkOptions
{
public:
    enum Use { ModuleLink, PtyServer };

    explicit LinkOptions(Use use);

    void addTo(CommandParser& parser) const;
    // Adds these options, parses (the caller has added its own options) and reads them;
    // false with *exitCode set when the command should not go on.
    bool parse(CommandParser& parser, const QStringList& arguments, int* exitCode);
    // Reads and checks the values; prints the problem and returns false for a usage error.
    bool read(const CommandParser& parser);

    const TSerialSettings& settings() const { return m_settings; }
    unsigned char moduleAddress() const { return m_moduleAddress; }
    bool simulated() const { return m_sim; }

private:
    Use m_use;
    QCommandLineOption m_port;
    QCommandLineOption m_baud;
    QCommandLineOption m_address;
    QCommandLineOption m_replyAddress;
    QCommandLineOption m_timeout;
    QCommandLineOption m_simOption;
    TSerialSettings m_settings;
    unsigned char m_moduleAddress = TSerialSettings::DefaultModuleAddress;
    bool m_sim = false;
};
