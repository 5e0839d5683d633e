#pragma once

#include "EditorColour.h"
#include "KrolHostGlobal.h"

#include <QDialog>

#include <functional>

namespace Ui {
class ColourDialog;
}

// Edits an editor colour map and the two active-line options. The map given by SetColourMap is
// written only when the user accepts.
class KROLHOST_EXPORT ColourDialog : public QDialog
{
    Q_OBJECT

public:
    // Asks the user for a colour; an invalid answer means cancelled.
    using ColourPicker = std::function<QColor(QWidget* parent, const QColor& initial, const QString& title)>;

    explicit ColourDialog(QWidget* parent = nullptr);
    ~ColourDialog() override;

    void SetColourMap(TEditorColourMap* map);
    void SetKeepTextColor(bool keep);
    bool GetKeepTextColor() const;
    void SetActiveLineHighlighting(bool highlight);
    bool GetActiveLineHighlighting() const;

    // The colour dialog of the platform unless replaced (tests replace it).
    void setColourPicker(ColourPicker picker);
    // Selects the entry of a colour key in the list.
    void selectEntry(const QString& key);

public slots:
    void accept() override;

private:
    void fillList();
    void showEntry(int row);
    void pickColour(bool foreground);
    void restoreDefaults();

    Ui::ColourDialog* ui;
    TEditorColourMap* target_ = nullptr;
    TEditorColourMap edited_;
    ColourPicker picker_;
};
