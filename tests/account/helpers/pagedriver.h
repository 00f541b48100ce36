// Drives page documents as a user would: one offscreen window holding the document,
// items found by their object names, clicks and typing.
#pragma once

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QtTest>

#include <memory>

class Pages
{
public:
    explicit Pages(const QByteArray &document)
    {
        QQmlComponent component(m_view.engine());
        component.setData(document, QUrl(QStringLiteral("qrc:/harness.qml")));
        m_root.reset(qobject_cast<QQuickItem *>(component.create()));
        if (!m_root)
            qFatal("%s", qPrintable(component.errorString()));
        m_root->setParentItem(m_view.contentItem());
        m_view.resize(1000, 700);
        m_view.show();
        m_view.requestActivate();
        if (!QTest::qWaitForWindowActive(&m_view))
            qFatal("the page window never became active");
    }

    // An item by its path of object names ("register/mailbox").
    QQuickItem *item(const QString &path) const
    {
        QQuickItem *at = m_root.get();
        for (const QString &name : path.split('/'))
            at = at ? find(at, name) : nullptr;
        return at;
    }
    // Repeaters' items are children in the scene only.
    static QQuickItem *find(QQuickItem *from, const QString &name)
    {
        for (QQuickItem *child : from->childItems()) {
            QQuickItem *found = child->objectName() == name ? child : find(child, name);
            if (found)
                return found;
        }
        return nullptr;
    }
    QObject *root() const { return m_root.get(); }
    QString text(const QString &path) const { return item(path)->property("text").toString(); }
    bool shown(const QString &path) const
    {
        QQuickItem *it = item(path);
        return it && it->isVisible();
    }

    void click(const QString &path)
    {
        QQuickItem *it = item(path);
        QVERIFY2(it && it->isVisible(), qPrintable(path));
        clickAt(it->mapToScene(QPointF(it->width() / 2, it->height() / 2)).toPoint());
    }
    void clickAt(QPoint point) { QTest::mouseClick(&m_view, Qt::LeftButton, {}, point); }
    void type(const QString &path, const QString &keys)
    {
        click(path);
        typeHere(keys);
    }
    // Into the field that has the focus.
    void typeHere(const QString &keys)
    {
        for (const QChar c : keys)
            QTest::keyClick(&m_view, c.toLatin1());
    }
    void key(Qt::Key key) { QTest::keyClick(&m_view, key); }

private:
    QQuickView m_view;
    std::unique_ptr<QQuickItem> m_root;
};
