// The pages' colours against the contrast rule: every pair of text and background
// the pages put together, and the focus marks against what they sit on.
#include "palette.h"

#include <QtTest>

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void contrast()
    {
        QCOMPARE(palette::contrast(Qt::black, Qt::white), 21.0);
        std::size_t count = 0;
        const palette::Pair *pairs = palette::pairs(count);
        QVERIFY(count > 0);
        for (std::size_t i = 0; i < count; ++i) {
            const palette::Pair &p = pairs[i];
            const QColor fg = palette::colour(p.foreground), bg = palette::colour(p.background);
            QVERIFY2(fg.isValid() && bg.isValid(), p.foreground);
            const double ratio = palette::contrast(fg, bg);
            QVERIFY2(ratio >= p.minimum, qPrintable(QString("%1 on %2: %3:1, needs %4:1")
                                                        .arg(p.foreground, p.background)
                                                        .arg(ratio, 0, 'f', 2)
                                                        .arg(p.minimum)));
        }
    }
};

QTEST_GUILESS_MAIN(TestPalette)
#include "tst_palette.moc"
