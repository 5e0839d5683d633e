#pragma once

#include "CDisAsmError.h"
#include "EventPump.h"
#include "TInstruction.h"
#include "TLabel.h"
#include "TParameterDescriptor.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QStringList>

namespace Ui {
class Disassembler;
}

// Turns a program back into KROL source text with generated labels. One object serves one
// disassembly: create it, call DoDisAsm once, delete it.
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
    const CDisAsmError& LastError() const { return Error; }

    void ShowDisasmMessage(const QString& message);
    void ShowTotalInstructions(int n);
    void EnableOKButton(bool enable);

    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void reject() override;   // Escape must not end the dialog while it works

private slots:
    void on_BtnOK_clicked();

protected:
    void Disassemble();
    void GenerateLabels();
    void FormatText();

    Ui::Disassembler* form;
    QList<TInstruction>* Instructions = nullptr;
    QList<TLabel> Labels;
    QStringList Lines;
    QString* Output = nullptr;
    TParameterList WaitEvents;
    bool Busy = false;

private:
    // Entries of each keyword table before its end entry, counted when a run starts.
    struct KeywordCounts
    {
        int Condition = 0, Calc = 0, Calcx = 0, Calce = 0, Calcv = 0, Cle = 0;
    };

    QString InstructionText(int address, const TInstruction& instruction);
    void AddLabel(qint64 address, const QString& name);

    QHash<qint64, int> LabelAt;   // jump target -> index in Labels
    KeywordCounts Counts;
    EventPump Pump;
    CDisAsmError Error;
};
