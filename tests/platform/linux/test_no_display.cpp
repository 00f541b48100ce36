// Without an X display (a console, a service session, Wayland without XWayland)
// the desktop services refuse cleanly instead of failing the agent.
#include "input.h"
#include "pointer_speed.h"
#include "window_system.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(WithoutXDisplay, WindowsPointerSpeedAndInputAnswerNothing)
{
    ::unsetenv("DISPLAY");
    ::setenv("XDG_SESSION_TYPE", "tty", 1);
    const auto windows = platform::createWindowSystem();
    EXPECT_EQ(windows->foregroundWindow(), 0u);
    EXPECT_EQ(windows->windowFromPoint({10, 10}), 0u);
    EXPECT_FALSE(windows->showWindow(0x200001, 3));
    EXPECT_FALSE(windows->postMessage(0x200001, platform::kWmClose, 0, 0));
    int speed = 0;
    const auto pointer = platform::createPointerSpeed();
    EXPECT_FALSE(pointer->setSpeed(10));
    EXPECT_FALSE(pointer->speed(speed));
    const auto input = platform::createInputInjector();
    input->keyEvent(0x41, platform::kKeyDown);
    input->keyEvent(0x41, platform::kKeyUp);
    EXPECT_EQ(input->cursorPos().x, 0);
}
