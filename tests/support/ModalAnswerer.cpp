#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

ModalAnswerer::ModalAnswerer(QObject* parent) : QObject(parent)
{
    // Qt's own file dialogs, so a test can fill them in on any platform.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

QString ModalAnswerer::Seen::summary() const
{
    static const QList<QPair<QMessageBox::StandardButton, QString>> names{
        {QMessageBox::Ok, "Ok"},           {QMessageBox::Save, "Save"},       {QMessageBox::Yes, "Yes"},
        {QMessageBox::No, "No"},           {QMessageBox::Discard, "Discard"}, {QMessageBox::Cancel, "Cancel"}};
    static const QStringList icons{"NoIcon", "Information", "Warning", "Critical", "Question"};
    QStringList shown;
    int rest = int(buttons);
    for (const auto& name : names) {
        if (buttons & name.first)
            shown << name.second;
        rest &= ~int(name.first);
    }
    if (rest != 0)
        shown << QString::number(rest, 16);
    return QStringLiteral("%1: %2|%3 [%4]").arg(icons.value(int(icon)), text, informativeText, shown.join(' '));
}

void ModalAnswerer::answer(std::function<void(QWidget*)> handler)
{
    m_answers.append(std::move(handler));
}

void ModalAnswerer::press(QMessageBox::StandardButton button)
{
    answer([button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box != nullptr && box->button(button) != nullptr)
            box->button(button)->click();
        else if (auto* d = qobject_cast<QDialog*>(w))
            d->reject();
    });
}

void ModalAnswerer::click(const QString& buttonText, std::function<void(QWidget*)> inspect)
{
    answer([buttonText, inspect](QWidget* w) {
        if (inspect)
            inspect(w);
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
            if (b->text() == buttonText) {
                b->click();
                return;
            }
        }
        if (auto* d = qobject_cast<QDialog*>(w))
            d->reject();
    });
}

void ModalAnswerer::chooseFile(const QString& name)
{
    answer([name](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (dialog == nullptr || name.isEmpty()) {
            if (auto* d = qobject_cast<QDialog*>(w))
                d->reject();
            return;
        }
        dialog->selectFile(name);
        // selectFile leaves the name field alone while it has the focus, as it has once shown.
        if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            edit->setText(name);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// A dialog whose buttons are all disabled is still at work (the assembler's window during a run,
// shown before it is run modally): it is answered once a button is enabled.
static bool isBusy(const QWidget* w)
{
    const QList<QAbstractButton*> buttons = w->findChildren<QAbstractButton*>();
    return !buttons.isEmpty()
           && std::none_of(buttons.begin(), buttons.end(), [](const QAbstractButton* b) { return b->isEnabled(); });
}

void ModalAnswerer::poll()
{
    QWidget* w = QApplication::activeModalWidget();
    if (w == nullptr || !w->isVisible() || m_answered.contains(w) || isBusy(w))
        return;
    if (m_leave.contains(QString::fromLatin1(w->metaObject()->className())))
        return;
    m_answered.append(w);
    Seen s;
    s.className = QString::fromLatin1(w->metaObject()->className());
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
        s.text = box->text();
        s.informativeText = box->informativeText();
        s.icon = box->icon();
        s.buttons = box->standardButtons();
        s.defaultButton = box->standardButton(box->defaultButton());
    }
    m_seen.append(s);
    std::function<void(QWidget*)> handler;
    if (!m_answers.isEmpty()) {
        handler = m_answers.takeFirst();
    } else {
        ++m_unexpected;
        handler = [](QWidget* widget) {
            if (auto* d = qobject_cast<QDialog*>(widget))
                d->reject();
            else
                widget->close();
        };
    }
    // Outside this timer's slot, so that a dialog the answer opens is answered in turn.
    QPointer<QWidget> target = w;
    QTimer::singleShot(0, this, [handler, target] {
        if (target)
            handler(target);
    });
}
