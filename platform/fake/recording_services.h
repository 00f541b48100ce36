// The services that change the desktop, as --record-effects runs them: every
// change the agent asks for is written to the effect log, one line each, and none
// is performed, so that a test can assign any function, shutting down included.
// Questions (the window in front, its class, a level before a change) are
// answered as before: the window system's by the wrapped real one, the others by
// the recording fakes' own state. Threads as the services they stand in for.
#pragma once

#include "fake_audio.h"
#include "fake_display_gamma.h"
#include "fake_system_services.h"
#include "simulated_mouse.h"
#include "window_system.h"

#include <memory>

namespace platform::fake {

// "show <cmd> on 0x<window>", "post 0x<message> <wParam> <lParam> to 0x<window>".
class LoggingWindowSystem : public WindowSystem
{
public:
    LoggingWindowSystem(std::unique_ptr<WindowSystem> real, std::shared_ptr<EffectLog> log)
        : m_real(std::move(real)), m_log(std::move(log))
    {
    }
    WindowId windowFromPoint(Point screen) override { return m_real->windowFromPoint(screen); }
    WindowId desktopWindow() override { return m_real->desktopWindow(); }
    WindowId foregroundWindow() override { return m_real->foregroundWindow(); }
    std::string className(WindowId window, std::size_t maxChars) override
    {
        return m_real->className(window, maxChars);
    }
    std::string title(WindowId window, std::size_t maxChars) override
    {
        return m_real->title(window, maxChars);
    }
    std::uint32_t style(WindowId window) override { return m_real->style(window); }
    bool screenRect(WindowId window, Rect &out) override { return m_real->screenRect(window, out); }
    WindowId parent(WindowId window) override { return m_real->parent(window); }
    WindowId firstChild(WindowId window) override { return m_real->firstChild(window); }
    WindowId nextSibling(WindowId window) override { return m_real->nextSibling(window); }
    WindowId previousSibling(WindowId window) override { return m_real->previousSibling(window); }
    WindowId findChild(WindowId parent, WindowId after) override
    {
        return m_real->findChild(parent, after);
    }
    WindowId childFromPoint(WindowId window, Point client) override
    {
        return m_real->childFromPoint(window, client);
    }
    Point screenToClient(WindowId window, Point screen) override
    {
        return m_real->screenToClient(window, screen);
    }
    bool enumerateDescendants(WindowId window, const std::function<bool(WindowId)> &visit,
                              std::uint32_t &error) override
    {
        return m_real->enumerateDescendants(window, visit, error);
    }
    bool isZoomed(WindowId window) override { return m_real->isZoomed(window); }
    bool postMessage(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
    bool showWindow(WindowId window, int showCmd) override;

private:
    std::unique_ptr<WindowSystem> m_real;
    std::shared_ptr<EffectLog> m_log;
};

// "volume 0.51", "mute 1", from the fake device's levels.
class LoggingAudioSystem : public FakeAudioSystem
{
public:
    explicit LoggingAudioSystem(std::shared_ptr<EffectLog> log) : m_log(std::move(log)) {}
    std::unique_ptr<AudioEndpointVolume>
    openDefaultRenderEndpoint(const AudioEndpointRequest &request,
                              AudioOpenFailure &failure) override;

private:
    std::shared_ptr<EffectLog> m_log;
};

// "gamma ramp" for every ramp set.
class LoggingDisplayGamma : public FakeDisplayGamma
{
public:
    explicit LoggingDisplayGamma(std::shared_ptr<EffectLog> log) : m_log(std::move(log)) {}
    bool setRamp(const GammaRamp &ramp) override;

private:
    std::shared_ptr<EffectLog> m_log;
};

// "speed 7".
class LoggingPointerSpeed : public FakePointerSpeed
{
public:
    explicit LoggingPointerSpeed(std::shared_ptr<EffectLog> log) : m_log(std::move(log)) {}
    bool setSpeed(int speed) override;

private:
    std::shared_ptr<EffectLog> m_log;
};

// "exit 0x<flags> <reason>": log-off, shut-down and restart, never performed.
class LoggingPower : public FakePower
{
public:
    explicit LoggingPower(std::shared_ptr<EffectLog> log) : m_log(std::move(log)) {}
    bool exitWindows(std::uint32_t flags, std::uint32_t reason) override;

private:
    std::shared_ptr<EffectLog> m_log;
};

// "lock".
class LoggingWorkstationLock : public FakeWorkstationLock
{
public:
    explicit LoggingWorkstationLock(std::shared_ptr<EffectLog> log) : m_log(std::move(log)) {}
    bool lock() override;

private:
    std::shared_ptr<EffectLog> m_log;
};

} // namespace platform::fake
