#pragma once

#include "KrolHostGlobal.h"

#include <QTextDocument>
#include <QWidget>

namespace Ui {
class FindReplace;
}

// The find/replace bar under an editor. It searches nothing itself: its buttons are signals with
// the texts and the options of its check boxes, and the owner works on its current editor.
class KROLHOST_EXPORT FindReplace : public QWidget
{
    Q_OBJECT

public:
    explicit FindReplace(QWidget* parent = nullptr);
    ~FindReplace() override;

    QString findText() const;
    QString replaceText() const;
    QTextDocument::FindFlags findFlags() const;

signals:
    void findForwardButton(QString findText, QTextDocument::FindFlags options);
    void findReverseButton(QString findText, QTextDocument::FindFlags options);
    void replaceButton(QString findText, QString replaceText, QTextDocument::FindFlags options);
    void replaceAndFindButton(QString findText, QString replaceText, QTextDocument::FindFlags options);

public slots:
    // Keyboard focus into the find field, its text selected for typing over.
    void doSetFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateButtons();

    Ui::FindReplace* ui;
};
