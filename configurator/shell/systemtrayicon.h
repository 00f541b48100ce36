// The tray icon as a Qt Quick item (module an.utility 1.0). The item's own
// `visible` shows and hides the icon; it starts hidden. On a desktop without a
// notification area the icon is simply not shown.
#pragma once

#include <QIcon>
#include <QPointer>
#include <QQuickItem>
#include <QSystemTrayIcon>
#include <QUrl>

#include "mymenu.h"

class SystemTrayIcon : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QUrl icon READ icon WRITE setIcon NOTIFY iconChanged)
    Q_PROPERTY(QString toolTip READ toolTip WRITE setToolTip NOTIFY toolTipChanged)
    Q_PROPERTY(MyMenu *menu READ menu WRITE setMenu NOTIFY menuChanged)
public:
    explicit SystemTrayIcon(QQuickItem *parent = nullptr);

    // The icon an URL names: a local file, or with "qrc:" a compiled-in resource.
    static QIcon iconFromUrl(const QUrl &url);
    // The file or resource path iconFromUrl loads.
    static QString iconPathFromUrl(const QUrl &url);

    QUrl icon() const { return m_icon; }
    QString toolTip() const { return m_toolTip; }
    MyMenu *menu() const { return m_menu; }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    // Whether the desktop has a notification area now (it may come up after the
    // configurator, at log-in): without one a hidden window could not come back.
    Q_INVOKABLE bool isAvailable() const;

signals:
    // The user clicked or double-clicked the icon.
    void trigger();
    void iconChanged();
    void toolTipChanged();
    void menuChanged();

public slots:
    void setIcon(const QUrl &icon);
    void setToolTip(const QString &toolTip);
    void setMenu(MyMenu *menu);
    void onVisibleChanged();
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    // Hides the icon and ends the event loop with code 0.
    void onExit();

private:
    QSystemTrayIcon *m_tray;
    QString m_toolTip;
    QUrl m_icon;
    QPointer<MyMenu> m_menu;
};
