// The key and wheel lists driven on their own in a window: picks per version
// class, detail panels, typing, choosers, stored values, and the rules behind.
#include "appenv.h"
#include "assignmentrules.h"
#include "catalogue.h"
#include "configuratorapp.h"
#include "opfunconffile.h"
#include "typeregistry.h"

#include <QtTest>

#include <QApplication>
#include <QFileDialog>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSettings>
#include <QTranslator>

#include <memory>

using platform::SystemFamily;
Q_DECLARE_METATYPE(SystemFamily)

namespace {
QVariant call(QObject *object, const char *function, const QVariantList &args = {})
{
    QVariant result;
    QGenericArgument a[3];
    for (int i = 0; i < args.size(); ++i)
        a[i] = Q_ARG(QVariant, args[i]);
    const bool ok = QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result),
                                              a[0], a[1], a[2]);
    if (!ok)
        qFatal("no function %s", function);
    return result;
}

QObject *child(QObject *root, const QString &name)
{
    QObject *found = root->findChild<QObject *>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}

using Emissions = QList<QVariantList>;
Emissions emissions(const QSignalSpy &spy)
{
    return Emissions(spy.begin(), spy.end());
}
} // namespace

class TestAssignmentLists : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    QString modelFile;
    std::unique_ptr<QQuickView> view;

    // A list document in a window, trimmed for a version class as the main page
    // trims it.
    QQuickItem *show(const QString &document, const QString &versionClass = "win10")
    {
        view = std::make_unique<QQuickView>();
        view->setSource(QUrl("qrc:/ability/" + document + ".qml"));
        QQuickItem *page = view->rootObject();
        if (!page)
            qFatal("%s", qPrintable(view->errors().value(0).toString()));
        AssignmentRules rules;
        const bool key = document == "MouseKeyPress";
        const QVariantList removed = key ? rules.removedKeyPositions(versionClass)
                                         : rules.removedWheelPositions(versionClass);
        for (const QVariant &position : removed)
            call(page, key ? "f_removeItem" : "removeWheelItem", {position});
        call(page, key ? "refreshListModelCount" : "refreshWheelItemCount");
        view->resize(600, 460);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            qFatal("window not exposed");
        return page;
    }

    // The entry of the list at `index`, scrolled into view; its centre.
    QPoint entryCentre(QQuickItem *page, int index)
    {
        QObject *list = child(page, "list");
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, index), Q_ARG(int, 0));
        QQuickItem *entry = nullptr;
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, entry),
                                  Q_ARG(int, index));
        if (!entry)
            qFatal("no entry %d", index);
        return entry->mapToScene(QPointF(entry->width() / 2, entry->height() / 2)).toPoint();
    }

    // The list positions whose entry carries the check mark.
    QList<int> markedEntries(QQuickItem *page)
    {
        QList<int> marked;
        for (int i = 0; !call(page, "getIndexName", {i}).toString().isEmpty(); ++i) {
            entryCentre(page, i);
            QQuickItem *entry = nullptr;
            QMetaObject::invokeMethod(child(page, "list"), "itemAtIndex",
                                      Q_RETURN_ARG(QQuickItem *, entry), Q_ARG(int, i));
            if (entry->property("selectState").toString() == "pressed")
                marked << i;
        }
        return marked;
    }

    int indexOf(QQuickItem *page, const QString &text)
    {
        const int count =
            page->property(page->property("itemCount").isValid() ? "itemCount" : "issueCount")
                .toInt();
        for (int i = 0; i < count; ++i)
            if (call(page, "getIndexName", {i}).toString() == text)
                return i;
        return -1;
    }

    void pick(QQuickItem *page, const QString &text)
    {
        QTest::mouseClick(view.get(), Qt::LeftButton, {}, entryCentre(page, indexOf(page, text)));
    }

    void store(const QString &key, const QString &value)
    {
        QSettings model(modelFile, QSettings::IniFormat);
        model.setValue(key, value);
    }

    QByteArray modelBytes() const
    {
        QFile file(modelFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("absent");
    }

private slots:
    void initTestCase()
    {
        initConfiguratorResources();
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
        registerConfiguratorTypes();
        appenv::setApplicationDir(folder.path());
        QDir(folder.path()).mkpath("system");
        QSettings(appenv::mainSettingsPath(), QSettings::IniFormat).setValue("SET/mouse", "QX210");
        modelFile = appenv::modelSettingsPath("QX210");
    }
    void cleanup() { view.reset(); }
    void cleanupTestCase() { appenv::setApplicationDir(QString()); }

    // The lists the pages show are the ones the agent numbers its functions by,
    // and a pick reports the position and text of the entry under the pointer.
    void pickPerVersionClass_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("versionClass");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("panel");
        auto row = [](const char *name, const char *doc, const char *version, const char *text,
                      const char *tag, const char *entry, int width, int panel) {
            QTest::newRow(name) << doc << version << text << tag << entry << width << panel;
        };
        row("menu win10", "MouseKeyPress", "win10", "Windows menu", "midKey",
            "Windows menu-42-midKey", 310, 0);
        row("menu win8", "MouseKeyPress", "win8", "Windows menu", "midKey",
            "Windows menu-41-midKey", 310, 0);
        row("none win10", "MouseKeyPress", "win10", "None", "rightKey", "None-48-rightKey", 310, 0);
        row("none win8", "MouseKeyPress", "win8", "None", "rightKey", "None-47-rightKey", 310, 0);
        row("none other class", "MouseKeyPress", "xp", "None", "rightKey", "None-48-rightKey", 310,
            0);
        row("after removed", "MouseKeyPress", "win7", "Run", "slideUpKey", "Run-38-slideUpKey", 310,
            0);
        row("web page", "MouseKeyPress", "win8", "Open Web page", "midKey",
            "Open Web page-1-midKey", 580, 1);
        row("sound", "MouseKeyPress", "win10", "Play sound", "slideDownKey",
            "Play sound-5-slideDownKey", 580, 5);
        row("speed", "MouseKeyPress", "win10", "Mouse speed", "midKey", "Mouse speed-6-midKey", 580,
            6);
        row("wheel none win10", "MouseWheelAction", "win10", "None", "midWheel", "None-9-midWheel",
            310, 0);
        row("wheel none win8", "MouseWheelAction", "win8", "None", "slideWheel",
            "None-8-slideWheel", 310, 0);
        row("wheel win8", "MouseWheelAction", "win8", "Brightness control", "midWheel",
            "Brightness control-2-midWheel", 310, 0);
    }
    void pickPerVersionClass()
    {
        QFETCH(QString, document);
        QFETCH(QString, versionClass);
        QFETCH(QString, text);
        QFETCH(QString, tag);
        QFETCH(QString, entry);
        QFETCH(int, width);
        QFETCH(int, panel);
        QQuickItem *page = show(document, versionClass);
        const bool key = document == "MouseKeyPress";
        QStringList texts;
        while (texts.size() < 60 &&
               !call(page, "getIndexName", {texts.size()}).toString().isEmpty())
            texts << call(page, "getIndexName", {texts.size()}).toString();
        QCOMPARE(texts, catalogue::pageTexts(key ? catalogue::List::Keys : catalogue::List::Wheels,
                                             versionClass, false));
        QCOMPARE(page->property(key ? "itemCount" : "issueCount").toInt(), texts.size());

        QSignalSpy picked(page, key ? SIGNAL(sigSelItemIndex(int, QString))
                                    : SIGNAL(sigSelIssue(int, QString)));
        const QPoint at = entryCentre(page, indexOf(page, text));
        QTest::mousePress(view.get(), Qt::LeftButton, {}, at);
        QCOMPARE(picked.count(), key ? 0 : 1); // keys pick on release, wheels on press
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, at);
        QCOMPARE(picked.count(), 1);
        const int index = picked[0][0].toInt();
        QCOMPARE(AssignmentRules().entryText(picked[0][1].toString(), index, tag), entry);
        QCOMPARE(page->property("titleText").toString(), text);
        QCOMPARE(int(page->width()), width);
        if (key) {
            QCOMPARE(page->property("usrCurrentIndex").toInt(), index);
            for (int p = 1; p <= 6; ++p)
                QCOMPARE(child(page, QString("panel%1").arg(p))->property("visible").toBool(),
                         p == panel);
            if (panel >= 1 && panel <= 5)
                QCOMPARE(child(child(page, QString("panel%1").arg(panel)), "add")
                             ->property("visible")
                             .toBool(),
                         panel != 1);
        }
    }

    // Only the user's typing is reported, always under the panel on show.
    void typingReportsTheShownPanel_data()
    {
        QTest::addColumn<QString>("picked");
        QTest::addColumn<int>("shownByStore"); // keyIsSelectItem after the pick; 0 for none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Emissions>("expected");
        QTest::newRow("web address")
            << "Open Web page" << 0 << "abc" << Emissions{{1, "a"}, {1, "ab"}, {1, "abc"}};
        QTest::newRow("stored item shown after the pick")
            << "Open Web page" << 5 << "x" << Emissions{{5, "file:///C:/a.wavx"}};
    }
    void typingReportsTheShownPanel()
    {
        QFETCH(QString, picked);
        QFETCH(int, shownByStore);
        QFETCH(QString, typed);
        QFETCH(Emissions, expected);
        store("PATH/mid_sound_path", "file:///C:/a.wav");
        QQuickItem *page = show("MouseKeyPress");
        QSignalSpy edits(page, SIGNAL(sigUsrIndexUrl(int, QString)));
        pick(page, picked);
        if (shownByStore) {
            call(page, "keyIsSelectItem", {shownByStore, "midKey"});
            QQuickItem *input = qobject_cast<QQuickItem *>(
                child(child(page, QString("panel%1").arg(shownByStore)), "input"));
            input->forceActiveFocus();
            input->setProperty("cursorPosition", input->property("length"));
        }
        for (QChar c : typed)
            QTest::keyClick(view.get(), c.toLatin1());
        QCOMPARE(emissions(edits), expected);
    }

    // Loading a stored value fills the panel and reports and writes nothing.
    void loadingStoredValues_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown"); // "panelN/input" text, or "slider=value"
        QTest::newRow("web address") << "midKey" << 1 << "mid_web_url"
                                     << "example.com"
                                     << "example.com";
        QTest::newRow("file") << "rightKey" << 2 << "right_file_path"
                              << "file:///C:/a.txt"
                              << "file:///C:/a.txt";
        QTest::newRow("folder") << "slideDownKey" << 3 << "slider_down_folder_path"
                                << "file:///D:/x"
                                << "file:///D:/x";
        QTest::newRow("missing") << "slideUpKey" << 4 << "slider_up_sound_path" << QString() << "";
        QTest::newRow("speed") << "midKey" << 6 << "mid_main_speed"
                               << "7"
                               << "mainSlider=7";
        QTest::newRow("speed none") << "midKey" << 6 << "mid_main_speed"
                                    << "none"
                                    << "mainSlider=3";
        QTest::newRow("speed NULL") << "rightKey" << 6 << "right_self_speed"
                                    << "NULL"
                                    << "selfSlider=3";
    }
    void loadingStoredValues()
    {
        QFETCH(QString, tag);
        QFETCH(int, index);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFile::remove(modelFile);
        if (!stored.isNull())
            store("PATH/" + key, stored);
        QQuickItem *page = show("MouseKeyPress");
        for (const char *slider : {"mainSlider", "selfSlider"})
            child(page, slider)->setProperty("value", 3);
        const QByteArray before = modelBytes();
        QSignalSpy edits(page, SIGNAL(sigUsrIndexUrl(int, QString)));
        QSignalSpy speeds(page, SIGNAL(sigUsrSpeed(int, int)));
        QSignalSpy picks(page, SIGNAL(sigSelItemIndex(int, QString)));

        // A stored entry's index may arrive as text.
        call(page, "keyIsSelectItem", {index == 3 ? QVariant("3") : QVariant(index), tag});
        if (shown.contains('=')) {
            QCOMPARE(child(page, shown.section('=', 0, 0))->property("value").toInt(),
                     shown.section('=', 1).toInt());
        } else {
            QCOMPARE(child(child(page, QString("panel%1").arg(index)), "input")
                         ->property("text")
                         .toString(),
                     shown);
        }
        QCOMPARE(child(page, QString("panel%1").arg(index))->property("visible").toBool(), true);
        QCOMPARE(markedEntries(page), QList<int>{index});
        view.reset();
        QCOMPARE(edits.count() + speeds.count() + picks.count(), 0);
        QCOMPARE(modelBytes(), before);
    }

    // The first move of a slider is the user's like every other.
    void sliderMovesReportTheirSpeed()
    {
        QQuickItem *page = show("MouseKeyPress");
        QSignalSpy speeds(page, SIGNAL(sigUsrSpeed(int, int)));
        pick(page, "Mouse speed");
        for (const char *name : {"mainSlider", "selfSlider"}) {
            auto *slider = qobject_cast<QQuickItem *>(child(page, name));
            slider->forceActiveFocus();
            QTest::keyClick(view.get(), Qt::Key_Right);
        }
        QCOMPARE(emissions(speeds), (Emissions{{0, 2}, {1, 2}}));
    }

    // A chooser's answer goes into the panel it was opened from, as a file URL.
    void chooserAnswerIsStoredAsFileUrl()
    {
        QQuickItem *page = show("MouseKeyPress");
        pick(page, "Open application");
        QSignalSpy edits(page, SIGNAL(sigUsrIndexUrl(int, QString)));
        QObject *dialog = child(page, "fileDialog");
        QMetaObject::invokeMethod(child(child(page, "panel4"), "add"), "clicked");
        QCOMPARE(dialog->property("visible").toBool(), true);
        const QString program = folder.path() + "/My Apps/run#1";
        QDir().mkpath(folder.path() + "/My Apps");
        QFile(program).open(QIODevice::WriteOnly);
        QFileDialog *widget = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            widget = widget ? widget : qobject_cast<QFileDialog *>(top);
        QVERIFY(widget);
        QCOMPARE(widget->directory().absolutePath(), QDir::homePath());
        QCOMPARE(widget->nameFilters(), QStringList{"All files (*)"});
        widget->selectFile(program);
        QMetaObject::invokeMethod(widget, "accept");
        const QString stored = "file://" + folder.path() + "/My Apps/run%231";
        QCOMPARE(emissions(edits), (Emissions{{4, stored}}));
        QCOMPARE(child(child(page, "panel4"), "input")->property("text").toString(), stored);
    }

    // Texts on screen come from the catalogue, the appended "None" too.
    void chineseTexts()
    {
        QTranslator translator;
        QVERIFY(translator.load(":/VelkoOptions_zh_CN.qm"));
        QCoreApplication::installTranslator(&translator);
        QQuickItem *keys = show("MouseKeyPress");
        const QStringList chinese = catalogue::pageTexts(catalogue::List::Keys, "win10", true);
        QCOMPARE(call(keys, "getIndexName", {12}).toString(), chinese[12]);
        QCOMPARE(call(keys, "getIndexName", {48}).toString(), chinese[48]);
        QQuickItem *wheels = show("MouseWheelAction");
        QCOMPARE(call(wheels, "getIndexName", {9}).toString(),
                 catalogue::pageTexts(catalogue::List::Wheels, "win10", true)[9]);
        QCoreApplication::removeTranslator(&translator);
    }

    void accessorNames_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("speedType");
        QTest::addColumn<QString>("setter");
        QTest::addColumn<QString>("getter");
        QTest::newRow("web") << "midKey" << 1 << 0 << "SetMidWebUrl"
                             << "GetMidWebUrl";
        QTest::newRow("folder") << "slideDownKey" << 3 << 0 << "SetSliderDownFolderPath"
                                << "GetSliderDownFloderPath";
        QTest::newRow("sound") << "slideUpKey" << 5 << 0 << "SetSliderUpSoundPath"
                               << "GetSliderUpSoundPath";
        QTest::newRow("own speed") << "rightKey" << 6 << 1 << "SetRightSelfSpeed"
                                   << "GetRightSelfSpeed";
        QTest::newRow("no panel") << "midKey" << 7 << 0 << ""
                                  << "";
        QTest::newRow("speed type") << "midKey" << 6 << 2 << ""
                                    << "";
        QTest::newRow("wheel") << "midWheel" << 1 << 0 << ""
                               << "";
    }
    void accessorNames()
    {
        QFETCH(QString, tag);
        QFETCH(int, index);
        QFETCH(int, speedType);
        QFETCH(QString, setter);
        QFETCH(QString, getter);
        QCOMPARE(assignment::setterName(tag, index, speedType), setter);
        QCOMPARE(assignment::getterName(tag, index, speedType), getter);
        const QMetaObject &conf = OpFunConfFile::staticMetaObject;
        if (!setter.isEmpty()) {
            QVERIFY(conf.indexOfMethod(qPrintable(setter + "(QString)")) >= 0);
            QVERIFY(conf.indexOfMethod(qPrintable(getter + "()")) >= 0);
        }
    }

    void choosers_data()
    {
        QTest::addColumn<SystemFamily>("family");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("picksFolder");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("filters");
        const SystemFamily win = SystemFamily::Windows, other = SystemFamily::Other;
        QTest::newRow("win file") << win << 2 << false << "file:///C:/Windows/"
                                  << QStringList{"*.*"};
        QTest::newRow("win folder") << win << 3 << true << "file:///C:/Windows/" << QStringList{};
        QTest::newRow("win program") << win << 4 << false << "file:///C:/Program Files (x86)/"
                                     << QStringList{"Program (*.exe)", "All files (*)"};
        QTest::newRow("win sound") << win << 5 << false << "file:///C:/Windows/Media"
                                   << QStringList{"sound files (*.wav *.mp3)"};
        QTest::newRow("other folder") << other << 3 << true << "file:///home/u" << QStringList{};
        QTest::newRow("other program")
            << other << 4 << false << "file:///home/u" << QStringList{"All files (*)"};
        QTest::newRow("other sound") << other << 5 << false << "file:///home/u/Music"
                                     << QStringList{"sound files (*.wav *.mp3)"};
        QTest::newRow("web address") << win << 1 << false << "" << QStringList{};
    }
    void choosers()
    {
        QFETCH(SystemFamily, family);
        QFETCH(int, index);
        QFETCH(bool, picksFolder);
        QFETCH(QString, start);
        QFETCH(QStringList, filters);
        const assignment::Chooser chooser =
            assignment::chooserFor(index, family, "/home/u", "/home/u/Music");
        QCOMPARE(chooser.picksFolder, picksFolder);
        QCOMPARE(chooser.startFolder.toString(), start);
        QCOMPARE(chooser.nameFilters, filters);
    }

    void storedForms_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("answer"); // chooserAnswer of the input as a URL
        QTest::addColumn<int>("speed");      // speedFromStored of the input
        QTest::newRow("windows program") << "file:///C:/Program Files (x86)/A/a.exe"
                                         << "file:///C:/Program Files (x86)/A/a.exe" << 0;
        QTest::newRow("percent kept") << "file:///home/u/100%25.wav"
                                      << "file:///home/u/100%25.wav" << 0;
        QTest::newRow("not local") << "https://example.com/a"
                                   << "" << 0;
        QTest::newRow("none") << "none"
                              << "" << 0;
        QTest::newRow("speed") << "7"
                               << "" << 7;
        QTest::newRow("too fast") << "25"
                                  << "" << 20;
        QTest::newRow("too slow") << "0"
                                  << "" << 1;
    }
    void storedForms()
    {
        QFETCH(QString, input);
        QFETCH(QString, answer);
        QFETCH(int, speed);
        QCOMPARE(assignment::chooserAnswer(QUrl(input)), answer);
        QCOMPARE(assignment::speedFromStored(input), speed);
    }
};

QTEST_MAIN(TestAssignmentLists)
#include "tst_assignmentlists.moc"
