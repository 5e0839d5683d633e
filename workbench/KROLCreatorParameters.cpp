// What the module supports, and script lines that other tools export to the workbench.
#include "KROLCreator.h"

#include "CodeEditor.h"
#include "KROLModuleInterface.h"
#include "ui_KROLCreator.h"

#include <QApplication>

void KROLCreator::makeParameterLists()
{
    if (module() != nullptr)
        ParameterLists.make(*module());
    else
        ParameterLists.clear();
}

void KROLCreator::compileParameterList(QString mapName, TParameterList* list)
{
    if (module() != nullptr)
        ::compileParameterList(*module(), mapName, list);
}

void KROLCreator::EnableAutostartMenu()
{
    ui->menuAutostart->setEnabled(module() != nullptr &&
                                  module()->hasParameter(QStringLiteral("global0"),
                                                         QStringLiteral("par::auto start mode")));
}

void KROLCreator::handleChangedParameterList()
{
    makeParameterLists();
    if (ui != nullptr)
        EnableAutostartMenu();
}

void KROLCreator::importValue(const ExportType*, QVariant value, QObject*)
{
    const QString line = value.toString().remove(QStringLiteral(", %module%"));
    // Every page's editor is a CodeEditor.
    auto* editor = static_cast<CodeEditor*>(CurrentEditor());
    if (editor == nullptr || editor->isReadOnly()) {
        QApplication::beep();
        return;
    }
    editor->addLine(line);
}
