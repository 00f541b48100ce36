// The Win32 audio, gamma-ramp, pointer-speed and power services against the real
// system. Each test puts back what it changed; nothing ends the session.
#include "audio.h"
#include "display_gamma.h"
#include "pointer_speed.h"
#include "power.h"
#include "win32_test_support.h"

#include "../../../agent/actions/gammaramp.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace platform;

// Whether a default output exists depends on the machine; the enumerator always does.
TEST(Audio, OpensTheDefaultOutputOrSaysWhichStepFailed)
{
    auto audio = createAudioSystem();
    audio->initializeCom();
    for (const AudioEndpointRequest &request :
         {AudioEndpointRequest{}, {AudioEndpointRequest::Role::Multimedia, true, true}}) {
        AudioOpenFailure failure = AudioOpenFailure::CreateEnumerator;
        const auto endpoint = audio->openDefaultRenderEndpoint(request, failure);
        EXPECT_EQ(failure == AudioOpenFailure::None, endpoint != nullptr);
        EXPECT_NE(failure, AudioOpenFailure::CreateEnumerator);
        float level = -1, read = -1;
        bool muted = false, readMuted = false;
        if (!endpoint)
            continue;
        ASSERT_TRUE(endpoint->masterVolumeScalar(level) && endpoint->mute(muted));
        const float other = level > 0.5f ? 0.25f : 0.75f;
        const AudioEventContext context = audio->createEventContext();
        EXPECT_TRUE(endpoint->setMasterVolumeScalar(other, &context) &&
                    endpoint->setMute(!muted, nullptr));
        EXPECT_TRUE(endpoint->masterVolumeScalar(read) && endpoint->mute(readMuted));
        EXPECT_TRUE(std::abs(read - other) < 0.01f && readMuted == !muted);
        endpoint->setMute(muted, nullptr);
        endpoint->setMasterVolumeScalar(level, &context);
    }
}

TEST(Audio, FreshEventContextsAndComLeftAsFound)
{
    {
        auto audio = createAudioSystem();
        audio->initializeCom();
        audio->initializeCom(); // repeated, as every volume step does
        const AudioEventContext a = audio->createEventContext(), b = audio->createEventContext();
        EXPECT_TRUE(a.bytes != AudioEventContext{}.bytes && a.bytes != b.bytes);
    }
    EXPECT_TRUE(testsupport::comUninitialised());
}

// The service agrees with a direct SetDeviceGammaRamp, and a display that takes ramps
// gives back what was set.
TEST(DisplayGamma, AppliesTheLevelsRamps)
{
    auto gamma = createDisplayGamma();
    ASSERT_TRUE(gamma->load());
    const HDC dc = GetDC(nullptr);
    WORD original[3][256] = {}, direct[3][256];
    const bool haveOriginal = GetDeviceGammaRamp(dc, original) != FALSE;
    for (int level : {0, 100}) {
        const GammaRamp ramp = brightness::rampForLevel(level);
        for (int i = 0; i < 256; ++i)
            direct[0][i] = direct[1][i] = direct[2][i] = ramp.red[std::size_t(i)];
        const bool takesRamps = SetDeviceGammaRamp(dc, direct) != FALSE;
        EXPECT_EQ(gamma->setRamp(ramp), takesRamps) << level;
        GammaRamp back;
        EXPECT_TRUE(!takesRamps || (gamma->ramp(back) && back.red == ramp.red &&
                                    back.green == ramp.green && back.blue == ramp.blue));
    }
    if (haveOriginal)
        SetDeviceGammaRamp(dc, original);
    ReleaseDC(nullptr, dc);
}

TEST(PointerSpeed, ReadsAndSetsTheSystemValue)
{
    auto speed = createPointerSpeed();
    int system = -1, read = -1;
    SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &system, 0);
    ASSERT_TRUE(speed->speed(read) && read == system);
    // Wine 8 takes SPI_SETMOUSESPEED's value from uiParam; Windows, and the service, use pvParam.
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "Wine reads SPI_SETMOUSESPEED's value from the wrong argument";
    EXPECT_TRUE(speed->setSpeed(system == 20 ? 1 : 20) && speed->speed(read));
    EXPECT_EQ(read, system == 20 ? 1 : 20);
    SystemParametersInfoW(SPI_SETMOUSESPEED, 0, reinterpret_cast<PVOID>(INT_PTR(system)),
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

TEST(Power, ReportsNtAndEnablesTheShutdownPrivilegeWhenTheTokenHoldsIt)
{
    auto power = createPower();
    OsVersion version;
    ASSERT_TRUE(power->osVersion(version));
    EXPECT_TRUE(version.platformId == kVerPlatformWin32Nt && version.major >= 5u);
    HANDLE token = nullptr;
    LUID id{};
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &id));
    auto state = [&] { // -1: not held; else whether enabled
        BYTE buffer[4096];
        DWORD size = 0;
        GetTokenInformation(token, TokenPrivileges, buffer, sizeof buffer, &size);
        const auto *held = reinterpret_cast<const TOKEN_PRIVILEGES *>(buffer);
        for (const LUID_AND_ATTRIBUTES *p = held->Privileges;
             p != held->Privileges + held->PrivilegeCount; ++p)
            if (p->Luid.LowPart == id.LowPart && p->Luid.HighPart == id.HighPart)
                return (p->Attributes & SE_PRIVILEGE_ENABLED) ? 1 : 0;
        return -1;
    };
    const bool holds = state() >= 0;
    EXPECT_EQ(power->enableShutdownPrivilege(), holds);
    EXPECT_EQ(state(), holds ? 1 : -1);
    CloseHandle(token);
}

} // namespace
