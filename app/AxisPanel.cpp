#include "AxisPanel.h"

#include "ui_AxisPanel.h"

#include "Command.h"
#include "KROLModuleInterface.h"
#include "ModuleCommands.h"
#include "SharedConnection.h"

#include <QHeaderView>

namespace {

const char* const Keys[AxisPanel::ColumnCount] = {
    "par::ActualPosition", "par::ActualVelocity", "par::ReferenceSwitch",
    "par::LeftLimitSwitch", "par::RightLimitSwitch",
};

} // namespace

AxisPanel::AxisPanel(KROLModuleInterface* module, SharedConnection* link, unsigned char address,
                     QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::AxisPanel)
    , m_module(module)
    , m_link(link)
    , m_address(address)
{
    ui->setupUi(this);
    ui->table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_timer.setInterval(RefreshMs);
    connect(&m_timer, &QTimer::timeout, this, &AxisPanel::refresh);
    if (m_module)
        connect(m_module, &KROLModuleInterface::parameterListChanged, this, &AxisPanel::rebuild);
    rebuild();
}

AxisPanel::~AxisPanel() = default;

QString AxisPanel::parameterKey(Column column)
{
    return QString::fromLatin1(Keys[column]);
}

int AxisPanel::axisCount() const
{
    return ui->table->rowCount();
}

QString AxisPanel::cellText(int axis, Column column) const
{
    const QTableWidgetItem* item = ui->table->item(axis, column);
    return item ? item->text() : QString();
}

void AxisPanel::rebuild()
{
    const int axes = m_module ? m_module->numberOfAxes() : 0;
    ui->table->setRowCount(axes);
    QStringList names;
    for (int axis = 0; axis < axes; ++axis) {
        names << tr("Axis %1").arg(axis);
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(c <= Velocity ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter);
            ui->table->setItem(axis, c, item);
        }
    }
    ui->table->setVerticalHeaderLabels(names);
    refresh();
}

void AxisPanel::refresh()
{
    for (int axis = 0; axis < axisCount(); ++axis) {
        for (int c = 0; c < ColumnCount; ++c) {
            const QString text = read(axis, Column(c));
            if (!text.isEmpty())
                ui->table->item(axis, c)->setText(text);
        }
    }
}

QString AxisPanel::read(int axis, Column column)
{
    const QString map = QStringLiteral("axis%1").arg(axis);
    if (!m_module || !m_module->hasParameter(map, parameterKey(column)))
        return QStringLiteral("–");
    if (!m_link)
        return QStringLiteral("?");
    const int number = m_module->getParameter(map, parameterKey(column)).number;
    const Command request(m_address, Opcode::GAP, static_cast<unsigned short>(number),
                          static_cast<unsigned char>(axis), 0, false, 12);
    Command reply;
    if (!m_link->hostRequest(request, &reply))
        return QString();
    if (!reply.isValid() || reply.status() != ReplyStatus::Ok)
        return QStringLiteral("?");
    if (column >= ReferenceSwitch)
        return reply.value() != 0 ? tr("on") : tr("off");
    return QString::number(reply.value());
}

void AxisPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_timer.start();
    refresh();
}

void AxisPanel::hideEvent(QHideEvent* event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}
