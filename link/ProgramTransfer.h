#pragma once

#include "Globals.h"
#include "TInstruction.h"

#include <QList>
#include <QObject>
#include <QString>

class Command;
class CommandHandler;

// Moves a program into a module's memory (download) and reads it back (upload), one request at
// a time, without any widget: whoever shows the transfer listens to the signals. Requests go to
// the command handler when one is set, else out through forwardCommand (connect it directly;
// the receiver takes ownership of the request). A transfer runs whole before Download() or
// Upload() returns and processes pending events after each answered request, so Abort() can
// arrive from a button meanwhile.
class ProgramTransfer : public QObject
{
    Q_OBJECT

public:
    // Program memory of a module, the end marker included.
    static constexpr int MemoryWords = ProgramMemoryWords;

    explicit ProgramTransfer(CommandHandler* handler = nullptr, QObject* parent = nullptr);

    void SetCommandHandler(CommandHandler* handler) { Handler = handler; }

    // The list a download sends or an upload appends to; the caller keeps ownership.
    void SetInstructionList(QList<TInstruction>* list) { Instructions = list; }

    // Stores the list in the module at the given module address; true when every instruction
    // was stored and the module answered every request. IsDownloadSuccessful() is the dialog's
    // flag: a module that refuses download mode with a status it has no message for, or does
    // not answer at all, leaves it set (the dialog's result then decides what the user sees).
    bool Download(unsigned char address);

    // Appends the module's program to the list; true when its end (opcode 0) was read within
    // the module's memory and every read was answered. Each reply is taken as a program word,
    // answered or not; IsUploadSuccessful() says whether one of them had opcode 0.
    bool Upload(unsigned char address);

    bool IsBusy() const { return Busy; }
    bool IsAbortRequested() const { return AbortRequested; }
    bool IsLastReplyValid() const { return LastReplyValid; }
    bool IsDownloadSuccessful() const { return DownloadSuccessful; }
    bool IsUploadSuccessful() const { return UploadSuccessful; }
    // False when the last download ended at DownloadStart.
    bool EnteredDownloadMode() const { return InDownloadMode; }

    // Why the last transfer failed, in a sentence (empty after success); for callers that show
    // no message boxes.
    QString FailureReason() const { return Failure; }

public slots:
    // Ends the running transfer after its current request.
    void Abort() { AbortRequested = true; }

signals:
    // Download: the index of the last instruction (count - 1), before anything is sent.
    void downloadSize(int last);
    // Download: instruction index was stored.
    void downloadProgress(int index);
    // Upload: words read so far.
    void uploadProgress(int words);
    // A failure to show the user: text, informative text, and a short status label. Emitted
    // while the module is still in download mode, before the end marker goes out.
    void error(const QString& text, const QString& informative, const QString& label);
    void finished(bool ok);
    void forwardCommand(Command* request, Command* reply);

private:
    void Send(unsigned char command, unsigned short type, unsigned char motor, qint64 value);
    void Report(const QString& text, const QString& informative, const QString& label);
    void Finish(bool ok);

    CommandHandler* Handler = nullptr;
    QList<TInstruction>* Instructions = nullptr;
    Command* Reply = nullptr;   // one reply record for the whole transfer
    unsigned char Address = 0;
    bool AbortRequested = false;
    bool DownloadSuccessful = false;
    bool UploadSuccessful = false;
    bool LastReplyValid = true;
    bool InDownloadMode = false;
    bool Busy = false;
    QString Failure;
};
