#include "MemorySourceFiles.h"

void MemorySourceFiles::addPage(const QString& name, const QString& text, int fileIndex)
{
    m_pages.insert(name, Page{text, fileIndex});
}

bool MemorySourceFiles::page(const QString& name, QString* text, int* fileIndex)
{
    const auto it = m_pages.constFind(name);
    if (it == m_pages.constEnd())
        return false;
    *text = it->text;
    *fileIndex = it->index;
    return true;
}

SourceFiles::Kind MemorySourceFiles::kind(const QString& path) const
{
    return m_files.contains(path) ? Kind::File : Kind::Missing;
}

qint64 MemorySourceFiles::size(const QString& path) const
{
    return m_files.value(path).size();
}

bool MemorySourceFiles::read(const QString& path, QString* text)
{
    const auto it = m_files.constFind(path);
    if (it == m_files.constEnd())
        return false;
    *text = *it;
    return true;
}
