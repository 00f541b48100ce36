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
#include "fake_native_messages.h"
#include "fake_shell.h"
#include "fake_system_services.h"
#include "fake_window_system.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>

struct FakeAgentPlatform
{
    FakeAgentPlatform();

    AgentPlatform platform;
    platform::fake::FakeInstanceLock *instanceLock;
    platform::fake::FakeMessageWindow *messageWindow;
    platform::fake::FakeFilterDevice *filterDevice;
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

    // What the fakes recorded since the last clearEffects(), one line per effect,
    // grouped by service in this order: input ("key 0x11 0", "mouse 0x20 0",
    // "pause 50"), shell ("open calc.exe 10", "special 0x27", "toggle desktop"),
    // windows ("post 0x10 0 0 to 0x10010", "show 3 on 0x10010"), audio
    // ("volume 0.51", "mute 1"), gamma ("gamma ramp"), pointer speed ("speed 7"),
    // power ("version", "privilege", "exit 0x11 0"), lock ("lock").
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

    // Writes /SET/mouse of the main file; an empty model removes the key.
    void setModel(const QString &model);
    // Writes keys ("SET/Mid_key", "PATH/mid_web_url") of a model's file.
    void setModelValues(const QString &model, const QMap<QString, QString> &values);
    void setModelValue(const QString &model, const QString &key, const QString &value)
    {
        setModelValues(model, {{key, value}});
    }
    void removeModelValue(const QString &model, const QString &key);
    // Deletes a model's file.
    void removeModelFile(const QString &model);

private:
    QTemporaryDir m_dir;
};
