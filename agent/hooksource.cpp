#include "hooksource.h"

#include "agentconffile.h"
#include "agentlog.h"
#include "appenv.h"
#include "controls.h"

#include <QDebug>
#include <QMetaObject>

#include <algorithm>
#include <array>
#include <cstdlib>

using platform::MouseHookButton;
using platform::MouseHookEvent;

namespace {

struct ButtonRoute
{
    int control;
    int pressKey; // the release is the next code
};

// By MouseHookButton: the controls and codes the filter driver gives these buttons.
constexpr std::array<ButtonRoute, 4> kButtons = {{
    {controls::RightKey, 1},
    {controls::MidKey, 3},
    {controls::SideDownKey, 5},
    {controls::SideUpKey, 7},
}};

struct WheelRoute
{
    int control;
    int positiveKey; // away from the user or to the right; the other way is the next code
};

// Wheel, then HorizontalWheel.
constexpr std::array<WheelRoute, 2> kWheels = {{
    {controls::MidWheel, 9},
    {controls::SideWheel, 11},
}};

constexpr int kRefreshMs = 500;

} // namespace

HookRules::Decision HookRules::decide(const MouseHookEvent &event, ControlBits assigned)
{
    Decision d;
    if (event.injected)
        return d;
    const auto isAssigned = [assigned](int control) { return (assigned >> control) & 1u; };
    switch (event.kind) {
    case MouseHookEvent::Kind::ButtonDown:
    case MouseHookEvent::Kind::ButtonUp: {
        const std::size_t b = std::size_t(event.button);
        if (b >= kButtons.size())
            return d;
        const ButtonRoute &route = kButtons[b];
        if (event.kind == MouseHookEvent::Kind::ButtonDown) {
            d.swallow = isAssigned(route.control);
            m_pressWent[b] = d.swallow ? 1 : -1;
            d.key = route.pressKey;
        } else {
            d.swallow = m_pressWent[b] == 1;
            m_pressWent[b] = 0;
            d.key = route.pressKey + 1;
        }
        d.count = d.swallow ? 1 : 0;
        return d;
    }
    case MouseHookEvent::Kind::Wheel:
    case MouseHookEvent::Kind::HorizontalWheel: {
        const std::size_t w = event.kind == MouseHookEvent::Kind::Wheel ? 0 : 1;
        const WheelRoute &route = kWheels[w];
        int &partial = m_partial[w];
        if (!isAssigned(route.control) || event.delta == 0) {
            partial = 0;
            return d;
        }
        d.swallow = true;
        if ((partial > 0) != (event.delta > 0))
            partial = 0; // turned the other way: what was left counts no more
        const int total = partial + event.delta; // a delta is at most a short's range
        d.count = std::min(std::abs(total) / kNotch, kMaxNotches);
        d.key = total > 0 ? route.positiveKey : route.positiveKey + 1;
        partial = total % kNotch;
        return d;
    }
    }
    return d;
}

HookSource::HookSource(platform::MouseHook &hook, QObject *parent) : QObject(parent), m_hook(hook)
{
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &HookSource::refreshAssignments);
}

HookSource::~HookSource()
{
    stop();
}

ControlBits HookSource::assignedControls(agent::OpFunConfFile &settings)
{
    const QString versionClass = appenv::windowsVersionClass();
    settings.setParameterSet(0); // the combinations of the set for all programs
    ControlBits assigned = 0;
    for (const controls::Control &control : controls::kControls) {
        const std::optional<int> index = settings.catalogueIndex(control.number);
        const bool function = index && *index != controls::noneIndex(control, versionClass);
        if (function || !settings.combinations(control.number, index).isEmpty() ||
            settings.hasProgramEntries(control.number))
            assigned |= ControlBits(1u << control.number);
    }
    return assigned;
}

void HookSource::refreshAssignments()
{
    if (!m_settings)
        m_settings = std::make_unique<agent::OpFunConfFile>();
    const ControlBits bits = assignedControls(*m_settings);
    if (m_assigned.exchange(bits) != bits)
        qCDebug(lcAgentEvents) << "hook: assigned controls" << Qt::hex << bits;
}

bool HookSource::start()
{
    if (m_hook.isRunning())
        return true;
    refreshAssignments();
    m_rules = HookRules();
    if (!m_hook.start([this](const MouseHookEvent &e) { return filter(e); }))
        return false;
    m_refresh.start();
    return true;
}

void HookSource::stop()
{
    m_refresh.stop();
    m_hook.stop();
    drain(); // what was heard before the hook went still counts
}

bool HookSource::filter(const MouseHookEvent &event)
{
    const HookRules::Decision d = m_rules.decide(event, m_assigned.load(std::memory_order_relaxed));
    if (d.count > 0) {
        bool wasEmpty;
        {
            std::lock_guard<std::mutex> lock(m_queueMutex);
            wasEmpty = m_queue.empty();
            m_queue.insert(m_queue.end(), std::size_t(d.count), d.key);
        }
        if (wasEmpty) // one wake-up per batch; the main thread takes all there is
            QMetaObject::invokeMethod(this, &HookSource::drain, Qt::QueuedConnection);
    }
    return d.swallow;
}

void HookSource::drain()
{
    std::vector<int> keys;
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        keys.swap(m_queue);
    }
    for (int key : keys)
        emit mouseClicked(key);
}
