#pragma once

#include "CDisAsmError.h"
#include "EventPump.h"
#include "InstructionWriter.h"
#include "TInstruction.h"
#include "TLabel.h"
#include "TParameterDescriptor.h"

#include <QHash>
#include <QList>
#include <QObject>

#include <vector>

// Turns a program back into KROL source text with generated labels, without any widget. The
// Disassembler dialog drives it for the workbench; krol disasm uses it directly. One object
// serves one disassembly at a time.
class DisassemblerEngine : public QObject
{
    Q_OBJECT

public:
    // An empty list means the module declares no WAIT events: the default events are used.
    explicit DisassemblerEngine(TParameterList waitEvents, QObject* parent = nullptr);

    // Runs the whole disassembly. On success *text holds the source text and true is returned;
    // on failure *text is untouched and LastError() describes the fault.
    bool Run(QList<TInstruction>* program, QString* text);

    // The error of the last failed run (Address and Message as thrown).
    const CDisAsmError& LastError() const { return Error; }

    // With progress on, events are processed every few milliseconds during a run (so a window
    // stays responsive) and InstructionsDone reports how far the first stage got.
    void SetReportProgress(bool on) { ReportProgress = on; }

    // The three stages, in this order. A line is the text of one instruction; a labelled line
    // starts with its label, and blank lines set labelled lines and subroutine ends apart.
    void Disassemble();
    void GenerateLabels();
    void FormatText();

signals:
    void InstructionsDone(int n);

private:
    // What the stages know of one line. Its text is not kept: it is written once, straight into
    // the output, since a string per line costs more than making the text a second time.
    struct TLineLayout
    {
        int Label = -1;          // index in Labels of the label the line carries, or -1
        bool HasColon = false;   // the text contains ':' (every labelled line does)
        bool EndsBlock = false;  // the text contains "RSUB" or "RETI"
        quint8 Blanks = 0;       // blank lines before the line
    };
    using LineBuffer = InstructionWriter::Buffer;

    // Appends the instruction's text to line; throws CDisAsmError when it has none.
    void InstructionText(int address, const TInstruction& instruction, LineBuffer& line);
    void AddLabel(qint64 address);
    void WriteText();
    bool Due();

    QList<TInstruction>* Instructions = nullptr;
    QList<TLabel> Labels;
    std::vector<TLineLayout> Lines;
    QString* Output = nullptr;
    TParameterList WaitEvents;
    QList<TInstruction> Program;  // what *Instructions held when the run started
    QHash<qint64, int> LabelAt;   // jump target -> index in Labels
    bool CollectLabels = true;    // off while the text is made the second time
    qint64 TextSize = 0;          // characters of all unlabelled line texts, line feeds included
    InstructionWriter Writer;     // after WaitEvents, which it is made from
    EventPump Pump;
    bool ReportProgress = false;
    CDisAsmError Error;
};
