// The function dispatcher against the fake platform: which effects each catalogue
// entry has on a key's press and release and on a wheel's steps, the "win8"
// numbering, the parameters of the current control, and the dispatcher's log.
#include "actions/promousefunc.h"
#include "appenv.h"
#include "fake_agent_platform.h"
#include "logcapture.h"
#include "actions/soundplayer.h"

#include <QtTest>

#include <optional>

namespace {

constexpr int kMid = 0, kMidWheel = 1, kSideUp = 2, kSideDown = 3, kSideWheel = 4, kRight = 5;

const char *setKey(int control)
{
    static const char *const keys[] = {"SET/Mid_key",      "SET/Mid_wheel",  "SET/Side_upkey",
                                       "SET/Side_downkey", "SET/Side_wheel", "SET/Right_key"};
    return keys[control];
}

const char *tag(int control)
{
    static const char *const tags[] = {"midKey",       "midWheel",   "slideUpKey",
                                       "slideDownKey", "slideWheel", "rightKey"};
    return tags[control];
}

class RecordingSoundPlayer : public SoundPlayer
{
public:
    explicit RecordingSoundPlayer(QList<QUrl> *played) : m_played(played) {}
    void play(const QUrl &source) override { m_played->append(source); }

private:
    QList<QUrl> *m_played;
};

// Ctrl + a letter as the shortcut entries send it.
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

} // namespace

class TestDispatcher : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyEntries_data();
    void keyEntries();
    void noneKeepsTheKeysOwnButton_data();
    void noneKeepsTheKeysOwnButton();
    void win8Numbering_data();
    void win8Numbering();
    void keyIndexOutsideTheList_data();
    void keyIndexOutsideTheList();
    void keyLogLines_data();
    void keyLogLines();
    void entryIsReadAgainForTheRelease();
    void otherControlNumbersDoNothing_data();
    void otherControlNumbersDoNothing();
    void wheelEntries_data();
    void wheelEntries();
    void wheelNoneOnTheSideWheelScrolls_data();
    void wheelNoneOnTheSideWheelScrolls();
    void wheelEventsWriteNoIndexLine();
    void brightnessSteps();
    void parametersComeFromTheCurrentControl_data();
    void parametersComeFromTheCurrentControl();
    void playSoundUsesTheCurrentControlsFile();
    void pointerSpeedToggleIsSharedByAllKeys();
    void versionClassIsFixedAtConstruction();

private:
    void makeDispatcher(const QString &versionClass = QStringLiteral("win10"));
    void setEntry(int control, const QString &index);
    void removeEntry(int control);
    QStringList key(int control, bool released);
    QStringList wheel(int control, const QString &direction);

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<FakeAgentPlatform> m_fakes;
    std::unique_ptr<ProMouseFunc> m_dispatcher;
    QList<QUrl> m_played;
    platform::WindowId m_foreground = 0;
};

void TestDispatcher::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_folder->setModel(QStringLiteral("QX210"));
    m_fakes = std::make_unique<FakeAgentPlatform>();
    // An ordinary application in front and under the cursor.
    m_foreground = m_fakes->windows->addWindow(0, "Notepad", {0, 0, 800, 600}, 0, "Untitled");
    m_fakes->windows->setForeground(m_foreground);
    m_fakes->input->setCursorPos({100, 100});
    m_played.clear();
}

void TestDispatcher::cleanup()
{
    m_dispatcher.reset();
    m_fakes.reset();
    m_folder.reset();
    appenv::setWindowsVersionClass(QString());
}

void TestDispatcher::makeDispatcher(const QString &versionClass)
{
    appenv::setWindowsVersionClass(versionClass);
    m_dispatcher = std::make_unique<ProMouseFunc>(m_fakes->platform);
    m_dispatcher->inputActions().setSoundPlayer(std::make_unique<RecordingSoundPlayer>(&m_played));
}

void TestDispatcher::setEntry(int control, const QString &index)
{
    m_folder->setModelValue("QX210", setKey(control),
                            QStringLiteral("f-%1-%2").arg(index, tag(control)));
}

void TestDispatcher::removeEntry(int control)
{
    m_folder->removeModelValue("QX210", setKey(control));
}

QStringList TestDispatcher::key(int control, bool released)
{
    m_fakes->clearEffects();
    m_dispatcher->onKeyEvent(control, released);
    return m_fakes->effects();
}

QStringList TestDispatcher::wheel(int control, const QString &direction)
{
    m_fakes->clearEffects();
    m_dispatcher->onWheelEvent(control, direction);
    return m_fakes->effects();
}

void TestDispatcher::keyEntries_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("onPress");
    QTest::addColumn<QStringList>("onRelease");

    // "FG" stands for the foreground window's id.
    const QString fg = QStringLiteral("FG");
    auto row = [](int index, const char *name, const QStringList &press,
                  const QStringList &release) {
        QTest::addRow("%d %s", index, name) << index << press << release;
    };
    row(0, "media player", kNothing, {"open wmplayer.exe 10"});
    row(1, "web page", kNothing, {"open http://example.com/a?b=1 10"});
    // Open file, folder and application with their parameters absent.
    row(2, "file without parameter", kNothing, kNothing);
    row(3, "folder without parameter", kNothing, kNothing);
    row(4, "application without parameter", kNothing, kNothing);
    row(5, "sound without parameter", kNothing, kNothing);
    row(6, "mouse speed", kNothing, {"speed 7"});
    row(7, "my pictures", kNothing, {"special 0x27"});
    row(8, "my documents", kNothing, {"special 0x5"});
    row(9, "my computer", kNothing, {"special 0x11"});
    row(10, "my video", kNothing, {"special 0xE"});
    row(11, "my music", kNothing, {"special 0xD"});
    row(12, "copy", kNothing, ctrlShortcut("0x43"));
    row(13, "cut", kNothing, ctrlShortcut("0x58"));
    row(14, "paste", kNothing, ctrlShortcut("0x56"));
    row(15, "shutdown", kNothing, {"version", "privilege", "exit 0x11 0"});
    row(16, "reboot", kNothing, {"version", "privilege", "exit 0x12 0"});
    row(17, "maximise", kNothing, {"show 3 on " + fg});
    row(18, "minimise", kNothing, {"show 6 on " + fg});
    row(19, "log out", kNothing, {"version", "privilege", "exit 0x10 0"});
    row(20, "homepage", kNothing, {"open iexplore.exe 1"});
    row(21, "close window", kNothing, {"post 0x10 0 0 to " + fg});
    row(22, "volume up", kNothing, {"mute 0", "volume 0.51"});
    row(23, "search", kNothing, {"open search-ms: 10"});
    row(24, "desktop", kNothing, {"toggle desktop"});
    row(25, "calculator", kNothing, {"open calc.exe 10"});
    row(26, "volume down", kNothing, {"mute 0", "volume 0.49"});
    row(27, "mute", kNothing, {"mute 1"});
    row(28, "lock", kNothing, {"lock"});
    row(29, "select all", kNothing, ctrlShortcut("0x41"));
    row(30, "new", kNothing, ctrlShortcut("0x4E"));
    row(31, "save", kNothing, ctrlShortcut("0x53"));
    row(32, "print", kNothing, ctrlShortcut("0x50"));
    row(33, "task manager", kNothing, {"open taskmgr.exe 10"});
    row(34, "left click", {"mouse 0x2 0"}, {"mouse 0x4 0"});
    row(35, "right click", {"mouse 0x8 0"}, {"mouse 0x10 0"});
    row(36, "roll forward", kNothing, {"mouse 0x800 120"});
    row(37, "roll back", kNothing, {"mouse 0x800 -120"});
    row(38, "run", kNothing, {"key 0x5B 0", "key 0x52 0", "key 0x52 2", "key 0x5B 2"});
    row(39, "zoom in", kNothing, {"key 0x11 1", "mouse 0x800 120", "key 0x11 3"});
    row(40, "zoom out", kNothing, {"key 0x11 1", "mouse 0x800 -120", "key 0x11 3"});
    row(41, "switch application", kNothing,
        {"key 0xA4 1", "pause 50", "key 0x9 1", "pause 50", "key 0x9 3"});
    row(42, "windows menu", kNothing, extendedKey("0x5B"));
    row(43, "play pause", kNothing, extendedKey("0xB3"));
    row(44, "stop", kNothing, extendedKey("0xB2"));
    row(45, "previous", kNothing, extendedKey("0xB1"));
    row(46, "next", kNothing, extendedKey("0xB0"));
    row(47, "double click", kNothing,
        {"mouse 0x2 0", "pause 100", "mouse 0x4 0", "pause 100", "mouse 0x2 0", "pause 100",
         "mouse 0x4 0"});
    row(48, "none", {"mouse 0x8 0"}, {"mouse 0x10 0"});
}

void TestDispatcher::keyEntries()
{
    QFETCH(int, index);
    QFETCH(QStringList, onPress);
    QFETCH(QStringList, onRelease);
    m_folder->setModelValues("QX210", {{"PATH/right_web_url", "http://example.com/a?b=1"},
                                       {"PATH/right_main_speed", "7"},
                                       {"PATH/right_self_speed", "8"}});
    setEntry(kRight, QString::number(index));
    makeDispatcher();

    const QString fg = QStringLiteral("0x") + QString::number(m_foreground, 16).toUpper();
    onRelease.replaceInStrings(QStringLiteral("FG"), fg);
    QCOMPARE(key(kRight, false), onPress);
    QCOMPARE(key(kRight, true), onRelease);
    QCOMPARE(m_dispatcher->currentControl(), kRight);
}

void TestDispatcher::noneKeepsTheKeysOwnButton_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<QString>("index"); // empty: no entry stored
    QTest::addColumn<QString>("down");
    QTest::addColumn<QString>("up");

    const struct
    {
        int control;
        const char *name;
        const char *down;
        const char *up;
    } keys[] = {
        {kMid, "middle", "mouse 0x20 0", "mouse 0x40 0"},
        {kRight, "right", "mouse 0x8 0", "mouse 0x10 0"},
        {kSideUp, "side up", "mouse 0x80 2", "mouse 0x100 2"},
        {kSideDown, "side down", "mouse 0x80 1", "mouse 0x100 1"},
    };
    for (const auto &k : keys) {
        QTest::addRow("%s 48 win10", k.name) << k.control << "win10"
                                             << "48" << k.down << k.up;
        QTest::addRow("%s 48 win7", k.name) << k.control << "win7"
                                            << "48" << k.down << k.up;
        QTest::addRow("%s 47 win8", k.name) << k.control << "win8"
                                            << "47" << k.down << k.up;
        QTest::addRow("%s absent win10", k.name) << k.control << "win10"
                                                 << "" << k.down << k.up;
        QTest::addRow("%s absent win8", k.name) << k.control << "win8"
                                                << "" << k.down << k.up;
    }
}

void TestDispatcher::noneKeepsTheKeysOwnButton()
{
    QFETCH(int, control);
    QFETCH(QString, versionClass);
    QFETCH(QString, index);
    QFETCH(QString, down);
    QFETCH(QString, up);
    if (index.isEmpty())
        removeEntry(control);
    else
        setEntry(control, index);
    makeDispatcher(versionClass);

    QCOMPARE(key(control, false), QStringList{down});
    QCOMPARE(key(control, true), QStringList{up});
}

void TestDispatcher::win8Numbering_data()
{
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("onPress");
    QTest::addColumn<QStringList>("onRelease");

    const QStringList windowsKey = extendedKey("0x5B");
    const QStringList switchApp = {"key 0xA4 1", "pause 50", "key 0x9 1", "pause 50", "key 0x9 3"};
    const QStringList zoomOut = {"key 0x11 1", "mouse 0x800 -120", "key 0x11 3"};
    QTest::newRow("41 win8 is the Windows menu") << "win8" << 41 << kNothing << windowsKey;
    QTest::newRow("41 WIN8 is the Windows menu") << "WIN8" << 41 << kNothing << windowsKey;
    QTest::newRow("41 win10 switches applications") << "win10" << 41 << kNothing << switchApp;
    QTest::newRow("41 win7 switches applications") << "win7" << 41 << kNothing << switchApp;
    QTest::newRow("40 win8 is not shifted") << "win8" << 40 << kNothing << zoomOut;
    QTest::newRow("42 win8 is play/pause") << "win8" << 42 << kNothing << extendedKey("0xB3");
    QTest::newRow("46 win8 is a double click")
        << "win8" << 46 << kNothing
        << QStringList{"mouse 0x2 0", "pause 100", "mouse 0x4 0", "pause 100",
                       "mouse 0x2 0", "pause 100", "mouse 0x4 0"};
    QTest::newRow("47 win8 is none")
        << "win8" << 47 << QStringList{"mouse 0x8 0"} << QStringList{"mouse 0x10 0"};
    QTest::newRow("47 win10 is a double click")
        << "win10" << 47 << kNothing
        << QStringList{"mouse 0x2 0", "pause 100", "mouse 0x4 0", "pause 100",
                       "mouse 0x2 0", "pause 100", "mouse 0x4 0"};
    QTest::newRow("48 win8 is outside the list") << "win8" << 48 << kNothing << kNothing;
    QTest::newRow("35 win8 acts on press")
        << "win8" << 35 << QStringList{"mouse 0x8 0"} << QStringList{"mouse 0x10 0"};
    QTest::newRow("34 win8 acts on press")
        << "win8" << 34 << QStringList{"mouse 0x2 0"} << QStringList{"mouse 0x4 0"};
}

void TestDispatcher::win8Numbering()
{
    QFETCH(QString, versionClass);
    QFETCH(int, index);
    QFETCH(QStringList, onPress);
    QFETCH(QStringList, onRelease);
    setEntry(kRight, QString::number(index));
    makeDispatcher(versionClass);
    QCOMPARE(key(kRight, false), onPress);
    QCOMPARE(key(kRight, true), onRelease);
}

void TestDispatcher::keyIndexOutsideTheList_data()
{
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<int>("index");
    QTest::newRow("49 win10") << "win10" << 49;
    QTest::newRow("60 win10") << "win10" << 60;
    QTest::newRow("-1 win10") << "win10" << -1;
    QTest::newRow("-40 win8") << "win8" << -40;
    QTest::newRow("48 win8") << "win8" << 48;
    QTest::newRow("1000 win7") << "win7" << 1000;
}

void TestDispatcher::keyIndexOutsideTheList()
{
    QFETCH(QString, versionClass);
    QFETCH(int, index);
    makeDispatcher(versionClass);
    // Entries cannot carry a negative number ("-" separates the parts), so the
    // dispatch operation is called directly.
    for (int control : {kMid, kSideUp, kSideDown, kRight}) {
        m_fakes->clearEffects();
        m_dispatcher->runKeyFunction(control, index, false);
        m_dispatcher->runKeyFunction(control, index, true);
        QCOMPARE(m_fakes->effects(), kNothing);
    }
}

void TestDispatcher::keyLogLines_data()
{
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("indexLine");
    QTest::addColumn<bool>("win8Line");
    QTest::newRow("win10 12") << "win10"
                              << "Copy-12-rightKey"
                              << "当前的 index 12" << false;
    QTest::newRow("win8 41, logged as read") << "win8"
                                             << "Windows menu-41-rightKey"
                                             << "当前的 index 41" << true;
    QTest::newRow("win8 3") << "win8"
                            << "x-3-rightKey"
                            << "当前的 index 3" << true;
    QTest::newRow("absent win10") << "win10"
                                  << ""
                                  << "当前的 index 48" << false;
    // A missing entry is "None" before the class is looked at.
    QTest::newRow("absent win8") << "win8"
                                 << ""
                                 << "当前的 index 48" << false;
    QTest::newRow("not a number") << "win7"
                                  << "x-abc-rightKey"
                                  << "当前的 index 0" << false;
    QTest::newRow("no separator") << "win7"
                                  << "garbage"
                                  << "当前的 index 0" << false;
}

void TestDispatcher::keyLogLines()
{
    QFETCH(QString, versionClass);
    QFETCH(QString, entry);
    QFETCH(QString, indexLine);
    QFETCH(bool, win8Line);
    if (entry.isEmpty())
        removeEntry(kRight);
    else
        m_folder->setModelValue("QX210", setKey(kRight), entry);
    makeDispatcher(versionClass);

    for (bool released : {false, true}) {
        LogCapture log;
        key(kRight, released);
        QCOMPARE(log.lines().count(indexLine), 1);
        QCOMPARE(log.lines().count(QStringLiteral("win 8 功能处理")), win8Line ? 1 : 0);
        if (win8Line)
            QVERIFY(log.indexOf(indexLine) < log.indexOf(QStringLiteral("win 8 功能处理")));
    }
}

void TestDispatcher::entryIsReadAgainForTheRelease()
{
    setEntry(kRight, "35");
    makeDispatcher();
    QCOMPARE(key(kRight, false), QStringList{"mouse 0x8 0"});
    // Changed by the configurator while the key is held.
    setEntry(kRight, "12");
    QCOMPARE(key(kRight, true), ctrlShortcut("0x43"));
    // The model changes too: the next event follows it.
    m_folder->setModelValue("PL40", setKey(kRight), "f-42-rightKey");
    m_folder->setModel("PL40");
    QCOMPARE(key(kRight, true), extendedKey("0x5B"));
}

void TestDispatcher::otherControlNumbersDoNothing_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<bool>("wheelEvent");
    QTest::newRow("key event on the middle wheel") << kMidWheel << false;
    QTest::newRow("key event on the side wheel") << kSideWheel << false;
    QTest::newRow("key event on control 6") << 6 << false;
    QTest::newRow("key event on control -1") << -1 << false;
    QTest::newRow("wheel event on the middle key") << kMid << true;
    QTest::newRow("wheel event on the right key") << kRight << true;
    QTest::newRow("wheel event on control 6") << 6 << true;
    QTest::newRow("wheel event on control -1") << -1 << true;
}

void TestDispatcher::otherControlNumbersDoNothing()
{
    QFETCH(int, control);
    QFETCH(bool, wheelEvent);
    // Entries that would act if they were read.
    for (int c = 0; c < 6; ++c)
        setEntry(c, c == kMidWheel || c == kSideWheel ? "7" : "12");
    makeDispatcher();
    m_dispatcher->onKeyEvent(kSideDown, true); // the current control becomes 3
    LogCapture log;
    if (wheelEvent) {
        QCOMPARE(wheel(control, "up"), kNothing);
        QCOMPARE(wheel(control, "down"), kNothing);
    } else {
        QCOMPARE(key(control, false), kNothing);
        QCOMPARE(key(control, true), kNothing);
    }
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

    const QStringList wheelUp = {"mouse 0x800 120"};
    const QStringList wheelDown = {"mouse 0x800 -120"};
    auto both = [](const char *name, const char *cls, const char *index, const char *direction,
                   const QStringList &effects) {
        QTest::addRow("mid %s", name) << kMidWheel << cls << index << direction << effects;
        QTest::addRow("side %s", name) << kSideWheel << cls << index << direction << effects;
    };
    both("0 volume up", "win10", "0", "up", {"mute 0", "volume 0.51"});
    both("0 volume down", "win10", "0", "down", {"mute 0", "volume 0.49"});
    both("2 previous application", "win10", "2", "up",
         {"key 0xA4 0", "key 0xA0 0", "key 0x9 0", "pause 50", "key 0x9 2"});
    both("2 next application", "win10", "2", "down",
         {"key 0xA4 0", "key 0x9 0", "pause 50", "key 0x9 2"});
    both("3 brightness up", "win10", "3", "up", {"gamma ramp"});
    both("3 brightness down", "win10", "3", "down", {"gamma ramp"});
    both("4 previous tab", "win10", "4", "up",
         {"key 0xA2 1", "key 0xA0 1", "key 0x9 1", "key 0x9 3", "key 0xA0 3", "key 0xA2 3"});
    both("4 next tab", "win10", "4", "down",
         {"key 0xA2 1", "key 0x9 1", "key 0x9 3", "key 0xA2 3"});
    both("5 zoom in", "win10", "5", "up", {"key 0x11 1", "mouse 0x800 120", "key 0x11 3"});
    both("5 zoom out", "win10", "5", "down", {"key 0x11 1", "mouse 0x800 -120", "key 0x11 3"});
    both("6 previous song", "win10", "6", "up", extendedKey("0xB1"));
    both("6 next song", "win10", "6", "down", extendedKey("0xB0"));
    both("7 play up", "win10", "7", "up", extendedKey("0xB3"));
    both("7 play down", "win10", "7", "down", extendedKey("0xB3"));
    both("7 play whatever the direction", "win10", "7", "sideways", extendedKey("0xB3"));
    both("8 stop up", "win10", "8", "up", extendedKey("0xB2"));
    both("8 stop with an empty direction", "win10", "8", "", extendedKey("0xB2"));
    // Directions are exact texts.
    for (const char *index : {"0", "1", "2", "3", "4", "5", "6", "9"}) {
        QTest::addRow("mid %s Up", index) << kMidWheel << "win10" << index << "Up" << kNothing;
        QTest::addRow("side %s DOWN", index)
            << kSideWheel << "win10" << index << "DOWN" << kNothing;
    }
    // The middle wheel's own movement.
    QTest::newRow("mid 9 up") << kMidWheel << "win10"
                              << "9"
                              << "up" << wheelUp;
    QTest::newRow("mid 9 down") << kMidWheel << "win10"
                                << "9"
                                << "down" << wheelDown;
    QTest::newRow("mid absent up") << kMidWheel << "win10"
                                   << ""
                                   << "up" << wheelUp;
    QTest::newRow("mid absent win8 down") << kMidWheel << "win8"
                                          << ""
                                          << "down" << wheelDown;
    QTest::newRow("mid 48 up") << kMidWheel << "win10"
                               << "48"
                               << "up" << wheelUp;
    QTest::newRow("mid 8 win8 up") << kMidWheel << "win8"
                                   << "8"
                                   << "up" << wheelUp;
    QTest::newRow("mid 47 win8 is 48 there") << kMidWheel << "win8"
                                             << "47"
                                             << "down" << wheelDown;
    // Outside the list.
    both("10", "win10", "10", "up", kNothing);
    both("47 win10", "win10", "47", "up", kNothing);
    both("48 win8 is 49 there", "win8", "48", "up", kNothing);
    both("9 win8 is 10 there", "win8", "9", "down", kNothing);
    // "win8" numbering: nothing below 2 moves.
    both("0 win8 stays volume", "win8", "0", "up", {"mute 0", "volume 0.51"});
    both("2 win8 is brightness", "win8", "2", "up", {"gamma ramp"});
    both("2 WIN8 is brightness", "WIN8", "2", "down", {"gamma ramp"});
    both("6 win8 is play", "win8", "6", "down", extendedKey("0xB3"));
    both("7 win8 is stop", "win8", "7", "up", extendedKey("0xB2"));
    both("2 win7 switches", "win7", "2", "down",
         {"key 0xA4 0", "key 0x9 0", "pause 50", "key 0x9 2"});
}

void TestDispatcher::wheelEntries()
{
    QFETCH(int, control);
    QFETCH(QString, versionClass);
    QFETCH(QString, index);
    QFETCH(QString, direction);
    QFETCH(QStringList, effects);
    // A dialog box in front and under the cursor: tab switching acts on it.
    m_fakes->windows->setVisible(m_foreground, false);
    m_fakes->windows->addWindow(0, "#32770", {0, 0, 400, 300}, 0, "Options");
    const platform::WindowId dialog = m_fakes->windows->windowFromPoint({100, 100});
    QCOMPARE(QString::fromStdString(m_fakes->windows->className(dialog)), QStringLiteral("#32770"));
    m_fakes->windows->setForeground(dialog);
    if (index.isEmpty())
        removeEntry(control);
    else
        setEntry(control, index);
    makeDispatcher(versionClass);
    m_dispatcher->onKeyEvent(kSideUp, true); // wheels leave the current control alone

    QCOMPARE(wheel(control, direction), effects);
    QCOMPARE(m_dispatcher->currentControl(), kSideUp);
}

void TestDispatcher::wheelNoneOnTheSideWheelScrolls_data()
{
    QTest::addColumn<QString>("versionClass");
    QTest::addColumn<QString>("index"); // empty: no entry stored
    QTest::addColumn<QString>("direction");
    QTest::addColumn<bool>("left");
    QTest::newRow("1 up scrolls left") << "win10"
                                       << "1"
                                       << "up" << true;
    QTest::newRow("1 down scrolls right") << "win10"
                                          << "1"
                                          << "down" << false;
    QTest::newRow("1 win8 up scrolls left") << "win8"
                                            << "1"
                                            << "up" << true;
    QTest::newRow("9 up scrolls left") << "win10"
                                       << "9"
                                       << "up" << true;
    QTest::newRow("9 down scrolls right") << "win7"
                                          << "9"
                                          << "down" << false;
    QTest::newRow("8 win8 down scrolls right") << "win8"
                                               << "8"
                                               << "down" << false;
    QTest::newRow("48 up scrolls left") << "win10"
                                        << "48"
                                        << "up" << true;
    QTest::newRow("absent up scrolls left") << "win10"
                                            << ""
                                            << "up" << true;
    QTest::newRow("absent down scrolls right") << "win8"
                                               << ""
                                               << "down" << false;
}

void TestDispatcher::wheelNoneOnTheSideWheelScrolls()
{
    QFETCH(QString, versionClass);
    QFETCH(QString, index);
    QFETCH(QString, direction);
    QFETCH(bool, left);
    // A browser window under the cursor: the step is a visible effect.
    m_fakes->windows->setVisible(m_foreground, false);
    const platform::WindowId browser =
        m_fakes->windows->addWindow(0, "MozillaWindowClass", {0, 0, 1000, 700}, 0, "Page");
    QCOMPARE(m_fakes->windows->windowFromPoint({100, 100}), browser);
    if (index.isEmpty())
        removeEntry(kSideWheel);
    else
        setEntry(kSideWheel, index);
    makeDispatcher(versionClass);

    const QStringList viaDispatcher = wheel(kSideWheel, direction);
    m_fakes->clearEffects();
    if (left)
        m_dispatcher->scrollActions().ScrollLeft();
    else
        m_dispatcher->scrollActions().ScrollRight();
    const QStringList direct = m_fakes->effects();
    QVERIFY(!direct.isEmpty());
    QCOMPARE(viaDispatcher, direct);

    // The other direction is a different step.
    m_fakes->clearEffects();
    if (left)
        m_dispatcher->scrollActions().ScrollRight();
    else
        m_dispatcher->scrollActions().ScrollLeft();
    QVERIFY(m_fakes->effects() != direct);
}

void TestDispatcher::wheelEventsWriteNoIndexLine()
{
    setEntry(kMidWheel, "6");
    makeDispatcher("win8");
    LogCapture log;
    wheel(kMidWheel, "up");
    QVERIFY(!log.contains(QStringLiteral("当前的 index")));
    QVERIFY(!log.contains(QStringLiteral("win 8 功能处理")));
}

void TestDispatcher::brightnessSteps()
{
    setEntry(kSideWheel, "3");
    makeDispatcher();
    const int start = m_dispatcher->systemActions().brightnessLevel();
    wheel(kSideWheel, "up");
    wheel(kSideWheel, "up");
    QCOMPARE(m_dispatcher->systemActions().brightnessLevel(), start + 2);
    wheel(kSideWheel, "down");
    QCOMPARE(m_dispatcher->systemActions().brightnessLevel(), start + 1);
    wheel(kSideWheel, "Down");
    QCOMPARE(m_dispatcher->systemActions().brightnessLevel(), start + 1);
}

void TestDispatcher::parametersComeFromTheCurrentControl_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<QStringList>("effects");
    QTest::newRow("middle key") << kMid << QStringList{"open http://mid.example/ 10"};
    QTest::newRow("right key") << kRight << QStringList{"open http://right.example/ 10"};
    QTest::newRow("side up key, key absent") << kSideUp << kNothing;
    QTest::newRow("side down key, value empty") << kSideDown << kNothing;
}

void TestDispatcher::parametersComeFromTheCurrentControl()
{
    QFETCH(int, control);
    QFETCH(QStringList, effects);
    m_folder->setModelValues("QX210", {{"PATH/mid_web_url", "http://mid.example/"},
                                       {"PATH/right_web_url", "http://right.example/"},
                                       {"PATH/slider_down_web_url", ""}});
    for (int c : {kMid, kSideUp, kSideDown, kRight})
        setEntry(c, "1");
    makeDispatcher();
    QCOMPARE(key(control, false), kNothing);
    QCOMPARE(key(control, true), effects);
}

void TestDispatcher::playSoundUsesTheCurrentControlsFile()
{
    const QString sound = QDir(m_folder->path()).filePath("click.wav");
    m_folder->setModelValues(
        "QX210", {{"PATH/slider_up_sound_path", QUrl::fromLocalFile(sound).toString()}});
    setEntry(kSideUp, "5");
    setEntry(kSideDown, "5");
    makeDispatcher();
    key(kSideDown, true); // no parameter for this key
    QVERIFY(m_played.isEmpty());
    key(kSideUp, false);
    QVERIFY(m_played.isEmpty());
    key(kSideUp, true);
    QCOMPARE(m_played, QList<QUrl>{QUrl::fromLocalFile(sound)});
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
    QCOMPARE(m_dispatcher->pointerSpeedToggle(), false);
    QCOMPARE(key(kSideUp, false), kNothing); // the press does nothing
    QCOMPARE(m_dispatcher->pointerSpeedToggle(), false);
    QCOMPARE(key(kSideUp, true), QStringList{"speed 3"});   // main speed of side up
    QCOMPARE(key(kSideDown, true), QStringList{"speed 9"}); // own speed of side down
    QCOMPARE(key(kSideUp, true), QStringList{"speed 3"});
    QCOMPARE(m_dispatcher->pointerSpeedToggle(), true);
}

void TestDispatcher::versionClassIsFixedAtConstruction()
{
    setEntry(kRight, "41");
    makeDispatcher("win8");
    QCOMPARE(m_dispatcher->versionClass(), QStringLiteral("win8"));
    appenv::setWindowsVersionClass(QStringLiteral("win10"));
    QCOMPARE(m_dispatcher->versionClass(), QStringLiteral("win8"));
    QCOMPARE(key(kRight, true), extendedKey("0x5B"));
}

QTEST_MAIN(TestDispatcher)
#include "tst_dispatcher.moc"
