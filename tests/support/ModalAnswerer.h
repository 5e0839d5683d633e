#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers the modal dialogs a test provokes, so that no test ever blocks on one. Answers are
// queued in order, one per modal widget that appears; each answer sees the dialog before it
// is closed. A modal widget without a queued answer is rejected and counted as unexpected.
class ModalAnswerer : public QObject
{
    Q_OBJECT

public:
    // What a message box showed.
    struct Seen
    {
        QString className;
        QString text;
        QString informativeText;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        // "ICON: TEXT|INFORMATIVE [BUTTONS]", for example "Question: Save?|Sure? [Yes No]".
        QString summary() const;
    };

    explicit ModalAnswerer(QObject* parent = nullptr);

    // Any answer: a function that inspects the modal widget and closes it.
    void answer(std::function<void(QWidget*)> handler);
    // A message box: press its standard button.
    void press(QMessageBox::StandardButton button);
    // Any dialog: click the push button with that text, after letting inspect look at it.
    void click(const QString& buttonText, std::function<void(QWidget*)> inspect = {});
    // A file dialog: choose that file or folder, or cancel for an empty name.
    void chooseFile(const QString& name);
    // Modal widgets of this class (a progress window that closes by itself) are left alone:
    // neither answered nor counted.
    void leave(const QString& className) { m_leave.append(className); }

    const QList<Seen>& seen() const { return m_seen; }
    int pending() const { return m_answers.size(); }
    int unexpected() const { return m_unexpected; }

private:
    void poll();

    QTimer m_timer;
    QList<std::function<void(QWidget*)>> m_answers;
    QList<Seen> m_seen;
    QStringList m_leave;
    QList<QPointer<QWidget>> m_answered;   // a dialog under a nested one is answered once
    int m_unexpected = 0;
};
