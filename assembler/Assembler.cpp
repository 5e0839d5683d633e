#include "Assembler.h"
#include "ui_Assembler.h"

#include <QCloseEvent>

Assembler::Assembler(QWidget* parent)
    : QDialog(parent), ui(new Ui::Assembler)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    m_engine.SetSourceFiles(this);
    m_engine.SetReportProgress(true);
    connect(&m_engine, &AssemblerEngine::PassStarted, this, &Assembler::showPass);
    connect(&m_engine, &AssemblerEngine::ActualLine, this, [this](int n) { m_actualLine = n; });
    connect(&m_engine, &AssemblerEngine::TotalInstructions, this,
            [this](int n) { m_totalInstructions = n; });
    connect(&m_engine, &AssemblerEngine::LineDone, this, &Assembler::lineDone);
}

Assembler::~Assembler()
{
    delete ui;
}

void Assembler::SetRanges(QStringList* commandList, int velocityParameter, int numberOfAxes,
                          const QList<TParameterList>& axisParameterLists,
                          const QList<TParameterList>& globalParameterLists,
                          const TParameterList& interruptList,
                          const TParameterList& waitEventList,
                          const QList<TParameterList>& ioPortLists,
                          const TParameterList& pullUpList, const TParameterList& coordinateList,
                          bool coordinateEepromFlag, bool multiAxisFlag)
{
    m_engine.SetRanges(commandList, velocityParameter, numberOfAxes, axisParameterLists,
                       globalParameterLists, interruptList, waitEventList, ioPortLists,
                       pullUpList, coordinateList, coordinateEepromFlag, multiAxisFlag);
}

void Assembler::SetHeadless(bool on)
{
    m_headless = on;
    m_engine.SetReportProgress(!on);
}

void Assembler::DoAsm(const QString& source, bool appendStop, bool writeBinFile,
                      bool writeSymbolFile, bool checkRanges, const QString& includePath,
                      bool& error)
{
    m_busy = true;
    EnableOKButton(false);
    m_pump = EventPump(ProgressIntervalMs);
    m_actualLine = 0;
    m_totalInstructions = -1;
    error = !m_engine.Run(source, appendStop, writeBinFile, writeSymbolFile, checkRanges,
                          includePath);
    showProgress();
    if (!error) {
        ShowActualLine(-m_engine.TotalLines());
        ShowAssemblerMessage(tr("Successful!"));
    } else {
        const CAsmError& e = m_engine.LastError();
        ShowAssemblerMessage(e.Message + QStringLiteral(" in line ") + QString::number(e.Line)
                             + QStringLiteral("."));
        emit Throwback(e.FileIndex, e.FileName, e.Line);
    }
    m_busy = false;
    EnableOKButton(true);
}

bool Assembler::page(const QString& name, QString* text, int* fileIndex)
{
    bool found = false;
    emit GetEditorFile(name, found, *text, *fileIndex);
    return found;
}

void Assembler::showPass(int pass)
{
    ShowAssemblerMessage(pass == 1 ? tr("Assembling (Pass 1)") : tr("Assembling (Pass 2)"));
}

void Assembler::ShowAssemblerMessage(const QString& message)
{
    ui->LblAsmMessage->setText(message);
}

void Assembler::ShowActualLine(int n)
{
    if (m_headless && m_busy)
        return;
    if (n >= 1)
        ui->LblActualLine->setText(QStringLiteral("Actual line: ") + QString::number(n));
    else
        ui->LblActualLine->setText(QStringLiteral("Total lines: ") + QString::number(-n));
}

void Assembler::ShowTotalInstructions(int n)
{
    if (m_headless && m_busy)
        return;
    ui->LblTotalInstructions->setText(QStringLiteral("Total instructions: ")
                                      + QString::number(n));
}

void Assembler::EnableOKButton(bool enable)
{
    ui->BtnClose->setEnabled(enable);
}

void Assembler::on_BtnClose_clicked()
{
    close();
}

void Assembler::closeEvent(QCloseEvent* event)
{
    if (m_busy)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void Assembler::lineDone()
{
    if (m_headless || !m_pump.Due())
        return;
    showProgress();
    m_pump.Process();
}

void Assembler::showProgress()
{
    if (m_actualLine != 0)
        ShowActualLine(m_actualLine);
    if (m_totalInstructions >= 0)
        ShowTotalInstructions(m_totalInstructions);
}
