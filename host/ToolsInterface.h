#pragma once

#include "ExportType.h"
#include "KrolHostGlobal.h"
#include "PluginInterface.h"
#include "ToolsType.h"

#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

class CommandHandler;
class KROLConnectionInterface;
class KROLModuleInterface;
class UnlinkedConnection;

// Base of every tool plug-in: a widget that works for one module.
class KROLHOST_EXPORT ToolsInterface : public QWidget, public PluginInterface
{
    Q_OBJECT

public:
    ToolsInterface(QString name, QString title, ToolsType type, unsigned char id, KROLModuleInterface* module,
                   QString iconResource, QWidget* parent);
    ~ToolsInterface() override;

    QString toolName() const { return m_name; }
    QString title() const { return m_title; }
    ToolsType toolsType() const { return m_type; }
    unsigned char id() const { return m_id; }
    QString iconResource() const { return m_iconResource; }
    KROLModuleInterface* module() const;

    // The byte every request carries; the id unless the host says otherwise.
    unsigned char moduleAddress() const { return m_moduleAddress; }
    void setModuleAddress(unsigned char address) { m_moduleAddress = address; }

    // The module's connection unless the host sets others; never null.
    CommandHandler* commandHandler() const;
    KROLConnectionInterface* connection() const;
    void setCommandHandler(CommandHandler* handler);
    void setConnection(KROLConnectionInterface* connection);

    // The tool does not act on a single axis, so the host shows no axis choice for it.
    void setAxisUnused() { m_axisUsed = false; }
    bool isAxisUsed() const { return m_axisUsed; }

public slots:
    virtual QString version();
    // Called before the application closes.
    virtual void aboutToExit();
    // Hides QWidget::setEnabled: hosts call it through a ToolsInterface* when the link comes and goes.
    virtual void setEnabled(bool enabled);
    // A value another tool exported and the import filters let through.
    virtual void importValue(const export_type_t* key, QVariant value, QObject* sender);
    // A new tool of the same kind for a module; the caller owns it. Null when the tool cannot.
    virtual ToolsInterface* clone(QString name, unsigned char id, KROLModuleInterface* module);
    // The module's parameter description changed.
    virtual void handleChangedParameterList();

private:
    QString m_name;
    QString m_title;
    ToolsType m_type;
    unsigned char m_id;
    unsigned char m_moduleAddress;
    QPointer<KROLModuleInterface> m_module;
    QString m_iconResource;
    bool m_axisUsed = true;
    QPointer<CommandHandler> m_handler;
    QPointer<KROLConnectionInterface> m_connection;
    UnlinkedConnection* m_unlinked;
};

Q_DECLARE_INTERFACE(ToolsInterface, "krol.host.ToolsInterface/2.0")
