#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class KROLOptions;
}

// The assembler and debugger options of a workbench, edited in a small fixed-size dialog.
class KROLOptions : public QDialog
{
    Q_OBJECT

public:
    explicit KROLOptions(QWidget* parent);
    ~KROLOptions() override;

    void SetOptions(bool AppendStopCmd, bool WriteBinaryFile, bool WriteSymbolFile, bool CheckRanges,
                    QString IncludePath, int AnimationDelay, bool ConfirmAssembler, bool ConfirmDisassembler,
                    bool ConfirmDownload);
    void GetOptions(bool& AppendStopCmd, bool& WriteBinaryFile, bool& WriteSymbolFile, bool& CheckRanges,
                    QString& IncludePath, int& AnimationDelay, bool& ConfirmAssembler, bool& ConfirmDisassembler,
                    bool& ConfirmDownload);

public slots:
    void ActionSelectPath();

private:
    Ui::KROLOptions* ui;
};
