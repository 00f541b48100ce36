// GNOME Shell 43 and 44: the extension as a legacy module.
const {Gio, GLib, Meta, Shell} = imports.gi;
