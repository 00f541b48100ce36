// Screen brightness on Linux. Where the machine has a backlight, a ramp sets the
// backlight instead: to the brightness the ramp would give (its mean output
// relative to the identity ramp, capped at full), written through logind's
// SetBrightness on this session, which needs no privilege. Otherwise the ramp
// goes to every CRTC of the X server through XRandR, resampled to the CRTC's
// gamma size; in a Wayland session, where XWayland's CRTCs drive no screen, to
// every output of a wlroots compositor through its gamma control instead.
// None of these: logged once, and every call answers false.
#include "compositor_windows.h"
#include "display_gamma_linux.h"
#include "logind_linux.h"
#include "wlr_gamma.h"
#include "x11_connection.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <xcb/randr.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace platform {
namespace linuxport {
namespace {

std::int64_t readNumber(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const std::int64_t value = file.readAll().trimmed().toLongLong(&ok);
    return ok ? value : -1;
}

// How bright the ramp makes the screen, from 0 to 1 (the identity ramp gives 1).
double relativeBrightness(const GammaRamp &ramp)
{
    const double sum = std::accumulate(ramp.red.begin(), ramp.red.end(), 0.0) +
                       std::accumulate(ramp.green.begin(), ramp.green.end(), 0.0) +
                       std::accumulate(ramp.blue.begin(), ramp.blue.end(), 0.0);
    const double identity = 3 * 256.0 * (255 * 256) / 2; // entry i = 256 i
    return std::clamp(sum / identity, 0.0, 1.0);
}

class LinuxDisplayGamma : public DisplayGamma
{
public:
    explicit LinuxDisplayGamma(std::string backlightRoot)
        : m_root(QString::fromStdString(backlightRoot))
    {
    }

    bool load() override
    {
        if (m_state != State::Unknown)
            return m_state != State::None;
        const QStringList devices =
            QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &device : devices) {
            m_max =
                readNumber(m_root + QLatin1Char('/') + device + QStringLiteral("/max_brightness"));
            if (m_max > 0) {
                m_device = device;
                m_state = State::Backlight;
                return true;
            }
        }
        if (waylandSession()) {
            if ((m_wlroots = WlrGamma::connect())) {
                m_state = State::WlrootsGamma;
                return true;
            }
        } else if (linuxport::XConnection *x = linuxport::xConnection()) {
            if (!crtcs(*x).empty()) {
                m_state = State::Gamma;
                return true;
            }
        }
        qWarning() << "brightness: no backlight and no gamma tables this session can set";
        m_state = State::None;
        return false;
    }

    bool setRamp(const GammaRamp &ramp) override
    {
        if (!load())
            return false;
        if (m_state == State::Backlight) {
            const auto value = std::uint32_t(std::lround(relativeBrightness(ramp) * double(m_max)));
            return callLogind(sessionPath(), QStringLiteral("Session"),
                              QStringLiteral("SetBrightness"),
                              {QStringLiteral("backlight"), m_device, value});
        }
        if (m_state == State::WlrootsGamma)
            return m_wlroots->setRamp(ramp);
        linuxport::XConnection &x = *linuxport::xConnection();
        bool any = false;
        for (const auto &[crtc, size] : crtcs(x)) {
            std::vector<std::uint16_t> red(size), green(size), blue(size);
            for (std::size_t i = 0; i < size; ++i) {
                const std::size_t from = size > 1 ? i * 255 / (size - 1) : 0;
                red[i] = ramp.red[from];
                green[i] = ramp.green[from];
                blue[i] = ramp.blue[from];
            }
            xcb_generic_error_t *error = xcb_request_check(
                x.connection,
                xcb_randr_set_crtc_gamma_checked(x.connection, crtc, std::uint16_t(size),
                                                 red.data(), green.data(), blue.data()));
            any = any || !error;
            free(error);
        }
        return any;
    }

    bool ramp(GammaRamp &out) override
    {
        if (!load())
            return false;
        if (m_state == State::Backlight) {
            const std::int64_t now =
                readNumber(m_root + QLatin1Char('/') + m_device + QStringLiteral("/brightness"));
            if (now < 0)
                return false;
            for (int i = 0; i < 256; ++i)
                out.red[i] = out.green[i] = out.blue[i] =
                    std::uint16_t(std::lround(256.0 * i * double(now) / double(m_max)));
            return true;
        }
        if (m_state == State::WlrootsGamma)
            return false; // the protocol sets tables, it does not tell them
        linuxport::XConnection &x = *linuxport::xConnection();
        const auto all = crtcs(x);
        xcb_randr_get_crtc_gamma_reply_t *reply = xcb_randr_get_crtc_gamma_reply(
            x.connection, xcb_randr_get_crtc_gamma(x.connection, all.front().first), nullptr);
        if (!reply)
            return false;
        const std::size_t size = reply->size;
        const std::uint16_t *red = xcb_randr_get_crtc_gamma_red(reply);
        const std::uint16_t *green = xcb_randr_get_crtc_gamma_green(reply);
        const std::uint16_t *blue = xcb_randr_get_crtc_gamma_blue(reply);
        for (std::size_t i = 0; i < 256 && size > 0; ++i) {
            const std::size_t from = i * (size - 1) / 255;
            out.red[i] = red[from];
            out.green[i] = green[from];
            out.blue[i] = blue[from];
        }
        free(reply);
        return size > 0;
    }

private:
    enum class State { Unknown, Backlight, Gamma, WlrootsGamma, None };

    // The CRTCs that take gamma ramps, with their ramp sizes.
    static std::vector<std::pair<xcb_randr_crtc_t, std::size_t>> crtcs(linuxport::XConnection &x)
    {
        std::vector<std::pair<xcb_randr_crtc_t, std::size_t>> result;
        xcb_randr_get_screen_resources_current_reply_t *resources =
            xcb_randr_get_screen_resources_current_reply(
                x.connection, xcb_randr_get_screen_resources_current(x.connection, x.root),
                nullptr);
        if (!resources)
            return result;
        const xcb_randr_crtc_t *ids = xcb_randr_get_screen_resources_current_crtcs(resources);
        for (int i = 0; i < xcb_randr_get_screen_resources_current_crtcs_length(resources); ++i) {
            xcb_randr_get_crtc_gamma_size_reply_t *size = xcb_randr_get_crtc_gamma_size_reply(
                x.connection, xcb_randr_get_crtc_gamma_size(x.connection, ids[i]), nullptr);
            if (size && size->size > 1)
                result.emplace_back(ids[i], size->size);
            free(size);
        }
        free(resources);
        return result;
    }

    QString m_root;
    State m_state = State::Unknown;
    QString m_device;
    std::int64_t m_max = 0;
    std::unique_ptr<WlrGamma> m_wlroots;
};

} // namespace

std::unique_ptr<DisplayGamma> createDisplayGamma(const std::string &backlightRoot)
{
    return std::make_unique<LinuxDisplayGamma>(backlightRoot);
}

} // namespace linuxport

std::unique_ptr<DisplayGamma> createDisplayGamma()
{
    return linuxport::createDisplayGamma("/sys/class/backlight");
}

} // namespace platform
