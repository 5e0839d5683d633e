#pragma once

#include "ImportFilter.h"

// Accepts values exported on behalf of the same module as the tool that owns the filter
// (the filter's parent).
class KROLHOST_EXPORT ImportFilter_SameModule : public ImportFilter
{
    Q_OBJECT

public:
    explicit ImportFilter_SameModule(QObject* parent);

    bool accepts(const ExportType* key, const QObject* sender) const override;
};
