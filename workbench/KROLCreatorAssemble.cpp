// Stand-in until the Assemble command lands.
#include "KROLCreator.h"

void KROLCreator::ActionAssembleTriggered() {}
void KROLCreator::OnGetIncludeFileFromEditor(QString, bool& FromEditor, QString&, int&)
{
    FromEditor = false;
}
void KROLCreator::Throwback(int, QString, int) {}
