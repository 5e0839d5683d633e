#pragma once

#include "CAsmError.h"
#include "DiskSourceFiles.h"
#include "Eval.h"
#include "RangeCheck.h"
#include "SourceLines.h"
#include "TConstant.h"
#include "TInstruction.h"
#include "TLabel.h"
#include "TParameterDescriptor.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

// Turns KROL source (with its includes) into a resolved program, without any widget: the
// evaluator, line translation, the two passes, the output files and range checking. The
// Assembler dialog drives it for the workbench; krol and the tests use it directly. Include
// texts come through a SourceFiles seam (the disk unless another is set).
class AssemblerEngine : public QObject
{
    Q_OBJECT

public:
    explicit AssemblerEngine(QObject* parent = nullptr);

    void SetSourceFile(const QString& path, const QString& name, int index);
    // Where include texts come from; null returns to the disk. The caller keeps ownership.
    void SetSourceFiles(SourceFiles* files) { m_files = files ? files : &m_disk; }

    void SetRanges(QStringList* commandList, int velocityParameter, int numberOfAxes,
                   const QList<TParameterList>& axisParameterLists,
                   const QList<TParameterList>& globalParameterLists,
                   const TParameterList& interruptList, const TParameterList& waitEventList,
                   const QList<TParameterList>& ioPortLists, const TParameterList& pullUpList,
                   const TParameterList& coordinateList, bool coordinateEepromFlag,
                   bool multiAxisFlag);
    void SetRanges(const TRangeSettings& ranges);

    // One whole assembly; false when it failed (LastError() tells why).
    bool Run(const QString& source, bool appendStop, bool writeBinFile, bool writeSymbolFile,
             bool checkRanges, const QString& includePath);
    // The same over lines given one at a time (a large file need not be held whole).
    bool Run(SourceLines& source, bool appendStop, bool writeBinFile, bool writeSymbolFile,
             bool checkRanges, const QString& includePath);
    void GetAsmResult(QList<TInstruction>* target) const;
    const QVector<TInstruction>& Program() const { return m_program; }

    // Pass 1 over one text (the main text or an included one); recursive for includes.
    void AssemblePass1(const QString& text);
    void AssemblePass1(SourceLines& lines);
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

    // The error of the last failed run and the file it lies in, as Throwback names it.
    const CAsmError& LastError() const { return m_lastError; }
    int TotalLines() const { return m_totalLines; }

    // Progress signals cost a call per line; only a caller that shows them turns them on.
    void SetReportProgress(bool on) { m_reportProgress = on; }

    const QList<TLabel>& Labels() const { return m_labels; }
    const QList<TConstant>& Constants() const { return m_constants; }

    static constexpr int MaxIncludeDepth = 64;
    // Times one file may be included in one assembly. Files including others several times
    // multiply: without a bound a few kilobytes of source expand to millions of lines.
    static constexpr int MaxIncludeCount = 256;

signals:
    void PassStarted(int pass);
    // The line being worked on; after a successful run, minus the total number of lines.
    void ActualLine(int n);
    void TotalInstructions(int n);
    // A line is done: a caller with a user interface lets it breathe.
    void LineDone();

private:
    [[noreturn]] void fail(const QString& message, int line) const;
    double evaluate(QStringView expression, int line);
    void defineLabel(const QString& name, int lineNumber);
    void defineConstant(const QString& workingLine, int lineNumber);
    void includeFile(const QString& plainLine, int lineNumber);

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
    QVector<TInstruction> m_program;   // contiguous: a program may hold 100,000 words
    int m_instructionCounter = 0;
    int m_totalLines = 0;

    // Files being included right now, to refuse a file that includes itself.
    QStringList m_includeStack;
    QSet<QString> m_includeSet;
    QHash<QString, int> m_includeCount;   // times each file was included in this run

    Eval m_eval;
    TRangeSettings m_ranges;
    CAsmError m_lastError;
    bool m_reportProgress = false;
    QString m_scratch;
    DiskSourceFiles m_disk;
    SourceFiles* m_files = &m_disk;
};
