// Whether the user is working the window from the keyboard: true from the first
// key press on, false again at a press of a mouse button. The focus ring shows
// only while it is true, so pointer users see the pages as before, and a page
// left from the keyboard hands the focus on. Read by the pages as the singleton
// KeyboardUse of module an.utility ("KeyboardUse.active").
#pragma once

#include <QObject>

class KeyboardUse : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool active READ active NOTIFY activeChanged)

public:
    // Watches every event of the application it is made for.
    explicit KeyboardUse(QObject *application);
    bool active() const { return m_active; }

    static void registerType();

signals:
    void activeChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_active = false;
};
