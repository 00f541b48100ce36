// The pointer speed on X11: the 1-20 scale is the X server's pointer
// acceleration, speed / 10 (10, the Windows default, moves the pointer as the
// device reports it), for motion beyond a threshold of 4 pixels. The server
// keeps it until it ends; desktops that store their own mouse settings apply
// theirs at the next log-in.
#include "pointer_speed.h"
#include "x11_connection.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {
namespace {

constexpr int kMinSpeed = 1;
constexpr int kMaxSpeed = 20;
constexpr std::int16_t kDenominator = 10;
constexpr std::int16_t kThreshold = 4;

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
        return !error;
    }
    bool speed(int &out) override
    {
        linuxport::XConnection *x = linuxport::xConnection();
        if (!x)
            return false;
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

} // namespace

std::unique_ptr<PointerSpeed> createPointerSpeed()
{
    return std::make_unique<LinuxPointerSpeed>();
}

} // namespace platform
