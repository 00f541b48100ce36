#include "myaction.h"

#include "systemtrayicon.h"

MyAction::MyAction(QObject *parent) : QAction(parent)
{
    setObjectName(QStringLiteral("MyAction"));
}

void MyAction::setIcon(const QUrl &icon)
{
    if (icon == m_icon)
        return;
    QAction::setIcon(SystemTrayIcon::iconFromUrl(icon));
    m_icon = icon;
    emit iconChanged();
}
