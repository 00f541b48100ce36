// The function dispatcher against the fake platform: each catalogue entry's
// effects on a key's press and release and on a wheel's steps, the "win8"
// numbering, the current control's parameters, and the dispatcher's log.
#include "actions/promousefunc.h"
#include "actions/soundplayer.h"
#include "appenv.h"
#include "fake_agent_platform.h"
#include "logcapture.h"

#include <QDesktopServices>
#include <QtTest>

namespace {

constexpr int kMid = 0, kMidWheel = 1, kSideUp = 2, kSideDown = 3, kSideWheel = 4, kRight = 5;
const char *const kSetKeys[] = {"SET/Mid_key",      "SET/Mid_wheel",  "SET/Side_upkey",
                                "SET/Side_downkey", "SET/Side_wheel", "SET/Right_key"};
const char *const kTags[] = {"midKey",       "midWheel",   "slideUpKey",
                             "slideDownKey", "slideWheel", "rightKey"};

// Sounds and opened URLs join the fakes' effects as "play <url>" and "url <url>".
class RecordingSoundPlayer : public SoundPlayer
{
public:
    explicit RecordingSoundPlayer(QStringList *effects) : m_effects(effects) {}
    void play(const QUrl &source) override { m_effects->append("play " + source.toString()); }

private:
    QStringList *m_effects;
};

QStringList ctrlShortcut(const char *letter)
{
    return {"key 0x11 0", QStringLiteral("key %1 0").arg(letter), "pause 50",
            QStringLiteral("key %1 2").arg(letter), "key 0x11 2"};
}

QStringList extendedKey(const char *vk)
{
    return {QStringLiteral("key %1 1").arg(vk), QStringLiteral("key %1 3").arg(vk)};
}

const QStringList kNothing;
const QStringList kDoubleClick = {"mouse 0x2 0", "pause 100", "mouse 0x4 0", "pause 100",
                                  "mouse 0x2 0", "pause 100", "mouse 0x4 0"};
const QStringList kSwitchApp = {"key 0xA4 1", "pause 50", "key 0x9 1", "pause 50", "key 0x9 3"};
const QStringList kZoomIn = {"key 0x11 1", "mouse 0x800 120", "key 0x11 3"};
const QStringList kZoomOut = {"key 0x11 1", "mouse 0x800 -120", "key 0x11 3"};

} // namespace

class TestDispatcher : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { m_extra << "url " + url.toString(); }

private slots:
    void init();
    void cleanup();
    void keyEntries_data();
    void keyEntries();
    void entryIsReadAgainForTheRelease();
    void otherControlNumbersDoNothing();
    void wheelEntries_data();
    void wheelEntries();
    void wheelDirectionsAreExactTexts();
    void brightnessSteps();
    void pointerSpeedToggleIsSharedByAllKeys();
    void versionClassIsFixedAtConstruction();

private:
    void makeDispatcher(const QString &versionClass = QStringLiteral("win10"));
    // An empty index removes the entry.
    void setEntry(int control, const QString &index);
    QStringList key(int control, bool released);
    QStringList wheel(int control, const QString &direction);
    // A dialog box in front and under the cursor: tab switching acts on it.
    void dialogInFront();

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<FakeAgentPlatform> m_fakes;
    std::unique_ptr<ProMouseFunc> m_dispatcher;
    QStringList m_extra;
    platform::WindowId m_foreground = 0;
};

void TestDispatcher::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_folder->setModel(QStringLiteral("QX210"));
    m_fakes = std::make_unique<FakeAgentPlatform>();
    m_foreground = m_fakes->windows->addWindow(0, "Notepad", {0, 0, 800, 600}, 0, "Untitled");
    m_fakes->windows->setForeground(m_foreground);
    m_fakes->input->setCursorPos({100, 100});
    QDesktopServices::setUrlHandler("file", this, "openUrl");
}

void TestDispatcher::cleanup()
{
    QDesktopServices::unsetUrlHandler("file");
    m_dispatcher.reset();
    m_fakes.reset();
    m_folder.reset();
    appenv::setWindowsVersionClass(QString());
}

void TestDispatcher::makeDispatcher(const QString &versionClass)
{
    appenv::setWindowsVersionClass(versionClass);
    m_dispatcher = std::make_unique<ProMouseFunc>(m_fakes->platform);
    m_dispatcher->inputActions().setSoundPlayer(std::make_unique<RecordingSoundPlayer>(&m_extra));
}

void TestDispatcher::setEntry(int control, const QString &index)
{
    if (index.isEmpty())
        m_folder->removeModelValue("QX210", kSetKeys[control]);
    else
        m_folder->setModelValue("QX210", kSetKeys[control],
                                QStringLiteral("f-%1-%2").arg(index, kTags[control]));
}

QStringList TestDispatcher::key(int control, bool released)
{
    m_fakes->clearEffects();
    m_extra.clear();
    m_dispatcher->onKeyEvent(control, released);
    return m_fakes->effects() + m_extra;
}

QStringList TestDispatcher::wheel(int control, const QString &direction)
{
    m_fakes->clearEffects();
    m_dispatcher->onWheelEvent(control, direction);
    return m_fakes->effects();
}

void TestDispatcher::dialogInFront()
{
    m_fakes->windows->setVisible(m_foreground, false);
    m_fakes->windows->addWindow(0, "#32770", {0, 0, 400, 300}, 0, "Options");
    m_fakes->windows->setForeground(m_fakes->windows->windowFromPoint({100, 100}));
}

void TestDispatcher::keyEntries_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<QString>("index"); // empty: no entry stored
    QTest::addColumn<QStringList>("onPress");
    QTest::addColumn<QStringList>("onRelease");

    auto add = [](int control, const char *cls, const char *index, const QStringList &press,
                  const QStringList &release) {
        QTest::addRow("%s %s %s", kTags[control], cls, index)
            << control << cls << index << press << release;
    };
    // The right key under "win10"; "FG" stands for the foreground window.
    auto row = [&](const char *index, const QStringList &release,
                   const QStringList &press = kNothing) {
        add(kRight, "win10", index, press, release);
    };
    row("0", {"open wmplayer.exe 10"});                                  // media player
    row("1", {"open http://example.com/a?b=1 10"});                      // web page
    row("2", {"url file:///C:/f.txt"});                                  // file
    row("3", {"url file:///C:/d"});                                      // folder
    row("4", {"url file:///C:/a.exe"});                                  // application
    row("5", {"play file:///C:/s.wav"});                                 // sound
    row("6", {"speed 7"});                                               // mouse speed
    row("7", {"special 0x27"});                                          // my pictures
    row("8", {"special 0x5"});                                           // my documents
    row("9", {"special 0x11"});                                          // my computer
    row("10", {"special 0xE"});                                          // my video
    row("11", {"special 0xD"});                                          // my music
    row("12", ctrlShortcut("0x43"));                                     // copy
    row("13", ctrlShortcut("0x58"));                                     // cut
    row("14", ctrlShortcut("0x56"));                                     // paste
    row("15", {"version", "privilege", "exit 0x11 0"});                  // shutdown
    row("16", {"version", "privilege", "exit 0x12 0"});                  // reboot
    row("17", {"show 3 on FG"});                                         // maximise
    row("18", {"show 6 on FG"});                                         // minimise
    row("19", {"version", "privilege", "exit 0x10 0"});                  // log out
    row("20", {"open iexplore.exe 1"});                                  // homepage
    row("21", {"post 0x10 0 0 to FG"});                                  // close window
    row("22", {"mute 0", "volume 0.51"});                                // volume up
    row("23", {"open search-ms: 10"});                                   // search
    row("24", {"toggle desktop"});                                       // desktop
    row("25", {"open calc.exe 10"});                                     // calculator
    row("26", {"mute 0", "volume 0.49"});                                // volume down
    row("27", {"mute 1"});                                               // mute
    row("28", {"lock"});                                                 // lock
    row("29", ctrlShortcut("0x41"));                                     // select all
    row("30", ctrlShortcut("0x4E"));                                     // new
    row("31", ctrlShortcut("0x53"));                                     // save
    row("32", ctrlShortcut("0x50"));                                     // print
    row("33", {"open taskmgr.exe 10"});                                  // task manager
    row("34", {"mouse 0x4 0"}, {"mouse 0x2 0"});                         // left click
    row("35", {"mouse 0x10 0"}, {"mouse 0x8 0"});                        // right click
    row("36", {"mouse 0x800 120"});                                      // roll forward
    row("37", {"mouse 0x800 -120"});                                     // roll back
    row("38", {"key 0x5B 0", "key 0x52 0", "key 0x52 2", "key 0x5B 2"}); // run
    row("39", kZoomIn);                                                  // zoom in
    row("40", kZoomOut);                                                 // zoom out
    row("41", kSwitchApp);                                               // switch application
    row("42", extendedKey("0x5B"));                                      // windows menu
    row("43", extendedKey("0xB3"));                                      // play pause
    row("44", extendedKey("0xB2"));                                      // stop
    row("45", extendedKey("0xB1"));                                      // previous
    row("46", extendedKey("0xB0"));                                      // next
    row("47", kDoubleClick);                                             // double click
    row("48", {"mouse 0x10 0"}, {"mouse 0x8 0"});                        // none
    row("49", kNothing);                                                 // outside the list
    row("1000", kNothing);                                               // outside the list
    add(kRight, "win7", "abc", kNothing, {"open wmplayer.exe 10"});      // not a number: 0
    // Parameters are read for the key that was used.
    add(kMid, "win10", "1", kNothing, {"open http://mid.example/ 10"});
    add(kSideUp, "win10", "1", kNothing, kNothing);   // missing
    add(kSideDown, "win10", "1", kNothing, kNothing); // empty
    // "win8" pages lack "Switch application": stored 41 and above are one higher.
    add(kRight, "win8", "41", kNothing, extendedKey("0x5B"));
    add(kRight, "WIN8", "41", kNothing, extendedKey("0x5B"));
    add(kRight, "win7", "41", kNothing, kSwitchApp);
    add(kRight, "win8", "40", kNothing, kZoomOut);
    add(kRight, "win8", "46", kNothing, kDoubleClick);
    add(kRight, "win8", "47", {"mouse 0x8 0"}, {"mouse 0x10 0"});
    add(kRight, "win8", "48", kNothing, kNothing);
    // "None", stored or missing, keeps each key's own button under every class.
    add(kMid, "win10", "48", {"mouse 0x20 0"}, {"mouse 0x40 0"});
    add(kSideUp, "win10", "", {"mouse 0x80 2"}, {"mouse 0x100 2"});
    add(kSideDown, "win8", "47", {"mouse 0x80 1"}, {"mouse 0x100 1"});
    add(kRight, "win8", "", {"mouse 0x8 0"}, {"mouse 0x10 0"});
}

void TestDispatcher::keyEntries()
{
    QFETCH(int, control);
    QFETCH(QString, versionClass);
    QFETCH(QString, index);
    QFETCH(QStringList, onPress);
    QFETCH(QStringList, onRelease);
    m_folder->setModelValues("QX210", {{"PATH/right_web_url", "http://example.com/a?b=1"},
                                       {"PATH/right_file_path", "file:///C:/f.txt"},
                                       {"PATH/right_folder_path", "file:///C:/d"},
                                       {"PATH/right_app_path", "file:///C:/a.exe"},
                                       {"PATH/right_sound_path", "file:///C:/s.wav"},
                                       {"PATH/right_main_speed", "7"},
                                       {"PATH/right_self_speed", "8"},
                                       {"PATH/mid_web_url", "http://mid.example/"},
                                       {"PATH/slider_down_web_url", ""}});
    setEntry(control, index);
    makeDispatcher(versionClass);

    const QString fg = QStringLiteral("0x") + QString::number(m_foreground, 16).toUpper();
    onRelease.replaceInStrings(QStringLiteral("FG"), fg);
    // Each half logs the index as read (a missing entry as "None"); under "win8" the
    // shift is announced after it.
    const QString indexLine =
        QStringLiteral("当前的 index %1").arg(index.isEmpty() ? 48 : index.toInt());
    const QString win8Line = QStringLiteral("win 8 功能处理");
    const bool shifted = versionClass.toLower() == "win8" && !index.isEmpty();
    for (bool released : {false, true}) {
        LogCapture log;
        QCOMPARE(key(control, released), released ? onRelease : onPress);
        QCOMPARE(log.lines().count(indexLine), 1);
        QCOMPARE(log.lines().count(win8Line), shifted ? 1 : 0);
        if (shifted)
            QVERIFY(log.lines().indexOf(indexLine) < log.lines().indexOf(win8Line));
    }
}

void TestDispatcher::entryIsReadAgainForTheRelease()
{
    setEntry(kRight, "35");
    makeDispatcher();
    QCOMPARE(key(kRight, false), QStringList{"mouse 0x8 0"});
    setEntry(kRight, "12"); // changed while the key is held
    QCOMPARE(key(kRight, true), ctrlShortcut("0x43"));
    // A change of model is followed too.
    m_folder->setModelValue("PL40", kSetKeys[kRight], "f-42-rightKey");
    m_folder->setModel("PL40");
    QCOMPARE(key(kRight, true), extendedKey("0x5B"));
}

void TestDispatcher::otherControlNumbersDoNothing()
{
    for (int c = 0; c < 6; ++c) // entries that would act if they were read
        setEntry(c, c == kMidWheel || c == kSideWheel ? "7" : "12");
    makeDispatcher();
    m_dispatcher->onKeyEvent(kSideDown, true);
    LogCapture log;
    for (int control : {kMidWheel, kSideWheel, 6, -1})
        for (bool released : {false, true})
            QCOMPARE(key(control, released), kNothing);
    for (int control : {kMid, kRight, 6, -1})
        for (const char *direction : {"up", "down"})
            QCOMPARE(wheel(control, direction), kNothing);
    QVERIFY(!log.contains(QStringLiteral("当前的 index")));
    QCOMPARE(m_dispatcher->currentControl(), kSideDown);
}

void TestDispatcher::wheelEntries_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<QString>("index"); // empty: no entry stored
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QStringList>("effects");

    auto row = [](int control, const char *cls, const char *index, const char *direction,
                  const QStringList &effects) {
        QTest::addRow("%s %s %s %s", control == kMidWheel ? "mid" : "side", cls, index, direction)
            << control << cls << index << direction << effects;
    };
    const QStringList scrollLeft = {"pause 1", "mouse 0x1000 -120"},
                      scrollRight = {"pause 1", "mouse 0x1000 120"};
    row(kMidWheel, "win10", "0", "up", {"mute 0", "volume 0.51"});
    row(kSideWheel, "win10", "0", "down", {"mute 0", "volume 0.49"});
    row(kMidWheel, "win10", "1", "up", scrollLeft);
    row(kSideWheel, "win10", "1", "down", scrollRight);
    row(kSideWheel, "win10", "2", "up",
        {"key 0xA4 0", "key 0xA0 0", "key 0x9 0", "pause 50", "key 0x9 2"});
    row(kMidWheel, "win10", "2", "down", {"key 0xA4 0", "key 0x9 0", "pause 50", "key 0x9 2"});
    row(kMidWheel, "win10", "3", "up", {"gamma ramp"});
    row(kSideWheel, "win10", "4", "up",
        {"key 0xA2 1", "key 0xA0 1", "key 0x9 1", "key 0x9 3", "key 0xA0 3", "key 0xA2 3"});
    row(kMidWheel, "win10", "4", "down", {"key 0xA2 1", "key 0x9 1", "key 0x9 3", "key 0xA2 3"});
    row(kSideWheel, "win10", "5", "up", kZoomIn);
    row(kMidWheel, "win10", "5", "down", kZoomOut);
    row(kMidWheel, "win10", "6", "up", extendedKey("0xB1"));
    row(kSideWheel, "win10", "6", "down", extendedKey("0xB0"));
    // Play and stop ignore the direction.
    row(kSideWheel, "win10", "7", "sideways", extendedKey("0xB3"));
    row(kMidWheel, "win10", "8", "", extendedKey("0xB2"));
    // "None", the key list's 48 and no entry: the wheel's own movement.
    row(kMidWheel, "win10", "9", "up", {"mouse 0x800 120"});
    row(kMidWheel, "win8", "47", "down", {"mouse 0x800 -120"});
    row(kSideWheel, "win8", "8", "down", scrollRight);
    row(kSideWheel, "win10", "48", "up", scrollLeft);
    row(kSideWheel, "win8", "", "up", scrollLeft);
    // Outside the list.
    row(kMidWheel, "win10", "10", "up", kNothing);
    row(kSideWheel, "win10", "47", "up", kNothing);
    row(kMidWheel, "win8", "48", "up", kNothing);
    row(kSideWheel, "win8", "9", "down", kNothing);
    // "win8" pages lack "Switch applications": stored 2 and above are one higher.
    row(kSideWheel, "win8", "1", "up", scrollLeft);
    row(kSideWheel, "win8", "2", "down", {"gamma ramp"});
    row(kMidWheel, "win8", "7", "up", extendedKey("0xB2"));
}

void TestDispatcher::wheelEntries()
{
    QFETCH(int, control);
    QFETCH(QString, versionClass);
    QFETCH(QString, index);
    QFETCH(QString, direction);
    QFETCH(QStringList, effects);
    dialogInFront();
    setEntry(control, index);
    makeDispatcher(versionClass);
    m_dispatcher->onKeyEvent(kSideUp, true); // wheels leave the current control alone
    LogCapture log;
    QCOMPARE(wheel(control, direction), effects);
    QCOMPARE(m_dispatcher->currentControl(), kSideUp);
    QVERIFY(!log.contains(QStringLiteral("当前的 index")));
    QVERIFY(!log.contains(QStringLiteral("win 8 功能处理")));
}

void TestDispatcher::wheelDirectionsAreExactTexts()
{
    dialogInFront();
    for (const char *index : {"0", "1", "2", "3", "4", "5", "6", "9"}) {
        setEntry(kMidWheel, index);
        setEntry(kSideWheel, index);
        makeDispatcher();
        for (const char *direction : {"Up", "DOWN", ""})
            for (int control : {kMidWheel, kSideWheel})
                QVERIFY2(wheel(control, direction).isEmpty(),
                         qPrintable(QStringLiteral("%1 '%2'").arg(index, direction)));
    }
}

void TestDispatcher::brightnessSteps()
{
    setEntry(kSideWheel, "3");
    makeDispatcher();
    const int start = m_dispatcher->systemActions().brightnessLevel();
    wheel(kSideWheel, "up");
    wheel(kSideWheel, "up");
    wheel(kSideWheel, "down");
    QCOMPARE(m_dispatcher->systemActions().brightnessLevel(), start + 1);
}

void TestDispatcher::pointerSpeedToggleIsSharedByAllKeys()
{
    m_folder->setModelValues("QX210", {{"PATH/slider_up_main_speed", "3"},
                                       {"PATH/slider_up_self_speed", "4"},
                                       {"PATH/slider_down_main_speed", "5"},
                                       {"PATH/slider_down_self_speed", "9"}});
    setEntry(kSideUp, "6");
    setEntry(kSideDown, "6");
    makeDispatcher();
    QCOMPARE(key(kSideUp, false), kNothing);                // the press does not toggle
    QCOMPARE(key(kSideUp, true), QStringList{"speed 3"});   // side up's main speed
    QCOMPARE(key(kSideDown, true), QStringList{"speed 9"}); // side down's own speed
    QCOMPARE(key(kSideUp, true), QStringList{"speed 3"});
}

void TestDispatcher::versionClassIsFixedAtConstruction()
{
    setEntry(kRight, "41");
    makeDispatcher("win8");
    appenv::setWindowsVersionClass(QStringLiteral("win10"));
    QCOMPARE(key(kRight, true), extendedKey("0x5B"));
}

QTEST_MAIN(TestDispatcher)
#include "tst_dispatcher.moc"