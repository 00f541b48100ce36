// The real main page on the fake services with a simulated receiver, as the main
// page's tests and the page pictures drive it.
#pragma once

#include "appenv.h"
#include "fakeservices.h"

#include <QCoreApplication>
#include <QDebug>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct MainPageHost
{
    FakeServices fakes;
    std::unique_ptr<fake::FakeReceiver> receiver = fakes.makeReceiver();
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QObject> root;

    // Pages other than the connection page are made when shown and released
    // when left: what was released is deleted first, so that only the page now
    // shown answers to its name.
    QObject *find(const char *name) const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return root->findChild<QObject *>(name);
    }
    QQuickWindow *window() const { return qobject_cast<QQuickWindow *>(root.get()); }
    QString page() const { return find("navigator")->property("page").toString(); }

    static void writeIni(const QString &path, const QMap<QString, QString> &values)
    {
        QSettings s(path, QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            s.setValue(it.key(), it.value());
    }
    // A fresh application folder; settings written before start() go there.
    void newFolder()
    {
        folder = std::make_unique<QTemporaryDir>();
        appenv::setApplicationDir(folder->path());
    }
    // Loads the main page with `model` chosen ("NULL": none) and waits for the page
    // after the splash.
    bool start(bool present, const QString &model)
    {
        if (model != "NULL")
            writeIni(appenv::mainSettingsPath(), {{"SET/mouse", model}});
        // The version query goes to a closed port unless a test names its server, so
        // no account server running on this machine brings up the update box.
        if (!QSettings(appenv::mainSettingsPath(), QSettings::IniFormat).contains("SET/server"))
            writeIni(appenv::mainSettingsPath(), {{"SET/server", "http://127.0.0.1:1"}});
        if (present)
            fake::addReceiverDevice(*fakes.hid, receiver.get(), 0x1812);
        engine = std::make_unique<QQmlEngine>();
        QQmlComponent component(engine.get(), QUrl("qrc:/main.qml"));
        root.reset(component.create());
        if (!root) {
            qWarning() << component.errorString();
            return false;
        }
        return QTest::qWaitFor([this] { return page() != "splash"; }, 10000);
    }
    void logic(const QString &state)
    {
        QMetaObject::invokeMethod(root.get(), "onLogic", Q_ARG(QVariant, state));
    }
    // A user's pick in a list: the signal its page emits.
    void pick(const char *pageName, int index)
    {
        QObject *p = find(pageName);
        QVariant name;
        QMetaObject::invokeMethod(p, "getIndexName", Q_RETURN_ARG(QVariant, name),
                                  Q_ARG(QVariant, index));
        QMetaObject::invokeMethod(
            p, QByteArray(pageName).contains("Wheel") ? "sigSelIssue" : "sigSelItemIndex",
            Q_ARG(int, index), Q_ARG(QString, name.toString()));
    }
};
