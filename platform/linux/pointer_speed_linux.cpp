// The pointer speed on X11. The 1-20 scale is the X server's core pointer
// acceleration, speed / 10 (10, the Windows default, moves the pointer as the
// device reports it), for motion beyond a threshold of 4 pixels. Pointers driven
// by libinput ignore that and have their own "libinput Accel Speed" (-1 to 1):
// each such device gets (speed - 10) / 10, capped at 1, and reading the speed
// prefers it. The server keeps both until it ends; desktops that store their own
// mouse settings apply theirs at the next log-in.
//
// In a Wayland session the X server (XWayland) does not move the pointer: there
// the desktop's own setting is changed (GNOME, KDE Plasma, sway:
// pointer_speed_desktops.h), and elsewhere every call answers false.
#include "compositor_windows.h"
#include "pointer_speed.h"
#include "pointer_speed_desktops.h"
#include "x11_connection.h"

#include <QtGlobal>

#include <xcb/xinput.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {
namespace {

constexpr int kMinSpeed = linuxport::kMinPointerSpeed;
constexpr int kMaxSpeed = linuxport::kMaxPointerSpeed;
constexpr std::int16_t kDenominator = 10;
constexpr std::int16_t kThreshold = 4;

// The pointer devices that have libinput's acceleration property.
std::vector<xcb_input_device_id_t> libinputPointers(linuxport::XConnection &x, xcb_atom_t property)
{
    std::vector<xcb_input_device_id_t> ids;
    if (!property)
        return ids;
    free(xcb_input_xi_query_version_reply(x.connection,
                                          xcb_input_xi_query_version(x.connection, 2, 2), nullptr));
    xcb_input_xi_query_device_reply_t *devices = xcb_input_xi_query_device_reply(
        x.connection, xcb_input_xi_query_device(x.connection, XCB_INPUT_DEVICE_ALL), nullptr);
    if (!devices)
        return ids;
    for (auto it = xcb_input_xi_query_device_infos_iterator(devices); it.rem;
         xcb_input_xi_device_info_next(&it)) {
        if (it.data->type != XCB_INPUT_DEVICE_TYPE_SLAVE_POINTER)
            continue;
        xcb_input_xi_get_property_reply_t *value = xcb_input_xi_get_property_reply(
            x.connection,
            xcb_input_xi_get_property(x.connection, it.data->deviceid, 0, property, XCB_ATOM_ANY, 0,
                                      1),
            nullptr);
        if (value && value->format == 32 && value->num_items >= 1)
            ids.push_back(it.data->deviceid);
        free(value);
    }
    free(devices);
    return ids;
}

xcb_atom_t existingAtom(linuxport::XConnection &x, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        x.connection, xcb_intern_atom(x.connection, 1, std::uint16_t(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
    free(reply);
    return atom;
}

class LinuxPointerSpeed : public PointerSpeed
{
public:
    bool setSpeed(int speed) override
    {
        linuxport::XConnection *x = linuxport::xConnection();
        if (!x || speed < kMinSpeed || speed > kMaxSpeed)
            return false;
        xcb_generic_error_t *error = xcb_request_check(
            x->connection, xcb_change_pointer_control_checked(x->connection, std::int16_t(speed),
                                                              kDenominator, kThreshold, 1, 1));
        free(error);
        const xcb_atom_t accel = existingAtom(*x, "libinput Accel Speed");
        const xcb_atom_t floatType = existingAtom(*x, "FLOAT");
        const float value = float(linuxport::libinputAcceleration(speed));
        for (const xcb_input_device_id_t id : libinputPointers(*x, accel)) {
            std::uint32_t bits = 0;
            static_assert(sizeof bits == sizeof value, "32-bit float");
            std::memcpy(&bits, &value, sizeof bits);
            xcb_input_xi_change_property(x->connection, id, XCB_PROP_MODE_REPLACE, 32, accel,
                                         floatType, 1, &bits);
        }
        xcb_flush(x->connection);
        return !error;
    }
    bool speed(int &out) override
    {
        linuxport::XConnection *x = linuxport::xConnection();
        if (!x)
            return false;
        const xcb_atom_t accel = existingAtom(*x, "libinput Accel Speed");
        const std::vector<xcb_input_device_id_t> devices = libinputPointers(*x, accel);
        if (!devices.empty()) {
            xcb_input_xi_get_property_reply_t *reply = xcb_input_xi_get_property_reply(
                x->connection,
                xcb_input_xi_get_property(x->connection, devices.front(), 0, accel, XCB_ATOM_ANY, 0,
                                          1),
                nullptr);
            float value = 0;
            if (reply && reply->format == 32 && reply->num_items >= 1)
                std::memcpy(&value, xcb_input_xi_get_property_items(reply), sizeof value);
            free(reply);
            out = linuxport::speedOfAcceleration(value);
            return true;
        }
        xcb_get_pointer_control_reply_t *reply = xcb_get_pointer_control_reply(
            x->connection, xcb_get_pointer_control(x->connection), nullptr);
        if (!reply || reply->acceleration_denominator == 0) {
            free(reply);
            return false;
        }
        const double ratio =
            double(reply->acceleration_numerator) / reply->acceleration_denominator;
        free(reply);
        out = std::clamp(int(std::lround(ratio * kDenominator)), kMinSpeed, kMaxSpeed);
        return true;
    }
};

// A Wayland desktop whose pointer setting the agent cannot reach.
class UnreachablePointerSpeed : public PointerSpeed
{
public:
    bool setSpeed(int) override { return false; }
    bool speed(int &) override { return false; }
};

} // namespace

std::unique_ptr<PointerSpeed> createPointerSpeed()
{
    if (!linuxport::waylandSession())
        return std::make_unique<LinuxPointerSpeed>();
    std::unique_ptr<PointerSpeed> desktop;
    if (linuxport::currentDesktopIs("GNOME"))
        desktop = linuxport::createGnomePointerSpeed();
    else if (linuxport::currentDesktopIs("KDE"))
        desktop = linuxport::createKWinPointerSpeed();
    else if (!qEnvironmentVariableIsEmpty("SWAYSOCK"))
        desktop = linuxport::createSwayPointerSpeed();
    if (desktop)
        return desktop;
    return std::make_unique<UnreachablePointerSpeed>();
}

} // namespace platform
