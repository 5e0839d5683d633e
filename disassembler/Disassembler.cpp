#include "Disassembler.h"
#include "ui_Disassembler.h"

#include "Globals.h"

#include <QDateTime>
#include <QDebug>
#include <QEvent>

namespace {

const QString Indent = QStringLiteral("          ");   // ten spaces before every mnemonic
constexpr int LabelColumn = 10;

bool EndsBlock(const QString& line)
{
    return line.contains(QLatin1String("RSUB")) || line.contains(QLatin1String("RETI"));
}

bool IsLabelled(const QString& line)
{
    return line.contains(QLatin1Char(':'));
}

} // namespace

Disassembler::Disassembler(TParameterList waitEvents, QWidget* parent)
    : QDialog(parent), form(new Ui::Disassembler), WaitEvents(std::move(waitEvents))
{
    form->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    if (WaitEvents.isEmpty()) {
        qDebug() << "Disassembler::Disassembler(TParameterList, QWidget*)"
                 << "xml has supported wait cmds, loading default";
        WaitEvents = DefaultWaitEventList();
    }
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
        Lines.prepend(QStringLiteral("//KROL disassembly at ")
                      + QDateTime::currentDateTime().toString(QStringLiteral("MM-dd-yyyy hh:mm:ss")));
        if (Output) {
            int size = 0;
            for (const QString& line : qAsConst(Lines))
                size += line.size() + 1;
            Output->clear();
            Output->reserve(size);
            for (const QString& line : qAsConst(Lines)) {
                Output->append(line);
                Output->append(QLatin1Char('\n'));
            }
        }
        ShowDisasmMessage(QStringLiteral("Successful!"));
    } catch (const CDisAsmError& e) {
        ok = false;
        Error = e;
        ShowDisasmMessage(e.Message + QStringLiteral(" at address ") + QString::number(e.Address));
    }

    Busy = false;
    EnableOKButton(true);
    if (closeWhenDone)
        close();
    return ok;
}

void Disassembler::Disassemble()
{
    Counts.Condition = KeywordCount(ConditionMnemonic);
    Counts.Calc = KeywordCount(CalcMnemonic);
    Counts.Calcx = KeywordCount(CalcxMnemonic);
    Counts.Calce = KeywordCount(CalceMnemonic);
    Counts.Calcv = KeywordCount(CalcvMnemonic);
    Counts.Cle = KeywordCount(CleMnemonic);

    const int count = Instructions ? Instructions->size() : 0;
    Lines.reserve(count);
    int address = 0;
    try {
        for (; address < count; ++address) {
            const QString line = InstructionText(address, Instructions->at(address));
            if (Pump.Due()) {
                ShowTotalInstructions(address + 1);
                Pump.Process();
            }
            Lines.append(line);
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

QString Disassembler::InstructionText(int address, const TInstruction& instruction)
{
    static const QString MoveModes[] = {QStringLiteral("ABS"), QStringLiteral("REL"),
                                        QStringLiteral("COORD"), QStringLiteral("RELCOORD")};
    static const QString RfsModes[] = {QStringLiteral("START"), QStringLiteral("STOP"),
                                       QStringLiteral("STATUS")};

    const TInstructionRow* row = FindInstructionByOpcode(instruction.Opcode);
    if (!row)
        throw CDisAsmError(address, QStringLiteral("Unknown opcode"));

    QString line;
    line.reserve(48);
    line += Indent;
    line += row->Mnemonic;
    line += QLatin1Char(' ');
    QLatin1String motorSeparator(", ");
    const int t = instruction.Type;
    switch (row->TypeKind) {
    case TypeNone:
        motorSeparator = QLatin1String("");
        break;
    case TypeNumber:
        line += QString::number(t);
        break;
    case TypeMoveMode:
        if (t > 3)
            throw CDisAsmError(address, QStringLiteral("cmd"));
        line += MoveModes[t];
        break;
    case TypeWaitEvent: {
        const TParameterDescriptor* event = FindParameter(WaitEvents, t);
        if (!event)
            throw CDisAsmError(address, QStringLiteral("Unknown event code"));
        line += event->Name;
        break;
    }
    case TypeCondition:
        if (t >= Counts.Condition)
            throw CDisAsmError(address, QStringLiteral("Unknow condition code"));
        line += ConditionMnemonic[t];
        break;
    case TypeCalc:
        if (t >= Counts.Calc)
            throw CDisAsmError(address, QStringLiteral("Unknown CALC code"));
        line += CalcMnemonic[t];
        break;
    case TypeCalcx:
        if (t >= Counts.Calcx)
            throw CDisAsmError(address, QStringLiteral("Unknown CALCX code"));
        line += CalcxMnemonic[t];
        break;
    case TypeCalcxx:
        if (t >= Counts.Calce)
            throw CDisAsmError(address, QStringLiteral("Unknown CALCxx code"));
        line += CalceMnemonic[t];
        break;
    case TypeCalcv:
        if (t >= Counts.Calcv || CalcvMnemonic[t] == QLatin1String("!!!"))
            throw CDisAsmError(address, QStringLiteral("Unknown CALCV code"));
        line += CalcvMnemonic[t];
        break;
    case TypeRfsMode:
        if (t > 2)
            throw CDisAsmError(address, QStringLiteral("Unexpected parameter value"));
        line += RfsModes[t];
        break;
    case TypeCle:
        if (t >= Counts.Cle)
            throw CDisAsmError(address, QStringLiteral("Unknown CLE code"));
        line += CleMnemonic[t];
        break;
    default:
        throw CDisAsmError(address, QStringLiteral("Internal error 1"));
    }

    QLatin1String valueSeparator(", ");
    if (row->MotorKind == 1) {
        line += motorSeparator;
        line += QString::number(instruction.Motor);
    } else if (row->MotorKind == 0) {
        valueSeparator = motorSeparator;
    } else {
        throw CDisAsmError(address, QStringLiteral("Internal error 2"));
    }

    switch (row->ValueKind) {
    case ValueNone:
        break;
    case ValueNumber:
    case ValueByte:
        line += valueSeparator;
        line += QString::number(instruction.Value);
        break;
    case ValueLabel: {
        const QString name = QStringLiteral("Lbl") + QString::number(instruction.Value);
        line += valueSeparator;
        line += name;
        AddLabel(instruction.Value, name);
        break;
    }
    default:
        throw CDisAsmError(address, QStringLiteral("Internal error 3"));
    }
    return line;
}

void Disassembler::AddLabel(qint64 address, const QString& name)
{
    if (LabelAt.contains(address))
        return;
    TLabel label;
    label.Name = name;
    label.Address = int(address);
    LabelAt.insert(address, Labels.size());
    Labels.append(label);
}

void Disassembler::GenerateLabels()
{
    for (int i = 0; i < Lines.size(); ++i) {
        const auto found = LabelAt.constFind(i);
        if (found != LabelAt.constEnd()) {
            const QString head = (Labels.at(*found).Name + QStringLiteral(": "))
                                     .leftJustified(LabelColumn, QLatin1Char(' '));
            Lines[i] = head + Lines.at(i).simplified();
        }
        if (Pump.Due())
            Pump.Process();
    }
}

// Blank lines set jump targets and subroutine ends apart. The result equals inserting blanks
// into the list while walking it from line 1: a labelled line from line 2 on gets a blank line
// before it; otherwise a line after an RSUB or RETI line gets one. When line 0 ends a block
// and line 1 is labelled, the first blank pushes line 1 to index 2, so it gets its own blank
// as well. Built in one pass, since inserting into the list would be quadratic.
void Disassembler::FormatText()
{
    if (Lines.size() < 2)
        return;
    QStringList text;
    text.reserve(Lines.size() + Lines.size() / 2);
    text.append(Lines.at(0));
    for (int k = 1; k < Lines.size(); ++k) {
        const QString& line = Lines.at(k);
        if (k >= 2 && IsLabelled(line)) {
            text.append(QString());
        } else if (EndsBlock(Lines.at(k - 1))) {
            text.append(QString());
            if (k == 1 && IsLabelled(line))
                text.append(QString());
        }
        text.append(line);
    }
    Lines.swap(text);
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
