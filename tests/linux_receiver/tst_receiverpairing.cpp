// The configurator's pairing sequence on Linux, end to end: the receiver's
// hidraw node among other devices in an emulated kernel, answered by the
// simulated firmware.
#include "testbed.h" // GLib before Qt's keywords

#include "fake_receiver.h"
#include "hid.h"
#include "mousepair.h"
#include "virtualtime.h"

#include <QtTest>

class TestReceiverPairing : public QObject
{
    Q_OBJECT

private slots:
    void pairsThroughTheNode_data()
    {
        QTest::addColumn<bool>("accepts");
        QTest::addColumn<QStringList>("progress");
        QTest::newRow("accepted") << true << QStringList{"enterSuccess", "pairSuccess"};
        QTest::newRow("refused") << false << QStringList{"enterFailure"};
    }
    void pairsThroughTheNode()
    {
        QFETCH(bool, accepts);
        QFETCH(QStringList, progress);
        testbed::Bed bed;
        QVERIFY2(umockdev_in_mock_environment(), "run under umockdev-wrapper");
        QVERIFY(bed.addUsb("1-2", 0x046D, 0xC31C, testbed::kKeyboardDescriptor, false).added);
        const testbed::Device receiver =
            bed.addUsb("1-1", 0x2F6B, 0x1813, testbed::kReceiverDescriptor, true);
        platform::fake::FakeReceiver firmware;
        firmware.setAcceptsPairing(accepts);
        testbed::ScriptedHidraw script(bed, receiver.hidraw, firmware);
        QVERIFY(receiver.added && script.attached());

        MousePair pair(platform::createHidSystem(),
                       std::make_unique<VirtualWait>(std::make_shared<VirtualTime>()));
        QVERIFY(pair.GetPidVid());
        QStringList seen;
        connect(&pair, &MousePair::sigEnterPairState, this, [&](QString p) { seen << p; });
        connect(&pair, &MousePair::sigPairResult, this, [&](QString p) { seen << p; });
        pair.slots_pair();
        QCOMPARE(seen, progress);
        QCOMPARE(firmware.mousePaired(), accepts);
    }
};

QTEST_GUILESS_MAIN(TestReceiverPairing)
#include "tst_receiverpairing.moc"
