// A tray menu entry (module an.utility 1.0): a QAction whose icon is given as an
// URL, as for the tray icon.
#pragma once

#include <QAction>
#include <QUrl>

class MyAction : public QAction
{
    Q_OBJECT
    Q_PROPERTY(QUrl icon READ iconUrl WRITE setIcon NOTIFY iconChanged)
public:
    explicit MyAction(QObject *parent = nullptr);

    QUrl iconUrl() const { return m_icon; }

public slots:
    void setIcon(const QUrl &icon);

signals:
    void iconChanged();

private:
    QUrl m_icon;
};
