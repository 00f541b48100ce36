// The Win32 audio, gamma-ramp, pointer-speed and power services against the real
// system (under Wine in CI). Each test puts back what it changed; nothing shuts
// down, logs off or locks the machine.
#include "audio.h"
#include "display_gamma.h"
#include "pointer_speed.h"
#include "power.h"

#include "../../../agent/actions/gammaramp.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

namespace {

// ---- Audio ---------------------------------------------------------------

class AudioEndpointTest : public ::testing::TestWithParam<platform::AudioEndpointRequest>
{
};

// The enumerator must always be created (right class, interface and context);
// whether a default output exists depends on the machine.
TEST_P(AudioEndpointTest, OpensTheDefaultOutputOrSaysWhichStepFailed)
{
    auto audio = platform::createAudioSystem();
    audio->initializeCom();
    platform::AudioOpenFailure failure = platform::AudioOpenFailure::CreateEnumerator;
    auto endpoint = audio->openDefaultRenderEndpoint(GetParam(), failure);
    if (!endpoint) {
        EXPECT_NE(failure, platform::AudioOpenFailure::None);
        EXPECT_NE(failure, platform::AudioOpenFailure::CreateEnumerator);
        GTEST_SKIP() << "no default audio output on this machine";
    }
    EXPECT_EQ(failure, platform::AudioOpenFailure::None);
    float level = -1.0f;
    ASSERT_TRUE(endpoint->masterVolumeScalar(level));
    EXPECT_GE(level, 0.0f);
    EXPECT_LE(level, 1.0f);
    bool muted = false;
    ASSERT_TRUE(endpoint->mute(muted));

    // Round trip with an event context, then back to where it was.
    const platform::AudioEventContext context = audio->createEventContext();
    const float other = level > 0.5f ? 0.25f : 0.75f;
    ASSERT_TRUE(endpoint->setMasterVolumeScalar(other, &context));
    float read = -1.0f;
    ASSERT_TRUE(endpoint->masterVolumeScalar(read));
    EXPECT_NEAR(read, other, 0.01f);
    ASSERT_TRUE(endpoint->setMute(!muted, nullptr));
    bool readMuted = muted;
    ASSERT_TRUE(endpoint->mute(readMuted));
    EXPECT_EQ(readMuted, !muted);
    endpoint->setMute(muted, nullptr);
    endpoint->setMasterVolumeScalar(level, &context);
}

platform::AudioEndpointRequest volumeRequest()
{
    return {};
}

platform::AudioEndpointRequest muteRequest()
{
    platform::AudioEndpointRequest r;
    r.role = platform::AudioEndpointRequest::Role::Multimedia;
    r.anyContext = true;
    r.withAudioClient = true;
    return r;
}

INSTANTIATE_TEST_SUITE_P(Win32, AudioEndpointTest,
                         ::testing::Values(volumeRequest(), muteRequest()));

TEST(AudioSystem, EventContextsAreFreshGuids)
{
    auto audio = platform::createAudioSystem();
    const platform::AudioEventContext a = audio->createEventContext();
    const platform::AudioEventContext b = audio->createEventContext();
    EXPECT_NE(a.bytes, platform::AudioEventContext{}.bytes);
    EXPECT_NE(a.bytes, b.bytes);
}

// Every successful CoInitialize of the service is balanced when it goes away.
TEST(AudioSystem, LeavesComAsItWasFound)
{
    {
        auto audio = platform::createAudioSystem();
        audio->initializeCom();
        audio->initializeCom(); // repeated, as every volume step does
    }
    const HRESULT init = CoInitialize(nullptr);
    EXPECT_EQ(init, S_OK);
    if (SUCCEEDED(init))
        CoUninitialize();
}

// ---- Gamma ramp ----------------------------------------------------------

TEST(DisplayGamma, ResolvesGdiEntryPoints)
{
    EXPECT_TRUE(platform::createDisplayGamma()->load());
}

class GammaLevels : public ::testing::TestWithParam<int>
{
};

// The service agrees with a direct SetDeviceGammaRamp on the same ramp, and a
// display that takes ramps gives back what was set.
TEST_P(GammaLevels, AppliesTheLevelsRamp)
{
    const platform::GammaRamp ramp = brightness::rampForLevel(GetParam());
    WORD original[3][256] = {};
    const HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    const bool haveOriginal = GetDeviceGammaRamp(dc, original) != FALSE;
    WORD direct[3][256];
    for (int i = 0; i < 256; ++i)
        direct[0][i] = direct[1][i] = direct[2][i] = ramp.red[std::size_t(i)];
    const bool displayTakesRamps = SetDeviceGammaRamp(dc, direct) != FALSE;

    auto gamma = platform::createDisplayGamma();
    EXPECT_EQ(gamma->setRamp(ramp), displayTakesRamps);
    if (displayTakesRamps) {
        platform::GammaRamp back;
        ASSERT_TRUE(gamma->ramp(back));
        EXPECT_EQ(back.red, ramp.red);
        EXPECT_EQ(back.green, ramp.green);
        EXPECT_EQ(back.blue, ramp.blue);
    }
    if (haveOriginal)
        SetDeviceGammaRamp(dc, original);
    ReleaseDC(nullptr, dc);
    if (!displayTakesRamps)
        GTEST_SKIP() << "this display refuses gamma ramps";
}

INSTANTIATE_TEST_SUITE_P(Win32, GammaLevels, ::testing::Values(0, 50, 100));

// ---- Pointer speed -------------------------------------------------------

bool runsOnWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

int systemPointerSpeed()
{
    int speed = -1;
    SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0);
    return speed;
}

TEST(PointerSpeed, ReadsTheSystemValue)
{
    int read = -1;
    ASSERT_TRUE(platform::createPointerSpeed()->speed(read));
    EXPECT_EQ(read, systemPointerSpeed());
}

class PointerSpeedTest : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        // Wine 8 takes SPI_SETMOUSESPEED's value from uiParam instead of pvParam,
        // where Windows reads it; the call here follows Windows.
        if (runsOnWine())
            GTEST_SKIP() << "Wine reads SPI_SETMOUSESPEED's value from the wrong argument";
        m_original = systemPointerSpeed();
    }
    void TearDown() override
    {
        if (m_original > 0)
            SystemParametersInfoW(SPI_SETMOUSESPEED, 0,
                                  reinterpret_cast<PVOID>(static_cast<INT_PTR>(m_original)),
                                  SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    }
    int m_original = 0;
};

TEST_P(PointerSpeedTest, IsAppliedAndReadBack)
{
    auto speed = platform::createPointerSpeed();
    ASSERT_TRUE(speed->setSpeed(GetParam()));
    int read = 0;
    ASSERT_TRUE(speed->speed(read));
    EXPECT_EQ(read, GetParam());
    EXPECT_EQ(systemPointerSpeed(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Win32, PointerSpeedTest, ::testing::Values(1, 7, 20));

// ---- Power (never asks to end the session) --------------------------------

TEST(Power, ReportsAnNtVersion)
{
    platform::OsVersion version;
    ASSERT_TRUE(platform::createPower()->osVersion(version));
    EXPECT_EQ(version.platformId, platform::kVerPlatformWin32Nt);
    EXPECT_GE(version.major, 5u);
}

TEST(Power, EnablesTheShutdownPrivilegeWhenTheTokenHoldsIt)
{
    // What the token holds decides; the service must agree with it.
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    LUID shutdown{};
    ASSERT_TRUE(LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &shutdown));
    BYTE buffer[4096];
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenPrivileges, buffer, sizeof buffer, &size));
    const auto *held = reinterpret_cast<const TOKEN_PRIVILEGES *>(buffer);
    bool holds = false;
    for (DWORD i = 0; i < held->PrivilegeCount; ++i)
        holds = holds || (held->Privileges[i].Luid.LowPart == shutdown.LowPart &&
                          held->Privileges[i].Luid.HighPart == shutdown.HighPart);

    EXPECT_EQ(platform::createPower()->enableShutdownPrivilege(), holds);

    if (holds) {
        ASSERT_TRUE(GetTokenInformation(token, TokenPrivileges, buffer, sizeof buffer, &size));
        bool enabled = false;
        for (DWORD i = 0; i < held->PrivilegeCount; ++i)
            if (held->Privileges[i].Luid.LowPart == shutdown.LowPart &&
                held->Privileges[i].Luid.HighPart == shutdown.HighPart)
                enabled = (held->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) != 0;
        EXPECT_TRUE(enabled);
    }
    CloseHandle(token);
}

} // namespace
