// The key and wheel lists driven on their own in a window: picks per version
// class, detail panels, typing, choosers, stored values, and the rules behind.
#include "appenv.h"
#include "assignmentrules.h"
#include "catalogue.h"
#include "configuratorapp.h"
#include "opfunconffile.h"
#include "typeregistry.h"

#include "qmlwarninggate.h"

#include <QtTest>

#include <QApplication>
#include <QQuickItem>
#include <QQuickView>
#include <QSettings>
#include <QTranslator>

#include <cmath>
#include <memory>

namespace {
QVariant call(QObject *object, const char *function, const QVariantList &args = {})
{
    QVariant result;
    QGenericArgument a[2];
    for (int i = 0; i < args.size(); ++i)
        a[i] = Q_ARG(QVariant, args[i]);
    if (!QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result), a[0], a[1]))
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

QString panel(int index)
{
    return QString("panel%1").arg(index);
}

// A table row packed as "a;b;c".
QStringList cells(const char *row)
{
    return QString(row).split(';');
}

using Emissions = QList<QVariantList>;
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
        const bool key = document == "MouseKeyPress";
        AssignmentRules rules;
        const QVariant items = key ? rules.keyItems(versionClass) : rules.wheelItems(versionClass);
        call(page, "loadItems", {items});
        view->resize(600, 460);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            qFatal("window not exposed");
        return page;
    }

    QStringList texts(QQuickItem *page)
    {
        QStringList texts;
        while (!call(page, "getIndexName", {texts.size()}).toString().isEmpty())
            texts << call(page, "getIndexName", {texts.size()}).toString();
        return texts;
    }

    // The list's entry at `index`, scrolled into view.
    QQuickItem *entry(QQuickItem *page, int index)
    {
        QObject *list = child(page, "list");
        QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, index), Q_ARG(int, 0));
        QQuickItem *entry = nullptr;
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, entry),
                                  Q_ARG(int, index));
        if (!entry)
            qFatal("no entry %d", index);
        return entry;
    }

    QPoint centre(QQuickItem *item)
    {
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }

    void pick(QQuickItem *page, const QString &text)
    {
        QTest::mouseClick(view.get(), Qt::LeftButton, {},
                          centre(entry(page, texts(page).indexOf(text))));
    }

    QList<int> markedEntries(QQuickItem *page)
    {
        QList<int> marked;
        for (int i = 0; i < texts(page).size(); ++i)
            if (entry(page, i)->property("selectState").toString() == "pressed")
                marked << i;
        return marked;
    }

    void store(const QString &key, const QString &value)
    {
        QSettings(modelFile, QSettings::IniFormat).setValue(key, value);
    }

    QByteArray modelBytes() const
    {
        QFile file(modelFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("absent");
    }

private slots:
    void initTestCase()
    {
        qmlgate::install();
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

    // Opened again, the key list shows its marked entry, here the last one ("None"),
    // and its top row whole.
    void reopenedListShowsItsMark()
    {
        QQuickItem *page = show("MouseKeyPress");
        const int last = texts(page).size() - 1;
        call(page, "keyIsSelectItem", {last, "midKey"});
        page->setVisible(false);
        page->setVisible(true);
        auto *list = qobject_cast<QQuickItem *>(child(page, "list"));
        QQuickItem *marked = nullptr;
        QTRY_VERIFY(QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, marked),
                                              Q_ARG(int, last)) && marked);
        const qreal top = marked->y() - list->property("contentY").toReal();
        QVERIFY2(top >= 0 && top + marked->height() <= list->height(), qPrintable(QString::number(top)));
        QCOMPARE(std::fmod(list->property("contentY").toReal(), marked->height()), 0.0);
    }

    // The lists the pages show are the ones the agent numbers its functions by;
    // a pick reports the position and text of the entry under the pointer.
    void pickPerVersionClass_data()
    {
        QTest::addColumn<QStringList>("row"); // list;class;tag;entry;width;panel
        for (const char *row :
             {"K;win10;midKey;Windows menu-42-midKey;310;0",
              "K;win8;rightKey;None-47-rightKey;310;0",
              "K;win8;midKey;Open Web page-1-midKey;580;1",
              "K;win10;slideDownKey;Play sound-5-slideDownKey;580;5",
              "K;win10;midKey;Mouse speed-6-midKey;580;6",
              "W;win8;slideWheel;None-8-slideWheel;310;0",
              "W;win8;midWheel;Brightness control-2-midWheel;310;0"})
            QTest::newRow(row) << cells(row);
    }
    void pickPerVersionClass()
    {
        QFETCH(QStringList, row);
        const bool key = row[0] == "K";
        const int panelShown = row[5].toInt();
        QQuickItem *page = show(key ? "MouseKeyPress" : "MouseWheelAction", row[1]);
        const QStringList shown = texts(page);
        QCOMPARE(shown, catalogue::pageTexts(key ? catalogue::List::Keys : catalogue::List::Wheels,
                                             row[1], false));
        QCOMPARE(page->property(key ? "itemCount" : "issueCount").toInt(), shown.size());

        QSignalSpy picked(page, key ? SIGNAL(sigSelItemIndex(int, QString))
                                    : SIGNAL(sigSelIssue(int, QString)));
        const QString text = row[3].section('-', 0, -3);
        const QPoint at = centre(entry(page, shown.indexOf(text)));
        QTest::mousePress(view.get(), Qt::LeftButton, {}, at);
        QCOMPARE(picked.count(), key ? 0 : 1); // keys pick on release, wheels on press
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, at);
        QCOMPARE(picked.count(), 1);
        const int index = picked[0][0].toInt();
        QCOMPARE(assignment::entryText(picked[0][1].toString(), index, row[2]), row[3]);
        if (text == "None")
            QCOMPARE(index, key ? AssignmentRules().keyNoneIndex(row[1])
                                : AssignmentRules().wheelNoneIndex(row[1]));
        QCOMPARE(page->property("titleText").toString(), text);
        QCOMPARE(markedEntries(page), QList<int>{index});
        QCOMPARE(int(page->width()), row[4].toInt());
        if (!key)
            return;
        QCOMPARE(page->property("usrCurrentIndex").toInt(), index);
        for (int p = 1; p <= 6; ++p) { // made when shown only
            QObject *made = page->findChild<QObject *>(panel(p));
            QCOMPARE(made && made->property("visible").toBool(), p == panelShown);
        }
        if (panelShown >= 1 && panelShown <= 5)
            QCOMPARE(child(child(page, panel(panelShown)), "add")->property("visible").toBool(),
                     panelShown != 1);
    }

    // Only the user's typing is reported, always under the panel on show.
    void typingReportsTheShownPanel_data()
    {
        QTest::addColumn<int>("shownByStore"); // keyIsSelectItem after the pick; 0 for none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Emissions>("expected");
        QTest::newRow("web address") << 0 << "abc" << Emissions{{1, "a"}, {1, "ab"}, {1, "abc"}};
        QTest::newRow("stored sound shown after the pick")
            << 5 << "x" << Emissions{{5, "file:///C:/a.wavx"}};
    }
    void typingReportsTheShownPanel()
    {
        QFETCH(int, shownByStore);
        QFETCH(QString, typed);
        QFETCH(Emissions, expected);
        store("PATH/mid_sound_path", "file:///C:/a.wav");
        QQuickItem *page = show("MouseKeyPress");
        QSignalSpy edits(page, SIGNAL(sigUsrIndexUrl(int, QString)));
        pick(page, "Open Web page");
        if (shownByStore) {
            call(page, "keyIsSelectItem", {shownByStore, "midKey"});
            qobject_cast<QQuickItem *>(child(child(page, panel(shownByStore)), "input"))
                ->forceActiveFocus();
        }
        for (QChar c : typed)
            QTest::keyClick(view.get(), c.toLatin1());
        QCOMPARE(Emissions(edits.begin(), edits.end()), expected);
    }

    // Loading a stored value fills the panel, marks the entry, and reports and
    // writes nothing.
    void loadingStoredValues_data()
    {
        // tag;index;key;stored ("-": none);shown (the input's text, or slider=value)
        QTest::addColumn<QStringList>("row");
        for (const char *row :
             {"midKey;1;mid_web_url;example.com;example.com",
              "slideDownKey;3;slider_down_folder_path;file:///D:/x;file:///D:/x",
              "slideUpKey;4;slider_up_sound_path;-;", "midKey;6;mid_main_speed;7;mainSlider=7",
              "rightKey;6;right_self_speed;NULL;selfSlider=1"})
            QTest::newRow(row) << cells(row);
    }
    void loadingStoredValues()
    {
        QFETCH(QStringList, row);
        const int index = row[1].toInt();
        QFile::remove(modelFile);
        if (row[3] != "-")
            store("PATH/" + row[2], row[3]);
        QQuickItem *page = show("MouseKeyPress");
        const QByteArray before = modelBytes();
        QSignalSpy edits(page, SIGNAL(sigUsrIndexUrl(int, QString)));
        QSignalSpy speeds(page, SIGNAL(sigUsrSpeed(int, int)));
        QSignalSpy picks(page, SIGNAL(sigSelItemIndex(int, QString)));

        // A stored entry's index may arrive as text.
        call(page, "keyIsSelectItem", {index == 3 ? QVariant(row[1]) : QVariant(index), row[0]});
        const QString shown = row[4];
        if (shown.contains('='))
            QCOMPARE(child(page, shown.section('=', 0, 0))->property("value").toInt(),
                     shown.section('=', 1).toInt());
        else
            QCOMPARE(child(child(page, panel(index)), "input")->property("text").toString(), shown);
        QCOMPARE(child(page, panel(index))->property("visible").toBool(), true);
        QCOMPARE(markedEntries(page), QList<int>{index});
        view.reset();
        QCOMPARE(edits.count() + speeds.count() + picks.count(), 0);
        QCOMPARE(modelBytes(), before);
    }

    // Texts on screen come from the catalogue, the appended "None" too.
    void chineseTexts()
    {
        QTranslator translator;
        QVERIFY(translator.load(":/VelkoOptions_zh_CN.qm"));
        QCoreApplication::installTranslator(&translator);
        const QStringList keys = texts(show("MouseKeyPress"));
        const QStringList wheels = texts(show("MouseWheelAction"));
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(keys, catalogue::pageTexts(catalogue::List::Keys, "win10", true));
        QCOMPARE(wheels, catalogue::pageTexts(catalogue::List::Wheels, "win10", true));
    }

    void choosers_data()
    {
        // Windows?;index;picks a folder?;start folder;filters ("|"-separated)
        QTest::addColumn<QStringList>("row");
        for (const char *row :
             {"W;3;1;file:///C:/Windows/;",
              "W;4;0;file:///C:/Program Files (x86)/;Program (*.exe)|All files (*)",
              "O;5;0;file:///home/u/Music;sound files (*.wav *.mp3)", "W;1;0;;"})
            QTest::newRow(row) << cells(row);
    }
    void choosers()
    {
        QFETCH(QStringList, row);
        const assignment::Chooser chooser = assignment::chooserFor(
            row[1].toInt(),
            row[0] == "W",
            "/home/u", "/home/u/Music");
        QCOMPARE(chooser.picksFolder, row[2] == "1");
        QCOMPARE(chooser.startFolder.toString(), row[3]);
        QCOMPARE(chooser.nameFilters, row[4].split('|', Qt::SkipEmptyParts));
    }

    // A chooser opens at the input's folder; at its own start when the input
    // names nothing usable.
    void chooserStartsAtTheInput_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("opensIn"); // below the test folder; "-": the fallback
        using Row = std::pair<const char *, const char *>;
        for (const auto &[current, opensIn] : std::initializer_list<Row>{
                 {"a b/x.wav", "a b"}, {"file:a b/x.wav", "a b"}, {"a b/gone.exe", "a b"},
                 {"a b", "a b"}, {"gone/x.wav", "-"}, {"none", "-"}, {"x.wav", "-"}, {"", "-"}})
            QTest::newRow(current) << QString(current) << QString(opensIn);
    }
    void chooserStartsAtTheInput()
    {
        QFETCH(QString, current);
        QFETCH(QString, opensIn);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("a b"));
        QFile file(dir.filePath("a b/x.wav"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (current.startsWith("file:"))
            current = QUrl::fromLocalFile(dir.filePath(current.mid(5))).toString();
        else if (current.contains('/') || current == "a b")
            current = dir.filePath(current);
        const QUrl fallback = QUrl::fromLocalFile("/home/u");
        QCOMPARE(assignment::startFolderFor(current, fallback),
                 opensIn == "-" ? fallback : QUrl::fromLocalFile(dir.filePath(opensIn)));
    }

    void storedForms_data()
    {
        // input;chooserAnswer;speedFromStored;storedIndex
        QTest::addColumn<QStringList>("row");
        // storedIndex in a list of 49, whose "None" is 48.
        for (const char *row : {"file:///C:/Program Files (x86)/A/a.exe;"
                                "file:///C:/Program Files (x86)/A/a.exe;0;48",
                                "file:///home/u/100%25.wav;file:///home/u/100%25.wav;0;48",
                                "https://example.com/a;;0;48", "7;;7;7", "25;;20;25", "0;;1;0",
                                " 3;;3;48", "49;;20;48", "99999999999;;0;48"})
            QTest::newRow(row) << cells(row);
    }
    void storedForms()
    {
        QFETCH(QStringList, row);
        QCOMPARE(assignment::chooserAnswer(QUrl(row[0])), row[1]);
        QCOMPARE(assignment::speedFromStored(row[0]), row[2].toInt());
        QCOMPARE(assignment::storedIndex(row[0], 49), row[3].toInt());
    }
};

QTEST_MAIN(TestAssignmentLists)
#include "tst_assignmentlists.moc"
