// The module's own program: run, stop, continue, auto start, and requests on behalf of others.
#include "KROLCreator.h"

#include "KROLConnectionInterface.h"
#include "ModuleCommands.h"
#include "ui_KROLCreator.h"

#include <QMessageBox>

namespace {

// Global parameter 77 of bank 0: the module starts its program at power-on when it is 1.
constexpr unsigned short AutoStartParameter = 77;

} // namespace

Command KROLCreator::SendRequest(unsigned char command, unsigned short type, unsigned char motorBank, int value)
{
    Command reply;
    commandHandler()->doDirectRequest(new Command(moduleAddress(), command, type, motorBank, value, false, 12),
                                      &reply);
    return reply;
}

void KROLCreator::ActionRunTriggered()
{
    SendRequest(ModuleCommand::ApplStop, 0, 0, 0);
    SendRequest(ModuleCommand::ApplReset, 0, 0, 0);
    SendRequest(ModuleCommand::ApplRun, 0, 0, 0);
}

void KROLCreator::ActionStopTriggered()
{
    SendRequest(ModuleCommand::ApplStop, 0, 0, 0);
}

void KROLCreator::ActionContinueTriggered()
{
    SendRequest(ModuleCommand::ApplRun, 0, 0, 0);
}

void KROLCreator::AskAutoStart(const QString& text, int value)
{
    QMessageBox box(this);
    box.setText(text);
    box.setInformativeText(QStringLiteral("Would you like to proceed?"));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setIcon(QMessageBox::Question);
    if (box.exec() == QMessageBox::Yes)
        SendRequest(Opcode::SGP, AutoStartParameter, 0, value);
}

void KROLCreator::ActionAutoStartOnTriggered()
{
    AskAutoStart(QStringLiteral("You are about to turn on the KROL auto start function on the module."), 1);
}

void KROLCreator::ActionAutoStartOffTriggered()
{
    AskAutoStart(QStringLiteral("You are about to turn off the KROL auto start function on the module."), 0);
}

void KROLCreator::MenuAutostartShow()
{
    const int value = SendRequest(Opcode::GGP, AutoStartParameter, 0, 0).value();
    ui->actionOff->setChecked(value == 0);
    ui->actionOn->setChecked(value == 1);
}

void KROLCreator::OpenInterfaceExclusive()
{
    connection()->openInterface(KROLConnectionInterface::Exclusive);
}

void KROLCreator::OpenInterfaceNormal()
{
    connection()->openInterface(KROLConnectionInterface::Normal);
}

void KROLCreator::forwardDoDirectRequest(Command* request, Command* reply)
{
    commandHandler()->doDirectRequest(request, reply);
}

void KROLCreator::ProcessCommand(uchar Opcode, uchar Type, uchar MotorBank, int Value, uchar& ReplyAddress,
                                 uchar& ReplyStatus, uchar& ReplyOpcode, int& ReplyValue)
{
    Command request;
    request.setAddress(moduleAddress());
    request.setCommand(Opcode);
    request.setType(Type);
    request.setMotorBank(MotorBank);
    request.setValue(Value);
    request.setValid(true);
    Command reply;
    connection()->processRequest(&request, &reply);
    ReplyAddress = reply.address();
    ReplyStatus = reply.status();
    ReplyOpcode = reply.command();
    ReplyValue = reply.value();
}
