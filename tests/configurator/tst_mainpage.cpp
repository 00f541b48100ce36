// The real main page, offscreen, on the fake platform with a simulated receiver:
// the page after the splash, plug and unplug, the pages' wiring to the navigator,
// and what the assignment lists write into the model's settings file.
#include "appenv.h"
#include "settingstransfer.h"
#include "configuratorapp.h"
#include "inputsource.h"
#include "mainpagehost.h"
#include "opfunconffile.h"
#include "settingschanges.h"
#include "typeregistry.h"

#include "qmlwarninggate.h"

#include <QtTest>

#include <QQuickItem>
#include <QQuickWindow>
#include <QSaveFile>

#include <cmath>

class TestMainPage : public QObject, MainPageHost
{
    Q_OBJECT

    // Repeater delegates are only reachable as child items.
    QQuickItem *item(const QString &name, QQuickItem *within = nullptr) const
    {
        QList<QQuickItem *> todo{within ? within : window()->contentItem()};
        while (!todo.isEmpty()) {
            QQuickItem *i = todo.takeFirst();
            if (i->objectName() == name)
                return i;
            todo << i->childItems();
        }
        return nullptr;
    }
    bool sideWheelSpotShown() const
    {
        QQuickItem *spot = item("control_slideWheel");
        return spot && spot->isVisible();
    }
    QObject *nav() const { return find("navigator"); }
    // Whether the pages take the user for one working from the keyboard (and so
    // show where the keyboard is).
    bool keyboardInUse() const
    {
        const int type = qmlTypeId("an.utility", 1, 0, "KeyboardUse");
        return engine->singletonInstance<QObject *>(type)->property("active").toBool();
    }
    static QString modelFile() { return appenv::modelSettingsPath("QX210"); }
    static QByteArray bytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Replaces the file whole, renamed into place, as velko-options and editors write.
    static bool replaceFile(const QString &path, const QByteArray &content)
    {
        QSaveFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
               file.commit();
    }
    static QVariant call(QObject *object, const char *function, QVariantList args = {})
    {
        QVariant ret;
        QGenericArgument a[3];
        for (int i = 0; i < args.size(); ++i)
            a[i] = Q_ARG(QVariant, args[i]);
        const bool ok = QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, ret),
                                                  a[0], a[1], a[2]);
        return ok ? ret : QVariant("<no such function>");
    }
    static int addProgram(QObject *selector, const QString &program, const QString &name)
    {
        int section = -1;
        QMetaObject::invokeMethod(selector, "addProgram", Q_RETURN_ARG(int, section),
                                  Q_ARG(QString, program), Q_ARG(QString, name));
        return section;
    }
    bool labelShown(const QString &tag) const
    {
        return call(find("connectDevice"), "labelShown", {tag}).toBool();
    }
    QString labelText(const QString &tag) const
    {
        return call(find("connectDevice"), "labelText", {tag}).toString();
    }
    // What a screen reader says for the control's hot spot.
    QString spotName(const QString &tag) const
    {
        for (QObject *child : item("spot_" + tag)->children())
            if (child->property("name").isValid())
                return child->property("name").toString();
        return "<no name>";
    }
    void plug(bool in)
    {
        if (in)
            fake::addReceiverDevice(*fakes.hid, receiver.get(), 0x1812);
        else
            fakes.hid->clear();
        fakes.messageWindows->back()->deliver(
            {platform::kWmDeviceChange,
             in ? platform::kDbtDeviceArrival : platform::kDbtDeviceRemoveComplete, 0, true,
             platform::kDbtDevtypDeviceInterface,
             R"(\\?\USB#VID_2F6B&PID_1812#5&1a2b3c&0&2#{a5dcbf10-6530})"});
    }
    bool start(bool present, const QString &model, const QString &version = "win10")
    {
        appenv::setWindowsVersionClass(version);
        return MainPageHost::start(present, model);
    }
    // A value of the current model's file as the settings class reads it.
    static QString stored(const char *getter)
    {
        OpFunConfFile conf;
        conf.syncMouseIni();
        QString value;
        if (conf.metaObject()->indexOfProperty(getter) >= 0)
            return conf.property(getter).toString();
        QMetaObject::invokeMethod(&conf, getter, Q_RETURN_ARG(QString, value));
        return value;
    }

private slots:
    void initTestCase()
    {
        qmlgate::install();
        initConfiguratorResources();
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
        registerConfiguratorTypes();
    }
    void init()
    {
        fakes = FakeServices();
        fakes.install();
        receiver = fakes.makeReceiver();
        newFolder();
    }
    void cleanup()
    {
        root.reset();
        engine.reset();
        appenv::setApplicationDir(QString());
        appenv::setWindowsVersionClass(QString());
    }
    void cleanupTestCase() { ConfiguratorPlatform::installNative(); }

    void pageAfterSplash_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("sideWheelSpot");
        const auto row = [](const char *tag, bool present, const char *model, const char *page,
                            bool sideWheelSpot) {
            QTest::newRow(tag) << present << model << page << sideWheelSpot;
        };
        row("no receiver", false, "QX210", "disconnect", true);
        row("no model", true, "NULL", "choose", true);
        row("QX210", true, "QX210", "connect", true);
        row("QX330", true, "QX330", "connect", false);
    }
    void pageAfterSplash()
    {
        QFETCH(bool, present);
        QFETCH(QString, model);
        QFETCH(QString, page);
        QFETCH(bool, sideWheelSpot);
        QVERIFY(inputsource::store(inputsource::Source::Hook)); // an agent without the driver
        QVERIFY(start(present, model));
        QCOMPARE(this->page(), page);
        if (page == "connect") {
            QCOMPARE(find("connectDevice")->property("modelText").toString(), model);
            QCOMPARE(sideWheelSpotShown(), sideWheelSpot);
            QCOMPARE(find("inputSourceText")->property("text").toString(), QString("through Windows"));
        }
    }

    // Which page an unplug leads to from each page: tst_pagenavigator.
    void plugAndUnplug()
    {
        QVERIFY(start(true, "QX330"));
        logic("QXPair");
        plug(false);
        QTRY_COMPARE(page(), QString("disconnect"));
        plug(true);
        QTRY_COMPARE(page(), QString("connect"));
        QCOMPARE(find("connectDevice")->property("modelText").toString(), QString("QX330"));
        QVERIFY(!find("connectDevice")->property("eightKeys").toBool());
        // Pairing now returns to the connection page, not to the page left on unplugging.
        logic("QXPair");
        QMetaObject::invokeMethod(find("enterQXPair"), "sigRevClicked", Q_ARG(QString, "hidePair"));
        QCOMPARE(page(), QString("connect"));
    }

    void unpluggingClosesTheListAndTheSyncPanel()
    {
        QVERIFY(start(true, "QX210"));
        QMetaObject::invokeMethod(find("connectDevice"), "sigActionClicked",
                                  Q_ARG(QString, "mid_key_press"));
        QMetaObject::invokeMethod(find("syncCover"), "open");
        plug(false);
        QTRY_COMPARE(page(), QString("disconnect"));
        for (const char *overlay : {"midKeyPage", "listCover", "syncCover"})
            QVERIFY2(!find(overlay)->property("visible").toBool(), overlay);
    }

    // A cover takes the pointer's hover: the button it covers neither lights up nor
    // shows its tool tip, which would take the Esc meant for what is open.
    void coversTakeThePointersHover()
    {
        QVERIFY(start(true, "QX210"));
        QQuickItem *button = item("loginButton");
        QVERIFY(button);
        QObject *area = nullptr;
        for (QQuickItem *child : button->childItems())
            area = child->property("containsMouse").isValid() ? child : area;
        QVERIFY(area);
        const QPoint over = button->mapToScene({button->width() / 2, button->height() / 2}).toPoint();
        QObject *page = find("connectDevice");
        const std::pair<const char *, std::function<void()>> covers[] = {
            {"loginCover", [&] { call(page, "f_showLogin"); }},
            {"listCover", [&] { QMetaObject::invokeMethod(page, "sigActionClicked", Q_ARG(QString, "mid_key_press")); }},
            {"syncCover", [&] { QMetaObject::invokeMethod(find("syncCover"), "open"); }}};
        for (const auto &[name, open] : covers) {
            QTest::mouseMove(window(), over);
            QTRY_VERIFY2(area->property("containsMouse").toBool(), name);
            open();
            QTRY_VERIFY2(item(name) && item(name)->isVisible(), name);
            QTest::mouseMove(window(), over + QPoint(1, 0));
            QTRY_VERIFY2(!area->property("containsMouse").toBool(), name);
            QTest::keyClick(window(), Qt::Key_Escape);
            QTRY_VERIFY2(!item(name)->isVisible(), name);
            QTest::mouseMove(window(), {1, 1});
        }
    }

    // Without a tray a hidden window could not come back: closing it, by the
    // title bar or by the window manager, only minimises it.
    void closingWithoutATrayMinimises()
    {
        ConfiguratorPlatform services = fakes.platform();
        services.trayAvailable = [] { return false; };
        ConfiguratorPlatform::install(services);
        QVERIFY(start(true, "QX210"));
        QObject *title = find("connectDevice")->property("titleBar").value<QObject *>();
        for (bool byTheWindowManager : {false, true}) {
            window()->showNormal();
            if (byTheWindowManager)
                window()->close();
            else
                QMetaObject::invokeMethod(title, "sigHidden");
            QTRY_VERIFY(window()->windowStates() & Qt::WindowMinimized);
            QVERIFY(window()->isVisible());
        }
        fakes.install();
    }

    // Where the desktop has no tray, the tray menu's actions are in the title bar.
    void trayMenuInTheTitleBarWithoutATray_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray") << false;
    }
    void trayMenuInTheTitleBarWithoutATray()
    {
        QFETCH(bool, tray);
        ConfiguratorPlatform services = fakes.platform();
        services.trayAvailable = [tray] { return tray; };
        ConfiguratorPlatform::install(services);
        QVERIFY(start(true, "QX210"));
        QCOMPARE(item("menuButton")->isVisible(), !tray);
        if (!tray) {
            QObject *cover = find("windowMenuCover");
            QMetaObject::invokeMethod(item("menuButton"), "clicked");
            QVERIFY(cover->property("visible").toBool());
            QMetaObject::invokeMethod(item("exportButton"), "clicked");
            QVERIFY(!cover->property("visible").toBool());
            QTRY_VERIFY(find("exportDialog")->property("visible").toBool());
            QMetaObject::invokeMethod(find("exportDialog"), "close");
        }
        fakes.install();
    }

    // The window has no frame: every page a user can stay on has its own
    // minimise and close at the top right.
    void fullPagesMinimiseAndClose_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("page");
        QTest::newRow("about") << "QXAbout" << "qxAbout";
        QTest::newRow("account") << "sign_in_clicked" << "signOutPage";
        QTest::newRow("pairing preparation") << "QXPair" << "enterQXPair";
    }
    void fullPagesMinimiseAndClose()
    {
        QFETCH(QString, state);
        QFETCH(QString, page);
        QVERIFY(start(true, "QX210"));
        logic(state);
        QTRY_VERIFY(find(qPrintable(page)));
        auto *shown = qobject_cast<QQuickItem *>(find(qPrintable(page)));
        // Minimise minimises; close puts the window away in the tray.
        for (const bool close : {false, true}) {
            const char *name = close ? "closeButton" : "minimumButton";
            window()->showNormal();
            QTRY_VERIFY(window()->isVisible() &&
                        !(window()->windowStates() & Qt::WindowMinimized));
            QQuickItem *button = item(name, shown);
            QVERIFY2(button && button->isVisible(), name);
            const QPointF middle(button->width() / 2, button->height() / 2);
            QTest::mouseClick(window(), Qt::LeftButton, {},
                              button->mapToScene(middle).toPoint());
            QTRY_VERIFY2(close ? !window()->isVisible()
                               : bool(window()->windowStates() & Qt::WindowMinimized), name);
        }
    }

    // The tray menu's import: the file's settings written and shown at once.
    // Also when the model's file cannot be written: the pages show what the
    // import brought (the next change that can be written takes it along).
    void importFromTheMenuShowsTheImportedSettings_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("info");
        QTest::newRow("written") << true << "Settings imported";
        QTest::newRow("not written") << false << "Your changes could not be saved to";
    }
    void importFromTheMenuShowsTheImportedSettings()
    {
        QFETCH(bool, writable);
        QFETCH(QString, info);
        writeIni(modelFile(), {{"SET/isConf", "Y"}, {"SET/Mid_key", "Copy-12-midKey"}});
        writeIni(appenv::mainSettingsPath(), {{"SET/mouse", "QX210"}});
        const QString file = folder->filePath("settings.json");
        QCOMPARE(settingstransfer::exportTo(file), QString());
        writeIni(modelFile(), {{"SET/Mid_key", "Paste-14-midKey"}});
        QVERIFY(start(true, "QX210"));
        QTRY_COMPARE(labelText("midKey"), QString("Paste"));
        if (!writable) // a folder takes the file's name
            QVERIFY(QFile::rename(modelFile(), modelFile() + ".kept") && QDir().mkdir(modelFile()));
        QObject *dialog = find("importDialog");
        dialog->setProperty("file", QUrl::fromLocalFile(file));
        QMetaObject::invokeMethod(dialog, "accepted");
        QTRY_COMPARE(labelText("midKey"), QString("Copy"));
        QTRY_VERIFY(nav()->property("infoText").toString().startsWith(info));
        if (writable)
            QCOMPARE(QSettings(modelFile(), QSettings::IniFormat).value("SET/Mid_key").toString(),
                     QString("Copy-12-midKey"));
    }

    void restoreDefaults()
    {
        QVERIFY(start(true, "QX210"));
        window()->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(window()));
        pick("midKeyPage", 12);
        QMetaObject::invokeMethod(find("connectDevice"), "sigLogicClicked",
                                  Q_ARG(QString, "default_set"));
        QCOMPARE(nav()->property("box").toString(), QString("restore"));
        // The box, made as it opens, has the keyboard on its answer.
        QTRY_VERIFY(find("restoreBox")->findChild<QQuickItem *>("sureButton")->isAncestorOf(
            window()->activeFocusItem()));
        QMetaObject::invokeMethod(find("restoreBox"), "sigSureClicked");
        QVERIFY(!nav()->property("darkCover").toBool());
        QCOMPARE(stored("GetMidKeyVal"), QString(R"({"index":"48","name":"none","tag":"midKey"})"));
        QVERIFY(!labelShown("midKey"));
        QCOMPARE(find("midKeyPage")->property("usrCurrentIndex").toInt(), 48);
    }

    // Tab and Shift+Tab go round the box or list that is open, never to the page
    // behind it.
    void tabGoesRoundWhatIsOpen()
    {
        QVERIFY(start(true, "QX210"));
        window()->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(window()));
        QObject *page = find("connectDevice");
        const std::pair<const char *, std::function<void()>> opened[] = {
            {"restoreBox", [&] { QMetaObject::invokeMethod(page, "sigLogicClicked", Q_ARG(QString, "default_set")); }},
            {"midKeyPage", [&] { QMetaObject::invokeMethod(page, "sigActionClicked", Q_ARG(QString, "mid_key_press")); }},
            {"combinationBox", [&] {
                 QMetaObject::invokeMethod(page, "sigActionClicked", Q_ARG(QString, "right_key_press"));
                 QMetaObject::invokeMethod(find("rightKeyPage")->findChild<QQuickItem *>("combinationItem"), "picked");
             }}};
        for (const auto &[name, open] : opened) {
            open();
            auto *scope = qobject_cast<QQuickItem *>(find(name));
            const auto inside = [&] {
                QQuickItem *focus = window()->activeFocusItem();
                return focus && (focus == scope || scope->isAncestorOf(focus));
            };
            QTRY_VERIFY2(scope && inside(), name);
            for (const auto &[key, modifiers] : {std::pair(Qt::Key_Tab, Qt::NoModifier),
                                                 std::pair(Qt::Key_Backtab, Qt::ShiftModifier)})
                for (int i = 0; i < 8; ++i) {
                    QTest::keyClick(window(), key, modifiers);
                    QVERIFY2(inside() && keyboardInUse(), name);
                }
            QTest::keyClick(window(), Qt::Key_Escape);
        }
    }

    // "Key combination...": the keys pressed in the box, shown and stored; Esc
    // leaves everything as it was.
    void keyCombinationFromTheList()
    {
        QVERIFY(start(true, "QX210"));
        window()->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(window()));
        QMetaObject::invokeMethod(find("connectDevice"), "sigActionClicked",
                                  Q_ARG(QString, "right_key_press"));
        QObject *box = find("combinationBox");
        auto *item = find("rightKeyPage")->findChild<QQuickItem *>("combinationItem");
        QMetaObject::invokeMethod(item, "picked");
        QVERIFY(box->property("visible").toBool());
        QTest::keyClick(window(), Qt::Key_K, Qt::ControlModifier);
        QTest::keyClick(window(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(box->findChild<QObject *>("upRecorder")->property("text").toString(),
                 QString("Ctrl+K, Shift+Tab"));
        QTest::keyClick(window(), Qt::Key_Return);
        QVERIFY(!box->property("visible").toBool());
        QCOMPARE(QSettings(modelFile(), QSettings::IniFormat).value("SET/Right_key_combination").toString(),
                 QString("Ctrl+K, Shift+Tab"));
        QCOMPARE(labelText("rightKey"), QString("Ctrl+K, Shift+Tab"));
        QVERIFY(find("rightKeyPage")->property("combinationSelected").toBool());

        const QByteArray before = bytes(modelFile());
        QMetaObject::invokeMethod(item, "picked");
        QTest::keyClick(window(), Qt::Key_T, Qt::ControlModifier);
        QTest::keyClick(window(), Qt::Key_Escape);
        QVERIFY(!box->property("visible").toBool());
        QCOMPARE(bytes(modelFile()), before);
    }

    void modelConfirmationStoresTheModelAndChoosesTheLayout()
    {
        QVERIFY(start(true, "NULL"));
        QCOMPARE(find("chooseVersion")->property("selectedModel").toString(), QString("QX210"));
        QVERIFY(!find("chooseVersion")->property("canGoBack").toBool()); // a model must be chosen
        find("chooseVersion")->setProperty("selectedModel", "QX330");
        QMetaObject::invokeMethod(find("chooseVersion"), "sigVersionClicked",
                                  Q_ARG(QString, "version_confirm"));
        QCOMPARE(find("confirmBox")->property("title").toString(), QString("QX330"));
        QVERIFY(nav()->property("darkCover").toBool());
        QMetaObject::invokeMethod(find("confirmBox"), "sigVerConfirmClicked");
        QCOMPARE(page(), QString("connect"));
        QVERIFY(!nav()->property("darkCover").toBool());
        QSettings main(appenv::mainSettingsPath(), QSettings::IniFormat);
        QCOMPARE(main.value("SET/mouse").toString(), QString("QX330"));
        QCOMPARE(find("connectDevice")->property("modelText").toString(), QString("QX330"));
        QVERIFY(!sideWheelSpotShown());
        // The choice is written to the new model's file.
        pick("midKeyPage", 12);
        QCOMPARE(stored("GetMidKeyVal"), QString(R"({"index":"12","name":"Copy","tag":"midKey"})"));
        // Pairing pictures that model too.
        logic("QXPair");
        QMetaObject::invokeMethod(nav(), "handle", Q_ARG(QString, "enterSuccess"));
        QVERIFY(!find("qxPair")->property("eightKeys").toBool());
    }

    void pointersMissTheOtherSpots_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("labels");
        QTest::newRow("8 keys") << "QX210" << 6;
        QTest::newRow("7 keys") << "QX330" << 5;
    }
    // With every label shown, no control's pointer runs through another's hot spot.
    void pointersMissTheOtherSpots()
    {
        QFETCH(QString, model);
        QFETCH(int, labels);
        const QStringList tags{"midKey",     "midWheel",   "rightKey",
                               "slideWheel", "slideUpKey", "slideDownKey"};
        writeIni(appenv::modelSettingsPath(model),
                 {{"SET/isConf", "Y"},
                  {"SET/Mid_key", "Copy-12-midKey"},
                  {"SET/Mid_wheel", "Volume control-0-midWheel"},
                  {"SET/Right_key", "Copy-12-rightKey"},
                  {"SET/Side_wheel", "Volume control-0-slideWheel"},
                  {"SET/Side_upkey", "Copy-12-slideUpKey"},
                  {"SET/Side_downkey", "Copy-12-slideDownKey"}});
        QVERIFY(start(true, model));
        auto centre = [this](const QString &tag) {
            QQuickItem *s = item("spot_" + tag);
            return s->mapToScene(QPointF(s->width() / 2, s->height() / 2));
        };
        int shown = 0;
        for (const QString &tag : tags) {
            QQuickItem *label = item("label_" + tag);
            if (!label->isVisible())
                continue;
            ++shown;
            const QPointF a = centre(tag);
            const QPointF left = label->mapToScene(QPointF(0, label->height() / 2));
            const QPointF b = a.x() < left.x() ? left : left + QPointF(label->width(), 0);
            for (const QString &other : tags) {
                QQuickItem *spot = item("spot_" + other);
                if (other == tag || !spot->isVisible())
                    continue;
                // Distance from the other spot's centre to the segment a-b.
                const QPointF c = centre(other), ab = b - a;
                const qreal t =
                    qBound(0.0, QPointF::dotProduct(c - a, ab) / QPointF::dotProduct(ab, ab), 1.0);
                const QPointF d = c - (a + t * ab);
                QVERIFY2(std::hypot(d.x(), d.y()) > spot->width() / 2 + 2,
                         qPrintable(tag + "'s pointer crosses " + other + "'s spot"));
            }
        }
        QCOMPARE(shown, labels);
    }

    // Opened to change the model, the choice is left unchanged with Esc.
    void modelChoiceIsLeftWithEsc()
    {
        QVERIFY(start(true, "QX210"));
        window()->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(window()));
        logic("return_choose");
        auto *choose = qobject_cast<QQuickItem *>(find("chooseVersion"));
        QVERIFY(choose && choose->property("canGoBack").toBool());
        choose->setProperty("selectedModel", "QX330");
        choose->forceActiveFocus();
        QTest::keyClick(window(), Qt::Key_Escape);
        QCOMPARE(page(), QString("connect"));
        QCOMPARE(find("connectDevice")->property("modelText").toString(), QString("QX210"));
    }

    void pickingWritesTheEntry_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("pageName");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("getter");
        QTest::addColumn<QString>("entry"); // name-index-tag as stored
        QTest::addColumn<bool>("labelShown");
        const auto row = [](const char *version, const char *page, int index, const char *getter,
                            const char *entry, bool labelShown) {
            QTest::newRow(qPrintable(QString("%1 %2").arg(entry, version)))
                << version << page << index << getter << entry << labelShown;
        };
        row("win10", "midKeyPage", 42, "GetMidKeyVal", "Windows menu-42-midKey", true);
        row("win8", "midKeyPage", 41, "GetMidKeyVal", "Windows menu-41-midKey", true);
        row("win8", "midWheelPage", 8, "GetMidWheelVal", "None-8-midWheel", false);
        row("win8", "sideWheelPage", 7, "GetSideWheel", "Stop-7-slideWheel", true);
    }
    void pickingWritesTheEntry()
    {
        QFETCH(QString, version);
        QFETCH(QString, pageName);
        QFETCH(int, index);
        QFETCH(QString, getter);
        QFETCH(QString, entry);
        QFETCH(bool, labelShown);
        QVERIFY(start(true, "QX210", version));
        QTRY_COMPARE(root->property("versionClass").toString(), version);
        const QStringList parts = entry.split('-');
        QCOMPARE(call(find(qPrintable(pageName)), "getIndexName", {index}).toString(), parts[0]);
        pick(qPrintable(pageName), index);
        QCOMPARE(
            stored(qPrintable(getter)),
            QString(R"({"index":"%1","name":"%2","tag":"%3"})").arg(parts[1], parts[0], parts[2]));
        QCOMPARE(this->labelShown(parts[2]), labelShown);
    }

    void parametersAreWrittenUnderTheShownItem()
    {
        QVERIFY(start(true, "QX210"));
        QObject *mid = find("midKeyPage");
        for (const QString text : {"a", "ab", "abc"}) {
            QMetaObject::invokeMethod(mid, "sigUsrIndexUrl", Q_ARG(int, 1), Q_ARG(QString, text));
            QCOMPARE(stored("GetMidWebUrl"), text);
        }
        // A chooser's answer, in its file URL form, for the side key's program.
        const QString url = "file:///home/me/My Programs/run.sh";
        QMetaObject::invokeMethod(find("sideDownKeyPage"), "sigUsrIndexUrl", Q_ARG(int, 4),
                                  Q_ARG(QString, url));
        QCOMPARE(stored("GetSliderDownAppPath"), url);
        QCOMPARE(stored("GetMidAppPath"), QString("NULL"));
        // Indexes without a text parameter (the speed's among them) write nothing.
        const QByteArray before = bytes(modelFile());
        for (int index : {6, 12})
            QMetaObject::invokeMethod(mid, "sigUsrIndexUrl", Q_ARG(int, index),
                                      Q_ARG(QString, "x"));
        QCOMPARE(bytes(modelFile()), before);
        QMetaObject::invokeMethod(mid, "sigUsrSpeed", Q_ARG(int, 1), Q_ARG(int, 7));
        QCOMPARE(stored("GetMidSelfSpeed"), QString("7"));
        // Picking another item loads its parameter into the panel and stores nothing
        // under the new item's key.
        pick("midKeyPage", 1);
        pick("midKeyPage", 2);
        QCOMPARE(stored("GetMidFilePath"), QString("NULL"));
        QCOMPARE(stored("GetMidWebUrl"), QString("abc"));
    }

    // Program sets from the connection page: adding from the open programs and from
    // a file, assigning, "Same as all programs", switching back and removing.
    void programSetsFromThePages()
    {
        platform::ProgramIcon icon{2, 1, {0xff112233u, 0x80ffffffu}};
        fakes.programs->setOpenPrograms({{"gimp", "GNU Image Manipulation Program", icon},
                                         {"firefox", "", {}}});
        writeIni(modelFile(), {{"SET/Mid_key", "Paste-14-midKey"}});
        QVERIFY(start(true, "QX210"));
        QTRY_COMPARE(labelText("midKey"), QString("Paste"));
        QObject *selector = find("programSelector");
        QMetaObject::invokeMethod(selector, "refreshCandidates");
        QCOMPARE(fakes.programs->lastIconSize(), 32);
        const QVariantList candidates = selector->property("candidates").toList();
        QCOMPARE(candidates.size(), 2);
        QCOMPARE(candidates[1].toMap()["name"].toString(), QString("firefox"));
        QVERIFY(candidates[0].toMap()["icon"].toString().startsWith("data:image/png;base64,"));

        QCOMPARE(addProgram(selector, "gimp", "GNU Image Manipulation Program"), 1);
        QCOMPARE(selector->property("selectedSection").toInt(), 1);
        QCOMPARE(selector->property("candidates").toList().size(), 1);
        QVERIFY(find("midKeyPage")->property("programSet").toBool());
        QVERIFY(find("midKeyPage")->property("sameSelected").toBool());
        // A control the set leaves to all programs shows what it does there.
        QVERIFY(labelShown("midKey"));
        QCOMPARE(labelText("midKey"), QString("Paste"));
        QCOMPARE(spotName("midKey"), QString("Middle key: Paste, same as all programs"));

        pick("midKeyPage", 12);
        QMetaObject::invokeMethod(find("rightKeyPage"), "sigUsrIndexUrl", Q_ARG(int, 1),
                                  Q_ARG(QString, "example.org"));
        QSettings file(modelFile(), QSettings::IniFormat);
        QCOMPARE(file.value("PROGRAM1/Mid_key").toString(), QString("Copy-12-midKey"));
        QCOMPARE(file.value("PROGRAM1/right_web_url").toString(), QString("example.org"));
        QCOMPARE(file.value("SET/Mid_key").toString(), QString("Paste-14-midKey"));
        QCOMPARE(labelText("midKey"), QString("Copy"));
        QCOMPARE(spotName("midKey"), QString("Middle key: Copy"));
        QMetaObject::invokeMethod(find("connectDevice"), "sigActionClicked",
                                  Q_ARG(QString, "mid_key_press"));
        auto *same = find("midKeyPage")->findChild<QQuickItem *>("sameItem");
        QVERIFY(same && same->isVisible());
        QMetaObject::invokeMethod(same, "picked");
        file.sync();
        QVERIFY(!file.contains("PROGRAM1/Mid_key"));
        QCOMPARE(spotName("midKey"), QString("Middle key: Paste, same as all programs"));

        // A program file: its file name, shown by its base name.
        int section = 0;
        QMetaObject::invokeMethod(selector, "addProgramFile", Q_RETURN_ARG(int, section),
                                  Q_ARG(QUrl, QUrl::fromLocalFile("/opt/apps/krita.appimage")));
        QCOMPARE(section, 2);
        QCOMPARE(selector->property("selectedName").toString(), QString("krita"));
        QCOMPARE(addProgram(selector, "a/b", ""), 0);
        QCOMPARE(nav()->property("infoText").toString(), QString("This program cannot be added"));

        QMetaObject::invokeMethod(selector, "select", Q_ARG(int, 0));
        QVERIFY(!find("midKeyPage")->property("programSet").toBool());
        QVERIFY(labelShown("midKey"));
        QCOMPARE(labelText("midKey"), QString("Paste"));
        // Removing asks first.
        QObject *bar = find("programBar");
        QMetaObject::invokeMethod(bar, "sigRemoveRequested", Q_ARG(int, 1), Q_ARG(QString, "GIMP"));
        QVERIFY(find("removeProgramBox"));
        QMetaObject::invokeMethod(find("removeProgramBox"), "sigCancleClicked");
        QCOMPARE(selector->property("entries").toList().size(), 3);
        QMetaObject::invokeMethod(bar, "sigRemoveRequested", Q_ARG(int, 1), Q_ARG(QString, "GIMP"));
        QMetaObject::invokeMethod(find("removeProgramBox"), "sigSureClicked");
        QVERIFY(!find("removeProgramBox"));
        QCOMPARE(selector->property("entries").toList().size(), 2); // All programs, krita
        file.sync();
        QCOMPARE(file.value("PROGRAM1/program").toString(), QString("krita.appimage"));
        QVERIFY(!file.contains("PROGRAM2/program"));
        // Another model has sets of its own.
        OpFunConfFile().SetCurrentMouse("QX330");
        QCOMPARE(selector->property("entries").toList().size(), 1);
    }

    // More programs than the bar shows: the selected one is brought into view, the
    // wheel moves along the others, and the arrow keys select the next one.
    void programsPastTheBarsWidthAreReached()
    {
        QVERIFY(start(true, "QX210"));
        QObject *selector = find("programSelector");
        for (int i = 1; i <= 12; ++i)
            QCOMPARE(addProgram(selector, QString("program%1").arg(i), ""), i);
        auto *chips = qobject_cast<QQuickItem *>(find("programChips"));
        const auto inView = [&](int section) {
            QQuickItem *chip = item(QString("programChip_%1").arg(section), chips);
            if (!chip) // a list makes only the entries near its view
                return false;
            const QRectF shown = chip->mapRectToItem(chips, {0, 0, chip->width(), chip->height()});
            return shown.left() >= 0 && shown.right() <= chips->width();
        };
        QTRY_VERIFY(inView(12));
        QVERIFY(!inView(1));
        QMetaObject::invokeMethod(selector, "select", Q_ARG(int, 1));
        QTRY_VERIFY(inView(1));
        const qreal before = chips->property("contentX").toReal();
        const QPointF at = chips->mapToScene({chips->width() / 2, chips->height() / 2});
        QWheelEvent wheel(at, at, {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QGuiApplication::sendEvent(chips->window(), &wheel);
        QVERIFY(chips->property("contentX").toReal() > before);
        auto *area = item("programChip_1", chips)->property("area").value<QQuickItem *>();
        area->forceActiveFocus();
        QTest::keyClick(chips->window(), Qt::Key_Right);
        QCOMPARE(selector->property("selectedSection").toInt(), 2);
        QCOMPARE(chips->window()->activeFocusItem(),
                 item("programChip_2", chips)->property("area").value<QQuickItem *>());
    }

    // Where the program in front cannot be known the selector says so, and turns
    // detection on only at the user's word, where the desktop can; its menu is
    // worked from the keyboard.
    void theSelectorSaysWhereNoProgramCanBeKnown()
    {
        using platform::ProgramDetection;
        fakes.programs->setDetection(ProgramDetection::NeedsEnabling);
        QVERIFY(start(true, "QX210"));
        QObject *selector = find("programSelector");
        QMetaObject::invokeMethod(find("programBar"), "openAddMenu");
        QVERIFY(find("detectionNotice")->property("visible").toBool());
        QVERIFY(find("enableDetection")->property("visible").toBool());
        QCOMPARE(fakes.programs->detection(), ProgramDetection::NeedsEnabling);
        auto *enable = qobject_cast<QQuickItem *>(find("enableDetectionArea"));
        QTRY_VERIFY(enable->window()->isExposed() && enable->width() > 0);
        // The keyboard starts on the first entry and moves as in a menu.
        QTRY_COMPARE(enable->window()->activeFocusItem(), enable);
        QTest::keyClick(enable->window(), Qt::Key_Down);
        QCOMPARE(enable->window()->activeFocusItem()->parentItem()->objectName(),
                 QString("chooseProgramFile"));
        QTest::keyClick(enable->window(), Qt::Key_Up);
        QCOMPARE(enable->window()->activeFocusItem(), enable);
        QQuickWindow *window = enable->window(); // the closed menu's items are in none
        QTest::keyClick(window, Qt::Key_Escape);
        QQuickItem *focused = window->activeFocusItem();
        QCOMPARE(focused ? focused->parentItem() : nullptr, item("addProgram"));
        QMetaObject::invokeMethod(find("programBar"), "openAddMenu");
        QTest::mouseClick(enable->window(), Qt::LeftButton, {},
                          enable->mapToScene({enable->width() / 2, enable->height() / 2}).toPoint());
        QCOMPARE(fakes.programs->detection(), ProgramDetection::Available);
        QVERIFY(!find("detectionNotice")->property("visible").toBool());

        fakes.programs->setDetection(ProgramDetection::Unavailable);
        QMetaObject::invokeMethod(selector, "refreshCandidates");
        QVERIFY(!selector->property("detectionNotice").toString().isEmpty());
        QVERIFY(!find("enableDetection")->property("visible").toBool());
    }

    void restoringWithProgramSets_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("defaultMidKey");
        QTest::addColumn<QString>("setRightKey"); // "" for none
        QTest::newRow("only the selected set") << "sigSureClicked" << "Paste-14-midKey" << "";
        QTest::newRow("everything") << "sigExtraClicked" << "none-48-midKey" << "";
        QTest::newRow("cancel") << "sigCancleClicked" << "Paste-14-midKey" << "Copy-12-rightKey";
    }
    void restoringWithProgramSets()
    {
        QFETCH(QString, answer);
        QFETCH(QString, defaultMidKey);
        QFETCH(QString, setRightKey);
        writeIni(modelFile(), {{"SET/isConf", "Y"},
                               {"SET/Mid_key", "Paste-14-midKey"},
                               {"PROGRAMS/count", "1"},
                               {"PROGRAM1/program", "gimp"},
                               {"PROGRAM1/name", "GIMP"},
                               {"PROGRAM1/Right_key", "Copy-12-rightKey"}});
        QVERIFY(start(true, "QX210"));
        QMetaObject::invokeMethod(find("programSelector"), "select", Q_ARG(int, 1));
        QTRY_COMPARE(labelText("rightKey"), QString("Copy"));
        QMetaObject::invokeMethod(find("connectDevice"), "sigLogicClicked",
                                  Q_ARG(QString, "default_set"));
        QVERIFY(!find("restoreBox"));
        QVERIFY(find("restoreScopeBox"));
        QVERIFY(find("restoreScopeBox")->property("text").toString().contains("\"GIMP\""));
        QMetaObject::invokeMethod(find("restoreScopeBox"), qPrintable(answer));
        QVERIFY(!nav()->property("darkCover").toBool());
        QSettings file(modelFile(), QSettings::IniFormat);
        QCOMPARE(file.value("SET/Mid_key").toString(), defaultMidKey);
        QCOMPARE(file.value("PROGRAM1/Right_key").toString(), setRightKey);
        QCOMPARE(file.value("PROGRAM1/program").toString(), QString("gimp"));
        QCOMPARE(labelShown("rightKey"), !setRightKey.isEmpty());
    }

    void anotherProgramsChangeIsShown_data()
    {
        QTest::addColumn<bool>("ofTheModel");
        QTest::addColumn<QString>("away"); // the page shown meanwhile, if any
        QTest::newRow("an entry") << false << "";
        QTest::newRow("the chosen model") << true << "";
        QTest::newRow("the chosen model, on the About page") << true << "QXAbout";
    }
    void anotherProgramsChangeIsShown()
    {
        QFETCH(bool, ofTheModel);
        QFETCH(QString, away);
        SettingsChanges::instance().setEnabled(true, 50);
        writeIni(modelFile(), {{"SET/isConf", "Y"}, {"SET/Mid_key", "Copy-12-midKey"}});
        writeIni(appenv::modelSettingsPath("QX330"),
                 {{"SET/isConf", "Y"}, {"SET/Mid_key", "Paste-14-midKey"}});
        QVERIFY(start(true, "QX210"));
        QTRY_COMPARE(labelText("midKey"), QString("Copy"));
        if (!away.isEmpty())
            QMetaObject::invokeMethod(nav(), "handle", Q_ARG(QString, away));
        QSignalSpy seen(&SettingsChanges::instance(), &SettingsChanges::changedElsewhere);
        const QString file = ofTheModel ? appenv::mainSettingsPath() : modelFile();
        QVERIFY(replaceFile(file, ofTheModel
                                      ? bytes(file).replace("QX210", "QX330")
                                      : bytes(file).replace("Copy-12-midKey", "Paste-14-midKey")));
        if (!away.isEmpty()) { // seen there, shown on the way back
            QTRY_COMPARE(seen.count(), 1);
            QMetaObject::invokeMethod(nav(), "handle", Q_ARG(QString, "hide_about"));
        }
        QTRY_COMPARE(labelText("midKey"), QString("Paste"));
        QTRY_COMPARE(nav()->property("currentModel").toString(),
                     QString(ofTheModel ? "QX330" : "QX210"));
        SettingsChanges::instance().setEnabled(false);
    }
    // The selected set removed by another program: the page goes back to all
    // programs, and the next pick is stored there, not in the vanished section.
    void theSelectionFollowsItsProgramWhenSetsChangeElsewhere()
    {
        SettingsChanges::instance().setEnabled(true, 50);
        const QMap<QString, QString> all{{"SET/isConf", "Y"}, {"SET/Mid_key", "Paste-14-midKey"}};
        QMap<QString, QString> gimpOnly = all;
        gimpOnly.insert({{"PROGRAMS/count", "1"},
                         {"PROGRAM1/program", "gimp"},
                         {"PROGRAM1/name", "GIMP"},
                         {"PROGRAM1/Mid_key", "Copy-12-midKey"}});
        QMap<QString, QString> vimFirst = all;
        vimFirst.insert({{"PROGRAMS/count", "2"},
                         {"PROGRAM1/program", "vim"},
                         {"PROGRAM2/program", "gimp"},
                         {"PROGRAM2/name", "GIMP"},
                         {"PROGRAM2/Mid_key", "Copy-12-midKey"}});
        writeIni(modelFile(), vimFirst);
        QVERIFY(start(true, "QX210"));
        QObject *selector = find("programSelector");
        QMetaObject::invokeMethod(selector, "select", Q_ARG(int, 2));
        QTRY_COMPARE(labelText("midKey"), QString("Copy"));
        // An earlier set removed: the selection follows GIMP's set down a section.
        writeIni(modelFile() + ".new", gimpOnly);
        QVERIFY(replaceFile(modelFile(), bytes(modelFile() + ".new")));
        QTRY_COMPARE(selector->property("selectedSection").toInt(), 1);
        QCOMPARE(labelText("midKey"), QString("Copy"));
        // The selected set removed: all programs.
        writeIni(modelFile() + ".new2", all);
        QVERIFY(replaceFile(modelFile(), bytes(modelFile() + ".new2")));
        QTRY_COMPARE(labelText("midKey"), QString("Paste"));
        QCOMPARE(selector->property("selectedSection").toInt(), 0);
        pick("midKeyPage", 12);
        QSettings file(modelFile(), QSettings::IniFormat);
        QCOMPARE(file.value("SET/Mid_key").toString(), QString("Copy-12-midKey"));
        QVERIFY(file.childGroups().filter("PROGRAM").isEmpty());
        SettingsChanges::instance().setEnabled(false);
    }

    void storedConfigurationIsShownWithoutWriting()
    {
        writeIni(modelFile(), {{"SET/Mid_key", "Open Web page-1-midKey"},
                               {"SET/Right_key", "None-48-rightKey"},
                               {"SET/Side_wheel", "Scroll horizontally-1"},
                               {"SET/Side_upkey", "Beyond-99-slideUpKey"},
                               {"SET/Mid_wheel", "Volume control-0-midWheel"},
                               {"SET/Side_downkey", "Media Player--slideDownKey"},
                               {"PATH/mid_web_url", "example.com"}});
        const QByteArray before = bytes(modelFile());
        QVERIFY(start(true, "QX210"));
        QTRY_VERIFY(labelShown("midKey"));
        QCOMPARE(labelText("midKey"), QString("Open Web page"));
        QVERIFY(labelShown("midWheel"));
        QVERIFY(!labelShown("rightKey"));
        // Entries that cannot be used read as "None", as the agent reads them: no
        // label, "None" marked in the list.
        QVERIFY(!labelShown("slideWheel")); // no three parts
        QVERIFY(!labelShown("slideUpKey")); // no such index
        QVERIFY(!labelShown("slideDownKey")); // no index
        QCOMPARE(find("sideDownKeyPage")->property("usrCurrentIndex").toInt(), 48);
        QCOMPARE(find("sideUpKeyPage")->property("usrCurrentIndex").toInt(), 48);
        QCOMPARE(find("midKeyPage")->property("usrCurrentIndex").toInt(), 1);
        QCOMPARE(bytes(modelFile()), before);
    }
};

QTEST_MAIN(TestMainPage)
#include "tst_mainpage.moc"
