// What the key combination box records from key presses, and what it refuses.
#include "keyrecorder.h"

#include <QtTest>

class TestKeyRecorder : public QObject
{
    Q_OBJECT

private slots:
    void keyNames_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("name");
        QTest::newRow("letter") << int(Qt::Key_T) << 0 << "T";
        QTest::newRow("shifted digit") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << "1";
        QTest::newRow("keypad") << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << "NumAdd";
        QTest::newRow("F13") << int(Qt::Key_F13) << 0 << "F13";
        QTest::newRow("media") << int(Qt::Key_MediaTogglePlayPause) << 0 << "MediaPlayPause";
        QTest::newRow("none of the table") << int(Qt::Key_Launch0) << 0 << "";
    }
    void keyNames()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, name);
        QCOMPARE(KeyRecorder::keyName(key, modifiers), name);
    }

    // Steps follow one another; the right-hand Ctrl is told by its key code (on
    // X11 and Wayland; by its scan code on Windows).
    void presses()
    {
        const bool windows = QSysInfo::kernelType() == "winnt";
        KeyRecorder recorder;
        QVERIFY(recorder.keyPressed(Qt::Key_Control, 0, windows ? 0x1D : 37));
        QVERIFY(recorder.keyPressed(Qt::Key_K, Qt::ControlModifier, 45));
        recorder.keyReleased(Qt::Key_Control);
        QVERIFY(recorder.keyPressed(Qt::Key_Control, 0, windows ? 0x11D : 105));
        QVERIFY(recorder.keyPressed(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, 54));
        QCOMPARE(recorder.text(), QString("Ctrl+K, RCtrl+Shift+C"));
        QVERIFY(recorder.usable());
        QVERIFY(!recorder.keyPressed(Qt::Key_Launch0, 0, 0));
        for (int i = 0; i < 6; ++i)
            recorder.keyPressed(Qt::Key_A, 0, 38);
        QVERIFY(recorder.problem().isEmpty());
        recorder.keyPressed(Qt::Key_A, 0, 38); // a ninth step
        QVERIFY(!recorder.problem().isEmpty());
        QCOMPARE(recorder.text().count(','), 7);
        recorder.setText("Ctrl+Shift");
        QVERIFY(!recorder.usable());
        recorder.clear();
        QVERIFY(!recorder.usable() && recorder.problem().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestKeyRecorder)
#include "tst_keyrecorder.moc"
