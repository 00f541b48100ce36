// The dispatcher's effects for each catalogue entry on keys and wheels, per version class.
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
struct RecordingSoundPlayer : SoundPlayer {
    explicit RecordingSoundPlayer(QStringList *effects) : effects(effects) {}
    void play(const QUrl &source) override { effects->append("play " + source.toString()); }
    QStringList *effects;
};

// "a|b|c" as {"a", "b", "c"}; "" as no effects.
QStringList L(const char *effects)
{
    return QString(effects).split('|', Qt::SkipEmptyParts);
}

QStringList ctrlShortcut(const char *vk)
{
    return L("key 0x11 0|key %1 0|pause 50|key %1 2|key 0x11 2").replaceInStrings("%1", vk);
}

QStringList extendedKey(const char *vk)
{
    return L("key %1 1|key %1 3").replaceInStrings("%1", vk);
}

const QStringList kNothing;
const QStringList kDoubleClick = L("mouse 0x2 0|pause 100|mouse 0x4 0|pause 100|mouse 0x2 0|pause 100|mouse 0x4 0");
const QStringList kSwitchApp = L("key 0xA4 1|pause 50|key 0x9 1|pause 50|key 0x9 3");
const QStringList kZoomOut = L("key 0x11 1|mouse 0x800 -120|key 0x11 3");
const QStringList kScrollLeft = L("pause 1|mouse 0x1000 -120"), kScrollRight = L("pause 1|mouse 0x1000 120");

} // namespace

class TestDispatcher : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl &url) { m_extra << "url " + url.toString(); }

private slots:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        QVERIFY(m_folder->isValid());
        m_folder->setModel(QStringLiteral("QX210"));
        m_fakes = std::make_unique<FakeAgentPlatform>();
        m_foreground = m_fakes->windows->addWindow(0, "Notepad", {0, 0, 800, 600}, 0, "Untitled");
        m_fakes->windows->setForeground(m_foreground);
        m_fakes->input->setCursorPos({100, 100});
        QDesktopServices::setUrlHandler("file", this, "openUrl");
        InputActions::setUrlOpener([](const QUrl &url) { QDesktopServices::openUrl(url); });
    }
    void cleanup()
    {
        QDesktopServices::unsetUrlHandler("file");
        InputActions::setUrlOpener(nullptr);
        m_dispatcher.reset(), m_fakes.reset(), m_folder.reset();
        appenv::setWindowsVersionClass(QString());
    }
    void keyEntries_data()
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
        auto row = [&](const char *index, const QStringList &release, const char *press = "") {
            add(kRight, "win10", index, L(press), release);
        };
        row("0", L("open wmplayer.exe 10")), row("1", L("open http://example.com/a?b=1 10"));
        row("2", L("url file:///C:/f.txt")), row("5", L("play file:///C:/s.wav"));
        row("6", L("speed 7")), row("7", L("special 0x27"));
        row("12", ctrlShortcut("0x43")), row("14", ctrlShortcut("0x56"));
        row("15", L("version|privilege|exit 0x11 0")), row("17", L("show 3 on FG"));
        row("18", L("show 6 on FG")), row("20", L("open iexplore.exe 1"));
        row("21", L("post 0x10 0 0 to FG")), row("22", L("mute 0|volume 0.51"));
        row("24", L("toggle desktop")), row("26", L("mute 0|volume 0.49"));
        row("27", L("mute 1")), row("28", L("lock")), row("33", L("open taskmgr.exe 10"));
        row("34", L("mouse 0x4 0"), "mouse 0x2 0"), row("35", L("mouse 0x10 0"), "mouse 0x8 0");
        row("37", L("mouse 0x800 -120")), row("38", L("key 0x5B 0|key 0x52 0|key 0x52 2|key 0x5B 2"));
        row("39", L("key 0x11 1|mouse 0x800 120|key 0x11 3")), row("41", kSwitchApp);
        row("42", extendedKey("0x5B")), row("47", kDoubleClick);
        row("48", L("mouse 0x10 0"), "mouse 0x8 0"); // none
        // Outside the list, or no decimal number: read as "None", as the pages read it.
        for (const char *unusable : {"49", "4294967297", "+1"}) // 2^32 + 1 overflows an int
            row(unusable, L("mouse 0x10 0"), "mouse 0x8 0");
        // Parameters are read for the key that was used; side up's is missing, side down's empty.
        add(kMid, "win10", "1", kNothing, L("open http://mid.example/ 10"));
        add(kSideUp, "win10", "1", kNothing, kNothing), add(kSideDown, "win10", "1", kNothing, kNothing);
        // "win8" pages lack "Switch application": stored 41 and above are one higher.
        add(kRight, "win8", "41", kNothing, extendedKey("0x5B"));
        add(kRight, "win7", "41", kNothing, kSwitchApp), add(kRight, "win8", "40", kNothing, kZoomOut);
        add(kRight, "win8", "47", L("mouse 0x8 0"), L("mouse 0x10 0"));
        add(kRight, "win8", "48", L("mouse 0x8 0"), L("mouse 0x10 0"));
        // "None", stored or missing, keeps each key's own button under every class.
        add(kMid, "win10", "48", L("mouse 0x20 0"), L("mouse 0x40 0"));
        add(kSideUp, "win8", "", L("mouse 0x80 2"), L("mouse 0x100 2"));
        add(kSideDown, "win8", "47", L("mouse 0x80 1"), L("mouse 0x100 1"));
    }
    void keyEntries()
    {
        QFETCH(int, control);
        QFETCH(QString, versionClass);
        QFETCH(QString, index);
        QFETCH(QStringList, onPress);
        QFETCH(QStringList, onRelease);
        setPaths("right_web_url=http://example.com/a?b=1 right_file_path=file:///C:/f.txt "
                 "right_folder_path=file:///C:/d right_app_path=file:///C:/a.exe "
                 "right_sound_path=file:///C:/s.wav right_main_speed=7 right_self_speed=8 "
                 "mid_web_url=http://mid.example/ slider_down_web_url=");
        setEntry(control, index);
        makeDispatcher(versionClass);

        onRelease.replaceInStrings("FG", "0x" + QString::number(m_foreground, 16).toUpper());
        for (bool released : {false, true})
            QCOMPARE(key(control, released), released ? onRelease : onPress);
    }
    void entryIsReadAgainForTheRelease()
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
    void wheelEntries()
    {
        // "mid|side class index direction", "-" for an empty index or direction.
        auto row = [&](const char *what, const QStringList &effects) {
            cleanup(), init(), dialogInFront(); // fresh fakes: volume and brightness levels
            QStringList f = QString(what).split(' ').replaceInStrings(QRegularExpression("^-$"), "");
            const int control = f[0] == "mid" ? kMidWheel : kSideWheel;
            setEntry(control, f[2]);
            makeDispatcher(f[1]);
            m_dispatcher->onKeyEvent(kSideUp, true); // wheels leave the current control alone
            LogCapture log;
            QCOMPARE(wheel(control, f[3]), effects);
            QCOMPARE(m_dispatcher->currentControl(), kSideUp);
            QVERIFY(!log.contains(QStringLiteral("当前的 index")));
            QVERIFY(!log.contains(QStringLiteral("win 8 功能处理")));
        };
        row("mid win10 0 up", L("mute 0|volume 0.51")), row("side win10 0 down", L("mute 0|volume 0.49"));
        row("mid win10 1 up", kScrollLeft), row("side win10 1 down", kScrollRight);
        row("side win10 2 up", L("key 0xA4 0|key 0xA0 0|key 0x9 0|pause 50|key 0x9 2"));
        row("mid win10 2 down", L("key 0xA4 0|key 0x9 0|pause 50|key 0x9 2"));
        row("mid win10 3 up", L("gamma ramp"));
        row("side win10 4 up", L("key 0xA2 1|key 0xA0 1|key 0x9 1|key 0x9 3|key 0xA0 3|key 0xA2 3"));
        row("mid win10 4 down", L("key 0xA2 1|key 0x9 1|key 0x9 3|key 0xA2 3"));
        row("side win10 5 up", L("key 0x11 1|mouse 0x800 120|key 0x11 3")), row("mid win10 5 down", kZoomOut);
        row("mid win10 6 up", extendedKey("0xB1")), row("side win10 6 down", extendedKey("0xB0"));
        // Play ignores the direction; a direction is an exact text.
        row("side win10 7 sideways", extendedKey("0xB3")), row("mid win10 6 Up", kNothing);
        // "None", no entry or outside the list: the wheel's own movement.
        row("mid win10 9 up", L("mouse 0x800 120")), row("side win8 - up", kScrollLeft);
        row("side win8 9 down", kScrollRight), row("mid win10 99999999999 down", L("mouse 0x800 -120"));
        // "win8" pages lack "Switch applications": stored 2 and above are one higher.
        row("side win8 1 up", kScrollLeft), row("side win8 2 down", L("gamma ramp"));
        row("mid win8 7 up", extendedKey("0xB2"));
    }
    // A key's combination is held while the key is, a sequence plays on the
    // release, a wheel's on each step; only behind the list's "None".
    void keyCombinations_data()
    {
        QTest::addColumn<QString>("versionClass");
        QTest::addColumn<QStringList>("values"); // "GROUP/key=value"
        QTest::addColumn<QStringList>("onPress"); // a wheel: its step up
        QTest::addColumn<QStringList>("onRelease"); // a wheel: its step down
        const auto row = [](const char *name, const char *cls, const char *values,
                            const char *press, const char *release) {
            QTest::newRow(name) << cls << L(values) << L(press) << L(release);
        };
        row("held", "win10", "SET/Right_key=Key combination-48-rightKey|"
                             "SET/Right_key_combination=Ctrl+Shift+T",
            "key 0xA2 0|key 0xA0 0|key 0x54 0", "key 0x54 2|key 0xA0 2|key 0xA2 2");
        row("sequence", "win10", "SET/Right_key=Key combination-48-rightKey|"
                                 "SET/Right_key_combination=Ctrl+K, Ctrl+C", "",
            "key 0xA2 0|key 0x4B 0|key 0x4B 2|key 0xA2 2|key 0xA2 0|key 0x43 0|key 0x43 2|key 0xA2 2");
        row("extended keys, win8", "win8", "SET/Right_key=Key combination-47-rightKey|"
                                           "SET/Right_key_combination=RAlt+Right",
            "key 0xA5 1|key 0x27 1", "key 0x27 3|key 0xA5 3");
        row("a program's set", "win10", "SET/Right_key=Copy-12-rightKey|PROGRAMS/count=1|"
                                        "PROGRAM1/program=editor.exe|"
                                        "PROGRAM1/Right_key=Key combination-48-rightKey|"
                                        "PROGRAM1/Right_key_combination=F5",
            "key 0x74 0", "key 0x74 2");
        row("behind another function", "win10", "SET/Right_key=Paste-14-rightKey|"
                                                "SET/Right_key_combination=F5",
            "", "key 0x11 0|key 0x56 0|pause 50|key 0x56 2|key 0x11 2");
        row("unusable text", "win10", "SET/Right_key=Key combination-48-rightKey|"
                                      "SET/Right_key_combination=Ctrl+Hyper",
            "mouse 0x8 0", "mouse 0x10 0");
        row("wheel", "win10", "SET/Side_wheel=Key combination-9-slideWheel|"
                              "SET/Side_wheel_combination_up=Ctrl+Plus|"
                              "SET/Side_wheel_combination_down=Ctrl+Minus",
            "key 0xA2 0|key 0xBB 0|key 0xBB 2|key 0xA2 2",
            "key 0xA2 0|key 0xBD 0|key 0xBD 2|key 0xA2 2");
    }
    void keyCombinations()
    {
        QFETCH(QString, versionClass);
        QFETCH(QStringList, values);
        QFETCH(QStringList, onPress);
        QFETCH(QStringList, onRelease);
        for (const QString &value : values)
            m_folder->setModelValue("QX210", value.section('=', 0, 0), value.section('=', 1));
        m_fakes->programs->showProgram("editor.exe");
        makeDispatcher(versionClass);
        if (values.first().startsWith("SET/Side_wheel")) {
            QCOMPARE(wheel(kSideWheel, "up"), onPress);
            QCOMPARE(wheel(kSideWheel, "down"), onRelease);
            return;
        }
        QCOMPARE(key(kRight, false), onPress);
        QCOMPARE(key(kRight, true), onRelease);
    }
    // Nothing a combination holds stays down: the receiver going away and the
    // agent's end let go of it.
    void heldKeysAreLetGo()
    {
        m_folder->setModelValue("QX210", "SET/Right_key", "Key combination-48-rightKey");
        m_folder->setModelValue("QX210", "SET/Right_key_combination", "Alt+Tab");
        makeDispatcher();
        QCOMPARE(key(kRight, false), L("key 0xA4 0|key 0x9 0"));
        m_fakes->clearEffects();
        m_dispatcher->releaseHeldKeys();
        QCOMPARE(m_fakes->effects(), L("key 0x9 2|key 0xA4 2"));
        QCOMPARE(key(kRight, true), kNothing);
        key(kRight, false);
        m_fakes->clearEffects();
        m_dispatcher.reset();
        QCOMPARE(m_fakes->effects(), L("key 0x9 2|key 0xA4 2"));
    }

    void pointerSpeedToggleIsSharedByAllKeys()
    {
        setPaths("slider_up_main_speed=3 slider_up_self_speed=4 slider_down_main_speed=5 "
                 "slider_down_self_speed=9");
        setEntry(kSideUp, "6"), setEntry(kSideDown, "6");
        makeDispatcher();
        QCOMPARE(key(kSideUp, false), kNothing);                // the press does not toggle
        QCOMPARE(key(kSideUp, true), QStringList{"speed 3"});   // side up's main speed
        QCOMPARE(key(kSideDown, true), QStringList{"speed 9"}); // side down's own speed
        QCOMPARE(key(kSideUp, true), QStringList{"speed 3"});
    }
    // Program sets: the set of the program in front decides a control that it has
    // an entry for, with its own parameters; anything unusable leaves the control to
    // the default set and is logged once per change of the file.
    void programSets_data()
    {
        QTest::addColumn<int>("control");
        QTest::addColumn<QString>("versionClass");
        QTest::addColumn<QStringList>("values"); // "GROUP/key=value" beside the default set
        QTest::addColumn<QString>("front");      // the program in front; empty: no window
        QTest::addColumn<QStringList>("effects"); // of the release or of the step "up"
        QTest::addColumn<int>("problems");        // lines logged per change of the file
        const QStringList paste = ctrlShortcut("0x56"), copy = ctrlShortcut("0x43");
        const QStringList editor{"PROGRAMS/count=1", "PROGRAM1/program=editor.exe"};
        auto row = [&](const char *name, const QStringList &values, const char *front,
                       const QStringList &effects, int problems = 0, int control = kRight,
                       const char *cls = "win10") {
            QTest::newRow(name) << control << cls << values << front << effects << problems;
        };
        const QStringList copyInEditor = editor + L("PROGRAM1/Right_key=Copy-12-rightKey");
        row("the program's entry", copyInEditor, "Editor.EXE", copy);
        row("no set for the program in front", copyInEditor, "notes", paste);
        row("no window in front", copyInEditor, "", paste);
        row("the program's set leaves the control to all programs",
            copyInEditor + L("PROGRAMS/count=2|PROGRAM2/program=notes|PROGRAM2/Mid_key=Copy-12-midKey"),
            "notes", paste);
        const QStringList web = L("SET/Right_key=Web-1-rightKey|PATH/right_web_url=http://all.example/|"
                                  "PROGRAM1/right_web_url=http://editor.example/");
        row("the set's parameters", editor + web + L("PROGRAM1/Right_key=Web-1-rightKey"),
            "editor.exe", L("open http://editor.example/ 10"));
        row("the default set's parameters", editor + web + L("PROGRAM1/Mid_key=Copy-12-midKey"),
            "editor.exe", L("open http://all.example/ 10"));
        row("parameter missing from the set", editor + L("SET/Right_key=Web-1-rightKey|"
                                                          "PATH/right_web_url=http://all.example/|"
                                                          "PROGRAM1/Right_key=Web-1-rightKey"),
            "editor.exe", kNothing);
        row("win8 numbering", editor + L("PROGRAM1/Right_key=f-41-rightKey"), "editor.exe",
            extendedKey("0x5B"), 0, kRight, "win8");
        row("wheel entry", editor + L("PROGRAM1/Side_wheel=f-7-slideWheel"), "editor.exe",
            extendedKey("0xB3"), 0, kSideWheel);
        // Bad input: no entry, or no set, for that program; the default set acts.
        row("key index outside the list", editor + L("PROGRAM1/Right_key=f-49-rightKey"),
            "editor.exe", paste, 1);
        row("win8 key index outside the list", editor + L("PROGRAM1/Right_key=f-48-rightKey"),
            "editor.exe", paste, 1, kRight, "win8");
        row("entry of two parts", editor + L("PROGRAM1/Right_key=Copy-12"), "editor.exe", paste, 1);
        for (const char *name : {"../editor.exe", "edi\ttor.exe"}) // no paths, no control characters
            row(name, L("PROGRAMS/count=1|PROGRAM1/Right_key=Copy-12-rightKey") +
                          QStringList(QString("PROGRAM1/program=") + name),
                "editor.exe", paste, 1);
        row("section without a program", L("PROGRAMS/count=1|PROGRAM1/Right_key=Copy-12-rightKey"),
            "editor.exe", paste, 1);
        row("a bad section leaves the next one", L("PROGRAMS/count=2|PROGRAM1/program=a:b|"
                                                   "PROGRAM2/program=editor.exe|"
                                                   "PROGRAM2/Right_key=Copy-12-rightKey"),
            "editor.exe", copy, 1);
        row("a repeated program", copyInEditor + L("PROGRAMS/count=2|PROGRAM2/program=EDITOR.exe|"
                                                   "PROGRAM2/Right_key=f-0-rightKey"),
            "editor.exe", copy, 1);
        QStringList many{"PROGRAMS/count=33", "PROGRAM33/program=editor.exe",
                         "PROGRAM33/Right_key=Copy-12-rightKey"};
        for (int section = 1; section <= 32; ++section)
            many << QStringLiteral("PROGRAM%1/program=p%1").arg(section);
        row("more than 32 sets", many, "editor.exe", paste, 1);
    }
    void programSets()
    {
        QFETCH(int, control);
        QFETCH(QString, versionClass);
        QFETCH(QStringList, values);
        QFETCH(QString, front);
        QFETCH(QStringList, effects);
        QFETCH(int, problems);
        setEntry(kRight, "14"); // Paste
        for (const QString &value : values)
            m_folder->setModelValue("QX210", value.section('=', 0, 0), value.section('=', 1));
        if (!front.isEmpty())
            m_fakes->programs->showProgram(front.toStdString());
        makeDispatcher(versionClass);
        const bool wheelControl = control == kSideWheel;
        auto use = [&] {
            return wheelControl ? wheel(control, "up") : (key(control, false), key(control, true));
        };
        LogCapture log;
        QCOMPARE(use(), effects);
        QCOMPARE(use(), effects); // the same, and nothing logged again
        QCOMPARE(log.lines().filter(QRegularExpression("^program sets: ")).size(), problems);
        m_folder->setModelValue("QX210", "SET/isConf", "Y"); // any change of the file
        QCOMPARE(use(), effects);
        QCOMPARE(log.lines().filter(QRegularExpression("^program sets: ")).size(), 2 * problems);
    }
    void programLookupIsCachedPerWindow()
    {
        setEntry(kRight, "14");
        for (const char *value : {"PROGRAMS/count=1", "PROGRAM1/program=editor.exe",
                                  "PROGRAM1/Right_key=Copy-12-rightKey"})
            m_folder->setModelValue("QX210", QString(value).section('=', 0, 0),
                                    QString(value).section('=', 1));
        auto *programs = m_fakes->programs;
        const platform::WindowId editor = programs->showProgram("editor.exe");
        makeDispatcher();
        wheel(kMidWheel, "up"), key(kMid, true); // no set has an entry for them
        QCOMPARE(programs->foregroundCalls(), 0);
        key(kRight, false);
        QCOMPARE(key(kRight, true), ctrlShortcut("0x43"));
        QCOMPARE(programs->foregroundCalls(), 2); // asked at every event of the key
        QCOMPARE(programs->programOfCalls(), 1);  // the window's program once
        programs->showProgram("notes");
        QCOMPARE(key(kRight, true), ctrlShortcut("0x56"));
        QCOMPARE(key(kRight, true), ctrlShortcut("0x56"));
        QCOMPARE(programs->programOfCalls(), 2);
        programs->setForeground(editor);
        QCOMPARE(key(kRight, true), ctrlShortcut("0x43"));
        programs->setForeground(0); // no window: nothing to ask
        QCOMPARE(key(kRight, true), ctrlShortcut("0x56"));
        QCOMPARE(programs->programOfCalls(), 3);
        QCOMPARE(programs->foregroundCalls(), 6);
    }

private:
    void makeDispatcher(const QString &versionClass = QStringLiteral("win10"))
    {
        appenv::setWindowsVersionClass(versionClass);
        m_dispatcher = std::make_unique<ProMouseFunc>(m_fakes->platform);
        m_dispatcher->inputActions().setSoundPlayer(std::make_unique<RecordingSoundPlayer>(&m_extra));
    }
    void setEntry(int control, const QString &index) // empty: removed
    {
        if (index.isEmpty())
            m_folder->removeModelValue("QX210", kSetKeys[control]);
        else
            m_folder->setModelValue("QX210", kSetKeys[control],
                                    QStringLiteral("f-%1-%2").arg(index, kTags[control]));
    }
    void setPaths(const QString &pairs) // "name=value ..." under PATH/
    {
        for (const QString &pair : pairs.split(' '))
            m_folder->setModelValue("QX210", "PATH/" + pair.section('=', 0, 0), pair.section('=', 1));
    }
    QStringList key(int control, bool released)
    {
        m_fakes->clearEffects();
        m_extra.clear();
        m_dispatcher->onKeyEvent(control, released);
        return m_fakes->effects() + m_extra;
    }
    QStringList wheel(int control, const QString &direction)
    {
        m_fakes->clearEffects();
        m_dispatcher->onWheelEvent(control, direction);
        return m_fakes->effects();
    }
    void dialogInFront() // under the cursor: tab switching acts on it
    {
        m_fakes->windows->setVisible(m_foreground, false);
        m_fakes->windows->addWindow(0, "#32770", {0, 0, 400, 300}, 0, "Options");
        m_fakes->windows->setForeground(m_fakes->windows->windowFromPoint({100, 100}));
    }

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<FakeAgentPlatform> m_fakes;
    std::unique_ptr<ProMouseFunc> m_dispatcher;
    QStringList m_extra;
    platform::WindowId m_foreground = 0;
};

QTEST_MAIN(TestDispatcher)
#include "tst_dispatcher.moc"