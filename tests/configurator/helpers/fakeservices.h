// The configurator's services as fakes, with the handles tests need to drive
// them.
#pragma once

#include "configuratorplatform.h"
#include "fake_hid.h"
#include "fake_message_window.h"
#include "fake_process.h"
#include "fake_receiver.h"
#include "virtualtime.h"

#include <QStringList>

#include <memory>
#include <vector>

struct FakeServices
{
    std::shared_ptr<platform::fake::FakeHidSystem> hid =
        std::make_shared<platform::fake::FakeHidSystem>();
    std::shared_ptr<platform::fake::FakeProcessTable> processes =
        std::make_shared<platform::fake::FakeProcessTable>();
    std::shared_ptr<platform::fake::FakeWindowDirectory> windows =
        std::make_shared<platform::fake::FakeWindowDirectory>();
    std::shared_ptr<platform::fake::FakePairingWizard> wizard =
        std::make_shared<platform::fake::FakePairingWizard>();
    std::shared_ptr<VirtualTime> time = std::make_shared<VirtualTime>();
    // The notification windows created so far (owned by their filters).
    std::shared_ptr<std::vector<platform::fake::FakeMessageWindow *>> messageWindows =
        std::make_shared<std::vector<platform::fake::FakeMessageWindow *>>();

    ConfiguratorPlatform platform() const;
    // Makes these the services of every object created from now on.
    void install() const;

    // A receiver firmware on this test's virtual clock.
    std::unique_ptr<platform::fake::FakeReceiver> makeReceiver() const;
};

// Every log line written while it lives, as text.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    QStringList lines() const;
    int count(const QString &fragment) const;
    bool contains(const QString &fragment) const { return count(fragment) > 0; }
};
