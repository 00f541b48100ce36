#include "systemtrayicon.h"

#include "configuratorplatform.h"

#include "mymenu.h"

#include <QCoreApplication>
#include <QMenu>

SystemTrayIcon::SystemTrayIcon(QQuickItem *parent)
    : QQuickItem(parent), m_tray(new QSystemTrayIcon(this))
{
    connect(m_tray, &QSystemTrayIcon::activated, this, &SystemTrayIcon::onActivated);
    connect(this, &QQuickItem::visibleChanged, this, &SystemTrayIcon::onVisibleChanged);
    setVisible(false);
}

QString SystemTrayIcon::iconPathFromUrl(const QUrl &url)
{
    QString path = url.toLocalFile();
    if (path.isEmpty())
        path = url.toString();
    if (path.startsWith(QLatin1String("qrc")))
        path.remove(0, 3);
    return path;
}

QIcon SystemTrayIcon::iconFromUrl(const QUrl &url)
{
    return QIcon(iconPathFromUrl(url));
}

void SystemTrayIcon::setIcon(const QUrl &icon)
{
    if (icon == m_icon)
        return;
    m_tray->setIcon(iconFromUrl(icon));
    m_icon = icon;
    emit iconChanged();
}

void SystemTrayIcon::setToolTip(const QString &toolTip)
{
    if (toolTip == m_toolTip)
        return;
    m_tray->setToolTip(toolTip);
    m_toolTip = toolTip;
    emit toolTipChanged();
}

void SystemTrayIcon::setMenu(MyMenu *menu)
{
    if (menu == m_menu)
        return;
    m_menu = menu;
    m_tray->setContextMenu(menu ? menu->menu() : nullptr);
    emit menuChanged();
}

void SystemTrayIcon::onVisibleChanged()
{
    m_tray->setVisible(isVisible());
}

void SystemTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
        emit trigger();
}

void SystemTrayIcon::onExit()
{
    m_tray->hide();
    QCoreApplication::exit(0);
}

bool SystemTrayIcon::isAvailable() const
{
    const ConfiguratorPlatform &services = ConfiguratorPlatform::current();
    return services.trayAvailable ? services.trayAvailable()
                                  : QSystemTrayIcon::isSystemTrayAvailable();
}
