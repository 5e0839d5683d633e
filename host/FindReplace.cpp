#include "FindReplace.h"

#include "ui_FindReplace.h"

#include <QKeyEvent>

FindReplace::FindReplace(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::FindReplace)
{
    ui->setupUi(this);
    connect(ui->BtnFindNext, &QPushButton::clicked, this, [this] { emit findForwardButton(findText(), findFlags()); });
    connect(ui->BtnFindPrevious, &QPushButton::clicked, this,
            [this] { emit findReverseButton(findText(), findFlags()); });
    connect(ui->BtnReplace, &QPushButton::clicked, this,
            [this] { emit replaceButton(findText(), replaceText(), findFlags()); });
    connect(ui->BtnReplaceFind, &QPushButton::clicked, this,
            [this] { emit replaceAndFindButton(findText(), replaceText(), findFlags()); });
    connect(ui->EditFind, &QLineEdit::textChanged, this, &FindReplace::updateButtons);
    updateButtons();
}

FindReplace::~FindReplace()
{
    delete ui;
}

QString FindReplace::findText() const
{
    return ui->EditFind->text();
}

QString FindReplace::replaceText() const
{
    return ui->EditReplace->text();
}

QTextDocument::FindFlags FindReplace::findFlags() const
{
    QTextDocument::FindFlags flags;
    if (ui->CheckCaseSensitive->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    if (ui->CheckWholeWords->isChecked())
        flags |= QTextDocument::FindWholeWords;
    return flags;
}

void FindReplace::doSetFocus()
{
    ui->EditFind->setFocus(Qt::ShortcutFocusReason);
    ui->EditFind->selectAll();
}

// Searching for nothing finds nothing; replacing a selection needs no search text.
void FindReplace::updateButtons()
{
    const bool hasText = !ui->EditFind->text().isEmpty();
    ui->BtnFindNext->setEnabled(hasText);
    ui->BtnFindPrevious->setEnabled(hasText);
    ui->BtnReplaceFind->setEnabled(hasText);
}

// Enter searches from the find field and replaces from the replace field; Escape closes the bar.
void FindReplace::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && ui->EditFind->hasFocus() && !findText().isEmpty()) {
        if (event->modifiers() & Qt::ShiftModifier)
            ui->BtnFindPrevious->click();
        else
            ui->BtnFindNext->click();
    } else if (enter && ui->EditReplace->hasFocus() && !findText().isEmpty()) {
        ui->BtnReplaceFind->click();
    } else if (event->key() == Qt::Key_Escape) {
        hide();
    } else {
        QWidget::keyPressEvent(event);
    }
}
