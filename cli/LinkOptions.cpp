#include "LinkOptions.h"

#include "CommandParser.h"
#include "SubCommand.h"

namespace {

constexpr int MaxBaud = 4000000;
constexpr int MaxTimeoutMs = 60000;

QCommandLineOption option(const char* name, const QString& description, const char* valueName = nullptr)
{
    QCommandLineOption o(QString::fromLatin1(name), description);
    if (valueName)
        o.setValueName(QString::fromLatin1(valueName));
    return o;
}

// A whole number from min to max, or a usage error naming the option.
bool readNumber(const CommandParser& parser, const QCommandLineOption& o, int min, int max, int* value)
{
    if (!parser.isSet(o))
        return true;
    const QString text = parser.value(o);
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok && v >= min && v <= max) {
        *value = v;
        return true;
    }
    report(QStringLiteral("invalid value '%1' for --%2: a whole number from %3 to %4 is needed\n"
                          "Run '%5 --help' for usage.")
               .arg(text, o.names().constFirst())
               .arg(min)
               .arg(max)
               .arg(commandName()));
    return false;
}

} // namespace

LinkOptions::LinkOptions(Use use)
    : m_use(use),
      m_port(option("port", QStringLiteral("The serial port the module is on (/dev/ttyUSB0, ...)."), "DEVICE")),
      m_baud(option("baud",
                    use == ModuleLink
                        ? QStringLiteral("The port's speed (default %1).").arg(TSerialSettings::DefaultBaud)
                        : QStringLiteral("Pace the replies at N baud, 10 bits per byte (default %1; 0: "
                                         "as fast as possible).")
                              .arg(TSerialSettings::DefaultBaud),
                    "N")),
      m_address(option("address",
                       QStringLiteral("The module's address (default %1).").arg(TSerialSettings::DefaultModuleAddress),
                       "N")),
      m_replyAddress(option("reply-address",
                            QStringLiteral("The address the module puts into its replies, the host's "
                                           "(default %1).")
                                .arg(TSerialSettings::DefaultReplyAddress),
                            "N")),
      m_timeout(option("timeout",
                       QStringLiteral("How long to wait for each reply (default %1).")
                           .arg(TSerialSettings::DefaultTimeoutMs),
                       "MS")),
      m_simOption(option("sim", QStringLiteral("Use a fresh virtual module in this process instead of a port.")))
{
}

void LinkOptions::addTo(CommandParser& parser) const
{
    if (m_use == ModuleLink)
        parser.addOptions({m_port, m_baud, m_address, m_replyAddress, m_timeout, m_simOption});
    else
        parser.addOptions({m_address, m_replyAddress, m_baud});
}

bool LinkOptions::parse(CommandParser& parser, const QStringList& arguments, int* exitCode)
{
    addTo(parser);
    if (!parser.parseArguments(arguments, exitCode))
        return false;
    *exitCode = ExitCode::Usage;
    return read(parser);
}

bool LinkOptions::read(const CommandParser& parser)
{
    int baud = TSerialSettings::DefaultBaud;
    int address = TSerialSettings::DefaultModuleAddress;
    int replyAddress = TSerialSettings::DefaultReplyAddress;
    int timeout = TSerialSettings::DefaultTimeoutMs;
    if (!readNumber(parser, m_baud, m_use == PtyServer ? 0 : 1, MaxBaud, &baud)
        || !readNumber(parser, m_address, 0, 255, &address)
        || !readNumber(parser, m_replyAddress, 0, 255, &replyAddress))
        return false;
    m_settings.Baud = baud;
    m_moduleAddress = static_cast<unsigned char>(address);
    m_settings.ReplyAddress = static_cast<unsigned char>(replyAddress);
    if (m_use == PtyServer)
        return true;

    if (!readNumber(parser, m_timeout, 1, MaxTimeoutMs, &timeout))
        return false;
    m_settings.TimeoutMs = timeout;
    m_sim = parser.isSet(m_simOption);
    m_settings.Port = parser.value(m_port);
    QString problem;
    if (m_sim && parser.isSet(m_port))
        problem = QStringLiteral("--port and --sim exclude each other");
    else if (!m_sim && m_settings.Port.isEmpty())
        problem = QStringLiteral("no module: give --port DEVICE or --sim");
    else
        return true;
    report(QStringLiteral("%1\nRun '%2 --help' for usage.").arg(problem, commandName()));
    return false;
}
