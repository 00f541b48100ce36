// The function catalogue: each version class's page lists and their index conversions.
#include "catalogue.h"

#include <QtTest>

using catalogue::List;

Q_DECLARE_METATYPE(catalogue::List)

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void pages_data()
    {
        QTest::addColumn<QString>("versionClass");
        QTest::addColumn<int>("keyNone"); // also the index of the last key entry
        QTest::addColumn<int>("wheelNone");
        for (const char *cls : {"win7", "win10", "win11"})
            QTest::newRow(cls) << cls << 48 << 9;
        for (const char *cls : {"win8", "WIN8"})
            QTest::newRow(cls) << cls << 47 << 8;
    }
    void pages()
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
    }
    void pageTexts()
    {
        // "key|wheel class index|English|Chinese"
        for (const char *row : {"key win10 3|Open floder|打开文件夹", // the pages' own spelling
                                "key win10 41|Switch application|切换应用", "key win8 41|Windows menu|开始菜单",
                                "key win8 47|None|无",
                                "wheel win8 2|Brightness control|亮度控制", "wheel win8 8|None|无"}) {
            const QStringList f = QString::fromUtf8(row).split('|'), where = f[0].split(' ');
            const List list = where[0] == "key" ? List::Keys : List::Wheels;
            QCOMPARE(catalogue::pageTexts(list, where[1], false).value(where[2].toInt()), f[1]);
            QCOMPARE(catalogue::pageTexts(list, where[1], true).value(where[2].toInt()), f[2]);
        }
    }
    void itemsEveryPageRemoves()
    {
        // In the source list the pages start from, where the pages expect them...
        QStringList source;
        for (const catalogue::SourceItem &item : catalogue::sourceList(List::Keys))
            source << QString::fromUtf8(item.text);
        QCOMPARE(source.mid(source.indexOf("Mouse right click") + 1, 2), (QStringList{"Forward", "Backward"}));
        QCOMPARE(source.mid(source.indexOf("Roll back") + 1, 2), (QStringList{"Roll left", "Roll right"}));
        // ...and on no page.
        for (const QString cls : {"win7", "win8", "win10"}) {
            const QStringList texts = catalogue::pageTexts(List::Keys, cls, false) +
                                      catalogue::pageTexts(List::Keys, cls, true);
            for (const QString &hidden : QString::fromUtf8("Forward|Backward|Roll left|Roll right|前进|后退|鼠标左摆|鼠标右摆").split('|'))
                QVERIFY2(!texts.contains(hidden), qPrintable(hidden));
        }
    }
};

QTEST_APPLESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
