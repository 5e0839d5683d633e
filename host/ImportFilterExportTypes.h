#pragma once

#include "ImportFilter.h"

#include <QSet>

// Accepts only the export types of its set.
class KROLHOST_EXPORT ImportFilter_SpecificExportTypes : public ImportFilter
{
    Q_OBJECT

public:
    explicit ImportFilter_SpecificExportTypes(const QSet<const ExportType*>& types, QObject* parent = nullptr);

    QSet<const ExportType*> types() const { return m_types; }
    bool accepts(const ExportType* key, const QObject* sender) const override;

private:
    QSet<const ExportType*> m_types;
};
