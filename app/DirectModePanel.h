#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class KROLModuleInterface;
class SharedConnection;

namespace Ui {
class DirectModePanel;
}

// Sends one instruction to a module in direct mode and shows the reply. The choices come from
// the module's "DirectModeCommands" and parameter maps; the instruction can also go to the
// module's workbench as a line of KROL source.
class DirectModePanel : public QWidget
{
    Q_OBJECT

public:
    DirectModePanel(KROLModuleInterface* module, SharedConnection* link, unsigned char address,
                    QWidget* parent = nullptr);
    ~DirectModePanel() override;

    // The request as the panel holds it; type() is -1 when the type field is not a valid type.
    int opcode() const;
    int type() const;
    int motorBank() const;
    int value() const;
    // Chooses a request; false when the module offers no such instruction.
    bool setRequest(int opcode, int type, int motorBank, int value);
    // What the reply line shows.
    QString replyText() const;
    // The request as a KROL line, empty when it has none.
    QString line() const;

public slots:
    // Sends the request; true when the module replied.
    bool send();
    // Offers the line to the workbenches (with the module placeholder they remove).
    void exportLine();
    // The instruction list of the module's current description.
    void rebuild();

signals:
    void exportRequested(const QString& line);

private slots:
    void OnInstructionChanged();
    void OnMotorChanged();

private:
    void fillTypes();
    void showReply(const QString& text);

    std::unique_ptr<Ui::DirectModePanel> ui;
    QPointer<KROLModuleInterface> m_module;
    QPointer<SharedConnection> m_link;
    unsigned char m_address;
};
