#pragma once

#include "CAsmError.h"
#include "Eval.h"
#include "RangeCheck.h"
#include "TConstant.h"
#include "TInstruction.h"
#include "TLabel.h"
#include "TParameterDescriptor.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace Ui {
class Assembler;
}

// Dialog and engine that turns KROL source (with its includes) into a resolved program.
class Assembler : public QDialog
{
    Q_OBJECT

public:
    explicit Assembler(QWidget* parent = nullptr);
    ~Assembler() override;

    void SetSourceFile(const QString& path, const QString& name, int index);

    void SetRanges(QStringList* commandList, int velocityParameter, int numberOfAxes,
                   const QList<TParameterList>& axisParameterLists,
                   const QList<TParameterList>& globalParameterLists,
                   const TParameterList& interruptList, const TParameterList& waitEventList,
                   const QList<TParameterList>& ioPortLists, const TParameterList& pullUpList,
                   const TParameterList& coordinateList, bool coordinateEepromFlag,
                   bool multiAxisFlag);
    void SetRanges(const TRangeSettings& ranges);

    void DoAsm(const QString& source, bool appendStop, bool writeBinFile, bool writeSymbolFile,
               bool checkRanges, const QString& includePath, bool& error);
    void GetAsmResult(QList<TInstruction>* target) const;

    // Pass 1 over one text (the main text or an included one); recursive for includes.
    void AssemblePass1(const QString& text);
    bool GetIncludeFile(const QString& line, int lineNumber, QString& text, bool& fromDisk,
                        int& fileIndex);
    void ResolveLabels();

    double Evaluate(const QString& expression, int line);
    QString StripComment(const QString& line) const;
    QString StripLabel(const QString& line, int lineNumber);
    void Translate(const QString& text, int lineNumber);
    static QString GetParameterString(const QString& text, int start, int index, bool& error);
    void CheckRanges(TInstruction instruction);

    void CreateBinFile(const QString& path);
    void CreateSymbolFile(const QString& path);
    // The symbol file's contents; its header names the file as the last part of path.
    QByteArray SymbolFileText(const QString& path) const;

    void ShowAssemblerMessage(const QString& message);
    void ShowActualLine(int n);
    void ShowTotalInstructions(int n);
    void EnableOKButton(bool enable);

    // The error of the last failed run and the file it lies in, as Throwback names it.
    const CAsmError& LastError() const { return m_lastError; }

    // A headless caller (the command-line tool) has no user interface to keep alive: no
    // event processing and no progress labels per line.
    void SetHeadless(bool on) { m_headless = on; }

    const QList<TLabel>& Labels() const { return m_labels; }
    const QList<TConstant>& Constants() const { return m_constants; }

    static constexpr int MaxIncludeDepth = 64;
    // Times one file may be included in one assembly. Files including others several times
    // multiply: without a bound a few kilobytes of source expand to millions of lines.
    static constexpr int MaxIncludeCount = 256;

signals:
    void Throwback(int fileIndex, QString fileName, int line);
    void GetEditorFile(QString fileName, bool& found, QString& text, int& fileIndex);

public slots:
    void on_BtnClose_clicked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    [[noreturn]] void fail(const QString& message, int line) const;
    double evaluate(QStringView expression, int line);
    void processEvents();
    void defineLabel(const QString& name, int lineNumber);
    void defineConstant(const QString& workingLine, int lineNumber);
    void includeFile(const QString& plainLine, int lineNumber);
    void appendInstruction(TInstruction instruction);

    Ui::Assembler* ui;

    QString m_source;
    bool m_appendStop = false;
    bool m_writeBinFile = false;
    bool m_writeSymbolFile = false;
    bool m_checkRanges = false;
    QString m_includePath;

    QString m_mainPath;    // directory with a trailing separator, or empty
    QString m_mainName;    // bare file name, empty for a page never saved
    int m_mainIndex = -1;

    QString m_currentFileName;
    int m_currentFileIndex = -1;
    bool m_newFile = false;
    QString m_foundIncludePath;

    QList<TConstant> m_constants;
    QHash<QString, int> m_constantIndex;
    QList<TLabel> m_labels;
    QHash<QString, int> m_labelIndex;
    QList<TInstruction> m_program;
    int m_instructionCounter = 0;
    int m_totalLines = 0;
    bool m_busy = false;

    // Files being included right now, to refuse a file that includes itself.
    QStringList m_includeStack;
    QSet<QString> m_includeSet;
    QHash<QString, int> m_includeCount;   // times each file was included in this run

    Eval m_eval;
    TRangeSettings m_ranges;
    CAsmError m_lastError;
    bool m_headless = false;
    QString m_scratch;
};
