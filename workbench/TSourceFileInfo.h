#pragma once

#include <QString>

class CodeEditor;
class Highlighter;
class QWidget;

// One editor page. Its index in the page list equals its tab index; the assembler's include
// lookup, the throwback and the debugger call that index the file index.
struct TSourceFileInfo
{
    QString FileName;                      // full path; empty until saved or loaded
    bool Unchanged = true;                 // text equals what was last loaded or saved
    CodeEditor* Editor = nullptr;          // owned by PageWidget
    Highlighter* PageHighlighter = nullptr; // deleted when the page closes
    QWidget* PageWidget = nullptr;         // the tab itself
};
