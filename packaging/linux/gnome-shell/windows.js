// Velko Options: tells the Velko Options agent, over the session bus, which
// window is in front, and carries out its window actions. GNOME Shell gives
// other programs no window list of its own; this is the agent's way to one.
// The same text serves both extension forms (GNOME 43-44 and 45 and later),
// which only bind Gio, GLib, Meta and Shell differently.

const VELKO_INTERFACE = `<node>
  <interface name="com.velko.Options.Shell">
    <method name="FocusedWindow">
      <arg type="s" direction="out" name="id"/>
      <arg type="s" direction="out" name="program"/>
      <arg type="s" direction="out" name="title"/>
      <arg type="u" direction="out" name="pid"/>
    </method>
    <method name="ListWindows">
      <arg type="a(sssu)" direction="out" name="windows"/>
    </method>
    <method name="Maximize"><arg type="s" direction="in" name="id"/></method>
    <method name="Unmaximize"><arg type="s" direction="in" name="id"/></method>
    <method name="Minimize"><arg type="s" direction="in" name="id"/></method>
    <method name="Unminimize"><arg type="s" direction="in" name="id"/></method>
    <method name="Activate"><arg type="s" direction="in" name="id"/></method>
    <method name="ToggleShowDesktop"/>
    <signal name="FocusChanged">
      <arg type="s" name="id"/>
      <arg type="s" name="program"/>
      <arg type="s" name="title"/>
      <arg type="u" name="pid"/>
    </signal>
  </interface>
</node>`;

class VelkoWindows {
    enable() {
        this._hidden = [];
        this._object = Gio.DBusExportedObject.wrapJSObject(VELKO_INTERFACE, this);
        this._object.export(Gio.DBus.session, '/com/velko/Options/Shell');
        this._name = Gio.bus_own_name_on_connection(Gio.DBus.session, 'com.velko.Options.Shell',
            Gio.BusNameOwnerFlags.NONE, null, null);
        this._focus = global.display.connect('notify::focus-window', () => {
            this._object.emit_signal('FocusChanged',
                new GLib.Variant('(sssu)', this.FocusedWindow()));
        });
    }

    disable() {
        global.display.disconnect(this._focus);
        Gio.bus_unown_name(this._name);
        this._object.unexport();
        this._object = null;
        this._hidden = [];
    }

    // The windows a user switches between: no panels, menus or tool windows.
    _usable(w) {
        return w && !w.is_skip_taskbar() && [Meta.WindowType.NORMAL, Meta.WindowType.DIALOG,
            Meta.WindowType.MODAL_DIALOG].includes(w.get_window_type());
    }

    // id, program (the app id of a Wayland window, the class of an X11 one, else
    // the desktop file's id), title, process id.
    _describe(w) {
        if (!this._usable(w))
            return ['', '', '', 0];
        let program = w.get_wm_class() || '';
        if (!program) {
            const app = Shell.WindowTracker.get_default().get_window_app(w);
            program = app && app.get_id() ? app.get_id().replace(/\.desktop$/, '') : '';
        }
        return [String(w.get_id()), program, w.get_title() || '', Math.max(w.get_pid(), 0)];
    }

    _windows() {
        return global.get_window_actors().map(a => a.meta_window).filter(w => this._usable(w));
    }

    _find(id) {
        return this._windows().find(w => String(w.get_id()) === id);
    }

    FocusedWindow() {
        return this._describe(global.display.focus_window);
    }

    ListWindows() {
        return this._windows().map(w => this._describe(w));
    }

    Maximize(id) {
        this._find(id)?.maximize(Meta.MaximizeFlags.BOTH);
    }

    Unmaximize(id) {
        this._find(id)?.unmaximize(Meta.MaximizeFlags.BOTH);
    }

    Minimize(id) {
        this._find(id)?.minimize();
    }

    Unminimize(id) {
        this._find(id)?.unminimize();
    }

    Activate(id) {
        this._find(id)?.activate(global.get_current_time());
    }

    // Every window of the workspace minimised; at the next call those of them
    // still there and still minimised come back, the one in front before on top.
    ToggleShowDesktop() {
        const hidden = this._hidden.map(id => this._find(id)).filter(w => w && w.minimized);
        this._hidden = [];
        if (hidden.length > 0) {
            hidden.forEach(w => w.unminimize());
            hidden[hidden.length - 1].activate(global.get_current_time()); // minimised last
            return;
        }
        const workspace = global.workspace_manager.get_active_workspace();
        const front = global.display.focus_window;
        const windows = this._windows().sort((a, b) => (a === front) - (b === front));
        for (const w of windows) {
            if (w.minimized || w.get_workspace() !== workspace)
                continue;
            w.minimize();
            this._hidden.push(String(w.get_id()));
        }
    }
}
