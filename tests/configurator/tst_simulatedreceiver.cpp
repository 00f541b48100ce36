// The configurator with the simulated mouse: its receiver is present and pairs.
#include "configuratorplatform.h"
#include "pairdowork.h"
#include "startoptions.h"

#include <QElapsedTimer>
#include <QtTest>

class TestSimulatedReceiver : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { ConfiguratorPlatform::installNative(); }

    void presentAndPairs()
    {
        StartOptions options;
        options.simulatedMouse = true;
        ConfiguratorPlatform::install(ConfiguratorPlatform::forOptions(options));
        PairDoWork work;
        QVERIFY(work.CheckPlugInReceiver());

        QStringList texts;
        connect(&work, &PairDoWork::sigEnterPair, this, [&](QString t) { texts << t; });
        connect(&work, &PairDoWork::sigPairRet, this, [&](QString t) { texts << t; });
        QElapsedTimer sincePairing;
        work.BeginPair();
        sincePairing.start();
        QTRY_COMPARE_WITH_TIMEOUT(texts, (QStringList{"enterSuccess", "pairSuccess"}), 20000);
        // The mouse pairs when someone would have pressed its pairing button.
        QVERIFY2(sincePairing.elapsed() >= 2000,
                 qPrintable(QString::number(sincePairing.elapsed())));
    }
};

QTEST_MAIN(TestSimulatedReceiver)
#include "tst_simulatedreceiver.moc"
