// Key and mouse sequences, zoom, path actions, default browser and window closing.
#include "actions/inputactions.h"
#include "actions/soundplayer.h"
#include "agentconffile.h"
#include "action_table.h"
#include "fake_agent_platform.h"
#include "logcapture.h"

#include <QDesktopServices>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString kModel = QStringLiteral("QX210");
const char *const kSchemes[] = {"file", "http", "https", "c", ""};

using Operation = std::function<void(InputActions &, FakeAgentPlatform &)>;
#define OP(...)                                                                                    \
    Operation([=](InputActions &a, [[maybe_unused]] FakeAgentPlatform &f) { __VA_ARGS__; })

// A window of `windowClass` under the cursor (none when empty), a decoy beside it.
void windowUnderCursor(FakeAgentPlatform &f, const char *windowClass)
{
    f.windows->addWindow(0, "MozillaWindowClass", {0, 0, 100, 100});
    if (*windowClass)
        f.windows->addWindow(0, windowClass, {500, 400, 900, 800});
    f.input->setCursorPos({640, 480});
}

// A foreground window with `title` (none when null) and another one.
void foreground(FakeAgentPlatform &f, const QString &title)
{
    f.windows->addWindow(0, "Other", {0, 0, 50, 50}, 0, "Other");
    if (!title.isNull())
        f.windows->setForeground(
            f.windows->addWindow(0, "Front", {9, 9, 99, 99}, 0, title.toStdString()));
}

void setBrowser(FakeAgentPlatform &f, const std::string &progId, const std::string &command)
{
    if (!progId.empty())
        f.shell->setRegistryString(
            platform::RegistryRoot::CurrentUser,
            "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\Ftp\\UserChoice\\",
            "Progid", progId);
    if (!command.empty())
        f.shell->setRegistryString(platform::RegistryRoot::ClassesRoot,
                                   progId + "\\shell\\open\\command\\", "", command);
}

// Notes the last sound it was handed.
struct LastSound : SoundPlayer {
    explicit LastSound(QUrl *last) : last(last) {}
    void play(const QUrl &source) override { *last = source; }
    QUrl *last;
};

struct Env
{
    SettingsFolder folder;
    const bool ready = (folder.setModel(kModel), folder.setModelValue(kModel, "SET/isConf", "Y"),
                        folder.isValid());
    FakeAgentPlatform fakes;
    agent::OpFunConfFile settings;
    InputActions actions{fakes.platform, settings};
    ModuleSoundPlayer *player = dynamic_cast<ModuleSoundPlayer *>(actions.soundPlayer());
    QUrl sound;
    int loads = 0;
};

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestInputActions : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl &url) { m_opened.append(url); }

private slots:
    void init()
    {
        m_env = std::make_unique<Env>();
        QVERIFY(m_env->ready && m_env->player && !m_env->player->loaded());
        m_env->actions.setSoundPlayer(std::make_unique<ModuleSoundPlayer>([this](QString &) {
            ++m_env->loads;
            return std::make_unique<LastSound>(&m_env->sound);
        }));
        m_opened.clear();
        for (const char *scheme : kSchemes)
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
        InputActions::setUrlOpener([](const QUrl &url) { QDesktopServices::openUrl(url); });
    }
    void cleanup()
    {
        for (const char *scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
        InputActions::setUrlOpener(nullptr);
        m_env.reset();
    }
    void actions_data()
    {
        addActionColumns<Operation>();
        const ActionRows<Operation> add;

        // The catalogue's sequences themselves are checked through the dispatcher.
        add("unknown shortcuts and keys", OP(for (int k : {4, -1, 0x303}) a.sendCtrlShortcut(k);
                                             for (int vk : {0, -5, 0x1B3}) a.sendMediaKey(vk)), {});
        add("right button logs", OP(a.rightButton(false); a.rightButton(true)),
            {"mouse 0x8 0", "mouse 0x10 0"}, {}, {"鼠标右键点击"});
        add("other buttons do not", OP(a.leftButton(false); a.middleButton(true)),
            {"mouse 0x2 0", "mouse 0x40 0"}, {}, {"!鼠标右键点击"});
        add("x buttons", OP(for (int b : {0, 1, 2, 3}) a.xButton(b, false)),
            {"mouse 0x80 1", "mouse 0x80 2"});

        // Ctrl with +/- where the class under the cursor (in any case) asks for it,
        // Ctrl with the wheel elsewhere.
        const QStringList keyZoom{"key 0x11 1", "key 0xBB 1", "key 0xBB 3", "key 0x11 3",
                                  "key 0x11 1", "key 0xBD 1", "key 0xBD 3", "key 0x11 3"};
        const QStringList wheelZoom{"key 0x11 1", "mouse 0x800 120",  "key 0x11 3",
                                    "key 0x11 1", "mouse 0x800 -120", "key 0x11 3"};
        for (const char *cls : {"chrome_renderwidgethosthwnd"})
            add(QByteArray("zoom ") + cls, OP(windowUnderCursor(f, cls); a.zoomIn(); a.zoomOut()),
                keyZoom);
        for (const char *cls : {"MozillaWindowClassX", ""})
            add(QByteArray("zoom ") + cls, OP(windowUnderCursor(f, cls); a.zoomIn(); a.zoomOut()),
                wheelZoom);

        // Web addresses reach the shell intact; wheels and unknown controls have none.
        add("web", OP(a.openWebUrl(0)), {"open https://example.com/ 10"},
            {"PATH/mid_web_url=https://example.com/"});
        add("web, unicode", OP(a.openWebUrl(5)), {"open https://bücher.example/straße?q=日本 10"},
            {"PATH/right_web_url=https://bücher.example/straße?q=日本"});
        add("web, empty", OP(a.openWebUrl(0)), {}, {"PATH/mid_web_url="});
        // Typed without a scheme: opened as https, not as a file name.
        add("web, no scheme", OP(a.openWebUrl(0)), {"open https://example.org:8080/a 10"},
            {"PATH/mid_web_url=example.org:8080/a"});
        add("web, a wheel", OP(a.openWebUrl(1)), {}, {"PATH/mid_web_url=https://example.com/"});
        add("file", OP(a.openFile(0)), {"url file:///C:/Eigene Dateien/Bericht Ä.txt"},
            {"PATH/mid_file_path=file:///C:/Eigene Dateien/Bericht Ä.txt"}, {"file_path", "!urlPath"});
        add("file missing", OP(a.openFile(0)), {}, {}, {"file_path"});
        add("folder", OP(a.openFolder(3)), {"url file:///D:/Music"},
            {"PATH/slider_down_folder_path=file:///D:/Music"}, {"floder_path", "urlPath"});
        add("application", OP(a.openApplication(5)), {"url file:///C:/Apps/a b.exe"},
            {"PATH/right_app_path=file:///C:/Apps/a b.exe"}, {"app_path", "urlPath"});
        // Paths typed by hand open the file they name: "typed value>opened URL".
        const std::pair<Operation, const char *> typed[] = {
            {OP(a.openFile(0)), R"(mid_file_path=C:\Users\me\notes.txt>file:///C:/Users/me/notes.txt)"},
            {OP(a.openFolder(2)), R"(slider_up_folder_path=\\server\docs>file://server/docs)"},
            {OP(a.openApplication(3)),
             R"(slider_down_app_path= "C:\Program Files\a b.exe" >file:///C:/Program Files/a b.exe)"},
        };
        for (const auto &t : typed) {
            const QString row = QString::fromUtf8(t.second);
            add("typed " + row.toUtf8(), t.first, {"url " + row.section('>', 1)},
                {"PATH/" + row.section('>', 0, 0)});
        }
        // Sounds play from local files: "configured>played".
        for (const QString s : {"file:///home/u/ding%20dong.wav>file:///home/u/ding dong.wav",
                                "C:\\Sounds\\ding.wav>file:///C:/Sounds/ding.wav"})
            add("sound " + s.toUtf8(), OP(a.playSound(0)), {"sound " + s.section('>', -1)},
                {"PATH/mid_sound_path=" + s.section('>', 0, 0)}, {"sound_path"});

        // WM_CLOSE to the front window unless untitled or the desktop.
        const QString close = QStringLiteral("当前即将关闭的窗口");
        for (const char *title : {"a.txt - Editor", "program manager"})
            add(QByteArray("close ") + title, OP(foreground(f, title); a.closeForegroundWindow()),
                {"post 0x10 0 0 to front"}, {}, {close});
        for (const QString &title : {QStringLiteral("Program Manager"), QString(""), QString()})
            add("no close " + title.toUtf8() + (title.isNull() ? "(none)" : ""),
                OP(foreground(f, title); a.closeForegroundWindow()), {}, {}, {close});

        // The program between the open command's first two quotes, else the whole
        // command; Internet Explorer without one.
        const char *const browsers[][3] = {
            {"", "", "iexplore.exe"}, {"ChromeHTML", "", "iexplore.exe"},
            {"ChromeHTML", R"("C:\Program Files\chrome.exe" --single-argument %1)",
             R"(C:\Program Files\chrome.exe)"},
            {"Odd", R"(C:\odd\"browser.exe)", R"(C:\odd\"browser.exe)"}};
        for (const auto &b : browsers)
            add(QByteArray("browser ") + b[0] + " " + b[1],
                OP(setBrowser(f, b[0], b[1]); a.openDefaultBrowser()),
                {QStringLiteral("open %1 1").arg(b[2])});
    }
    void actions()
    {
        QFETCH(Operation, operation);
        QFETCH(QStringList, values);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, logged);
        for (const QString &value : values)
            m_env->folder.setModelValue(kModel, value.section('=', 0, 0), value.section('=', 1));

        LogCapture log;
        operation(m_env->actions, m_env->fakes);
        QCOMPARE(effects(), expected);
        verifyLogged(log, logged);
    }
    // The player is made at the first sound, once, and handed each sound as
    // configured at that moment.
    void playerIsMadeAtTheFirstSound()
    {
        m_env->actions.playSound(0); // no sound configured: nothing made
        QCOMPARE(m_env->loads, 0);
        for (const char *file : {"file:///C:/ding.wav", "file:///C:/tada.wav"}) {
            m_env->folder.setModelValue(kModel, "PATH/mid_sound_path", file);
            m_env->actions.playSound(0);
            QCOMPARE(effects(), QStringList(QStringLiteral("sound ") + file));
        }
        QCOMPARE(m_env->loads, 1);
    }
    // The sound module beside the program makes a real player.
    void soundModuleLoads()
    {
        QString error;
        QVERIFY2(ModuleSoundPlayer::loadSoundModule(error), qPrintable(error));
    }

private:
    // The fakes' effects, then "url <u>" per address opened and "sound <u>".
    QStringList effects() const
    {
        const QString front =
            QString::number(m_env->fakes.windows->foregroundWindow(), 16).toUpper();
        QStringList out = m_env->fakes.effects().replaceInStrings("to 0x" + front, "to front");
        for (const QUrl &url : m_opened)
            out << QStringLiteral("url ") + url.toString();
        if (!m_env->sound.isEmpty())
            out << QStringLiteral("sound ") + m_env->sound.toString();
        return out;
    }

    std::unique_ptr<Env> m_env;
    QList<QUrl> m_opened;
};

QTEST_MAIN(TestInputActions)
#include "tst_inputactions.moc"
