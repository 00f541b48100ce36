// The program directory on a real X server with a window manager: the programs
// of windows the test creates (another process's pid on them, as a program's own
// windows would carry), activated through the window manager.
#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

#include "desktopservers.h"
#include "programs.h"
#include "testwindow.h"

#include <unistd.h>

namespace {

// _NET_WM_ICON with one square size per entry, each of one colour.
QVector<std::uint32_t> icon(const QVector<QPair<int, std::uint32_t>> &sizes)
{
    QVector<std::uint32_t> values;
    for (const auto &[side, colour] : sizes) {
        values << std::uint32_t(side) << std::uint32_t(side);
        values += QVector<std::uint32_t>(side * side, colour);
    }
    return values;
}

QStringList names(const std::vector<platform::OpenProgram> &programs)
{
    QStringList list;
    for (const auto &p : programs)
        list << QString::fromStdString(p.program);
    return list;
}

} // namespace

class TestLinuxPrograms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Windows that stand for another program's carry the pid of this child.
        m_other.start(QStringLiteral("sleep"), {QStringLiteral("300")});
        QVERIFY(m_other.waitForStarted());
        m_otherPid = std::uint32_t(m_other.processId());
    }
    void cleanupTestCase()
    {
        m_other.kill();
        m_other.waitForFinished();
    }

    void foregroundProgramFollowsActivation()
    {
        TestWindow editor("VelkoEditor", "Editor", 100, 100, {m_otherPid, {}, false});
        TestWindow viewer("VelkoViewer", "Viewer", 300, 200, {m_otherPid, {}, false});
        QCOMPARE(QString::fromStdString(m_programs->programOf(m_programs->foregroundWindow())),
                 QStringLiteral("VelkoViewer"));
        QVERIFY(editor.activate());
        QCOMPARE(m_programs->foregroundWindow(), platform::WindowId(editor.id()));
        QCOMPARE(QString::fromStdString(m_programs->programOf(m_programs->foregroundWindow())),
                 QStringLiteral("VelkoEditor"));
        QVERIFY(viewer.activate());
        QCOMPARE(QString::fromStdString(m_programs->programOf(m_programs->foregroundWindow())),
                 QStringLiteral("VelkoViewer"));
    }

    void windowWithoutClassIsNamedByItsExecutable()
    {
        TestWindow unnamed("", "No class", 100, 100, {m_otherPid, {}, false});
        TestWindow anonymous("", "No class, no pid", 300, 200);
        QCOMPARE(QString::fromStdString(m_programs->programOf(unnamed.id())),
                 QStringLiteral("sleep"));
        QCOMPARE(m_programs->programOf(anonymous.id()), std::string());
    }

    void openProgramsFrontToBackOncePerProgramWithIcons()
    {
        TestWindow behind("VelkoBehind", "Behind", 50, 50, {m_otherPid, {}, false});
        TestWindow hidden("VelkoHidden", "Skip taskbar", 80, 80, {m_otherPid, {}, true});
        TestWindow own("VelkoOwn", "Our own", 90, 90, {std::uint32_t(getpid()), {}, false});
        TestWindow anonymous("", "No class, no pid", 100, 100);
        TestWindow second("velkopaint", "Second paint window", 120, 120, {m_otherPid, {}, false});
        TestWindow paint(
            "VelkoPaint", "Paint", 150, 150,
            {m_otherPid, icon({{16, 0xffff0000}, {48, 0xff00ff00}, {64, 0xff0000ff}}), false});
        QVERIFY(paint.isActive());

        const auto programs = m_programs->openPrograms(32);
        QCOMPARE(names(programs), QStringList({"VelkoPaint", "VelkoBehind"}));
        QCOMPARE(QString::fromStdString(programs[0].displayName), QStringLiteral("VelkoPaint"));
        // The 48 pixel size, scaled down: neither the smallest nor the largest.
        const platform::ProgramIcon &scaled = programs[0].icon;
        QCOMPARE(QSize(scaled.width, scaled.height), QSize(32, 32));
        QCOMPARE(scaled.argb.size(), std::size_t(32 * 32));
        QCOMPARE(scaled.argb.front(), 0xff00ff00u);
        // Asked for more than the window has: its largest, as it is.
        const platform::ProgramIcon largest = m_programs->openPrograms(100).at(0).icon;
        QCOMPARE(QSize(largest.width, largest.height), QSize(64, 64));
        QCOMPARE(largest.argb.back(), 0xff0000ffu);
    }

private:
    QProcess m_other;
    std::uint32_t m_otherPid = 0;
    std::unique_ptr<platform::ProgramDirectory> m_programs = platform::createProgramDirectory();
};

int main(int argc, char *argv[])
{
    DesktopServers desktop;
    QString error;
    if (!desktop.startX(error)) {
        qCritical().noquote() << error;
        return 1;
    }
    QCoreApplication app(argc, argv);
    TestLinuxPrograms test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_linuxprograms.moc"
