// Stand-in until find, replace and the status labels land.
#include "KROLCreator.h"

void KROLCreator::ActionFindTriggered() {}
void KROLCreator::EscapeKeyPress() {}
void KROLCreator::OnFindForwardButton(QString, QTextDocument::FindFlags) {}
void KROLCreator::OnFindReverseButton(QString, QTextDocument::FindFlags) {}
void KROLCreator::OnReplaceButton(QString, QString, QTextDocument::FindFlags) {}
void KROLCreator::OnReplaceFindButton(QString, QString, QTextDocument::FindFlags) {}
void KROLCreator::EditModeChanged(bool) {}
void KROLCreator::CursorPositionChanged() {}
