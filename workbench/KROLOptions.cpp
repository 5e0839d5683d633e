#include "KROLOptions.h"

#include "ui_KROLOptions.h"

#include <QFileDialog>

KROLOptions::KROLOptions(QWidget* parent) : QDialog(parent), ui(new Ui::KROLOptions)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    connect(ui->BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->BtnSelectPath, &QPushButton::clicked, this, &KROLOptions::ActionSelectPath);
}

KROLOptions::~KROLOptions()
{
    delete ui;
}

void KROLOptions::SetOptions(bool AppendStopCmd, bool WriteBinaryFile, bool WriteSymbolFile, bool CheckRanges,
                             QString IncludePath, int AnimationDelay, bool ConfirmAssembler,
                             bool ConfirmDisassembler, bool ConfirmDownload)
{
    ui->CheckAppendStop->setChecked(AppendStopCmd);
    ui->CheckBinaryFile->setChecked(WriteBinaryFile);
    ui->CheckSymbolFile->setChecked(WriteSymbolFile);
    ui->CheckRangeChecking->setChecked(CheckRanges);
    ui->EditIncludePath->setText(IncludePath);
    ui->EditAnimationDelay->setValue(AnimationDelay);
    ui->CheckConfirmAssembler->setChecked(ConfirmAssembler);
    ui->CheckConfirmDisassembler->setChecked(ConfirmDisassembler);
    ui->CheckConfirmDownload->setChecked(ConfirmDownload);
}

void KROLOptions::GetOptions(bool& AppendStopCmd, bool& WriteBinaryFile, bool& WriteSymbolFile, bool& CheckRanges,
                             QString& IncludePath, int& AnimationDelay, bool& ConfirmAssembler,
                             bool& ConfirmDisassembler, bool& ConfirmDownload)
{
    AppendStopCmd = ui->CheckAppendStop->isChecked();
    WriteBinaryFile = ui->CheckBinaryFile->isChecked();
    WriteSymbolFile = ui->CheckSymbolFile->isChecked();
    CheckRanges = ui->CheckRangeChecking->isChecked();
    IncludePath = ui->EditIncludePath->text();
    AnimationDelay = ui->EditAnimationDelay->value();
    ConfirmAssembler = ui->CheckConfirmAssembler->isChecked();
    ConfirmDisassembler = ui->CheckConfirmDisassembler->isChecked();
    ConfirmDownload = ui->CheckConfirmDownload->isChecked();
}

void KROLOptions::ActionSelectPath()
{
    const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Select include directory"),
                                                          ui->EditIncludePath->text(),
                                                          QFileDialog::ShowDirsOnly);
    if (!dir.isEmpty())
        ui->EditIncludePath->setText(dir);
}
