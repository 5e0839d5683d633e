#pragma once

#include "CDisAsmError.h"
#include "EventPump.h"
#include "InstructionWriter.h"
#include "TInstruction.h"
#include "TLabel.h"
#include "TParameterDescriptor.h"

#include <QDialog>
#include <QHash>
#include <QList>

#include <vector>

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
    // The three stages, in this order. A line is the text of one instruction; a labelled line
    // starts with its label, and blank lines set labelled lines and subroutine ends apart.
    void Disassemble();
    void GenerateLabels();
    void FormatText();

    // What the stages know of one line. Its text is not kept: it is written once, straight into
    // the output, since a string per line costs more than making the text a second time.
    struct TLineLayout
    {
        int Label = -1;          // index in Labels of the label the line carries, or -1
        bool HasColon = false;   // the text contains ':' (every labelled line does)
        bool EndsBlock = false;  // the text contains "RSUB" or "RETI"
        quint8 Blanks = 0;       // blank lines before the line
    };

    Ui::Disassembler* form;
    QList<TInstruction>* Instructions = nullptr;
    QList<TLabel> Labels;
    std::vector<TLineLayout> Lines;
    QString* Output = nullptr;
    TParameterList WaitEvents;
    bool Busy = false;

private:
    using LineBuffer = InstructionWriter::Buffer;

    // Appends the instruction's text to line; throws CDisAsmError when it has none.
    void InstructionText(int address, const TInstruction& instruction, LineBuffer& line);
    void AddLabel(qint64 address);
    void WriteText();

    QList<TInstruction> Program;  // what *Instructions held when the run started
    QHash<qint64, int> LabelAt;   // jump target -> index in Labels
    bool CollectLabels = true;    // off while the text is made the second time
    qint64 TextSize = 0;          // characters of all unlabelled line texts, line feeds included
    InstructionWriter Writer;     // after WaitEvents, which it is made from
    EventPump Pump;
    CDisAsmError Error;
};
