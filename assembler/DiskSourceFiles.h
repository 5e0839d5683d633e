#pragma once

#include "SourceFiles.h"

// Include files from the file system, read within InputFile's text limit; no open pages.
class DiskSourceFiles : public SourceFiles
{
public:
    Kind kind(const QString& path) const override;
    qint64 size(const QString& path) const override;
    bool read(const QString& path, QString* text) override;
    QString identity(const QString& path) const override;
};
