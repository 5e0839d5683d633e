#include "SerialModuleDialog.h"

#include "ui_SerialModuleDialog.h"

#include "ModuleDescription.h"
#include "SerialConnection.h"

#include <QFileDialog>
#include <QPushButton>
#include <QSerialPortInfo>

namespace {
// Ports come and go as adapters are plugged in; a second is quick enough to see them.
constexpr int RefreshMs = 1000;
}

SerialModuleDialog::SerialModuleDialog(const QString& defaultDescription, QWidget* parent)
    : QDialog(parent), ui(new Ui::SerialModuleDialog)
{
    ui->setupUi(this);
    for (qint32 baud : QSerialPortInfo::standardBaudRates())
        ui->baudBox->addItem(QString::number(baud));
    ui->baudBox->setCurrentText(QString::number(TSerialSettings::DefaultBaud));
    ui->addressBox->setValue(TSerialSettings::DefaultModuleAddress);
    ui->descriptionEdit->setText(defaultDescription);
    ui->errorLabel->hide();
    connect(ui->buttons, &QDialogButtonBox::accepted, this, &SerialModuleDialog::accept);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui->browseButton, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Module description"),
                                                          ui->descriptionEdit->text(),
                                                          tr("Module descriptions (*.json);;All files (*)"));
        if (!path.isEmpty())
            ui->descriptionEdit->setText(path);
    });
    connect(&m_refresh, &QTimer::timeout, this, &SerialModuleDialog::refreshPorts);
    refreshPorts();
    m_refresh.start(RefreshMs);
}

SerialModuleDialog::~SerialModuleDialog() = default;

void SerialModuleDialog::refreshPorts()
{
    const QString typed = ui->portBox->currentText();
    QStringList ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports << info.systemLocation();
    QStringList shown;
    for (int i = 0; i < ui->portBox->count(); ++i)
        shown << ui->portBox->itemText(i);
    if (shown == ports)
        return;
    ui->portBox->clear();
    ui->portBox->addItems(ports);
    ui->portBox->setCurrentText(typed.isEmpty() && !ports.isEmpty() ? ports.first() : typed);
}

TSerialSettings SerialModuleDialog::settings() const
{
    TSerialSettings s;
    s.Port = ui->portBox->currentText().trimmed();
    const int baud = ui->baudBox->currentText().toInt();
    s.Baud = baud > 0 ? baud : TSerialSettings::DefaultBaud;
    return s;
}

unsigned char SerialModuleDialog::moduleAddress() const
{
    return static_cast<unsigned char>(ui->addressBox->value());
}

QString SerialModuleDialog::descriptionPath() const
{
    return ui->descriptionEdit->text().trimmed();
}

SerialConnection* SerialModuleDialog::takeConnection()
{
    return m_connection.release();
}

QString SerialModuleDialog::errorText() const
{
    return ui->errorLabel->isHidden() ? QString() : ui->errorLabel->text();
}

void SerialModuleDialog::accept()
{
    QString error;
    ModuleDescription description;
    if (settings().Port.isEmpty()) {
        error = tr("Choose the port the module is on.");
    } else if (ui->baudBox->currentText().toInt() <= 0) {
        error = tr("The baud rate must be a whole number above 0.");
    } else if (ModuleDescription::load(descriptionPath(), &description, &error)) {
        auto connection = std::make_unique<SerialConnection>(settings());
        if (connection->open(&error))
            m_connection = std::move(connection);
    }
    if (!m_connection) {
        ui->errorLabel->setText(error);
        ui->errorLabel->show();
        adjustSize();   // room for the message, rather than squeezed fields
        return;
    }
    m_refresh.stop();
    QDialog::accept();
}
