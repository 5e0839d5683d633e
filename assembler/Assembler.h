#pragma once

#include "AssemblerEngine.h"
#include "EventPump.h"

#include <QDialog>

namespace Ui {
class Assembler;
}

// The assembler's dialog: shows the progress of an AssemblerEngine run and where an error lies,
// and serves include files from the editor's open pages (GetEditorFile) before the disk.
class Assembler : public QDialog, private DiskSourceFiles
{
    Q_OBJECT

public:
    explicit Assembler(QWidget* parent = nullptr);
    ~Assembler() override;

    AssemblerEngine& Engine() { return m_engine; }

    void SetSourceFile(const QString& path, const QString& name, int index)
    {
        m_engine.SetSourceFile(path, name, index);
    }

    void SetRanges(QStringList* commandList, int velocityParameter, int numberOfAxes,
                   const QList<TParameterList>& axisParameterLists,
                   const QList<TParameterList>& globalParameterLists,
                   const TParameterList& interruptList, const TParameterList& waitEventList,
                   const QList<TParameterList>& ioPortLists, const TParameterList& pullUpList,
                   const TParameterList& coordinateList, bool coordinateEepromFlag,
                   bool multiAxisFlag);
    void SetRanges(const TRangeSettings& ranges) { m_engine.SetRanges(ranges); }

    void DoAsm(const QString& source, bool appendStop, bool writeBinFile, bool writeSymbolFile,
               bool checkRanges, const QString& includePath, bool& error);
    void GetAsmResult(QList<TInstruction>* target) const { m_engine.GetAsmResult(target); }

    void AssemblePass1(const QString& text) { m_engine.AssemblePass1(text); }
    bool GetIncludeFile(const QString& line, int lineNumber, QString& text, bool& fromDisk,
                        int& fileIndex)
    {
        return m_engine.GetIncludeFile(line, lineNumber, text, fromDisk, fileIndex);
    }
    void ResolveLabels() { m_engine.ResolveLabels(); }

    double Evaluate(const QString& expression, int line)
    {
        return m_engine.Evaluate(expression, line);
    }
    QString StripComment(const QString& line) const { return m_engine.StripComment(line); }
    QString StripLabel(const QString& line, int lineNumber)
    {
        return m_engine.StripLabel(line, lineNumber);
    }
    void Translate(const QString& text, int lineNumber) { m_engine.Translate(text, lineNumber); }
    static QString GetParameterString(const QString& text, int start, int index, bool& error)
    {
        return AssemblerEngine::GetParameterString(text, start, index, error);
    }
    void CheckRanges(TInstruction instruction) { m_engine.CheckRanges(instruction); }

    void CreateBinFile(const QString& path) { m_engine.CreateBinFile(path); }
    void CreateSymbolFile(const QString& path) { m_engine.CreateSymbolFile(path); }

    void ShowAssemblerMessage(const QString& message);
    void ShowActualLine(int n);
    void ShowTotalInstructions(int n);
    void EnableOKButton(bool enable);

    // The error of the last failed run and the file it lies in, as Throwback names it.
    const CAsmError& LastError() const { return m_engine.LastError(); }

    // A caller without a user interface to keep alive: no event processing and no progress
    // labels per line.
    void SetHeadless(bool on);

    const QList<TLabel>& Labels() const { return m_engine.Labels(); }
    const QList<TConstant>& Constants() const { return m_engine.Constants(); }

    static constexpr int MaxIncludeDepth = AssemblerEngine::MaxIncludeDepth;
    static constexpr int MaxIncludeCount = AssemblerEngine::MaxIncludeCount;

signals:
    void Throwback(int fileIndex, QString fileName, int line);
    void GetEditorFile(QString fileName, bool& found, QString& text, int& fileIndex);

public slots:
    void on_BtnClose_clicked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool page(const QString& name, QString* text, int* fileIndex) override;
    void showPass(int pass);
    void lineDone();
    // The line and instruction count last reported, shown when the pump is due and at the end.
    void showProgress();

    // Labels and events at a pace a person can follow: updating them for every line would take
    // fifty times as long as the assembly itself.
    static constexpr int ProgressIntervalMs = 50;

    Ui::Assembler* ui;
    AssemblerEngine m_engine;
    bool m_busy = false;
    bool m_headless = false;
    EventPump m_pump{ProgressIntervalMs};
    int m_actualLine = 0;            // 0: none reported in this run
    int m_totalInstructions = -1;    // -1: none reported in this run
};
