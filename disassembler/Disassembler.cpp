#include "Disassembler.h"
#include "ui_Disassembler.h"

#include <QEvent>

Disassembler::Disassembler(TParameterList waitEvents, QWidget* parent)
    : QDialog(parent), form(new Ui::Disassembler), Engine(std::move(waitEvents))
{
    form->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    installEventFilter(this);
    Engine.SetReportProgress(true);
    connect(&Engine, &DisassemblerEngine::InstructionsDone, this,
            &Disassembler::ShowTotalInstructions);
}

Disassembler::~Disassembler()
{
    delete form;
}

bool Disassembler::DoDisAsm(QList<TInstruction>* program, QString* text, bool closeWhenDone)
{
    EnableOKButton(false);
    Busy = true;
    ShowDisasmMessage(QStringLiteral("Disassembling..."));
    const bool ok = Engine.Run(program, text);
    if (ok) {
        ShowDisasmMessage(QStringLiteral("Successful!"));
    } else {
        const CDisAsmError& e = Engine.LastError();
        ShowDisasmMessage(e.Message + QStringLiteral(" at address ") + QString::number(e.Address));
    }
    Busy = false;
    EnableOKButton(true);
    if (closeWhenDone)
        close();
    return ok;
}

void Disassembler::ShowDisasmMessage(const QString& message)
{
    form->LblDisAsmMessage->setText(message);
}

void Disassembler::ShowTotalInstructions(int n)
{
    form->LblDisAsmInstructions->setText(QStringLiteral("Total instructions: ") + QString::number(n));
}

void Disassembler::EnableOKButton(bool enable)
{
    form->BtnOK->setEnabled(enable);
}

bool Disassembler::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::Close) {
        // Swallowing alone would still let close() hide the window: the event must be refused.
        if (Busy)
            event->ignore();
        return Busy;
    }
    return QDialog::eventFilter(watched, event);
}

void Disassembler::reject()
{
    if (!Busy)
        QDialog::reject();
}

void Disassembler::on_BtnOK_clicked()
{
    close();
}
