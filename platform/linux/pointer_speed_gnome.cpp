// GNOME's pointer speed through GSettings, which stores it for the user (dconf)
// and tells the compositor. No Qt here: GLib's headers use its "signals" keyword.
#include "pointer_speed_desktops.h"

#include <gio/gio.h>

namespace platform::linuxport {
namespace {

constexpr char kSchema[] = "org.gnome.desktop.peripherals.mouse";
constexpr char kKey[] = "speed";

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
    std::shared_ptr<GSettings> settings(g_settings_new(kSchema), g_object_unref);
    return std::make_unique<AccelerationSetting>(
        [settings]() -> std::optional<double> { return g_settings_get_double(settings.get(), kKey); },
        [settings](double value) {
            // Refused where the administrator locked it down.
            const bool written = g_settings_set_double(settings.get(), kKey, value);
            g_settings_sync();
            return written;
        });
}

} // namespace platform::linuxport
