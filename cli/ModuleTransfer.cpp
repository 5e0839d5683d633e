#include "ModuleTransfer.h"

#include "KROLConnectionInterface.h"
#include "ModuleSession.h"
#include "ProgramTransfer.h"
#include "SubCommand.h"
#include "TransferProgress.h"

namespace {

bool transfer(ModuleSession& session, QList<TInstruction>* program, bool download)
{
    ProgramTransfer transfer(session.connection());
    transfer.SetInstructionList(program);
    TransferProgress progress(&transfer, download ? QStringLiteral("Downloading") : QStringLiteral("Reading back"));
    if (!download)
        progress.setTotal(ProgramTransfer::MemoryWords);
    session.connection()->openInterface(KROLConnectionInterface::Exclusive);
    const bool ok = download ? transfer.Download(session.address()) : transfer.Upload(session.address());
    session.connection()->openInterface(KROLConnectionInterface::Normal);
    progress.finish();
    if (!ok) {
        QString reason = transfer.FailureReason();
        if (!transfer.IsLastReplyValid())
            reason += QStringLiteral(" (%1)").arg(session.linkError());
        report((download ? QStringLiteral("download failed: ") : QStringLiteral("read-back failed: ")) + reason,
               ExitCode::Failed);
    }
    return ok;
}

} // namespace

namespace ModuleTransfer {

bool download(ModuleSession& session, QList<TInstruction>* program)
{
    return transfer(session, program, true);
}

bool upload(ModuleSession& session, QList<TInstruction>* program)
{
    return transfer(session, program, false);
}

} // namespace ModuleTransfer
