// An AgentPlatform made of recording fakes, and a settings folder the agent reads
// its files from, for the agent's tests and benchmarks.
#pragma once

#include "agentplatform.h"
#include "fake_audio.h"
#include "fake_display_gamma.h"
#include "fake_filter_device.h"
#include "fake_hid.h"
#include "fake_input.h"
#include "fake_instance_lock.h"
#include "fake_message_window.h"
#include "fake_mouse_hook.h"
#include "fake_native_messages.h"
#include "fake_program_directory.h"
#include "fake_shell.h"
#include "fake_system_services.h"
#include "fake_window_system.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

struct FakeAgentPlatform
{
    FakeAgentPlatform();

    AgentPlatform platform;
    platform::fake::FakeInstanceLock *instanceLock;
    platform::fake::FakeMessageWindow *messageWindow;
    platform::fake::FakeFilterDevice *filterDevice;
    platform::fake::FakeMouseHook *mouseHook;
    platform::fake::FakeHidSystem *hid;
    platform::fake::FakeInputInjector *input;
    platform::fake::FakeWindowSystem *windows;
    platform::fake::FakeShell *shell;
    platform::fake::FakeAudioSystem *audio;
    platform::fake::FakeDisplayGamma *gamma;
    platform::fake::FakePointerSpeed *pointerSpeed;
    platform::fake::FakePower *power;
    platform::fake::FakeWorkstationLock *workstationLock;
    platform::fake::FakeNativeMessages *nativeMessages;
    platform::fake::FakeProgramDirectory *programs;

    // What the fakes recorded since clearEffects(), one line per effect ("key 0x11 0",
    // "open calc.exe 10", "show 3 on 0x10010", "volume 0.51", "speed 7", ...), grouped by
    // service: input, shell, windows, audio, gamma, pointer speed, power, lock.
    QStringList effects() const;
    void clearEffects();

private:
    struct Marks
    {
        std::size_t shellOpened = 0, specialFolders = 0, posted = 0, shown = 0, audioChanges = 0,
                    ramps = 0, speeds = 0, powerCalls = 0;
        int desktopToggles = 0, locks = 0;
    } m_marks;
};

// A temporary application folder with the agent's settings files. Sets itself as
// the application folder for as long as it lives.
class SettingsFolder
{
public:
    SettingsFolder();
    ~SettingsFolder();

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }

    void setModel(const QString &model); // SET/mouse of the main file; empty: removed
    void setModelValues(const QString &model, const QMap<QString, QString> &values);
    void setModelValue(const QString &model, const QString &key, const QString &value)
    {
        setModelValues(model, {{key, value}});
    }
    void removeModelValue(const QString &model, const QString &key);

private:
    QTemporaryDir m_dir;
};
