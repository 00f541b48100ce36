// The configurator on a desktop without a tray (openbox alone, under Xvfb): the
// built program, closed as the window manager closes a window, must stay within
// reach, and a second start brings its window back. A click on its title strip
// moves nothing; ended by the session it leaves nothing behind, and it follows
// the desktop's scaling. Effects are read from the X server, as the window
// manager sees them, and from the disk.
#include "desktopservers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr std::uint32_t kNormalState = 1, kIconicState = 3;

class X
{
public:
    X() : m_c(xcb_connect(nullptr, nullptr)) {}
    ~X() { xcb_disconnect(m_c); }
    bool ok() const { return !xcb_connection_has_error(m_c); }

    xcb_atom_t atom(const char *name)
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> r(
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, uint16_t(strlen(name)), name),
                                  nullptr),
            &std::free);
        return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    QByteArray property(xcb_window_t w, xcb_atom_t property, xcb_atom_t type)
    {
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> r(
            xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, w, property, type, 0, 1024),
                                   nullptr),
            &std::free);
        if (!r)
            return {};
        return QByteArray(static_cast<const char *>(xcb_get_property_value(r.get())),
                          xcb_get_property_value_length(r.get()));
    }
    xcb_window_t root() { return xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root; }
    // The X resources programs read at start (Xft.dpi: the desktop's scaling).
    void setResources(const QByteArray &resources)
    {
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, root(), atom("RESOURCE_MANAGER"),
                            XCB_ATOM_STRING, 8, uint32_t(resources.size()), resources.constData());
        xcb_flush(m_c);
    }
    int width(xcb_window_t w)
    {
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> r(
            xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, w), nullptr), &std::free);
        return r ? r->width : 0;
    }

    // The client window the window manager lists with this title; 0 when none.
    xcb_window_t windowTitled(const QByteArray &title)
    {
        const QByteArray list = property(root(), atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
        const auto *windows = reinterpret_cast<const xcb_window_t *>(list.constData());
        for (int i = 0; i < list.size() / int(sizeof(xcb_window_t)); ++i)
            if (property(windows[i], atom("_NET_WM_NAME"), atom("UTF8_STRING")) == title)
                return windows[i];
        return 0;
    }
    std::uint32_t wmState(xcb_window_t w)
    {
        const QByteArray state = property(w, atom("WM_STATE"), atom("WM_STATE"));
        return state.size() >= 4 ? *reinterpret_cast<const std::uint32_t *>(state.constData()) : 0;
    }
    // The window's top left corner on the screen.
    QPoint position(xcb_window_t w)
    {
        std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> r(
            xcb_translate_coordinates_reply(m_c, xcb_translate_coordinates(m_c, w, root(), 0, 0),
                                            nullptr),
            &std::free);
        return r ? QPoint(r->dst_x, r->dst_y) : QPoint(-1, -1);
    }
    // The pointer as the user moves it, and a button pressed and released at once.
    void movePointer(QPoint to)
    {
        xcb_test_fake_input(m_c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root(), int16_t(to.x()),
                            int16_t(to.y()), 0);
        xcb_flush(m_c);
    }
    void click()
    {
        xcb_test_fake_input(m_c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(m_c);
        xcb_test_fake_input(m_c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(m_c);
    }
    // What a window manager sends when the user clicks its close button.
    void askToClose(xcb_window_t w)
    {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = w;
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
        xcb_flush(m_c);
    }

private:
    xcb_connection_t *m_c;
};

} // namespace

class TestNoTray : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString bin = qEnvironmentVariable("VELKO_BIN_DIR");
        for (const char *name : {"VelkoOptionsGUI", "VelkoOptions"})
            QVERIFY(QFile::copy(bin + '/' + name, m_dir.filePath(name)));
        QVERIFY(QDir(bin).exists("font") ? QDir().mkpath(m_dir.filePath("font")) : true);
        QVERIFY(m_x.ok());
    }

    // Whatever a case left: the configurator, and the agent it started (with the
    // sockets in the suite's temporary folder or in a case's own).
    void cleanup()
    {
        m_x.setResources({});
        for (const QString &tmp : {QDir::tempPath(), privateTmp()})
            for (const char *title : {"VelkoOptionsGUI", "VelkoOptions"})
                if (probe({"wait", title, "0"}, tmp) == 0)
                    probe({"close", title, "5000"}, tmp);
    }

    void closedWindowComesBackAtTheNextStart()
    {
        QProcess first;
        start(first);
        xcb_window_t window = 0;
        QTRY_VERIFY_WITH_TIMEOUT((window = m_x.windowTitled("Velko Options")) != 0, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_x.wmState(window), kNormalState, 10000);

        // Closed with no tray to go to: minimised, not withdrawn out of reach.
        m_x.askToClose(window);
        QTRY_COMPARE_WITH_TIMEOUT(m_x.wmState(window), kIconicState, 10000);
        QCOMPARE(first.state(), QProcess::Running);

        // The next start shows it again and ends.
        QProcess second;
        start(second);
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_x.wmState(window), kNormalState, 10000);
        QCOMPARE(m_x.windowTitled("Tip"), xcb_window_t(0)); // no notice instead

        // Ended as "exit" in the tray menu ends it: with the agent it started.
        QCOMPARE(probe({"close", "VelkoOptionsGUI", "10000"}), 0);
        QVERIFY(first.waitForFinished(15000));
        QCOMPARE(probe({"gone", "VelkoOptions", "10000"}), 0);
    }

    // A quick click on the strip that moves the window leaves the window where it
    // is: it does not follow the pointer afterwards.
    void aClickOnTheTitleStripMovesNothing()
    {
        QVERIFY(QDir().mkpath(m_dir.filePath("system")));
        QSettings(m_dir.filePath("system/mouse.ini"), QSettings::IniFormat)
            .setValue("SET/mouse", "QX210"); // the home page, with the agent started
        QProcess configurator;
        start(configurator);
        xcb_window_t window = 0;
        QTRY_VERIFY_WITH_TIMEOUT((window = m_x.windowTitled("Velko Options")) != 0, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_x.wmState(window), kNormalState, 10000);
        QCOMPARE(probe({"wait", "VelkoOptions", "20000"}), 0);
        const QPoint at = m_x.position(window);
        m_x.movePointer(at + QPoint(400, 25));
        QTest::qWait(300);
        m_x.click();
        QTest::qWait(300);
        m_x.movePointer(at + QPoint(200, 300));
        QTest::qWait(500);
        QCOMPARE(m_x.position(window), at);
        QCOMPARE(probe({"close", "VelkoOptionsGUI", "10000"}), 0);
        QVERIFY(configurator.waitForFinished(15000));
    }

    // Asked by the session to end (SIGTERM at log-out), the configurator ends in
    // order: no socket of its own is left in the temporary folder.
    void terminationLeavesNothingBehind()
    {
        const QString tmp = privateTmp();
        QVERIFY(QDir().mkpath(tmp));
        QProcess configurator;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", tmp);
        start(configurator, env);
        const auto left = [&] {
            return QDir(tmp).entryList({"VelkoOptionsGUI*"}, QDir::AllEntries | QDir::System);
        };
        QTRY_COMPARE_WITH_TIMEOUT(left().size(), 2, 20000); // the show channel, the close window
        configurator.terminate();
        QVERIFY(configurator.waitForFinished(15000));
        QCOMPARE(configurator.exitStatus(), QProcess::NormalExit);
        QCOMPARE(configurator.exitCode(), 0);
        QCOMPARE(left(), QStringList());
    }

    // The desktop's scaling enlarges the window in whole steps: 200% doubles it,
    // 150% leaves it as at 100%.
    void desktopScalingInWholeSteps_data()
    {
        QTest::addColumn<QByteArray>("dpi");
        QTest::addColumn<int>("width");
        QTest::newRow("150%") << QByteArray("144") << 1000;
        QTest::newRow("200%") << QByteArray("192") << 2000;
    }
    void desktopScalingInWholeSteps()
    {
        QFETCH(QByteArray, dpi);
        QFETCH(int, width);
        m_x.setResources("Xft.dpi:\t" + dpi + "\n");
        QProcess configurator;
        start(configurator);
        xcb_window_t window = 0;
        QTRY_VERIFY_WITH_TIMEOUT((window = m_x.windowTitled("Velko Options")) != 0, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(m_x.width(window), width, 10000);
        // The window shows before the page has loaded, and with it the channel
        // that takes close requests.
        QCOMPARE(probe({"wait", "VelkoOptionsGUI", "20000"}), 0);
        QCOMPARE(probe({"close", "VelkoOptionsGUI", "10000"}), 0);
        QVERIFY(configurator.waitForFinished(15000));
    }

private:
    QString privateTmp() const { return m_dir.filePath("tmp"); }
    // velko_probe with `args`, finding the programs' sockets in `tmp`.
    static int probe(const QStringList &args, const QString &tmp = QDir::tempPath())
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", tmp);
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(qEnvironmentVariable("VELKO_BIN_DIR") + "/velko_probe", args);
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
                   ? process.exitCode()
                   : -1;
    }
    void start(QProcess &process,
               QProcessEnvironment env = QProcessEnvironment::systemEnvironment())
    {
        env.insert("QT_QPA_PLATFORM", "xcb");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(m_dir.filePath("VelkoOptionsGUI"), {"--simulated-mouse"});
        QVERIFY(process.waitForStarted(5000));
    }

    QTemporaryDir m_dir;
    X m_x;
};

int main(int argc, char *argv[])
{
    // The X server first: the suite and the programs connect to it.
    DesktopServers desktop;
    QString error;
    if (!desktop.startX(error)) {
        qCritical().noquote() << error;
        return 1;
    }
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    QCoreApplication app(argc, argv);
    TestNoTray test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_notray.moc"
