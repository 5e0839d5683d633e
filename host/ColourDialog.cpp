#include "ColourDialog.h"

#include "ui_ColourDialog.h"

#include <QColorDialog>
#include <QFontDatabase>

namespace {

// The entries in the order a user reads them: text kinds first, then the line marks.
const char* const EntryOrder[] = {EditorColour::KROLCommand,  EditorColour::Comment,
                                  EditorColour::AsmDirective, EditorColour::OtherText,
                                  EditorColour::SelectedText, EditorColour::ActiveLine,
                                  EditorColour::HighlightedError, EditorColour::HighlightedBreakpoint};

} // namespace

ColourDialog::ColourDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ColourDialog)
    , picker_([](QWidget* p, const QColor& initial, const QString& title) {
        return QColorDialog::getColor(initial, p, title);
    })
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    connect(ui->ListColours, &QListWidget::currentRowChanged, this, &ColourDialog::showEntry);
    connect(ui->BtnForeground, &QPushButton::clicked, this, [this] { pickColour(true); });
    connect(ui->BtnBackground, &QPushButton::clicked, this, [this] { pickColour(false); });
    connect(ui->BtnDefaults, &QPushButton::clicked, this, &ColourDialog::restoreDefaults);
    SetActiveLineHighlighting(true);
    SetKeepTextColor(true);
    showEntry(-1);
}

ColourDialog::~ColourDialog()
{
    delete ui;
}

void ColourDialog::SetColourMap(TEditorColourMap* map)
{
    target_ = map;
    edited_ = map ? *map : TEditorColourMap();
    fillList();
}

void ColourDialog::SetKeepTextColor(bool keep)
{
    ui->CheckKeepTextColor->setChecked(keep);
}

bool ColourDialog::GetKeepTextColor() const
{
    return ui->CheckKeepTextColor->isChecked();
}

void ColourDialog::SetActiveLineHighlighting(bool highlight)
{
    ui->CheckActiveLine->setChecked(highlight);
    ui->CheckKeepTextColor->setEnabled(highlight);
}

bool ColourDialog::GetActiveLineHighlighting() const
{
    return ui->CheckActiveLine->isChecked();
}

void ColourDialog::setColourPicker(ColourPicker picker)
{
    picker_ = std::move(picker);
}

void ColourDialog::selectEntry(const QString& key)
{
    const QList<QListWidgetItem*> found = ui->ListColours->findItems(key, Qt::MatchExactly);
    if (!found.isEmpty())
        ui->ListColours->setCurrentItem(found.first());
}

void ColourDialog::accept()
{
    if (target_)
        *target_ = edited_;
    QDialog::accept();
}

// Each entry is written in its own colours, so the list is its own preview.
void ColourDialog::fillList()
{
    const int row = qMax(0, ui->ListColours->currentRow());
    ui->ListColours->clear();
    QStringList keys;
    for (const char* key : EntryOrder) {
        if (edited_.contains(QLatin1String(key)))
            keys << QLatin1String(key);
    }
    for (const QString& key : edited_.keys()) {
        if (!keys.contains(key))
            keys << key;
    }
    for (const QString& key : qAsConst(keys)) {
        auto* item = new QListWidgetItem(key, ui->ListColours);
        item->setForeground(edited_[key].Foreground);
        item->setBackground(edited_[key].Background);
    }
    // Room for every entry without scrolling.
    ui->ListColours->setMinimumHeight(ui->ListColours->sizeHintForRow(0) * ui->ListColours->count()
                                      + 2 * ui->ListColours->frameWidth());
    if (ui->ListColours->count())
        ui->ListColours->setCurrentRow(qMin(row, ui->ListColours->count() - 1));
}

// The list marks its current entry in selection colours, so the preview shows that entry's own.
void ColourDialog::showEntry(int row)
{
    ui->BtnForeground->setEnabled(row >= 0);
    ui->BtnBackground->setEnabled(row >= 0);
    ui->LblPreview->setVisible(row >= 0);
    const QListWidgetItem* item = ui->ListColours->item(row);
    if (!item)
        return;
    const TEditorColour c = edited_.value(item->text());
    QPalette p = ui->LblPreview->palette();
    p.setColor(QPalette::Window, c.Background);
    p.setColor(QPalette::WindowText, c.Foreground);
    ui->LblPreview->setPalette(p);
    ui->LblPreview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void ColourDialog::pickColour(bool foreground)
{
    QListWidgetItem* item = ui->ListColours->currentItem();
    if (!item)
        return;
    TEditorColour& entry = edited_[item->text()];
    QColor& colour = foreground ? entry.Foreground : entry.Background;
    const QString title = item->text() + (foreground ? tr(": text colour") : tr(": background colour"));
    const QColor chosen = picker_(this, colour, title);
    if (!chosen.isValid())
        return;
    colour = chosen;
    item->setForeground(entry.Foreground);
    item->setBackground(entry.Background);
    showEntry(ui->ListColours->row(item));
}

void ColourDialog::restoreDefaults()
{
    for (auto it = EditorColour::KROL.cbegin(); it != EditorColour::KROL.cend(); ++it)
        edited_[it.key()] = it.value();
    fillList();
}
