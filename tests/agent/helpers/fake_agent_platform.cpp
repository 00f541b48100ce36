#include "fake_agent_platform.h"

#include "appenv.h"

#include <QDir>
#include <QSettings>

using namespace platform::fake;

namespace {
template <class T, class Slot> T *install(Slot &slot)
{
    auto fake = std::make_unique<T>();
    T *raw = fake.get();
    slot = std::move(fake);
    return raw;
}
} // namespace

FakeAgentPlatform::FakeAgentPlatform()
    : instanceLock(install<FakeInstanceLock>(platform.instanceLock)),
      messageWindow(install<FakeMessageWindow>(platform.messageWindow)),
      filterDevice(install<FakeFilterDevice>(platform.filterDevice)),
      mouseHook(install<FakeMouseHook>(platform.mouseHook)),
      hid(install<FakeHidSystem>(platform.hid)), input(install<FakeInputInjector>(platform.input)),
      windows(install<FakeWindowSystem>(platform.windows)), shell(install<FakeShell>(platform.shell)),
      audio(install<FakeAudioSystem>(platform.audio)), gamma(install<FakeDisplayGamma>(platform.gamma)),
      pointerSpeed(install<FakePointerSpeed>(platform.pointerSpeed)),
      power(install<FakePower>(platform.power)),
      workstationLock(install<FakeWorkstationLock>(platform.workstationLock)),
      nativeMessages(install<FakeNativeMessages>(platform.nativeMessages)),
      programs(install<FakeProgramDirectory>(platform.programs))
{
}

namespace {
QString hex(unsigned long long value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}
} // namespace

// Appends one line per element of `items` from `mark` on.
template <class Items, class Describe>
static void since(QStringList &out, std::size_t mark, const Items &items, Describe describe)
{
    for (std::size_t i = mark; i < items.size(); ++i)
        out << describe(items[i]);
}

QStringList FakeAgentPlatform::effects() const
{
    QStringList out;
    for (const std::string &e : input->describedEvents())
        out << QString::fromStdString(e);
    since(out, m_marks.shellOpened, shell->opened(), [](const auto &o) {
        return QStringLiteral("open %1 %2").arg(QString::fromStdString(o.file)).arg(o.showCmd);
    });
    since(out, m_marks.specialFolders, shell->specialFolders(),
          [](auto f) { return "special " + hex(unsigned(f)); });
    for (int i = m_marks.desktopToggles; i < shell->desktopToggles(); ++i)
        out << QStringLiteral("toggle desktop");
    since(out, m_marks.posted, windows->postedMessages(), [](const auto &p) {
        return QStringLiteral("post %1 %2 %3 to %4")
            .arg(hex(p.message)).arg(p.wParam).arg(p.lParam).arg(hex(p.window));
    });
    since(out, m_marks.shown, windows->showWindowCalls(), [](const auto &c) {
        return QStringLiteral("show %1 on %2").arg(c.showCmd).arg(hex(c.window));
    });
    since(out, m_marks.audioChanges, audio->changes(), [](const auto &c) {
        return c.what == FakeAudioSystem::Change::What::Volume
                   ? QStringLiteral("volume %1").arg(double(c.volume), 0, 'f', 2)
                   : QStringLiteral("mute %1").arg(c.muted ? 1 : 0);
    });
    since(out, m_marks.ramps, gamma->appliedRamps(), [](const auto &) { return QStringLiteral("gamma ramp"); });
    since(out, m_marks.speeds, pointerSpeed->requests(), [](auto s) { return QStringLiteral("speed %1").arg(s); });
    since(out, m_marks.powerCalls, power->calls(), [](const std::string &c) { return QString::fromStdString(c); });
    for (int i = m_marks.locks; i < workstationLock->locks(); ++i)
        out << QStringLiteral("lock");
    return out;
}

void FakeAgentPlatform::clearEffects()
{
    input->clear();
    m_marks = {shell->opened().size(),      shell->specialFolders().size(),
               windows->postedMessages().size(), windows->showWindowCalls().size(),
               audio->changes().size(),     gamma->appliedRamps().size(),
               pointerSpeed->requests().size(), power->calls().size(),
               shell->desktopToggles(),     workstationLock->locks()};
}

SettingsFolder::SettingsFolder()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("system"));
    appenv::setApplicationDir(m_dir.path());
}

SettingsFolder::~SettingsFolder()
{
    appenv::setApplicationDir(QString());
}

namespace {
template <class Edit> void editIni(const QString &path, Edit edit)
{
    QSettings ini(path, QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    edit(ini);
    ini.sync();
}
} // namespace

void SettingsFolder::setModel(const QString &model)
{
    editIni(appenv::mainSettingsPath(), [&](QSettings &ini) {
        if (model.isEmpty())
            ini.remove(QStringLiteral("SET/mouse"));
        else
            ini.setValue(QStringLiteral("SET/mouse"), model);
    });
}

void SettingsFolder::setModelValues(const QString &model, const QMap<QString, QString> &values)
{
    editIni(appenv::modelSettingsPath(model), [&](QSettings &ini) {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            ini.setValue(it.key(), it.value());
    });
}

void SettingsFolder::removeModelValue(const QString &model, const QString &key)
{
    editIni(appenv::modelSettingsPath(model), [&](QSettings &ini) { ini.remove(key); });
}
