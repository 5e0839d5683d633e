#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class KROLModuleInterface;
class SharedConnection;

namespace Ui {
class AxisPanel;
}

// Position, velocity and switches of every axis of a module, read with GAP requests through
// the module's link while the panel is visible, so the axes can be watched while a program runs.
class AxisPanel : public QWidget
{
    Q_OBJECT

public:
    enum Column { Position, Velocity, ReferenceSwitch, LeftLimit, RightLimit, ColumnCount };
    static constexpr int RefreshMs = 100;

    AxisPanel(KROLModuleInterface* module, SharedConnection* link, unsigned char address,
              QWidget* parent = nullptr);
    ~AxisPanel() override;

    // What a cell shows: a number, "on"/"off" for switches, "–" when the module has no such
    // parameter, "?" when the module did not answer.
    QString cellText(int axis, Column column) const;
    int axisCount() const;

    // The parameter key a column reads in the module's "axisN" map.
    static QString parameterKey(Column column);

public slots:
    // Reads every axis now (nothing while a tool holds the link for a transfer).
    void refresh();
    // One row per axis of the module's current description.
    void rebuild();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The cell text for one read; empty while the link is held by a tool.
    QString read(int axis, Column column);

    std::unique_ptr<Ui::AxisPanel> ui;
    QPointer<KROLModuleInterface> m_module;
    QPointer<SharedConnection> m_link;
    unsigned char m_address;
    QTimer m_timer;
};
