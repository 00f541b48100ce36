#include "keyboarduse.h"

#include <QCoreApplication>
#include <QEvent>
#include <QQmlEngine>

KeyboardUse::KeyboardUse(QObject *application) : QObject(application)
{
    application->installEventFilter(this);
}

bool KeyboardUse::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    // A key taken by a shortcut (Tab in a box) never arrives as a press: the
    // focus item is asked about it first.
    const bool key = type == QEvent::KeyPress || type == QEvent::ShortcutOverride;
    if ((key || type == QEvent::MouseButtonPress) && m_active != key) {
        m_active = key;
        emit activeChanged();
    }
    return QObject::eventFilter(watched, event);
}

void KeyboardUse::registerType()
{
    qmlRegisterSingletonType<KeyboardUse>(
        "an.utility", 1, 0, "KeyboardUse", [](QQmlEngine *, QJSEngine *) -> QObject * {
            auto *use = new KeyboardUse(QCoreApplication::instance());
            QQmlEngine::setObjectOwnership(use, QQmlEngine::CppOwnership);
            return use;
        });
}
