// GNOME's pointer speed through GSettings, which stores it for the user (dconf)
// and tells the compositor. No Qt here: GLib's headers use its "signals" keyword.
#include "pointer_speed_desktops.h"

#include <gio/gio.h>

#include <optional>

namespace platform::linuxport {
namespace {

constexpr char kSchema[] = "org.gnome.desktop.peripherals.mouse";
constexpr char kKey[] = "speed";

class GnomePointerSpeed : public PointerSpeed
{
public:
    explicit GnomePointerSpeed(GSettings *settings) : m_settings(settings) {}
    ~GnomePointerSpeed() override
    {
        if (m_before) {
            g_settings_set_double(m_settings, kKey, *m_before);
            g_settings_sync();
        }
        g_object_unref(m_settings);
    }

    bool setSpeed(int speed) override
    {
        if (speed < kMinPointerSpeed || speed > kMaxPointerSpeed)
            return false;
        const double before = g_settings_get_double(m_settings, kKey);
        if (!g_settings_set_double(m_settings, kKey, libinputAcceleration(speed)))
            return false; // not writable (locked down by the administrator)
        if (!m_before)
            m_before = before;
        g_settings_sync();
        return true;
    }

    bool speed(int &out) override
    {
        out = speedOfAcceleration(g_settings_get_double(m_settings, kKey));
        return true;
    }

private:
    GSettings *m_settings;
    std::optional<double> m_before;
};

} // namespace

std::unique_ptr<PointerSpeed> createGnomePointerSpeed()
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema = source ? g_settings_schema_source_lookup(source, kSchema, TRUE) : nullptr;
    const bool usable = schema && g_settings_schema_has_key(schema, kKey);
    if (schema)
        g_settings_schema_unref(schema);
    if (!usable)
        return nullptr;
    return std::make_unique<GnomePointerSpeed>(g_settings_new(kSchema));
}

} // namespace platform::linuxport
