// The catalogue's entries performed by the dispatcher with the Linux services, against
// servers started here (see desktopservers.h); programs are stand-ins on PATH that log starts.
#include "actions/promousefunc.h"
#include "agentplatform.h"
#include "appenv.h"
#include "desktopservers.h"
#include "display_gamma_linux.h"
#include "logcapture.h"
#include "testwindow.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDataStream>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {

constexpr int kRight = 5, kSideWheel = 4;
const char *const kStandIns[] = {"xdg-open", "totem", "x-www-browser",
                                 "catfish",  "xcalc", "gnome-system-monitor"};

// "a|b" as {"a", "b"}.
QStringList L(const char *text)
{
    return QString(text).split('|', Qt::SkipEmptyParts);
}

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A second of a quiet 440 Hz tone as 16-bit mono PCM.
QByteArray toneWav()
{
    QByteArray samples;
    QDataStream s(&samples, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    for (int i = 0; i < 8000; ++i)
        s << qint16(2000 * std::sin(i * 2 * M_PI * 440 / 8000));
    QByteArray wav;
    QDataStream w(&wav, QIODevice::WriteOnly);
    w.setByteOrder(QDataStream::LittleEndian);
    w.writeRawData("RIFF", 4), w << quint32(36 + samples.size());
    w.writeRawData("WAVEfmt ", 8), w << quint32(16) << quint16(1) << quint16(1) << quint32(8000)
                                     << quint32(16000) << quint16(2) << quint16(16);
    w.writeRawData("data", 4), w << quint32(samples.size());
    return wav + samples;
}

DesktopServers *servers = nullptr;
const QString kGnomeMouse = QStringLiteral("org.gnome.desktop.peripherals.mouse");

} // namespace

class TestLinuxDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString root = m_dir.path();
        QString error;
        QDir().mkpath(root + "/backlight/velko_bl");
        writeFile(root + "/backlight/velko_bl/max_brightness", "1000\n");
        writeFile(root + "/backlight/velko_bl/brightness", "1000\n");
        QVERIFY2(servers->startPulse(error), qPrintable(error));
        QVERIFY2(servers->startLogind(root + "/backlight", error), qPrintable(error));
        // Stand-ins note their name and arguments, one start a line.
        QDir().mkpath(root + "/bin");
        for (const char *name : kStandIns) {
            const QString path = root + "/bin/" + name;
            writeFile(path, "#!/bin/sh\necho \"$(basename \"$0\") $*\" >> " +
                                QFile::encodeName(root) + "/launched\n");
            QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeUser);
        }
        qputenv("PATH", QFile::encodeName(root + "/bin:") + qgetenv("PATH"));
        writeFile(root + "/tone.wav", toneWav());
        QDir().mkpath(root + "/system");
        appenv::setApplicationDir(root);
        appenv::setWindowsVersionClass("win10");
        QSettings main(appenv::mainSettingsPath(), QSettings::IniFormat);
        main.setValue("SET/mouse", "QX210");
        QSettings model(appenv::modelSettingsPath("QX210"), QSettings::IniFormat);
        const QList<QPair<const char *, QString>> paths = {
            {"right_web_url", "http://example.com/a"},
            {"right_file_path", "file://" + root + "/tone.wav"},
            {"right_folder_path", "file://" + root + "/bin"},
            {"right_app_path", "file://" + root + "/bin/xcalc"},
            {"right_sound_path", "file://" + root + "/tone.wav"},
            {"right_main_speed", "7"},
            {"right_self_speed", "13"}};
        for (const auto &[key, value] : paths)
            model.setValue(QString("PATH/") + key, value);

        m_platform.input = platform::createInputInjector();
        m_platform.windows = platform::createWindowSystem();
        m_platform.shell = platform::createShell();
        m_platform.audio = platform::createAudioSystem();
        m_platform.gamma = platform::linuxport::createDisplayGamma(qPrintable(root + "/backlight"));
        m_platform.pointerSpeed = platform::createPointerSpeed();
        m_platform.power = platform::createPower();
        m_platform.workstationLock = platform::createWorkstationLock();
    }

    void catalogue_data()
    {
        QTest::addColumn<bool>("wheel");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("direction"); // wheels only
        QTest::addColumn<QString>("check");     // the effect's kind, see `effect`
        QTest::addColumn<QStringList>("expected");
        auto key = [](int index, const char *check, const QStringList &expected) {
            QTest::addRow("key %d", index) << false << index << QString() << check << expected;
        };
        auto wheel = [](int index, const char *direction, const char *check,
                        const QStringList &expected) {
            QTest::addRow("wheel %d %s", index, direction)
                << true << index << direction << check << expected;
        };
        // Entries that only repeat another's service with other values (the other Ctrl
        // shortcuts and media keys, zoom out, the wheels' copies of key entries) are the
        // dispatcher's and the key table's to check.
        const QString home = QDir::homePath(), root = m_dir.path();
        key(0, "launched", L("totem"));
        key(1, "launched", L("xdg-open http://example.com/a"));
        key(2, "launched", {"xdg-open file://" + root + "/tone.wav"});
        key(4, "launched", L("xcalc")); // started, not handed to the desktop's handler
        key(5, "playing", L("yes"));
        key(6, "speed", L("7/10"));
        key(7, "launched", {"xdg-open file://" + home + "/Pictures"});
        key(9, "launched", L("xdg-open file:///"));
        key(12, "keys", L("+ffe3|+63+ctrl|-63+ctrl|-ffe3+ctrl"));
        key(15, "logind", L("PowerOff True"));
        key(17, "state", L("maximised")), key(18, "state", L("minimised"));
        key(19, "logind", L("TerminateSession \"velko1\""));
        key(20, "launched", L("x-www-browser")), key(21, "keys", L("close"));
        key(22, "volume", L("Volume: 51%|Mute: no")), key(23, "launched", L("catfish"));
        key(24, "desktop", L("shown"));
        key(27, "volume", L("Volume: 50%|Mute: yes"));
        key(28, "logind", L("LockSession \"velko1\""));
        key(33, "launched", L("gnome-system-monitor"));
        key(35, "keys", L("b+3|b-3")), key(37, "keys", L("b+5|b-5"));
        key(38, "keys", L("+ffeb|+72+super|-72+super|-ffeb+super"));
        key(39, "keys", L("+ffe3|b+4+ctrl|b-4+ctrl|-ffe3+ctrl"));
        key(41, "switched", L("yes")), key(42, "keys", L("+ffeb|-ffeb+super"));
        key(43, "keys", L("+1008ff14|-1008ff14"));
        wheel(1, "up", "keys", L("b+6|b-6"));
        wheel(3, "up", "brightness", L("898")), wheel(3, "down", "brightness", L("883"));
        wheel(9, "down", "keys", L("b+7|b-7")); // the side wheel's own: sideways
    }
    void catalogue()
    {
        QFETCH(bool, wheel);
        QFETCH(int, index);
        QFETCH(QString, direction);
        QFETCH(QString, check);
        QFETCH(QStringList, expected);
        QFile::remove(m_dir.path() + "/launched");
        servers->pactl({"set-sink-volume", "velko_null", "50%"});
        servers->pactl({"set-sink-mute", "velko_null", "0"});
        TestWindow other("Other", "Other window", 500, 300);
        TestWindow window("Recorder", "Recorder window");
        QVERIFY(window.isActive());
        window.pointAt();
        QSettings model(appenv::modelSettingsPath("QX210"), QSettings::IniFormat);
        model.setValue(wheel ? "SET/Side_wheel" : "SET/Right_key",
                       QString("f-%1-%2").arg(index).arg(wheel ? "slideWheel" : "rightKey"));
        model.sync();
        ProMouseFunc dispatcher(m_platform);
        auto perform = [&] {
            if (wheel) {
                dispatcher.onWheelEvent(kSideWheel, direction);
            } else {
                dispatcher.onKeyEvent(kRight, false);
                dispatcher.onKeyEvent(kRight, true);
            }
        };
        perform();

        using Effect = std::function<QStringList()>;
        const QMap<QString, Effect> effect = {
            {"keys", [&] { return window.received(expected.size()); }},
            {"launched",
             [&] { return readAll(m_dir.path() + "/launched").split('\n', Qt::SkipEmptyParts); }},
            {"volume",
             [&] {
                 const QString volume = servers->pactl({"get-sink-volume", "velko_null"});
                 const QString percent = volume.section('/', 1, 1).trimmed();
                 return QStringList{"Volume: " + percent,
                                    servers->pactl({"get-sink-mute", "velko_null"}).trimmed()};
             }},
            {"logind",
             [&] {
                 return servers->logindCalls().contains(expected[0]) ? expected : QStringList();
             }},
            {"state",
             [&] {
                 return QStringList{window.maximised()   ? "maximised"
                                    : window.minimised() ? "minimised"
                                                         : "normal"};
             }},
            {"desktop",
             [&] {
                 const bool shown =
                     rootProperty("_NET_SHOWING_DESKTOP") == QVector<std::uint32_t>{1};
                 return QStringList{shown ? "shown" : "not shown"};
             }},
            {"brightness",
             [&] { return QStringList{readAll(m_dir.path() + "/backlight/velko_bl/brightness")}; }},
            {"speed", [&] { return QStringList{pointerAcceleration()}; }},
            {"switched",
             [&] {
                 QTest::qWait(3000); // the switcher lets go of Alt after 2.5 s
                 return QStringList{other.isActive() ? "yes" : "no"};
             }},
            {"playing",
             [&] {
                 const bool playing = QTest::qWaitFor(
                     [&] {
                         return !servers->pactl({"list", "short", "sink-inputs"})
                                     .trimmed()
                                     .isEmpty();
                     },
                     5000);
                 return QStringList{playing ? "yes" : "no"};
             }},
        };
        QVERIFY(effect.contains(check));
        QStringList actual; // effects may come a little later: looked at again for 3 s
        (void)QTest::qWaitFor([&] { return (actual = effect[check]()) == expected; }, 3000);
        QCOMPARE(actual, expected);
    }

    // In a Wayland session the desktop's own setting: read, written and read
    // again it lands where it started, the change shows in the desktop's store,
    // and the value from before comes back when the agent ends.
    void pointerSpeedOnWaylandDesktops_data()
    {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<double>("before");
        QTest::newRow("GNOME's settings store") << "GNOME" << 0.37;
        QTest::newRow("KWin's input devices") << "KDE" << 0.2;
        QTest::newRow("sway's IPC") << "sway" << 0.2;
    }
    void pointerSpeedOnWaylandDesktops()
    {
        QFETCH(QString, desktop);
        QFETCH(double, before);
        const bool gnome = desktop == "GNOME";
        QString error;
        if (desktop == "sway")
            QVERIFY2(servers->startSwayIpcStandIn(error), qPrintable(error));
        const QString swaySocket = qEnvironmentVariable("SWAYSOCK");
        if (gnome) {
            qputenv("GSETTINGS_BACKEND", "keyfile");
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + "/config"));
            QCOMPARE(QProcess::execute("gsettings", {"set", kGnomeMouse, "speed", "0.37"}), 0);
        }
        // The desktop's own tool's answer; not a number when it gave none (a busy
        // machine gets half a minute).
        const auto output = [](const QString &program, const QStringList &arguments) {
            QProcess get;
            get.start(program, arguments);
            if (!get.waitForFinished(30000) || get.exitCode() != 0)
                qWarning() << program << arguments
                           << "gave no answer:" << get.readAllStandardError();
            return get.readAllStandardOutput();
        };
        const auto acceleration = [&](const char *device = "event3") {
            if (desktop == "sway") {
                const QJsonArray inputs =
                    QJsonDocument::fromJson(
                        output("swaymsg", {"-s", swaySocket, "-r", "-t", "get_inputs"}))
                        .array();
                return inputs.at(0)["libinput"]["accel_speed"].toDouble(std::nan(""));
            }
            if (gnome) {
                bool ok = false;
                const double speed =
                    output("gsettings", {"get", kGnomeMouse, "speed"}).trimmed().toDouble(&ok);
                return ok ? speed : std::nan("");
            }
            QDBusMessage get = QDBusMessage::createMethodCall(
                "org.kde.KWin", QString("/org/kde/KWin/InputDevice/") + device,
                "org.freedesktop.DBus.Properties", "Get");
            get.setArguments({"org.kde.KWin.InputDevice", "pointerAcceleration"});
            const QDBusMessage reply = QDBusConnection::sessionBus().call(get);
            return reply.arguments().value(0).value<QDBusVariant>().variant().toDouble();
        };
        qputenv("XDG_SESSION_TYPE", "wayland");
        qputenv("XDG_CURRENT_DESKTOP", desktop.toUtf8());
        auto speed = platform::createPointerSpeed();
        qunsetenv("XDG_SESSION_TYPE");
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("SWAYSOCK");

        int start = 0, again = 0;
        QVERIFY(speed->speed(start));
        QCOMPARE(start, int(std::lround(before * 10 + 10)));
        QVERIFY(speed->setSpeed(3));
        QCOMPARE(acceleration(), -0.7);
        QVERIFY(speed->setSpeed(start));
        QVERIFY(speed->speed(again));
        QCOMPARE(again, start);
        if (desktop == "KDE")
            QCOMPARE(acceleration("event4"), 0.0); // a keyboard: left alone
        speed.reset();
        QCOMPARE(acceleration(), before);
    }

    void programsWithoutDesktopCounterpartAreLogged()
    {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_dir.path() + "/empty"));
        LogCapture log;
        m_platform.shell->open("wmplayer.exe", 10);
        qputenv("PATH", path);
        QVERIFY(log.contains("open wmplayer.exe: no media player found (looked for totem"));
    }

    void windowsAreSeenAsTheirClientsWithClassAndTitle()
    {
        TestWindow window("Recorder", "Übersicht");
        QVERIFY(window.isActive());
        platform::WindowSystem &windows = *m_platform.windows;
        QCOMPARE(windows.foregroundWindow(), platform::WindowId(window.id()));
        platform::Rect rect;
        QVERIFY(windows.screenRect(window.id(), rect));
        QCOMPARE(rect.width(), 400);
        QCOMPARE(windows.windowFromPoint({rect.left + 10, rect.top + 10}),
                 platform::WindowId(window.id()));
        QCOMPARE(windows.windowFromPoint({1020, 5}), windows.desktopWindow());
        QCOMPARE(windows.className(window.id()), std::string("Recorder"));
        QCOMPARE(windows.title(window.id()), std::string("Übersicht"));
        QCOMPARE(windows.title(window.id(), 3),
                 std::string("Üb")); // buffer of 3, terminator included
    }

    // A key's combination through XTest: held with the key, let go in reverse.
    void keyCombinationThroughXTest()
    {
        TestWindow other("Other", "Other window", 500, 300);
        TestWindow window("Recorder", "Recorder window");
        QVERIFY(window.isActive());
        window.pointAt();
        QSettings model(appenv::modelSettingsPath("QX210"), QSettings::IniFormat);
        model.setValue("SET/Right_key", "Key combination-48-rightKey");
        model.setValue("SET/Right_key_combination", "Ctrl+Shift+T");
        model.sync();
        ProMouseFunc dispatcher(m_platform);
        dispatcher.onKeyEvent(kRight, false);
        dispatcher.onKeyEvent(kRight, true);
        const QStringList expected =
            L("+ffe3|+ffe1+ctrl|+74+ctrl+shift|-74+ctrl+shift|-ffe1+ctrl+shift|-ffe3+ctrl");
        QStringList actual; // looked at again for 3 s, as the catalogue's effects are
        (void)QTest::qWaitFor([&] { return (actual = window.received(6)) == expected; }, 3000);
        QCOMPARE(actual, expected);
    }

private:
    static QString pointerAcceleration()
    {
        static xcb_connection_t *c = xcb_connect(nullptr, nullptr);
        xcb_get_pointer_control_reply_t *r =
            xcb_get_pointer_control_reply(c, xcb_get_pointer_control(c), nullptr);
        const QString text =
            r ? QString("%1/%2").arg(r->acceleration_numerator).arg(r->acceleration_denominator)
              : QString();
        free(r);
        return text;
    }

    QTemporaryDir m_dir;
    AgentPlatform m_platform;
};

int main(int argc, char *argv[])
{
    // The X server and the session bus come first: the application connects to them.
    DesktopServers desktop;
    servers = &desktop;
    QString error;
    if (!desktop.startX(error) || !desktop.startKWinInputStandIn(error)) {
        qCritical().noquote() << error;
        return 1;
    }
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestLinuxDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_linuxdesktop.moc"
