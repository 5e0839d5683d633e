#include "ProgramTransfer.h"

#include "Command.h"
#include "CommandHandler.h"
#include "ModuleCommands.h"

#include <QCoreApplication>
#include <QMetaMethod>

namespace {

constexpr unsigned char Trailer = 12;

const QString NoAnswer = QStringLiteral("The module did not answer.");
const QString Aborted = QStringLiteral("The transfer was aborted.");

} // namespace

ProgramTransfer::ProgramTransfer(CommandHandler* handler, QObject* parent)
    : QObject(parent), Handler(handler)
{
}

void ProgramTransfer::Send(unsigned char command, unsigned short type, unsigned char motor, qint64 value)
{
    // The module takes the low 32 bits of the value.
    auto* request = new Command(Address, command, type, motor, int(uint32_t(value)), false, Trailer);
    if (Handler) {
        Handler->doDirectRequest(request, Reply);
    } else if (isSignalConnected(QMetaMethod::fromSignal(&ProgramTransfer::forwardCommand))) {
        emit forwardCommand(request, Reply);
    } else {
        delete request;
        *Reply = Command();
    }
    LastReplyValid = Reply->isValid();
}

void ProgramTransfer::Report(const QString& text, const QString& informative, const QString& label)
{
    Failure = text + QLatin1Char(' ') + informative;
    emit error(text, informative, label);
}

void ProgramTransfer::Finish(bool ok)
{
    Busy = false;
    if (ok)
        Failure.clear();
    else if (Failure.isEmpty())
        Failure = AbortRequested ? Aborted : NoAnswer;
    emit finished(ok);
}

bool ProgramTransfer::Download(unsigned char address)
{
    if (Busy)
        return false;
    Busy = true;
    AbortRequested = false;
    DownloadSuccessful = true;
    InDownloadMode = false;
    LastReplyValid = true;
    Failure.clear();
    Address = address;
    Command reply;
    Reply = &reply;
    const QList<TInstruction> none;
    const QList<TInstruction>& program = Instructions ? *Instructions : none;
    const int count = program.size();
    emit downloadSize(count - 1);

    Send(ModuleCommand::DownloadStart, 0, 0, 0);
    if (reply.status() != ReplyStatus::Ok) {
        // Nothing was stored, so nothing is to be ended: the download simply did not happen.
        // Only the two refusals the user can do something about are reported as failures.
        if (reply.status() == ReplyStatus::WriteProtected) {
            DownloadSuccessful = false;
            Report(QStringLiteral("The module is write protected."),
                   QStringLiteral("Remove the write protection before trying again"),
                   QStringLiteral("Module is write protected!"));
        } else if (reply.status() == ReplyStatus::NotPossibleNow) {
            DownloadSuccessful = false;
            Report(QStringLiteral("Downloading a program to the module is not possible at this moment."),
                   QStringLiteral("Please stop all motors before trying again."),
                   QStringLiteral("Download not possible!"));
        } else if (reply.isValid()) {
            Failure = QStringLiteral("The module refused to enter download mode (status %1).").arg(reply.status());
        }
        Reply = nullptr;
        Finish(false);
        return false;
    }
    InDownloadMode = true;

    for (int i = 0; i < count; ++i) {
        const TInstruction& instruction = program.at(i);
        Send(instruction.Opcode, instruction.Type, instruction.Motor, instruction.Value);
        // The status decides first: a reply that reads "stored" but is not valid ends the loop
        // without counting as a failed store.
        if (reply.status() == ReplyStatus::Stored) {
            emit downloadProgress(i);
            if (!reply.isValid())
                break;
            QCoreApplication::processEvents();
            if (AbortRequested) {
                DownloadSuccessful = false;
                break;
            }
            continue;
        }
        DownloadSuccessful = false;
        if (reply.status() == ReplyStatus::VerifyError)
            Report(QStringLiteral("An error has occured while downloading the program."),
                   QStringLiteral("EEPROM verify error."), QStringLiteral("EEPROM verfiy error."));
        else
            Report(QStringLiteral("An error has ocurred while downloading the program."),
                   QStringLiteral("Please try again."), QStringLiteral("Download error."));
        break;
    }
    const bool storesAnswered = LastReplyValid;

    // Once in download mode the module is always taken out of it again; these replies are not
    // examined beyond their validity.
    Send(0, 0, 0, 0);
    Send(ModuleCommand::DownloadEnd, 0, 0, 0);
    Reply = nullptr;
    const bool ok = DownloadSuccessful && storesAnswered && LastReplyValid;
    Finish(ok);
    return ok;
}

bool ProgramTransfer::Upload(unsigned char address)
{
    if (Busy)
        return false;
    Busy = true;
    AbortRequested = false;
    UploadSuccessful = false;
    LastReplyValid = true;
    Failure.clear();
    Address = address;
    Command reply;
    Reply = &reply;
    QList<TInstruction> discarded;
    QList<TInstruction>& program = Instructions ? *Instructions : discarded;

    for (int a = 0; a < MemoryWords; ++a) {
        Send(ModuleCommand::ReadMem, 0, 0, a);
        // The module answers with the stored word in the reply's own fields.
        TInstruction instruction;
        instruction.Opcode = reply.address();
        instruction.Type = reply.status();
        instruction.Motor = reply.command();
        instruction.Value = reply.value();
        if (instruction.Opcode == 0)
            UploadSuccessful = true;
        else
            program.append(instruction);
        emit uploadProgress(a + 1);
        if (!reply.isValid())
            break;
        QCoreApplication::processEvents();
        if (UploadSuccessful || AbortRequested)
            break;
    }
    Reply = nullptr;
    const bool ok = UploadSuccessful && LastReplyValid;
    if (!UploadSuccessful && LastReplyValid && !AbortRequested)
        Failure = QStringLiteral("The program has no end within the first %1 words of the module's memory.")
                      .arg(MemoryWords);
    Finish(ok);
    return ok;
}
