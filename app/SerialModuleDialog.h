#pragma once

#include "TSerialSettings.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class SerialConnection;

namespace Ui {
class SerialModuleDialog;
}

// "Connect serial module...": the port (the ports the system lists, refreshed while the dialog
// is open, or a device typed in), the baud rate, the module address and the module description.
// OK opens the port; when it cannot be opened the dialog stays open and says why.
class SerialModuleDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SerialModuleDialog(const QString& defaultDescription, QWidget* parent = nullptr);
    ~SerialModuleDialog() override;

    TSerialSettings settings() const;
    unsigned char moduleAddress() const;
    QString descriptionPath() const;
    // The open link after OK; the caller takes it.
    SerialConnection* takeConnection();
    QString errorText() const;

public slots:
    void accept() override;
    // Lists the ports the system knows now, keeping what the user typed.
    void refreshPorts();

private:
    std::unique_ptr<Ui::SerialModuleDialog> ui;
    std::unique_ptr<SerialConnection> m_connection;
    QTimer m_refresh;
};
