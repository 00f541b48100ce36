// What both agent benchmarks share: the cycle of controls they drive, what the
// configured functions send for each step, the input service that notes when a
// step's action is complete, and the figures they print.
#pragma once

#include "fake_input.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QMap>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

// One cycle: every control, each press with its release, and the wheel steps in
// between; step k is driven by each benchmark's own trigger k. What the function
// configured by kSettings sends for each step.
inline const std::array<std::vector<const char *>, 12> kCycleInput = {{
    {"mouse 0x20 0"},             // middle key down, "None"
    {"mouse 0x40 0"},             // middle key up
    {"key 0xB1 1", "key 0xB1 3"}, // wheel up, previous song
    {"mouse 0x8 0"},              // right key down, "Mouse right click"
    {"mouse 0x10 0"},             // right key up
    {"key 0xB0 1", "key 0xB0 3"}, // wheel down, next song
    {"mouse 0x80 1"},             // side down key down, "None"
    {"mouse 0x100 1"},            // side down key up
    {"key 0xB3 1", "key 0xB3 3"}, // side wheel right, play/pause
    {"mouse 0x80 2"},             // side up key down, "None"
    {"mouse 0x100 2"},            // side up key up
    {"key 0xB3 1", "key 0xB3 3"}, // side wheel left, play/pause
}};

inline const QMap<QString, QString> kSettings = {{"SET/Mid_key", "none-48-midKey"},
                                                 {"SET/Right_key", "Mouse right click-35-rightKey"},
                                                 {"SET/Side_upkey", "none-48-slideUpKey"},
                                                 {"SET/Side_downkey", "none-48-slideDownKey"},
                                                 {"SET/Mid_wheel", "Song Previous/Next-6-midWheel"},
                                                 {"SET/Side_wheel", "Play/Pause-7-slideWheel"},
                                                 {"SET/isConf", "Y"}};

inline void dropMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

// The input service that notes when the action of each step is complete.
class TimingInput : public platform::fake::FakeInputInjector
{
public:
    void keyEvent(std::uint8_t vk, std::uint32_t flags) override
    {
        FakeInputInjector::keyEvent(vk, flags);
        noteEvent();
    }
    void mouseEvent(std::uint32_t flags, std::int32_t data) override
    {
        FakeInputInjector::mouseEvent(flags, data);
        noteEvent();
    }
    // Starts counting steps from `firstStep` of the cycle.
    void expect(std::size_t firstStep, std::function<void(Clock::time_point)> onStepDone)
    {
        m_step = firstStep;
        m_inStep = 0;
        m_onStepDone = std::move(onStepDone);
    }

private:
    void noteEvent()
    {
        if (++m_inStep < kCycleInput[m_step % kCycleInput.size()].size())
            return;
        const Clock::time_point now = Clock::now();
        m_inStep = 0;
        ++m_step;
        if (m_onStepDone)
            m_onStepDone(now);
    }
    std::size_t m_step = 0, m_inStep = 0;
    std::function<void(Clock::time_point)> m_onStepDone;
};

// Whether `seen` is the input of steps [first, first + count); `mismatchAt`: the
// first input event that differs.
inline bool inputMatches(const std::vector<std::string> &seen, std::size_t first, std::size_t count,
                         std::size_t &mismatchAt)
{
    std::size_t k = 0;
    for (std::size_t i = first; i < first + count; ++i)
        for (const char *expected : kCycleInput[i % kCycleInput.size()]) {
            if (k >= seen.size() || seen[k] != expected) {
                mismatchAt = k;
                return false;
            }
            ++k;
        }
    mismatchAt = k;
    return k == seen.size();
}

inline QString residentMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QStringLiteral("n/a");
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return QString::fromLatin1(line.mid(6).simplified());
    return QStringLiteral("n/a");
}

inline double micros(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// The value below which the fraction `q` of the sorted `values` lies.
inline double quantile(const std::vector<double> &sorted, double q)
{
    return sorted[std::min(sorted.size() - 1, std::size_t(q * double(sorted.size())))];
}

// Drives `count` steps of the cycle one at a time from `firstStep`: `send(step)`
// starts one and answers the time its latency counts from (nothing: it failed);
// the next starts once the previous one's action is complete. Answers each step's
// latency in microseconds; fewer than `count` when a step failed or `app` quit.
inline std::vector<double>
measureOneAtATime(QCoreApplication &app, TimingInput &input, std::size_t firstStep, int count,
                  const std::function<std::optional<Clock::time_point>(std::size_t)> &send)
{
    std::vector<double> latencies;
    latencies.reserve(std::size_t(count));
    int sent = 0;
    Clock::time_point from;
    std::function<void()> next = [&] {
        if (sent == count) {
            app.quit();
            return;
        }
        const std::optional<Clock::time_point> at = send(firstStep + std::size_t(sent++));
        if (!at)
            app.exit(2);
        else
            from = *at;
    };
    input.expect(firstStep, [&](Clock::time_point t) {
        latencies.push_back(micros(t - from));
        QTimer::singleShot(0, next);
    });
    QTimer::singleShot(0, next);
    app.exec();
    input.expect(0, nullptr);
    return latencies;
}

// Prints median, p99 and maximum of `latencies` after the first `warmUp`; answers the p99
// (and the median in `median`, when given).
inline double printLatency(const char *label, const std::vector<double> &latencies, int warmUp,
                           bool inOrder, double *median = nullptr)
{
    std::vector<double> measured(latencies.begin() + warmUp, latencies.end());
    std::sort(measured.begin(), measured.end());
    std::printf("%s: %zu events (after %d warm-up), %s, median %.1f us, p99 %.1f us, max %.1f us\n",
                label, measured.size(), warmUp, inOrder ? "in order" : "OUT OF ORDER",
                quantile(measured, 0.5), quantile(measured, 0.99), measured.back());
    if (median)
        *median = quantile(measured, 0.5);
    return quantile(measured, 0.99);
}

} // namespace bench
