#include "fake_agent_platform.h"

#include "appenv.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <cstdio>

using namespace platform::fake;

FakeAgentPlatform::FakeAgentPlatform()
{
    auto lock = std::make_unique<FakeInstanceLock>();
    auto window = std::make_unique<FakeMessageWindow>();
    auto filter = std::make_unique<FakeFilterDevice>();
    auto hidSystem = std::make_unique<FakeHidSystem>();
    auto in = std::make_unique<FakeInputInjector>();
    auto win = std::make_unique<FakeWindowSystem>();
    auto sh = std::make_unique<FakeShell>();
    auto au = std::make_unique<FakeAudioSystem>();
    auto ga = std::make_unique<FakeDisplayGamma>();
    auto ps = std::make_unique<FakePointerSpeed>();
    auto pw = std::make_unique<FakePower>();
    auto wl = std::make_unique<FakeWorkstationLock>();
    auto nm = std::make_unique<FakeNativeMessages>();
    instanceLock = lock.get();
    messageWindow = window.get();
    filterDevice = filter.get();
    hid = hidSystem.get();
    input = in.get();
    windows = win.get();
    shell = sh.get();
    audio = au.get();
    gamma = ga.get();
    pointerSpeed = ps.get();
    power = pw.get();
    workstationLock = wl.get();
    nativeMessages = nm.get();
    platform.instanceLock = std::move(lock);
    platform.messageWindow = std::move(window);
    platform.filterDevice = std::move(filter);
    platform.hid = std::move(hidSystem);
    platform.input = std::move(in);
    platform.windows = std::move(win);
    platform.shell = std::move(sh);
    platform.audio = std::move(au);
    platform.gamma = std::move(ga);
    platform.pointerSpeed = std::move(ps);
    platform.power = std::move(pw);
    platform.workstationLock = std::move(wl);
    platform.nativeMessages = std::move(nm);
}

namespace {
QString hex(unsigned long long value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper();
}
} // namespace

QStringList FakeAgentPlatform::effects() const
{
    QStringList out;
    for (const std::string &e : input->describedEvents())
        out << QString::fromStdString(e);
    for (std::size_t i = m_marks.shellOpened; i < shell->opened().size(); ++i)
        out << QStringLiteral("open %1 %2")
                   .arg(QString::fromStdString(shell->opened()[i].file))
                   .arg(shell->opened()[i].showCmd);
    for (std::size_t i = m_marks.specialFolders; i < shell->specialFolders().size(); ++i)
        out << QStringLiteral("special ") + hex(unsigned(shell->specialFolders()[i]));
    for (int i = m_marks.desktopToggles; i < shell->desktopToggles(); ++i)
        out << QStringLiteral("toggle desktop");
    for (std::size_t i = m_marks.posted; i < windows->postedMessages().size(); ++i) {
        const auto &p = windows->postedMessages()[i];
        out << QStringLiteral("post %1 %2 %3 to %4")
                   .arg(hex(p.message))
                   .arg(p.wParam)
                   .arg(p.lParam)
                   .arg(hex(p.window));
    }
    for (std::size_t i = m_marks.shown; i < windows->showWindowCalls().size(); ++i) {
        const auto &s = windows->showWindowCalls()[i];
        out << QStringLiteral("show %1 on %2").arg(s.showCmd).arg(hex(s.window));
    }
    for (std::size_t i = m_marks.audioChanges; i < audio->changes().size(); ++i) {
        const auto &c = audio->changes()[i];
        if (c.what == FakeAudioSystem::Change::What::Volume)
            out << QStringLiteral("volume %1").arg(double(c.volume), 0, 'f', 2);
        else
            out << QStringLiteral("mute %1").arg(c.muted ? 1 : 0);
    }
    for (std::size_t i = m_marks.ramps; i < gamma->appliedRamps().size(); ++i)
        out << QStringLiteral("gamma ramp");
    for (std::size_t i = m_marks.speeds; i < pointerSpeed->requests().size(); ++i)
        out << QStringLiteral("speed %1").arg(pointerSpeed->requests()[i]);
    for (std::size_t i = m_marks.powerCalls; i < power->calls().size(); ++i)
        out << QString::fromStdString(power->calls()[i]);
    for (int i = m_marks.locks; i < workstationLock->locks(); ++i)
        out << QStringLiteral("lock");
    return out;
}

void FakeAgentPlatform::clearEffects()
{
    input->clear();
    m_marks.shellOpened = shell->opened().size();
    m_marks.specialFolders = shell->specialFolders().size();
    m_marks.desktopToggles = shell->desktopToggles();
    m_marks.posted = windows->postedMessages().size();
    m_marks.shown = windows->showWindowCalls().size();
    m_marks.audioChanges = audio->changes().size();
    m_marks.ramps = gamma->appliedRamps().size();
    m_marks.speeds = pointerSpeed->requests().size();
    m_marks.powerCalls = power->calls().size();
    m_marks.locks = workstationLock->locks();
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

void SettingsFolder::setModel(const QString &model)
{
    QSettings ini(appenv::mainSettingsPath(), QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    if (model.isEmpty())
        ini.remove(QStringLiteral("SET/mouse"));
    else
        ini.setValue(QStringLiteral("SET/mouse"), model);
    ini.sync();
}

void SettingsFolder::setModelValues(const QString &model, const QMap<QString, QString> &values)
{
    QSettings ini(appenv::modelSettingsPath(model), QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        ini.setValue(it.key(), it.value());
    ini.sync();
}

void SettingsFolder::removeModelValue(const QString &model, const QString &key)
{
    QSettings ini(appenv::modelSettingsPath(model), QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    ini.remove(key);
    ini.sync();
}

void SettingsFolder::removeModelFile(const QString &model)
{
    QFile::remove(appenv::modelSettingsPath(model));
}
