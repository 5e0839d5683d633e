#pragma once

#include "DisassemblerEngine.h"

#include <QDialog>

namespace Ui {
class Disassembler;
}

// The disassembler's dialog: runs a DisassemblerEngine and shows its progress and outcome. One
// object serves one disassembly: create it, call DoDisAsm once, delete it.
class Disassembler : public QDialog
{
    Q_OBJECT

public:
    // An empty list means the module declares no WAIT events: the default events are used.
    explicit Disassembler(TParameterList waitEvents, QWidget* parent = nullptr);
    ~Disassembler() override;

    // Runs the whole disassembly. On success *text holds the source text and true is returned;
    // on failure *text is untouched, the dialog shows the error and LastError() describes it.
    bool DoDisAsm(QList<TInstruction>* program, QString* text, bool closeWhenDone);

    // The error of the last failed DoDisAsm (Address and Message as thrown).
    const CDisAsmError& LastError() const { return Engine.LastError(); }

    void ShowDisasmMessage(const QString& message);
    void ShowTotalInstructions(int n);
    void EnableOKButton(bool enable);

    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void reject() override;   // Escape must not end the dialog while it works

private slots:
    void on_BtnOK_clicked();

protected:
    void Disassemble() { Engine.Disassemble(); }
    void GenerateLabels() { Engine.GenerateLabels(); }
    void FormatText() { Engine.FormatText(); }

private:
    Ui::Disassembler* form;
    DisassemblerEngine Engine;
    bool Busy = false;
};
