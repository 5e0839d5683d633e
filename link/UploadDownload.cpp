#include "UploadDownload.h"
#include "ui_UploadDownload.h"

#include "Command.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QMetaMethod>

UploadDownload::UploadDownload(QWidget* parent) : QDialog(parent), form(new Ui::UploadDownload)
{
    form->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    CloseWhenDone = false;
    Busy = false;
    connect(&Transfer, &ProgramTransfer::forwardCommand, this, &UploadDownload::Forward);
    connect(&Transfer, &ProgramTransfer::downloadSize, this, &UploadDownload::SetDownloadSize);
    connect(&Transfer, &ProgramTransfer::downloadProgress, this, &UploadDownload::ShowDownloadProgress);
    connect(&Transfer, &ProgramTransfer::uploadProgress, this, &UploadDownload::ShowUploadProgress);
    connect(&Transfer, &ProgramTransfer::error, this, &UploadDownload::ShowErrorMessage);
}

UploadDownload::~UploadDownload()
{
    delete form;
}

void UploadDownload::SetInstructionList(QList<TInstruction>* list)
{
    Instructions = list;
    Transfer.SetInstructionList(list);
}

void UploadDownload::SetFileName(QString name)
{
    form->LblFileName->setText(name);
}

void UploadDownload::SetDownloadSize(int n)
{
    form->ProgressBar->setRange(0, n);
}

void UploadDownload::ShowDownloadProgress(int i)
{
    form->LblProgress_2->setText(QStringLiteral("Downloading..."));
    form->ProgressBar->setValue(i);
}

void UploadDownload::ShowUploadProgress(int n)
{
    form->LblProgress_2->setText(QStringLiteral("Reading memory (#%1)").arg(n));
}

void UploadDownload::ShowErrorMessage(QString text, QString informative, QString label)
{
    QMessageBox box(this);
    box.setText(text);
    box.setInformativeText(informative);
    box.setStandardButtons(QMessageBox::Ok);
    box.setIcon(QMessageBox::Critical);
    box.exec();
    ErrorLabel = label;
}

void UploadDownload::ChangeOKButton()
{
    form->BtnClose->setText(QStringLiteral("OK"));
    form->LblProgress_2->setText(ErrorLabel.isEmpty() ? QStringLiteral("Successful!") : ErrorLabel);
    if (CloseWhenDone)
        close();
}

void UploadDownload::BeginDownload(unsigned char address, bool keepOpen)
{
    CloseWhenDone = !keepOpen;
    Busy = true;
    AbortRequested = false;
    DownloadSuccessful = true;
    Transfer.Download(address);
    DownloadSuccessful = Transfer.IsDownloadSuccessful();
    // A module that answers DownloadStart with a status it has no message for stored nothing;
    // the result line says so instead of "Successful!".
    if (!Transfer.EnteredDownloadMode() && Transfer.IsLastReplyValid() && ErrorLabel.isEmpty())
        ErrorLabel = QStringLiteral("Download refused!");
    Busy = false;
    if (AbortRequested || !Transfer.IsLastReplyValid())
        close();
    else
        ChangeOKButton();
}

void UploadDownload::BeginUpload(unsigned char address)
{
    form->ProgressBar->setRange(0, 0);
    form->ProgressBar->setValue(-1);
    CloseWhenDone = true;
    AbortRequested = false;
    UploadSuccessful = false;
    Busy = true;
    Transfer.Upload(address);
    UploadSuccessful = Transfer.IsUploadSuccessful();
    Busy = false;
    ChangeOKButton();
}

void UploadDownload::OnBtnCloseClicked()
{
    if (form->BtnClose->text() == QLatin1String("OK")) {
        close();
        return;
    }
    AbortRequested = true;
    Transfer.Abort();
}

void UploadDownload::reject()
{
    if (!Busy)
        QDialog::reject();
}

void UploadDownload::closeEvent(QCloseEvent* event)
{
    if (Busy)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void UploadDownload::Forward(Command* request, Command* reply)
{
    if (isSignalConnected(QMetaMethod::fromSignal(&UploadDownload::ForwardCommand))) {
        emit ForwardCommand(request, reply);
        return;
    }
    // Nobody to send it to: the request is ours to free and the module stays silent.
    delete request;
    *reply = Command();
}
