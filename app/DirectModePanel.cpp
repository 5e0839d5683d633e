#include "DirectModePanel.h"

#include "ui_DirectModePanel.h"

#include "Command.h"
#include "DirectModeChoices.h"
#include "Globals.h"
#include "KROLModuleInterface.h"
#include "SharedConnection.h"

#include <QLineEdit>

DirectModePanel::DirectModePanel(KROLModuleInterface* module, SharedConnection* link, unsigned char address,
                                 QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::DirectModePanel)
    , m_module(module)
    , m_link(link)
    , m_address(address)
{
    ui->setupUi(this);
    // The import filters find the module of a value's sender here.
    setProperty("krolModule", QVariant::fromValue<QObject*>(module));
    connect(ui->ComboInstruction, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DirectModePanel::OnInstructionChanged);
    connect(ui->SpinMotor, QOverload<int>::of(&QSpinBox::valueChanged), this, &DirectModePanel::OnMotorChanged);
    connect(ui->BtnSend, &QPushButton::clicked, this, &DirectModePanel::send);
    connect(ui->BtnExport, &QPushButton::clicked, this, &DirectModePanel::exportLine);
    if (m_module)
        connect(m_module, &KROLModuleInterface::parameterListChanged, this, &DirectModePanel::rebuild);
    rebuild();
}

DirectModePanel::~DirectModePanel() = default;

void DirectModePanel::rebuild()
{
    const int previous = opcode();
    const QSignalBlocker block(ui->ComboInstruction);
    ui->ComboInstruction->clear();
    for (int opcode : DirectModeChoices::instructions(m_module)) {
        const TInstructionRow* row = FindInstructionByOpcode(uint8_t(opcode));
        ui->ComboInstruction->addItem(QStringLiteral("%1 (%2)").arg(row->Mnemonic).arg(opcode), opcode);
    }
    const int index = ui->ComboInstruction->findData(previous);
    ui->ComboInstruction->setCurrentIndex(index >= 0 ? index : 0);
    const bool any = ui->ComboInstruction->count() > 0;
    ui->BtnSend->setEnabled(any);
    ui->BtnExport->setEnabled(any);
    OnInstructionChanged();
}

int DirectModePanel::opcode() const
{
    return ui->ComboInstruction->currentIndex() < 0 ? -1 : ui->ComboInstruction->currentData().toInt();
}

int DirectModePanel::type() const
{
    if (!ui->ComboType->isEnabled())
        return 0;
    const QString text = ui->ComboType->currentText().trimmed();
    const int index = ui->ComboType->findText(text);
    if (index >= 0)
        return ui->ComboType->itemData(index).toInt();
    // A number typed by hand, or the number in front of a parameter's name.
    bool ok = false;
    const int number = text.section(QLatin1Char(' '), 0, 0).toInt(&ok);
    return ok && number >= 0 && number <= 255 ? number : -1;
}

int DirectModePanel::motorBank() const
{
    return ui->SpinMotor->isEnabled() ? ui->SpinMotor->value() : 0;
}

int DirectModePanel::value() const
{
    return ui->SpinValue->isEnabled() ? ui->SpinValue->value() : 0;
}

bool DirectModePanel::setRequest(int opcode, int type, int motorBank, int value)
{
    const int index = ui->ComboInstruction->findData(opcode);
    if (index < 0)
        return false;
    ui->ComboInstruction->setCurrentIndex(index);
    ui->SpinMotor->setValue(motorBank);
    const int typeIndex = ui->ComboType->findData(type);
    if (typeIndex >= 0)
        ui->ComboType->setCurrentIndex(typeIndex);
    else
        ui->ComboType->setEditText(QString::number(type));
    ui->SpinValue->setValue(value);
    return true;
}

QString DirectModePanel::replyText() const
{
    return ui->LblReply->text();
}

QString DirectModePanel::line() const
{
    if (opcode() < 0 || type() < 0)
        return QString();
    return DirectModeChoices::line(opcode(), type(), motorBank(), value());
}

void DirectModePanel::OnInstructionChanged()
{
    const TInstructionRow* row = opcode() < 0 ? nullptr : FindInstructionByOpcode(uint8_t(opcode()));
    ui->ComboType->setEnabled(row != nullptr && row->TypeKind != TypeNone);
    ui->SpinMotor->setEnabled(row != nullptr && row->MotorKind == 1);
    ui->SpinValue->setEnabled(row != nullptr && row->ValueKind != ValueNone);
    ui->LblMotor->setText(DirectModeChoices::motorLabel(opcode()));
    fillTypes();
}

void DirectModePanel::OnMotorChanged()
{
    // Axis and bank maps differ per motor or bank: the names follow, the number stays.
    const int previous = type();
    fillTypes();
    const int index = ui->ComboType->findData(previous);
    if (index >= 0)
        ui->ComboType->setCurrentIndex(index);
    else if (previous >= 0)
        ui->ComboType->setEditText(QString::number(previous));
}

void DirectModePanel::fillTypes()
{
    ui->ComboType->clear();
    for (const DirectModeChoices::Choice& choice : DirectModeChoices::types(m_module, opcode(), ui->SpinMotor->value()))
        ui->ComboType->addItem(choice.text, choice.value);
    if (ui->ComboType->count() == 0)
        ui->ComboType->setEditText(QStringLiteral("0"));
}

bool DirectModePanel::send()
{
    if (opcode() < 0)
        return false;
    if (type() < 0) {
        showReply(tr("The type must be one of the list or a number from 0 to 255."));
        return false;
    }
    const Command request(m_address, uint8_t(opcode()), uint16_t(type()), uint8_t(motorBank()), value(), false, 12);
    Command reply;
    if (!m_link || !m_link->hostRequest(request, &reply)) {
        showReply(tr("The link is busy with a transfer; send again when it has ended."));
        return false;
    }
    if (!reply.isValid()) {
        showReply(tr("No reply from the module."));
        return false;
    }
    showReply(tr("Reply: status %1, value %2").arg(DirectModeChoices::statusText(reply.status())).arg(reply.value()));
    return true;
}

void DirectModePanel::exportLine()
{
    const QString text = line();
    if (text.isEmpty()) {
        showReply(tr("This instruction has no KROL text: check its type."));
        return;
    }
    emit exportRequested(text + QStringLiteral(", %module%"));
}

void DirectModePanel::showReply(const QString& text)
{
    ui->LblReply->setText(text);
}
