#pragma once

#include "ModalAnswerer.h"
#include "PageProbe.h"
#include "PluginFixture.h"
#include "TestData.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <memory>

// What every workbench test starts from: the plug-in loaded once from its file as a host loads
// it, and for each test function the settings cleared (then the workbench's options given), a
// fresh scratch folder, a ModalAnswerer that must end with no unexpected and no pending dialog,
// and a workbench for the virtual module on the fixture's recording connection, which starts
// with no calls. A test class derives from it; its own init() may call this one's first.
//
// runSteps() plays the current row of a case file (AddCaseRows) as a user's session: the body's
// steps in order, then its results as checks "KEY=VALUE". The steps and keys every workbench
// test knows are listed in tests/cases/workbench-pages.cases; a test adds its own through step()
// and value().
class WorkbenchTest : public QObject
{
    Q_OBJECT

public:
    // The workbench's module address, its options (keys of the "Tools_KROLCreator" group), and
    // the classes of modal windows that close by themselves.
    explicit WorkbenchTest(unsigned char id = 1, QVariantMap options = {}, QStringList leave = {});

protected slots:
    void initTestCase();
    void init();
    void cleanup();

protected:
    // A fresh workbench for the virtual module, as at the start of a test.
    void makeWorkbench();
    // Writes the options into the settings, after clearing them.
    static void writeOptions(const QVariantMap& options);

    void runSteps();
    // A step of this test's own: false when the verb is not one.
    virtual bool step(const QString& verb, const QString& args);
    // What a check key shows now; "(not a check)" for a key nobody knows.
    virtual QString value(const QString& key);

    // A file of the scratch folder by name; a name with a backslash is a path as it is.
    QString path(const QString& name) const;
    // A file's text, "(missing)" when it cannot be read.
    static QString read(const QString& path);
    // Writes a watched file and waits for the one question the workbench asks about it.
    void changeOutside(const QString& path, const QByteArray& data) const;

    const unsigned char m_id;
    const QVariantMap m_options;
    const QStringList m_leave;
    PluginFixture m_plugin;
    ScratchDir m_dir;
    std::unique_ptr<ModalAnswerer> m_answers;
    std::unique_ptr<ToolsInterface> m_tool;
    std::unique_ptr<PageProbe> m_pages;

private:
    void check(const QString& item);
};
