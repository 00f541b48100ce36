// The Linux placeholders for the system actions' services: until they are
// ported, each one answers as a failure (so the actions do nothing) instead of
// pretending to have changed anything.
#include "audio.h"
#include "display_gamma.h"
#include "pointer_speed.h"
#include "power.h"
#include "workstation_lock.h"

#include <gtest/gtest.h>

namespace {

TEST(LinuxPlaceholders, AudioHasNoOutput)
{
    auto audio = platform::createAudioSystem();
    audio->initializeCom();
    platform::AudioOpenFailure failure = platform::AudioOpenFailure::None;
    EXPECT_EQ(audio->openDefaultRenderEndpoint({}, failure), nullptr);
    EXPECT_NE(failure, platform::AudioOpenFailure::None);
}

TEST(LinuxPlaceholders, GammaRampsAreRefused)
{
    auto gamma = platform::createDisplayGamma();
    EXPECT_FALSE(gamma->load());
    EXPECT_FALSE(gamma->setRamp(platform::GammaRamp{}));
    platform::GammaRamp ramp;
    EXPECT_FALSE(gamma->ramp(ramp));
}

TEST(LinuxPlaceholders, PointerSpeedIsNotChanged)
{
    auto speed = platform::createPointerSpeed();
    EXPECT_FALSE(speed->setSpeed(10));
    int value = -1;
    EXPECT_FALSE(speed->speed(value));
    EXPECT_EQ(value, -1);
}

TEST(LinuxPlaceholders, SessionIsNeverEnded)
{
    auto power = platform::createPower();
    platform::OsVersion version;
    EXPECT_FALSE(power->osVersion(version)); // so the action stops before exiting
    EXPECT_FALSE(power->enableShutdownPrivilege());
    EXPECT_FALSE(power->exitWindows(platform::kEwxLogOff, 0));
    EXPECT_FALSE(platform::createWorkstationLock()->lock());
}

} // namespace
