#include "mymenu.h"

#include "myaction.h"

#include <QMenu>

MyMenu::MyMenu(QQuickItem *parent) : QQuickItem(parent), m_menu(new QMenu)
{
    setObjectName(QStringLiteral("MyMenu"));
}

MyMenu::~MyMenu()
{
    delete m_menu;
}

int MyMenu::width() const
{
    return m_menu->width();
}

int MyMenu::height() const
{
    return m_menu->height();
}

void MyMenu::setWidth(int width)
{
    if (m_menu->width() == width)
        return;
    m_menu->setFixedWidth(width);
    emit widthChanged();
}

void MyMenu::setHeight(int height)
{
    if (m_menu->height() == height)
        return;
    m_menu->setFixedHeight(height);
    emit heightChanged();
}

void MyMenu::addAction(MyAction *action)
{
    if (action)
        m_menu->addAction(action);
}

void MyMenu::addSeparator()
{
    m_menu->addSeparator();
}

void MyMenu::addMenu(MyMenu *menu)
{
    if (menu)
        m_menu->addMenu(menu->menu());
}

void MyMenu::componentComplete()
{
    QQuickItem::componentComplete();
    for (QObject *child : children()) {
        const QString name = child->objectName();
        if (name == QLatin1String("MyAction"))
            addAction(qobject_cast<MyAction *>(child));
        else if (name == QLatin1String("MySeparator"))
            addSeparator();
        else if (name == QLatin1String("MyMenu"))
            addMenu(qobject_cast<MyMenu *>(child));
    }
}
