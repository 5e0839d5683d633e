#pragma once

#include "ProgramTransfer.h"
#include "TInstruction.h"

#include <QDialog>
#include <QList>
#include <QString>

class Command;
class QCloseEvent;

namespace Ui {
class UploadDownload;
}

// The transfer window: runs one download or read-back through ProgramTransfer, shows its
// progress, lets the user abort it and shows the result. Every request leaves through
// ForwardCommand; connect it before starting a transfer.
class UploadDownload : public QDialog
{
    Q_OBJECT

public:
    explicit UploadDownload(QWidget* parent = nullptr);
    ~UploadDownload() override;

    void SetInstructionList(QList<TInstruction>* list);
    void SetFileName(QString name);
    void SetDownloadSize(int n);
    void ShowDownloadProgress(int i);
    void ShowUploadProgress(int n);
    void ShowErrorMessage(QString text, QString informative, QString label);
    void ChangeOKButton();

    // Each runs a whole transfer before it returns.
    void BeginDownload(unsigned char address, bool keepOpen);
    void BeginUpload(unsigned char address);

    bool IsDownloadSuccessful() const { return DownloadSuccessful; }
    bool IsUploadSuccessful() const { return UploadSuccessful; }

signals:
    void ForwardCommand(Command* request, Command* reply);

public slots:
    void OnBtnCloseClicked();
    void reject() override;   // Escape must not end a running transfer

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void Forward(Command* request, Command* reply);

private:
    Ui::UploadDownload* form;
    ProgramTransfer Transfer;
    QList<TInstruction>* Instructions = nullptr;
    bool CloseWhenDone = false;
    QString ErrorLabel;
    bool AbortRequested = false;
    bool DownloadSuccessful = false;
    bool UploadSuccessful = false;
    bool Busy = false;
};
