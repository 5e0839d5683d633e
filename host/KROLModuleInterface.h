#pragma once

#include "KrolHostGlobal.h"
#include "ModuleDescription.h"
#include "Parameter.h"

#include <QObject>
#include <QPointer>

class KROLConnectionInterface;
class UnlinkedConnection;

// A connected module as the host knows it: its description and its link.
class KROLHOST_EXPORT KROLModuleInterface : public QObject
{
    Q_OBJECT

public:
    explicit KROLModuleInterface(const ModuleDescription& description, QObject* parent = nullptr);
    ~KROLModuleInterface() override;

    // Loads a description file; null with *error set when the file is unreadable or malformed.
    static KROLModuleInterface* fromFile(const QString& path, QString* error, QObject* parent = nullptr);

    QString moduleName() const;
    int numberOfAxes() const;
    // The map of that name, or null. The pointer is good until the description changes.
    const ParameterMap* getParameterMapByName(const QString& mapName) const;
    bool hasParameter(const QString& mapName, const QString& parameterName) const;
    // A record with number 0, empty texts and flags false when the map or name is missing.
    Parameter getParameter(const QString& mapName, const QString& parameterName) const;

    // Never null: without a link it is a connection whose every reply is invalid.
    KROLConnectionInterface* connectionInterface() const;
    // Not owned. Null, or the connection's destruction, falls back to the unlinked connection.
    void setConnectionInterface(KROLConnectionInterface* connection);

    const ModuleDescription& description() const { return m_description; }
    // Replaces the description and tells whoever built lists from the old one.
    void setDescription(const ModuleDescription& description);

signals:
    void parameterListChanged();
    void connectionChanged();

private:
    ModuleDescription m_description;
    UnlinkedConnection* m_unlinked;
    QPointer<KROLConnectionInterface> m_connection;
};
