// Stand-in until the editor pages land: one plain page per tab, file commands do nothing.
#include "KROLCreator.h"

#include "ui_KROLCreator.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

int KROLCreator::NewEditorPage()
{
    SourceFiles.append(TSourceFileInfo());
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(new QPlainTextEdit);
    SourceFiles.last().PageWidget = page;
    makeParameterLists();
    const int index = ui->tabWidget->addTab(page, QStringLiteral("[New File %1]").arg(NewFileCounter++));
    ui->tabWidget->setCurrentIndex(index);
    return index;
}

QPlainTextEdit* KROLCreator::CurrentEditor() const
{
    const int index = ui ? ui->tabWidget->currentIndex() : -1;
    if (index < 0 || index >= SourceFiles.size())
        return nullptr;
    return SourceFiles.at(index).PageWidget->findChild<QPlainTextEdit*>();
}

void KROLCreator::SetModificationStatus(bool modified)
{
    LblModified.setText(modified ? QStringLiteral("Modified") : QStringLiteral("Original"));
}

void KROLCreator::WritePage(int) {}

QString KROLCreator::ExtractFileName(const QString& path)
{
    int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        slash = path.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? path : path.mid(slash + 1);
}

QString KROLCreator::ExtractFilePath(const QString& path)
{
    int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        slash = path.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? path : path.left(slash + 1);
}

void KROLCreator::ActionNewTriggered()
{
    NewEditorPage();
    FirstPageUntouched = false;
}

void KROLCreator::ActionLoadTriggered() {}
void KROLCreator::ActionSaveTriggered() {}
void KROLCreator::ActionSaveAsTriggered() {}
void KROLCreator::ActionSaveAllTriggered() {}
void KROLCreator::ActionCloseTriggered() {}
void KROLCreator::ActionPrintTriggered() {}
void KROLCreator::TabChanged(int) {}
void KROLCreator::TabClosed(int) {}
void KROLCreator::TextChanged() {}
void KROLCreator::OnFileDropped(QString) {}
void KROLCreator::watchFile(QString) {}
void KROLCreator::aboutToExit() {}
