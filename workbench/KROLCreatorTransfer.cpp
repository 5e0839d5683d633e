// Download and Disassemble: the program list to the module's memory and back, through the
// transfer window.
#include "KROLCreator.h"

#include "AppSettings.h"
#include "Disassembler.h"
#include "SettingsGroup.h"
#include "UploadDownload.h"
#include "ui_KROLCreator.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPlainTextEdit>

namespace {

// The commands wait for their dialogs this way rather than with exec(), since the dialog is
// already running its transfer when it is shown.
void WaitWhileVisible(const QWidget* dialog)
{
    while (dialog->isVisible())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void Notify(QWidget* parent, QMessageBox::Icon icon, const QString& text, const QString& informative)
{
    QMessageBox box(parent);
    box.setText(text);
    box.setInformativeText(informative);
    box.setStandardButtons(QMessageBox::Ok);
    box.setIcon(icon);
    box.exec();
}

} // namespace

QPlainTextEdit* KROLCreator::PageEditor(int index) const
{
    return SourceFiles.at(index).PageWidget->findChild<QPlainTextEdit*>();
}

UploadDownload* KROLCreator::OpenTransferDialog()
{
    OpenInterfaceExclusive();
    auto* dialog = new UploadDownload(this);
    connect(dialog, &UploadDownload::ForwardCommand, this, &KROLCreator::forwardDoDirectRequest);
    dialog->setModal(true);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void KROLCreator::CloseTransferDialog(UploadDownload* dialog)
{
    delete dialog;
    OpenInterfaceNormal();
}

// Asks whether to assemble first, unless told not to; the answer's check box is remembered.
void KROLCreator::AssembleBeforeDownload()
{
    if (DoNotNotifyAgain) {
        InteractiveAssembly = false;
        ActionAssembleTriggered();
        return;
    }
    QMessageBox box(this);
    box.setText(QStringLiteral("The program needs to be assembled first."));
    box.setInformativeText(QStringLiteral("Would you like to do that now?"));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setIcon(QMessageBox::Question);
    box.setCheckBox(new QCheckBox(QStringLiteral("Do not notify me again.")));
    if (box.exec() == QMessageBox::Yes) {
        InteractiveAssembly = false;
        ActionAssembleTriggered();
    }
    DoNotNotifyAgain = box.checkBox()->isChecked();
    AppSettings settings;
    settings.beginGroup(QString::fromLatin1(SettingsGroup::KROLCreator));
    settings.setValue(QStringLiteral("DoNotNotifyAgain"), DoNotNotifyAgain);
    settings.endGroup();
}

void KROLCreator::ActionDownloadTriggered()
{
    if (!Assembled) {
        AssembleBeforeDownload();
        if (!Assembled)
            return;
    }
    UploadDownload* dialog = OpenTransferDialog();
    dialog->SetInstructionList(&ProgramList);
    dialog->SetFileName(ui->tabWidget->tabText(ui->tabWidget->currentIndex()));
    // The debugger's download closes by itself; the user's waits for OK when so configured.
    dialog->BeginDownload(moduleAddress(), DownloadInteractive && ConfirmDownload);
    WaitWhileVisible(dialog);
    Downloaded = dialog->IsDownloadSuccessful();
    CloseTransferDialog(dialog);
    DownloadInteractive = true;
}

void KROLCreator::ActionDisassembleTriggered()
{
    ProgramList.clear();
    UploadDownload* dialog = OpenTransferDialog();
    dialog->SetInstructionList(&ProgramList);
    dialog->BeginUpload(moduleAddress());
    WaitWhileVisible(dialog);

    if (!ProgramList.isEmpty()) {
        makeParameterLists();
        auto* disassembler = new Disassembler(ParameterLists.WaitEventList, this);
        disassembler->setModal(true);
        disassembler->show();
        disassembler->raise();
        disassembler->activateWindow();
        QString text;
        disassembler->DoDisAsm(&ProgramList, &text, !ConfirmDisassembler);
        WaitWhileVisible(disassembler);

        int page = 0;
        if (!FirstPageUntouched || !PageEditor(0)->toPlainText().isEmpty())
            page = NewEditorPage();
        FirstPageUntouched = false;
        QPlainTextEdit* editor = PageEditor(page);
        editor->insertPlainText(text);
        editor->setFocus();
        SetModificationStatus(true);
        Assembled = false;
        Downloaded = dialog->IsUploadSuccessful();
        delete disassembler;
    } else {
        // Nothing was read: the workbench holds no program now, and the module none of ours.
        Assembled = false;
        Downloaded = false;
    }
    CloseTransferDialog(dialog);

    if (Downloaded)
        return;
    if (!ProgramList.isEmpty())
        Notify(this, QMessageBox::Warning, QStringLiteral("The KROL program read back has been aborted."),
               QStringLiteral("The disassembled program may be incomplete."));
    else
        Notify(this, QMessageBox::Information, QStringLiteral("The KROL program memory of the module is empty."),
               QString());
}
