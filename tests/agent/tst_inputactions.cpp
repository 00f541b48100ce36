// The simple actions against recording fakes: the exact key and mouse sequences,
// zoom by window class, the path actions reading the current control's
// parameters, the default browser's lookup, closing the foreground window and
// playing sounds.
#include "actions/inputactions.h"
#include "actions/soundplayer.h"
#include "agentconffile.h"
#include "fake_agent_platform.h"
#include "logcapture.h"

#include <QDesktopServices>
#include <QMediaContent>
#include <QMediaPlayer>
#include <QtTest>

#include <functional>
#include <memory>

using platform::RegistryRoot;

namespace {

const QString kModel = QStringLiteral("QX210");

QStringList toStrings(const std::vector<std::string> &lines)
{
    QStringList out;
    for (const std::string &line : lines)
        out << QString::fromStdString(line);
    return out;
}

class RecordingSoundPlayer : public SoundPlayer
{
public:
    void play(const QUrl &source) override { played.append(source); }
    QList<QUrl> played;
};

// Receives what QDesktopServices::openUrl is asked to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

using Operation = std::function<void(InputActions &)>;

const char kUserChoice[] =
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\Ftp\\UserChoice\\";

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestInputActions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyAndMouseSequences_data();
    void keyAndMouseSequences();
    void rightButtonLogsEachHalf();

    void zoom_data();
    void zoom();

    void runProgramPassesUnicode();
    void openWebUrl_data();
    void openWebUrl();
    void pathActionsReadTheCurrentControl();

    void openPaths_data();
    void openPaths();

    void playSound_data();
    void playSound();
    void playSoundReplacesTheRunningSound();
    void mediaPlayerPlaysAtFullVolume();

    void openSpecialFolder();

    void openDefaultBrowser_data();
    void openDefaultBrowser();
    void defaultBrowserReadsTheShellKeys();

    void closeForegroundWindow_data();
    void closeForegroundWindow();

private:
    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<FakeAgentPlatform> m_fakes;
    std::unique_ptr<agent::OpFunConfFile> m_settings;
    std::unique_ptr<InputActions> m_actions;
    RecordingSoundPlayer *m_player = nullptr;
    UrlCatcher m_urls;
};

void TestInputActions::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_folder->setModel(kModel);
    m_folder->setModelValue(kModel, QStringLiteral("SET/isConf"), QStringLiteral("Y"));
    m_fakes = std::make_unique<FakeAgentPlatform>();
    m_settings = std::make_unique<agent::OpFunConfFile>();
    m_actions = std::make_unique<InputActions>(m_fakes->platform, *m_settings);
    auto player = std::make_unique<RecordingSoundPlayer>();
    m_player = player.get();
    m_actions->setSoundPlayer(std::move(player));
    m_urls.opened.clear();
    for (const char *scheme : {"file", "http", "https", "c", ""})
        QDesktopServices::setUrlHandler(QLatin1String(scheme), &m_urls, "open");
}

void TestInputActions::cleanup()
{
    for (const char *scheme : {"file", "http", "https", "c", ""})
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    m_actions.reset();
    m_settings.reset();
    m_fakes.reset();
    m_folder.reset();
}

void TestInputActions::keyAndMouseSequences_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QStringList>("expected");

    const auto ctrl = [](const char *letter) {
        return QStringList{"key 0x11 0", QStringLiteral("key %1 0").arg(letter), "pause 50",
                           QStringLiteral("key %1 2").arg(letter), "key 0x11 2"};
    };
    const struct
    {
        const char *name;
        int selector;
        const char *letter;
    } shortcuts[] = {
        {"copy", 0x301, "0x43"},   {"cut", 0x300, "0x58"}, {"paste", 0x302, "0x56"},
        {"select all", 0, "0x41"}, {"new", 1, "0x4E"},     {"save", 2, "0x53"},
        {"print", 3, "0x50"},
    };
    for (const auto &s : shortcuts) {
        const int selector = s.selector;
        QTest::newRow(s.name) << Operation([selector](InputActions &a) {
            a.sendCtrlShortcut(selector);
        }) << ctrl(s.letter);
    }
    for (int selector : {4, -1, 0x303, 0x2FF, 0x43})
        QTest::addRow("no shortcut %d", selector)
            << Operation([selector](InputActions &a) { a.sendCtrlShortcut(selector); })
            << QStringList();

    QTest::newRow("run dialog") << Operation([](InputActions &a) {
        a.openRunDialog();
    }) << QStringList{"key 0x5B 0", "key 0x52 0", "key 0x52 2", "key 0x5B 2"};
    QTest::newRow("windows key") << Operation([](InputActions &a) { a.pressWindowsKey(); })
                                 << QStringList{"key 0x5B 1", "key 0x5B 3"};
    for (int vk : {0xB3, 0xB2, 0xB1, 0xB0}) {
        QTest::addRow("media 0x%X", vk) << Operation([vk](InputActions &a) {
            a.sendMediaKey(vk);
        }) << QStringList{QString::asprintf("key 0x%X 1", vk), QString::asprintf("key 0x%X 3", vk)};
    }
    for (int vk : {0, -5, 0x1B3})
        QTest::addRow("media key %d out of range", vk)
            << Operation([vk](InputActions &a) { a.sendMediaKey(vk); }) << QStringList();

    QTest::newRow("left press") << Operation([](InputActions &a) { a.leftButton(false); })
                                << QStringList{"mouse 0x2 0"};
    QTest::newRow("left release") << Operation([](InputActions &a) { a.leftButton(true); })
                                  << QStringList{"mouse 0x4 0"};
    QTest::newRow("right press") << Operation([](InputActions &a) { a.rightButton(false); })
                                 << QStringList{"mouse 0x8 0"};
    QTest::newRow("right release")
        << Operation([](InputActions &a) { a.rightButton(true); }) << QStringList{"mouse 0x10 0"};
    QTest::newRow("middle press") << Operation([](InputActions &a) { a.middleButton(false); })
                                  << QStringList{"mouse 0x20 0"};
    QTest::newRow("middle release")
        << Operation([](InputActions &a) { a.middleButton(true); }) << QStringList{"mouse 0x40 0"};
    QTest::newRow("x1 press") << Operation([](InputActions &a) { a.xButton(1, false); })
                              << QStringList{"mouse 0x80 1"};
    QTest::newRow("x1 release") << Operation([](InputActions &a) { a.xButton(1, true); })
                                << QStringList{"mouse 0x100 1"};
    QTest::newRow("x2 press") << Operation([](InputActions &a) { a.xButton(2, false); })
                              << QStringList{"mouse 0x80 2"};
    QTest::newRow("x2 release") << Operation([](InputActions &a) { a.xButton(2, true); })
                                << QStringList{"mouse 0x100 2"};
    QTest::newRow("x button 0") << Operation([](InputActions &a) { a.xButton(0, false); })
                                << QStringList();
    QTest::newRow("x button 3") << Operation([](InputActions &a) { a.xButton(3, true); })
                                << QStringList();
    QTest::newRow("double click") << Operation([](InputActions &a) {
        a.doubleClick();
    }) << QStringList{"mouse 0x2 0", "pause 100", "mouse 0x4 0", "pause 100",
                      "mouse 0x2 0", "pause 100", "mouse 0x4 0"};
    QTest::newRow("wheel up") << Operation([](InputActions &a) { a.wheelUp(); })
                              << QStringList{"mouse 0x800 120"};
    QTest::newRow("wheel down") << Operation([](InputActions &a) { a.wheelDown(); })
                                << QStringList{"mouse 0x800 -120"};
}

void TestInputActions::keyAndMouseSequences()
{
    QFETCH(Operation, operation);
    QFETCH(QStringList, expected);
    operation(*m_actions);
    QCOMPARE(toStrings(m_fakes->input->describedEvents()), expected);
    // Nothing but input.
    QVERIFY(m_fakes->shell->opened().empty());
    QVERIFY(m_fakes->windows->postedMessages().empty());
}

void TestInputActions::rightButtonLogsEachHalf()
{
    LogCapture log;
    m_actions->rightButton(false);
    const int first = log.indexOf(QStringLiteral("鼠标右键点击"));
    QVERIFY(first >= 0);
    m_actions->rightButton(true);
    QVERIFY(log.indexOf(QStringLiteral("鼠标右键点击"), first + 1) > first);
    QCOMPARE(toStrings(m_fakes->input->describedEvents()),
             QStringList({"mouse 0x8 0", "mouse 0x10 0"}));
}

void TestInputActions::zoom_data()
{
    QTest::addColumn<QString>("windowClass"); // empty: no window under the cursor
    QTest::addColumn<bool>("in");
    QTest::addColumn<QStringList>("expected");

    const QStringList keyIn{"key 0x11 1", "key 0xBB 1", "key 0xBB 3", "key 0x11 3"};
    const QStringList keyOut{"key 0x11 1", "key 0xBD 1", "key 0xBD 3", "key 0x11 3"};
    const QStringList wheelIn{"key 0x11 1", "mouse 0x800 120", "key 0x11 3"};
    const QStringList wheelOut{"key 0x11 1", "mouse 0x800 -120", "key 0x11 3"};

    for (const char *cls :
         {"MozillaWindowClass", "AVL_AVView", "PSViewC", "Chrome_RenderWidgetHostHWND",
          "Internet Explorer_Server", "Windows.UI.Core.CoreWindow"}) {
        QTest::addRow("%s in", cls) << QString::fromLatin1(cls) << true << keyIn;
        QTest::addRow("%s out", cls) << QString::fromLatin1(cls) << false << keyOut;
    }
    QTest::newRow("chrome in lower case")
        << QStringLiteral("chrome_renderwidgethosthwnd") << true << keyIn;
    QTest::newRow("firefox in upper case")
        << QStringLiteral("MOZILLAWINDOWCLASS") << false << keyOut;
    QTest::newRow("notepad in") << QStringLiteral("Notepad") << true << wheelIn;
    QTest::newRow("notepad out") << QStringLiteral("Notepad") << false << wheelOut;
    QTest::newRow("longer class name") << QStringLiteral("MozillaWindowClassX") << true << wheelIn;
    QTest::newRow("shorter class name") << QStringLiteral("PSView") << false << wheelOut;
    QTest::newRow("desktop") << QString() << true << wheelIn;
}

void TestInputActions::zoom()
{
    QFETCH(QString, windowClass);
    QFETCH(bool, in);
    QFETCH(QStringList, expected);

    // A decoy beside the window under the cursor: only the one under it counts.
    m_fakes->windows->addWindow(0, "MozillaWindowClass", {0, 0, 100, 100});
    if (!windowClass.isEmpty())
        m_fakes->windows->addWindow(0, windowClass.toStdString(), {500, 400, 900, 800});
    m_fakes->input->setCursorPos({640, 480});

    if (in)
        m_actions->zoomIn();
    else
        m_actions->zoomOut();
    QCOMPARE(toStrings(m_fakes->input->describedEvents()), expected);
}

void TestInputActions::runProgramPassesUnicode()
{
    m_actions->runProgram(QStringLiteral("calc.exe"));
    m_actions->runProgram(QStringLiteral("C:\\Programme\\Größe\\工具.exe"));
    const std::vector<platform::fake::FakeShell::Open> expected{
        {"calc.exe", 10}, {u8"C:\\Programme\\Größe\\工具.exe", 10}};
    QVERIFY(m_fakes->shell->opened() == expected);
}

void TestInputActions::openWebUrl_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("key"); // written to the model's file unless empty
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("opened"); // empty: nothing opened

    QTest::newRow("middle key") << 0 << "PATH/mid_web_url"
                                << "https://example.com/"
                                << "https://example.com/";
    QTest::newRow("right key") << 5 << "PATH/right_web_url"
                               << "www.example.org"
                               << "www.example.org";
    QTest::newRow("side up key") << 2 << "PATH/slider_up_web_url"
                                 << "http://a.example/x?y=1"
                                 << "http://a.example/x?y=1";
    QTest::newRow("side down key") << 3 << "PATH/slider_down_web_url"
                                   << "https://b.example/"
                                   << "https://b.example/";
    // Non-ASCII addresses reach the shell intact, not widened byte by byte.
    QTest::newRow("unicode host and path")
        << 0 << "PATH/mid_web_url" << QStringLiteral("https://bücher.example/straße?q=日本")
        << QStringLiteral("https://bücher.example/straße?q=日本");
    QTest::newRow("cyrillic") << 5 << "PATH/right_web_url" << QStringLiteral("https://пример.рф/")
                              << QStringLiteral("https://пример.рф/");
    QTest::newRow("missing key") << 0 << ""
                                 << ""
                                 << "";
    QTest::newRow("empty value") << 0 << "PATH/mid_web_url"
                                 << ""
                                 << "";
    QTest::newRow("other control's key") << 2 << "PATH/mid_web_url"
                                         << "https://example.com/"
                                         << "";
    QTest::newRow("middle wheel") << 1 << "PATH/mid_web_url"
                                  << "https://example.com/"
                                  << "";
    QTest::newRow("side wheel") << 4 << "PATH/mid_web_url"
                                << "https://example.com/"
                                << "";
    QTest::newRow("no such control") << 6 << "PATH/mid_web_url"
                                     << "https://example.com/"
                                     << "";
    QTest::newRow("negative control") << -1 << "PATH/mid_web_url"
                                      << "https://example.com/"
                                      << "";
}

void TestInputActions::openWebUrl()
{
    QFETCH(int, control);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, opened);
    if (!key.isEmpty())
        m_folder->setModelValue(kModel, key, value);

    m_actions->openWebUrl(control);

    if (opened.isEmpty()) {
        QVERIFY(m_fakes->shell->opened().empty());
    } else {
        QCOMPARE(m_fakes->shell->opened().size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(m_fakes->shell->opened().front().file), opened);
        QCOMPARE(m_fakes->shell->opened().front().showCmd, 10);
    }
    QVERIFY(m_urls.opened.isEmpty());
}

// Every path action takes its key from the control it is given, whatever the
// others hold, and follows a change of the file between two uses.
void TestInputActions::pathActionsReadTheCurrentControl()
{
    m_folder->setModelValues(kModel, {{"PATH/mid_app_path", "file:///C:/mid.exe"},
                                      {"PATH/right_app_path", "file:///C:/right.exe"},
                                      {"PATH/slider_up_app_path", "file:///C:/up.exe"},
                                      {"PATH/slider_down_app_path", "file:///C:/down.exe"}});
    for (int control : {5, 3, 0, 2, 1, 4})
        m_actions->openApplication(control);
    m_folder->setModelValue(kModel, "PATH/mid_app_path", "file:///C:/changed.exe");
    m_actions->openApplication(0);

    QCOMPARE(m_urls.opened, QList<QUrl>({QUrl("file:///C:/right.exe"), QUrl("file:///C:/down.exe"),
                                         QUrl("file:///C:/mid.exe"), QUrl("file:///C:/up.exe"),
                                         QUrl("file:///C:/changed.exe")}));
}

void TestInputActions::openPaths_data()
{
    QTest::addColumn<QString>("action"); // file, folder, app
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QUrl>("opened"); // invalid: nothing opened
    QTest::addColumn<QString>("logLabel");
    QTest::addColumn<bool>("logsUrl");

    QTest::newRow("file from the dialog")
        << "file" << 0 << "PATH/mid_file_path"
        << "file:///C:/Users/a/report.docx" << QUrl("file:///C:/Users/a/report.docx")
        << "file_path " << false;
    QTest::newRow("file with spaces and umlauts")
        << "file" << 5 << "PATH/right_file_path"
        << QStringLiteral("file:///C:/Eigene Dateien/Bericht Ä.txt")
        << QUrl::fromLocalFile(QStringLiteral("/C:/Eigene Dateien/Bericht Ä.txt")) << "file_path "
        << false;
    QTest::newRow("typed web address as file")
        << "file" << 2 << "PATH/slider_up_file_path"
        << "https://example.com/a.pdf" << QUrl("https://example.com/a.pdf") << "file_path "
        << false;
    QTest::newRow("file missing") << "file" << 0 << ""
                                  << "" << QUrl() << "file_path " << false;
    QTest::newRow("file empty") << "file" << 0 << "PATH/mid_file_path"
                                << "" << QUrl() << "file_path " << false;
    QTest::newRow("folder") << "folder" << 3 << "PATH/slider_down_folder_path"
                            << "file:///D:/Music" << QUrl("file:///D:/Music") << "floder_path "
                            << true;
    QTest::newRow("folder on a wheel") << "folder" << 1 << "PATH/mid_folder_path"
                                       << "file:///D:/Music" << QUrl() << "floder_path " << false;
    QTest::newRow("folder missing") << "folder" << 5 << ""
                                    << "" << QUrl() << "floder_path " << false;
    QTest::newRow("application") << "app" << 0 << "PATH/mid_app_path"
                                 << "file:///C:/Program Files/App/app.exe"
                                 << QUrl::fromLocalFile("/C:/Program Files/App/app.exe")
                                 << "app_path " << true;
    QTest::newRow("application empty") << "app" << 2 << "PATH/slider_up_app_path"
                                       << "" << QUrl() << "app_path " << false;
}

void TestInputActions::openPaths()
{
    QFETCH(QString, action);
    QFETCH(int, control);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QUrl, opened);
    QFETCH(QString, logLabel);
    QFETCH(bool, logsUrl);
    if (!key.isEmpty())
        m_folder->setModelValue(kModel, key, value);

    LogCapture log;
    if (action == "file")
        m_actions->openFile(control);
    else if (action == "folder")
        m_actions->openFolder(control);
    else
        m_actions->openApplication(control);

    if (opened.isValid())
        QCOMPARE(m_urls.opened, QList<QUrl>({opened}));
    else
        QVERIFY(m_urls.opened.isEmpty());
    QVERIFY(log.contains(logLabel.trimmed()));
    QCOMPARE(log.contains(QStringLiteral("urlPath")), logsUrl);
    QVERIFY(m_fakes->shell->opened().empty());
}

void TestInputActions::playSound_data()
{
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QUrl>("played");       // invalid: nothing played
    QTest::addColumn<QString>("localPath"); // the path of that URL on this system

    // file:///C:/a.wav is the Windows file C:/a.wav; the URL is the same on every
    // system, only the local path form differs.
    QTest::newRow("drive letter url")
        << 0 << "PATH/mid_sound_path"
        << "file:///C:/a.wav" << QUrl("file:///C:/a.wav") << QUrl("file:///C:/a.wav").toLocalFile();
    // An absolute path that starts with "/" stays absolute.
    QTest::newRow("absolute unix url")
        << 5 << "PATH/right_sound_path"
        << "file:///home/u/sounds/ding.wav" << QUrl("file:///home/u/sounds/ding.wav")
        << "/home/u/sounds/ding.wav";
    QTest::newRow("percent-encoded url")
        << 2 << "PATH/slider_up_sound_path"
        << "file:///home/u/ding%20dong.wav" << QUrl("file:///home/u/ding%20dong.wav")
        << "/home/u/ding dong.wav";
    QTest::newRow("non-ascii url")
        << 3 << "PATH/slider_down_sound_path" << QStringLiteral("file:///home/u/Klänge/größe.wav")
        << QUrl::fromLocalFile(QStringLiteral("/home/u/Klänge/größe.wav"))
        << QStringLiteral("/home/u/Klänge/größe.wav");
    QTest::newRow("plain absolute path")
        << 0 << "PATH/mid_sound_path"
        << "/opt/sounds/a.wav" << QUrl("file:///opt/sounds/a.wav") << "/opt/sounds/a.wav";
    QTest::newRow("missing key") << 0 << ""
                                 << "" << QUrl() << "";
    QTest::newRow("empty value") << 5 << "PATH/right_sound_path"
                                 << "" << QUrl() << "";
    QTest::newRow("wheel control") << 4 << "PATH/mid_sound_path"
                                   << "file:///C:/a.wav" << QUrl() << "";
}

void TestInputActions::playSound()
{
    QFETCH(int, control);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QUrl, played);
    QFETCH(QString, localPath);
    if (!key.isEmpty())
        m_folder->setModelValue(kModel, key, value);

    LogCapture log;
    m_actions->playSound(control);

    QVERIFY(log.contains(QStringLiteral("sound_path")));
    if (!played.isValid()) {
        QVERIFY(m_player->played.isEmpty());
        return;
    }
    QCOMPARE(m_player->played.size(), 1);
    const QUrl url = m_player->played.first();
    QVERIFY(url.isLocalFile());
    QCOMPARE(url, played);
    QCOMPARE(url.toLocalFile(), localPath);
}

void TestInputActions::playSoundReplacesTheRunningSound()
{
    m_folder->setModelValues(kModel, {{"PATH/mid_sound_path", "file:///C:/first.wav"},
                                      {"PATH/right_sound_path", "file:///C:/second.wav"}});
    m_actions->playSound(0);
    m_actions->playSound(5);
    m_actions->playSound(0);
    QCOMPARE(m_player->played,
             QList<QUrl>({QUrl("file:///C:/first.wav"), QUrl("file:///C:/second.wav"),
                          QUrl("file:///C:/first.wav")}));
}

// The production player: a QMediaPlayer without parent at volume 100 that is
// handed the file. (Without a playback backend the player keeps no volume.)
void TestInputActions::mediaPlayerPlaysAtFullVolume()
{
    InputActions actions(m_fakes->platform, *m_settings);
    auto *media = dynamic_cast<MediaSoundPlayer *>(actions.soundPlayer());
    QVERIFY(media);
    QVERIFY(media->player()->parent() == nullptr);
    if (media->player()->isAvailable())
        QCOMPARE(media->player()->volume(), 100);

    m_folder->setModelValue(kModel, "PATH/mid_sound_path", "file:///C:/Windows/Media/ding.wav");
    actions.playSound(0);
    QCOMPARE(media->player()->media().request().url(), QUrl("file:///C:/Windows/Media/ding.wav"));
    m_folder->setModelValue(kModel, "PATH/mid_sound_path", "file:///C:/Windows/Media/tada.wav");
    actions.playSound(0);
    QCOMPARE(media->player()->media().request().url(), QUrl("file:///C:/Windows/Media/tada.wav"));
}

void TestInputActions::openSpecialFolder()
{
    for (int csidl : {0x27, 5, 0x11, 0x0E, 0x0D})
        m_actions->openSpecialFolder(csidl);
    QVERIFY(m_fakes->shell->specialFolders() == std::vector<int>({0x27, 5, 0x11, 0x0E, 0x0D}));
    QVERIFY(m_fakes->shell->opened().empty());
}

void TestInputActions::openDefaultBrowser_data()
{
    QTest::addColumn<QString>("progId");  // empty: no UserChoice value
    QTest::addColumn<QString>("command"); // empty: no open command
    QTest::addColumn<QString>("program");

    QTest::newRow("no user choice") << ""
                                    << ""
                                    << "iexplore.exe";
    QTest::newRow("choice without command") << "ChromeHTML"
                                            << ""
                                            << "iexplore.exe";
    QTest::newRow("quoted program with arguments")
        << "ChromeHTML"
        << R"("C:\Program Files\Google\Chrome\Application\chrome.exe" --single-argument %1)"
        << R"(C:\Program Files\Google\Chrome\Application\chrome.exe)";
    QTest::newRow("quoted program only") << "FirefoxURL"
                                         << R"("C:\Program Files\Mozilla Firefox\firefox.exe")"
                                         << R"(C:\Program Files\Mozilla Firefox\firefox.exe)";
    QTest::newRow("unquoted command") << "OperaStable"
                                      << R"(C:\Opera\launcher.exe)"
                                      << R"(C:\Opera\launcher.exe)";
    QTest::newRow("single quote mark") << "Odd"
                                       << R"(C:\odd\"browser.exe)"
                                       << R"(C:\odd\"browser.exe)";
    QTest::newRow("unicode path") << "VivaldiHTM" << QStringLiteral(R"("C:\Браузер\v.exe" "%1")")
                                  << QStringLiteral(R"(C:\Браузер\v.exe)");
    QTest::newRow("command too long for the buffer")
        << "LongHTML" << QString(261, QLatin1Char('x')) << "iexplore.exe";
}

void TestInputActions::openDefaultBrowser()
{
    QFETCH(QString, progId);
    QFETCH(QString, command);
    QFETCH(QString, program);
    if (!progId.isEmpty())
        m_fakes->shell->setRegistryString(RegistryRoot::CurrentUser, kUserChoice, "Progid",
                                          progId.toStdString());
    if (!command.isEmpty())
        m_fakes->shell->setRegistryString(RegistryRoot::ClassesRoot,
                                          progId.toStdString() + "\\shell\\open\\command\\", "",
                                          command.toStdString());

    m_actions->openDefaultBrowser();

    QCOMPARE(m_fakes->shell->opened().size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(m_fakes->shell->opened().front().file), program);
    QCOMPARE(m_fakes->shell->opened().front().showCmd, 1);
}

void TestInputActions::defaultBrowserReadsTheShellKeys()
{
    m_fakes->shell->setRegistryString(RegistryRoot::CurrentUser, kUserChoice, "Progid",
                                      "MSEdgeHTM");
    m_actions->openDefaultBrowser();
    const std::vector<std::string> expected{
        std::string("HKCU\\") + kUserChoice + "|Progid",
        "HKCR\\MSEdgeHTM\\shell\\open\\command\\|",
    };
    QVERIFY(m_fakes->shell->registryReads() == expected);
}

void TestInputActions::closeForegroundWindow_data()
{
    QTest::addColumn<bool>("hasForeground");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("posts");

    QTest::newRow("editor") << true << QStringLiteral("a.txt - Editor") << true;
    QTest::newRow("unicode title") << true << QStringLiteral("文档 - 记事本") << true;
    QTest::newRow("desktop") << true << QStringLiteral("Program Manager") << false;
    QTest::newRow("lower-case desktop title") << true << QStringLiteral("program manager") << true;
    QTest::newRow("desktop title with suffix")
        << true << QStringLiteral("Program Manager 2") << true;
    QTest::newRow("untitled") << true << QString() << false;
    QTest::newRow("no foreground window") << false << QString() << false;
}

void TestInputActions::closeForegroundWindow()
{
    QFETCH(bool, hasForeground);
    QFETCH(QString, title);
    QFETCH(bool, posts);

    platform::fake::FakeWindowSystem &windows = *m_fakes->windows;
    const platform::WindowId other = windows.addWindow(0, "Other", {0, 0, 50, 50}, 0, "Other");
    platform::WindowId front = 0;
    if (hasForeground)
        front = windows.addWindow(0, "Front", {100, 100, 400, 400}, 0, title.toStdString());
    windows.setForeground(front);
    Q_UNUSED(other);

    LogCapture log;
    m_actions->closeForegroundWindow();

    QVERIFY(log.contains(QStringLiteral("当前即将关闭的窗口")));
    if (posts) {
        const std::vector<platform::fake::FakeWindowSystem::PostedMessage> expected{
            {front, platform::kWmClose, 0, 0}};
        QVERIFY(windows.postedMessages() == expected);
    } else {
        QVERIFY(windows.postedMessages().empty());
    }
}

QTEST_MAIN(TestInputActions)
#include "tst_inputactions.moc"
