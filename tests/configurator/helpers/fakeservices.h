// The configurator's services as fakes, with the handles tests need to drive
// them, and a capture of the log.
#pragma once

#include "configuratorplatform.h"
#include "fake_hid.h"
#include "fake_message_window.h"
#include "fake_process.h"
#include "fake_program_directory.h"
#include "fake_receiver.h"
#include "fake_shell.h"
#include "virtualtime.h"

#include <QString>

#include <memory>
#include <vector>

namespace fake = platform::fake;

struct FakeServices
{
    template <typename T> using Ptr = std::shared_ptr<T>;
    Ptr<fake::FakeHidSystem> hid = std::make_shared<fake::FakeHidSystem>();
    Ptr<fake::FakeProcessTable> processes = std::make_shared<fake::FakeProcessTable>();
    Ptr<fake::FakeWindowDirectory> windows = std::make_shared<fake::FakeWindowDirectory>();
    Ptr<fake::FakePairingWizard> wizard = std::make_shared<fake::FakePairingWizard>();
    Ptr<VirtualTime> time = std::make_shared<VirtualTime>();
    Ptr<fake::FakeShell> shell = std::make_shared<fake::FakeShell>();
    Ptr<fake::FakeProgramDirectory> programs = std::make_shared<fake::FakeProgramDirectory>();
    // The notification windows created so far (owned by their filters).
    Ptr<std::vector<fake::FakeMessageWindow *>> messageWindows =
        std::make_shared<std::vector<fake::FakeMessageWindow *>>();

    ConfiguratorPlatform platform() const;
    // Makes these the services of every object created from now on.
    void install() const { ConfiguratorPlatform::install(platform()); }
    // A receiver firmware on this test's virtual clock.
    std::unique_ptr<fake::FakeReceiver> makeReceiver() const
    {
        return std::make_unique<fake::FakeReceiver>([t = time] { return t->now(); });
    }
};

// Every log line written while it lives.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    int count(const QString &fragment) const;
    bool contains(const QString &fragment) const { return count(fragment) > 0; }
};
