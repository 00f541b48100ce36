// The function catalogue: the lists the pages show per Windows version class, and
// the conversion of stored indexes back to the canonical numbering.
#include "catalogue.h"
#include "controls.h"

#include <QtTest>

using catalogue::List;

Q_DECLARE_METATYPE(catalogue::List)

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void pages_data();
    void pages();
    void pageTexts_data();
    void pageTexts();
    void itemsEveryPageRemoves();
    void parametersOfTheKeyEntries();
};

void TestCatalogue::pages_data()
{
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<int>("keyNone"); // also the index of the last key entry
    QTest::addColumn<int>("wheelNone");
    QTest::newRow("win7") << "win7" << 48 << 9;
    QTest::newRow("win10") << "win10" << 48 << 9;
    QTest::newRow("unknown class") << "win11" << 48 << 9;
    QTest::newRow("win8") << "win8" << 47 << 8;
    QTest::newRow("WIN8") << "WIN8" << 47 << 8;
}

void TestCatalogue::pages()
{
    QFETCH(QString, versionClass);
    QFETCH(int, keyNone);
    QFETCH(int, wheelNone);
    for (List list : {List::Keys, List::Wheels}) {
        const int none = list == List::Keys ? keyNone : wheelNone;
        const QVector<catalogue::PageItem> page = catalogue::pageList(list, versionClass);
        QCOMPARE(page.size(), none + 1);
        QCOMPARE(catalogue::pageTexts(list, versionClass, true).size(), none + 1);
        QCOMPARE(catalogue::noneIndex(list, versionClass), none);
        // What a page stores, the agent reads back as the function the user saw.
        for (int i = 0; i < page.size(); ++i) {
            const catalogue::PageItem &item = page.at(i);
            QCOMPARE(item.index, i);
            QCOMPARE(catalogue::canonicalIndex(list, i, versionClass), item.canonicalIndex);
            QCOMPARE(catalogue::pageIndex(list, item.canonicalIndex, versionClass), i);
            const catalogue::SourceItem *source = catalogue::item(list, item.canonicalIndex);
            QVERIFY(source);
            QCOMPARE(QString::fromUtf8(source->text), item.text);
        }
    }
    // The defaults the configurator writes are the "None" entries of its pages.
    for (const controls::Control &c : controls::kControls) {
        const QStringList parts = controls::splitEntry(controls::defaultEntry(c, versionClass));
        QCOMPARE(parts.size(), 3);
        QCOMPARE(parts.at(1).toInt(), c.isWheel ? wheelNone : keyNone);
    }
}

void TestCatalogue::pageTexts_data()
{
    QTest::addColumn<List>("list");
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("chinese");
    auto row = [](List list, const char *cls, int index, const char *text, const char *chinese) {
        QTest::addRow("%s %d %s", list == List::Keys ? "key" : "wheel", index, cls)
            << list << cls << index << text << QString::fromUtf8(chinese);
    };
    row(List::Keys, "win10", 3, "Open floder", "打开文件夹"); // the pages' own spelling
    row(List::Keys, "win7", 36, "Roll forward", "鼠标前滚");
    row(List::Keys, "win7", 38, "Run", "运行");
    row(List::Keys, "win10", 41, "Switch application", "切换应用");
    row(List::Keys, "win8", 41, "Windows menu", "WIN键");
    row(List::Keys, "win8", 47, "None", "无");
    row(List::Keys, "win10", 48, "None", "无");
    row(List::Wheels, "win10", 2, "Switch applications", "切换应用程序");
    row(List::Wheels, "win8", 2, "Brightness control", "亮度控制");
    row(List::Wheels, "win8", 8, "None", "无");
}

void TestCatalogue::pageTexts()
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
    // In the source list the pages start from, where the pages expect them...
    QStringList source;
    for (const catalogue::SourceItem &item : catalogue::sourceList(List::Keys))
        source << QString::fromUtf8(item.text);
    const int rightClick = source.indexOf("Mouse right click");
    const int rollBack = source.indexOf("Roll back");
    QCOMPARE(source.mid(rightClick + 1, 2), (QStringList{"Forward", "Backward"}));
    QCOMPARE(source.mid(rollBack + 1, 2), (QStringList{"Roll left", "Roll right"}));
    // ...and on no page.
    for (const QString cls : {"win7", "win8", "win10"}) {
        const QStringList texts = catalogue::pageTexts(List::Keys, cls, false) +
                                  catalogue::pageTexts(List::Keys, cls, true);
        for (const char *hidden : {"Forward", "Backward", "Roll left", "Roll right", "前进", "后退",
                                   "鼠标左摆", "鼠标右摆"})
            QVERIFY2(!texts.contains(QString::fromUtf8(hidden)), hidden);
    }
}

void TestCatalogue::parametersOfTheKeyEntries()
{
    // Only these key entries read PATH values; no wheel entry does.
    const QHash<int, QStringList> expected = {
        {1, {"_web_url"}},  {2, {"_file_path"}},  {3, {"_folder_path"}},
        {4, {"_app_path"}}, {5, {"_sound_path"}}, {6, {"_main_speed", "_self_speed"}},
    };
    for (List list : {List::Keys, List::Wheels}) {
        const int count = list == List::Keys ? catalogue::kKeyCount : catalogue::kWheelCount;
        for (int i = 0; i < count; ++i) {
            const catalogue::SourceItem *item = catalogue::item(list, i);
            QVERIFY(item);
            QStringList params;
            for (const char *p : {item->parameter, item->secondParameter})
                if (p)
                    params << p;
            QCOMPARE(params, list == List::Keys ? expected.value(i) : QStringList());
        }
        QVERIFY(!catalogue::item(list, count));
        QVERIFY(!catalogue::item(list, -1));
    }
}

QTEST_APPLESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"