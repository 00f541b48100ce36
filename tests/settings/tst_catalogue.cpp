// The function catalogue: the lists the pages show per Windows version class, and
// the conversion of stored indexes back to the canonical numbering.
#include "catalogue.h"
#include "controls.h"

#include <QSet>
#include <QtTest>

using catalogue::List;

Q_DECLARE_METATYPE(catalogue::List)

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void pageListSizes_data();
    void pageListSizes();
    void pageTextAtIndex_data();
    void pageTextAtIndex();
    void itemsEveryPageRemoves();
    void canonicalIndex_data();
    void canonicalIndex();
    void everyPageIndexMapsBackToItsFunction_data();
    void everyPageIndexMapsBackToItsFunction();
    void noneIndexMatchesTheDefaultEntries_data();
    void noneIndexMatchesTheDefaultEntries();
    void parametersOfTheKeyEntries();
    void canonicalNumberingIsDense();
    void enumMatchesThePageTexts_data();
    void enumMatchesThePageTexts();
};

void TestCatalogue::pageListSizes_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<int>("size");
    QTest::newRow("keys win7") << List::Keys << "win7" << 49;
    QTest::newRow("keys win10") << List::Keys << "win10" << 49;
    QTest::newRow("keys win8") << List::Keys << "win8" << 48;
    QTest::newRow("keys WIN8") << List::Keys << "WIN8" << 48;
    QTest::newRow("keys unknown class") << List::Keys << "win11" << 49;
    QTest::newRow("wheels win7") << List::Wheels << "win7" << 10;
    QTest::newRow("wheels win10") << List::Wheels << "win10" << 10;
    QTest::newRow("wheels win8") << List::Wheels << "win8" << 9;
    QTest::newRow("wheels Win8") << List::Wheels << "Win8" << 9;
}

void TestCatalogue::pageListSizes()
{
    QFETCH(List, list);
    QFETCH(QString, versionClass);
    QFETCH(int, size);
    const QVector<catalogue::PageItem> page = catalogue::pageList(list, versionClass);
    QCOMPARE(page.size(), size);
    for (int i = 0; i < page.size(); ++i)
        QCOMPARE(page.at(i).index, i);
    QCOMPARE(catalogue::pageTexts(list, versionClass, false).size(), size);
    QCOMPARE(catalogue::pageTexts(list, versionClass, true).size(), size);
}

void TestCatalogue::pageTextAtIndex_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("chinese");

    QTest::newRow("key 0") << List::Keys << "win10" << 0 << "Media Player"
                           << "媒体播放器";
    QTest::newRow("key 3 keeps its spelling") << List::Keys << "win10" << 3 << "Open floder"
                                              << "打开文件夹";
    QTest::newRow("key 35") << List::Keys << "win7" << 35 << "Mouse right click"
                            << "鼠标右击";
    QTest::newRow("key 36 follows right click") << List::Keys << "win7" << 36 << "Roll forward"
                                                << "鼠标前滚";
    QTest::newRow("key 38 follows roll back") << List::Keys << "win7" << 38 << "Run"
                                              << "运行";
    QTest::newRow("key 40 win8") << List::Keys << "win8" << 40 << "Zoom Out"
                                 << "缩小";
    QTest::newRow("key 41 win10") << List::Keys << "win10" << 41 << "Switch application"
                                  << "切换应用";
    QTest::newRow("key 41 win8") << List::Keys << "win8" << 41 << "Windows menu"
                                 << "WIN键";
    QTest::newRow("key 47 win10") << List::Keys << "win10" << 47 << "DoubleClick"
                                  << "左键双击";
    QTest::newRow("key 47 win8") << List::Keys << "win8" << 47 << "None"
                                 << "无";
    QTest::newRow("key 48 win10") << List::Keys << "win10" << 48 << "None"
                                  << "无";
    QTest::newRow("wheel 1") << List::Wheels << "win8" << 1 << "Scroll horizontally"
                             << "水平滚动";
    QTest::newRow("wheel 2 win10") << List::Wheels << "win10" << 2 << "Switch applications"
                                   << "切换应用程序";
    QTest::newRow("wheel 2 win8") << List::Wheels << "win8" << 2 << "Brightness control"
                                  << "亮度控制";
    QTest::newRow("wheel 4") << List::Wheels << "win7" << 4 << "Tab Previous/Next"
                             << "选项卡上一个/下一个";
    QTest::newRow("wheel 8 win8") << List::Wheels << "win8" << 8 << "None"
                                  << "无";
    QTest::newRow("wheel 9 win10") << List::Wheels << "win10" << 9 << "None"
                                   << "无";
}

void TestCatalogue::pageTextAtIndex()
{
    QFETCH(List, list);
    QFETCH(QString, versionClass);
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, chinese);
    QCOMPARE(catalogue::pageTexts(list, versionClass, false).value(index), text);
    QCOMPARE(catalogue::pageTexts(list, versionClass, true).value(index), chinese);
}

void TestCatalogue::itemsEveryPageRemoves()
{
    const QStringList hidden = {"Forward", "Backward", "Roll left", "Roll right"};
    const QStringList hiddenChinese = {"前进", "后退", "鼠标左摆", "鼠标右摆"};
    // They are in the source list the pages start from, right where the pages
    // expect them...
    QStringList source;
    for (const catalogue::SourceItem &item : catalogue::sourceList(List::Keys))
        source << QString::fromUtf8(item.text);
    QCOMPARE(source.indexOf("Forward"), source.indexOf("Mouse right click") + 1);
    QCOMPARE(source.indexOf("Backward"), source.indexOf("Forward") + 1);
    QCOMPARE(source.indexOf("Roll left"), source.indexOf("Roll back") + 1);
    QCOMPARE(source.indexOf("Roll right"), source.indexOf("Roll left") + 1);
    // ...and on no page.
    for (const QString cls : {"win7", "win8", "win10"}) {
        const QStringList texts = catalogue::pageTexts(List::Keys, cls, false);
        const QStringList chinese = catalogue::pageTexts(List::Keys, cls, true);
        for (int i = 0; i < hidden.size(); ++i) {
            QVERIFY2(!texts.contains(hidden.at(i)), qPrintable(cls + ' ' + hidden.at(i)));
            QVERIFY(!chinese.contains(hiddenChinese.at(i)));
        }
    }
}

void TestCatalogue::canonicalIndex_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("canonical");

    QTest::newRow("key 0 win8") << List::Keys << "win8" << 0 << 0;
    QTest::newRow("key 40 win8") << List::Keys << "win8" << 40 << 40;
    QTest::newRow("key 41 win8") << List::Keys << "win8" << 41 << 42;
    QTest::newRow("key 47 win8") << List::Keys << "win8" << 47 << 48;
    QTest::newRow("key 48 win8 leaves the list") << List::Keys << "win8" << 48 << 49;
    QTest::newRow("key 41 WIN8") << List::Keys << "WIN8" << 41 << 42;
    QTest::newRow("key -1 win8") << List::Keys << "win8" << -1 << -1;
    QTest::newRow("key 41 win10") << List::Keys << "win10" << 41 << 41;
    QTest::newRow("key 48 win7") << List::Keys << "win7" << 48 << 48;
    QTest::newRow("key 60 win7") << List::Keys << "win7" << 60 << 60;
    QTest::newRow("wheel 1 win8") << List::Wheels << "win8" << 1 << 1;
    QTest::newRow("wheel 2 win8") << List::Wheels << "win8" << 2 << 3;
    QTest::newRow("wheel 8 win8") << List::Wheels << "win8" << 8 << 9;
    QTest::newRow("wheel 47 win8") << List::Wheels << "win8" << 47 << 48;
    QTest::newRow("wheel 2 win10") << List::Wheels << "win10" << 2 << 2;
    QTest::newRow("wheel 9 win7") << List::Wheels << "win7" << 9 << 9;
}

void TestCatalogue::canonicalIndex()
{
    QFETCH(List, list);
    QFETCH(QString, versionClass);
    QFETCH(int, stored);
    QFETCH(int, canonical);
    QCOMPARE(catalogue::canonicalIndex(list, stored, versionClass), canonical);
}

void TestCatalogue::everyPageIndexMapsBackToItsFunction_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<QString>("versionClass");
    for (const char *cls : {"win7", "win8", "win10"}) {
        QTest::newRow(QByteArray("keys ") + cls) << List::Keys << QString(cls);
        QTest::newRow(QByteArray("wheels ") + cls) << List::Wheels << QString(cls);
    }
}

void TestCatalogue::everyPageIndexMapsBackToItsFunction()
{
    QFETCH(List, list);
    QFETCH(QString, versionClass);
    // What a page stores, the agent must read back as the function the user saw.
    for (const catalogue::PageItem &item : catalogue::pageList(list, versionClass)) {
        QCOMPARE(catalogue::canonicalIndex(list, item.index, versionClass), item.canonicalIndex);
        QCOMPARE(catalogue::pageIndex(list, item.canonicalIndex, versionClass), item.index);
        const catalogue::SourceItem *source = catalogue::item(list, item.canonicalIndex);
        QVERIFY(source);
        QCOMPARE(QString::fromUtf8(source->text), item.text);
    }
}

void TestCatalogue::noneIndexMatchesTheDefaultEntries_data()
{
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<int>("keyNone");
    QTest::addColumn<int>("wheelNone");
    QTest::newRow("win7") << "win7" << 48 << 9;
    QTest::newRow("win10") << "win10" << 48 << 9;
    QTest::newRow("win8") << "win8" << 47 << 8;
}

void TestCatalogue::noneIndexMatchesTheDefaultEntries()
{
    QFETCH(QString, versionClass);
    QFETCH(int, keyNone);
    QFETCH(int, wheelNone);
    QCOMPARE(catalogue::noneIndex(List::Keys, versionClass), keyNone);
    QCOMPARE(catalogue::noneIndex(List::Wheels, versionClass), wheelNone);
    // The defaults the configurator writes are the "None" entries of its pages.
    for (const controls::Control &c : controls::kControls) {
        const QStringList parts = controls::splitEntry(controls::defaultEntry(c, versionClass));
        QCOMPARE(parts.size(), 3);
        QCOMPARE(parts.at(1).toInt(), c.isWheel ? wheelNone : keyNone);
        QCOMPARE(catalogue::pageTexts(c.isWheel ? List::Wheels : List::Keys, versionClass, false)
                     .value(parts.at(1).toInt()),
                 QStringLiteral("None"));
    }
}

void TestCatalogue::parametersOfTheKeyEntries()
{
    const QHash<int, QStringList> expected = {
        {1, {"_web_url"}},  {2, {"_file_path"}},  {3, {"_folder_path"}},
        {4, {"_app_path"}}, {5, {"_sound_path"}}, {6, {"_main_speed", "_self_speed"}},
    };
    QSet<QString> suffixes;
    for (const char *s : controls::kPathSuffixes)
        suffixes.insert(QString::fromLatin1(s));
    for (int i = 0; i < catalogue::kKeyCount; ++i) {
        const catalogue::SourceItem *item = catalogue::item(List::Keys, i);
        QVERIFY(item);
        QStringList params;
        if (item->parameter)
            params << item->parameter;
        if (item->secondParameter)
            params << item->secondParameter;
        QCOMPARE(params, expected.value(i));
        for (const QString &p : params)
            QVERIFY2(suffixes.contains(p), qPrintable(p));
    }
    for (int i = 0; i < catalogue::kWheelCount; ++i) {
        const catalogue::SourceItem *item = catalogue::item(List::Wheels, i);
        QVERIFY(item);
        QVERIFY(!item->parameter);
        QVERIFY(!item->secondParameter);
    }
    QVERIFY(!catalogue::item(List::Keys, catalogue::kKeyCount));
    QVERIFY(!catalogue::item(List::Keys, -1));
    QVERIFY(!catalogue::item(List::Wheels, catalogue::kWheelCount));
}

void TestCatalogue::canonicalNumberingIsDense()
{
    for (List list : {List::Keys, List::Wheels}) {
        int next = 0;
        int win8Removed = 0;
        for (const catalogue::SourceItem &item : catalogue::sourceList(list)) {
            if (item.shown == catalogue::Shown::Never) {
                QCOMPARE(item.canonicalIndex, -1);
                continue;
            }
            QCOMPARE(item.canonicalIndex, next++);
            if (item.shown == catalogue::Shown::NotUnderWin8)
                ++win8Removed;
        }
        QCOMPARE(next, list == List::Keys ? catalogue::kKeyCount : catalogue::kWheelCount);
        QCOMPARE(win8Removed, 1);
    }
}

void TestCatalogue::enumMatchesThePageTexts_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<int>("canonical");
    QTest::addColumn<QString>("text");
    using catalogue::Key;
    using catalogue::Wheel;
    QTest::newRow("MouseSpeed") << List::Keys << int(Key::MouseSpeed) << "Mouse speed";
    QTest::newRow("Copy") << List::Keys << int(Key::Copy) << "Copy";
    QTest::newRow("LockScreen") << List::Keys << int(Key::LockScreen) << "Lock screen";
    QTest::newRow("ResourceManager")
        << List::Keys << int(Key::ResourceManager) << "Resource manager";
    QTest::newRow("MouseLeftClick") << List::Keys << int(Key::MouseLeftClick) << "Mouse left click";
    QTest::newRow("RollBack") << List::Keys << int(Key::RollBack) << "Roll back";
    QTest::newRow("Run") << List::Keys << int(Key::Run) << "Run";
    QTest::newRow("SwitchApplication")
        << List::Keys << int(Key::SwitchApplication) << "Switch application";
    QTest::newRow("WindowsMenu") << List::Keys << int(Key::WindowsMenu) << "Windows menu";
    QTest::newRow("DoubleClick") << List::Keys << int(Key::DoubleClick) << "DoubleClick";
    QTest::newRow("Key None") << List::Keys << int(Key::None) << "None";
    QTest::newRow("ScrollHorizontally")
        << List::Wheels << int(Wheel::ScrollHorizontally) << "Scroll horizontally";
    QTest::newRow("BrightnessControl")
        << List::Wheels << int(Wheel::BrightnessControl) << "Brightness control";
    QTest::newRow("Wheel Stop") << List::Wheels << int(Wheel::Stop) << "Stop";
    QTest::newRow("Wheel None") << List::Wheels << int(Wheel::None) << "None";
}

void TestCatalogue::enumMatchesThePageTexts()
{
    QFETCH(List, list);
    QFETCH(int, canonical);
    QFETCH(QString, text);
    const catalogue::SourceItem *item = catalogue::item(list, canonical);
    QVERIFY(item);
    QCOMPARE(QString::fromUtf8(item->text), text);
}

QTEST_APPLESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
