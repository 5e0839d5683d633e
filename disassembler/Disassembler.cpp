#include "Disassembler.h"
#include "ui_Disassembler.h"

#include "Globals.h"
#include "HeaderTime.h"

#include <QDebug>
#include <QEvent>
#include <QVarLengthArray>

#include <limits>

namespace {

constexpr int LabelColumn = 10;   // ten spaces before every mnemonic on unlabelled lines

using LineBuffer = InstructionWriter::Buffer;

void Put(LineBuffer& line, const char* text)
{
    for (; *text; ++text)
        line.append(QLatin1Char(*text));
}

bool Contains(const LineBuffer& line, QLatin1String text)
{
    return QStringView(line.constData(), line.size()).contains(text);
}

TParameterList WithDefaultEvents(TParameterList waitEvents)
{
    if (waitEvents.isEmpty()) {
        qDebug() << "Disassembler::Disassembler(TParameterList, QWidget*)"
                 << "xml has supported wait cmds, loading default";
        return DefaultWaitEventList();
    }
    return waitEvents;
}

} // namespace

Disassembler::Disassembler(TParameterList waitEvents, QWidget* parent)
    : QDialog(parent), form(new Ui::Disassembler),
      WaitEvents(WithDefaultEvents(std::move(waitEvents))), Writer(WaitEvents)
{
    form->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    installEventFilter(this);
}

Disassembler::~Disassembler()
{
    delete form;
}

bool Disassembler::DoDisAsm(QList<TInstruction>* program, QString* text, bool closeWhenDone)
{
    Instructions = program;
    Output = text;
    // The stages read a snapshot (a shared copy, so free): events are processed while they run,
    // and the text is made twice from the same words even if the caller's list changes meanwhile.
    Program = program ? *program : QList<TInstruction>();
    Labels.clear();
    LabelAt.clear();
    Lines.clear();
    Error = CDisAsmError();
    EnableOKButton(false);
    Busy = true;
    ShowDisasmMessage(QStringLiteral("Disassembling..."));

    bool ok = true;
    try {
        Disassemble();
        GenerateLabels();
        FormatText();
        if (Output)
            WriteText();
        ShowDisasmMessage(QStringLiteral("Successful!"));
    } catch (const CDisAsmError& e) {
        ok = false;
        Error = e;
        ShowDisasmMessage(e.Message + QStringLiteral(" at address ") + QString::number(e.Address));
    }

    Program.clear();
    Busy = false;
    EnableOKButton(true);
    if (closeWhenDone)
        close();
    return ok;
}

void Disassembler::Disassemble()
{
    const int count = Program.size();
    Lines.reserve(size_t(count));
    CollectLabels = true;
    TextSize = 0;
    int address = 0;
    try {
        for (; address < count; ++address) {
            LineBuffer text;
            InstructionText(address, Program.at(address), text);
            if (Pump.Due()) {
                ShowTotalInstructions(address + 1);
                Pump.Process();
            }
            TLineLayout line;
            line.HasColon = Contains(text, QLatin1String(":"));
            line.EndsBlock = Contains(text, QLatin1String("RSUB")) || Contains(text, QLatin1String("RETI"));
            Lines.push_back(line);
            TextSize += text.size() + 1;
        }
    } catch (const CDisAsmError&) {
        // The counter is refreshed only when events are processed; let it end on the truth.
        if (address > 0)
            ShowTotalInstructions(address);
        throw;
    }
    if (count > 0)
        ShowTotalInstructions(count);
}


void Disassembler::InstructionText(int address, const TInstruction& instruction, LineBuffer& line)
{
    Put(line, "          ");
    if (Writer.Append(address, instruction, line) && CollectLabels)
        AddLabel(instruction.Value);
}

void Disassembler::AddLabel(qint64 address)
{
    if (LabelAt.contains(address))
        return;
    TLabel label;
    label.Name = QStringLiteral("Lbl") + QString::number(address);
    label.Address = int(address);
    LabelAt.insert(address, Labels.size());
    Labels.append(label);
}

void Disassembler::GenerateLabels()
{
    for (int i = 0; i < int(Lines.size()); ++i) {
        const auto found = LabelAt.constFind(i);
        if (found != LabelAt.constEnd()) {
            // "Lbl<i>: " goes in front of the simplified text: the line now holds a ':', and
            // whether it holds "RSUB" or "RETI" does not change (simplifying only touches
            // white space, and the label part ends in a space).
            Lines[size_t(i)].Label = *found;
            Lines[size_t(i)].HasColon = true;
        }
        if (Pump.Due())
            Pump.Process();
    }
}

// Blank lines set jump targets and subroutine ends apart. The result equals inserting blanks
// into the list while walking it from line 1: a labelled line from line 2 on gets a blank line
// before it; otherwise a line after an RSUB or RETI line gets one. When line 0 ends a block
// and line 1 is labelled, the first blank pushes line 1 to index 2, so it gets its own blank
// as well. Counted in one pass, since inserting into a list would be quadratic.
void Disassembler::FormatText()
{
    if (Lines.size() < 2)
        return;
    for (size_t k = 1; k < Lines.size(); ++k) {
        TLineLayout& line = Lines[k];
        if (k >= 2 && line.HasColon)
            line.Blanks = 1;
        else if (Lines[k - 1].EndsBlock)
            line.Blanks = (k == 1 && line.HasColon) ? 2 : 1;
    }
}

// The header, then every line with its blank lines and label, each ending in a line feed.
void Disassembler::WriteText()
{
    const QString header = QStringLiteral("//KROL disassembly at ") + HeaderTime::text();
    qint64 size = header.size() + 1 + TextSize;
    for (const TLineLayout& line : Lines) {
        size += line.Blanks;
        if (line.Label >= 0)
            size += Labels.at(line.Label).Name.size() + 2;
    }
    Output->clear();
    Output->reserve(int(qMin<qint64>(size, std::numeric_limits<int>::max())));
    Output->append(header);
    Output->append(QLatin1Char('\n'));

    CollectLabels = false;
    for (int i = 0; i < int(Lines.size()); ++i) {
        const TLineLayout& line = Lines[size_t(i)];
        for (int b = 0; b < line.Blanks; ++b)
            Output->append(QLatin1Char('\n'));
        LineBuffer text;
        InstructionText(i, Program.at(i), text);
        if (line.Label >= 0) {
            Output->append((Labels.at(line.Label).Name + QStringLiteral(": "))
                               .leftJustified(LabelColumn, QLatin1Char(' ')));
            Output->append(QString(text.constData(), text.size()).simplified());
        } else {
            Output->append(text.constData(), text.size());
        }
        Output->append(QLatin1Char('\n'));
    }
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
