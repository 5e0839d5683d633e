#pragma once

#include "SourceFiles.h"

#include <QHash>

// Include files and open pages held in memory, for tests and fuzzing: nothing touches the disk.
class MemorySourceFiles : public SourceFiles
{
public:
    void addFile(const QString& path, const QString& text) { m_files.insert(path, text); }
    void addPage(const QString& name, const QString& text, int fileIndex);

    bool page(const QString& name, QString* text, int* fileIndex) override;
    Kind kind(const QString& path) const override;
    qint64 size(const QString& path) const override;
    bool read(const QString& path, QString* text) override;
    QString identity(const QString& path) const override { return path; }

private:
    struct Page
    {
        QString text;
        int index;
    };
    QHash<QString, QString> m_files;
    QHash<QString, Page> m_pages;
};
