#pragma once

#include "KrolHostGlobal.h"

#include <QSettings>

// The host's settings store: one per organisation and application, for every tool.
class KROLHOST_EXPORT AppSettings : public QSettings
{
    Q_OBJECT

public:
    static constexpr const char* Organisation = "KROL";
    static constexpr const char* Application = "krol";

    // With $KROL_HOME set the store lives below it, so tests and portable set-ups never touch
    // the user's own settings.
    explicit AppSettings(QObject* parent = nullptr);
    ~AppSettings() override;

    // As QSettings::endGroup, and harmless when no group is open.
    void endGroup();

    // $KROL_HOME when set, else the application's writable data location.
    static QString homePath();
};
