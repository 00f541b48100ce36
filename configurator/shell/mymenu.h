// A tray menu as a Qt Quick item (module an.utility 1.0). Actions, separators and
// submenus declared inside it are added in declaration order when the
// declaration completes; they are recognised by their object names.
#pragma once

#include <QQuickItem>

class MyAction;
class QMenu;

class MyMenu : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(int width READ width WRITE setWidth NOTIFY widthChanged)
    Q_PROPERTY(int height READ height WRITE setHeight NOTIFY heightChanged)
public:
    explicit MyMenu(QQuickItem *parent = nullptr);
    ~MyMenu() override;

    QMenu *menu() const { return m_menu; }

    int width() const;
    int height() const;

    Q_INVOKABLE void addAction(MyAction *action);
    Q_INVOKABLE void addSeparator();
    Q_INVOKABLE void addMenu(MyMenu *menu);

public slots:
    void setWidth(int width);
    void setHeight(int height);

signals:
    void widthChanged();
    void heightChanged();

protected:
    void componentComplete() override;

private:
    QMenu *m_menu;
};
