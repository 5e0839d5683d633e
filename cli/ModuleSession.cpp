#include "ModuleSession.h"

#include "Command.h"
#include "KROLModuleInterface.h"
#include "ModuleCommands.h"
#include "SerialConnection.h"
#include "SimProgram.h"
#include "SubCommand.h"
#include "VirtualConnection.h"
#include "VirtualModuleBuilder.h"

namespace {
constexpr unsigned char Trailer = 12;
}

ModuleSession::ModuleSession(const LinkOptions& options)
    : m_options(options), m_address(options.moduleAddress())
{
}

ModuleSession::~ModuleSession() = default;

std::unique_ptr<ModuleSession> ModuleSession::connect(CommandParser& parser, const QStringList& arguments,
                                                      int* exitCode)
{
    LinkOptions link(LinkOptions::ModuleLink);
    if (!link.parse(parser, arguments, exitCode))
        return nullptr;
    auto session = std::make_unique<ModuleSession>(link);
    if (session->open())
        return session;
    *exitCode = ExitCode::Failed;
    return nullptr;
}

bool ModuleSession::open()
{
    QString error;
    if (m_options.simulated()) {
        m_virtual.reset(VirtualModuleBuilder::createFromFile(SimProgram::DefaultModule, &error));
        if (m_virtual)
            m_connection = VirtualModuleBuilder::connectionOf(m_virtual.get());
    } else {
        m_serial = std::make_unique<SerialConnection>(m_options.settings());
        if (m_serial->open(&error))
            m_connection = m_serial.get();
    }
    if (!m_connection)
        report(error, ExitCode::Failed);
    return m_connection != nullptr;
}

QString ModuleSession::linkError() const
{
    if (m_serial && !m_serial->lastError().isEmpty())
        return m_serial->lastError();
    return QStringLiteral("the module did not answer");
}

bool ModuleSession::request(unsigned char command, unsigned short type, int value, Command* reply,
                            const QString& what)
{
    m_connection->doDirectRequest(new Command(m_address, command, type, 0, value, false, Trailer), reply);
    if (!reply->isValid()) {
        report(QStringLiteral("%1: %2").arg(what, linkError()), ExitCode::Failed);
        return false;
    }
    if (reply->status() == ReplyStatus::Ok)
        return true;
    report(QStringLiteral("%1: the module refused with status %2 (%3)")
               .arg(what)
               .arg(reply->status())
               .arg(statusText(reply->status())),
           ExitCode::Failed);
    return false;
}

QString ModuleSession::statusText(int status)
{
    switch (status) {
    case ReplyStatus::WrongChecksum: return QStringLiteral("wrong checksum");
    case ReplyStatus::InvalidCommand: return QStringLiteral("invalid command");
    case ReplyStatus::WrongType: return QStringLiteral("wrong type");
    case ReplyStatus::InvalidValue: return QStringLiteral("invalid value");
    case ReplyStatus::ConfigurationLocked: return QStringLiteral("configuration locked");
    case ReplyStatus::NotAvailable: return QStringLiteral("command not available");
    case ReplyStatus::VerifyError: return QStringLiteral("verify error");
    case ReplyStatus::WriteProtected: return QStringLiteral("write protected");
    case ReplyStatus::NotPossibleNow: return QStringLiteral("not possible now, motors running");
    case ReplyStatus::Ok: return QStringLiteral("done");
    case ReplyStatus::Stored: return QStringLiteral("instruction stored");
    default: return QStringLiteral("unknown status");
    }
}
