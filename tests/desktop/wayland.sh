#!/usr/bin/env bash
# Both programs in a Wayland session without X, on a compositor started headless
# with no Xwayland: sway (wlroots), KWin (KDE Plasma) or GNOME Shell (with the
# built Shell extension enabled, and a mocked logind on a private system bus),
# each with a session bus of its own.
#  - The agent follows the native window in front as the compositor reports it:
#    a simulated press performs that program's set, or the set for all programs
#    when no window is in front (effects recorded).
#  - Its window actions reach that window: maximise, minimise and show desktop
#    change what the compositor reports (performed; sway, tiling, ignores
#    maximise and minimise, so there they are recorded and must name the window).
#  - The built configurator comes up as a native Wayland client, prints no QML
#    warning, and a second start hands over to it and ends.
# The compositors refuse to run as root: as root, everything here runs as "nobody".
#   wayland.sh <build folder's bin> [sway|kwin|gnome]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/report-errors.bash"
bin=$(cd "$1" && pwd)
compositor_name=${2:-sway}
case "$compositor_name" in
sway) command -v sway >/dev/null || { echo "FAIL: sway is not installed (tools/install-deps)"; exit 1; } ;;
kwin) command -v kwin_wayland >/dev/null || { echo "FAIL: kwin_wayland is not installed (tools/install-deps)"; exit 1; } ;;
gnome) command -v gnome-shell >/dev/null || { echo "FAIL: gnome-shell is not installed (tools/install-deps)"; exit 1; } ;;
*) echo "unknown compositor $compositor_name"; exit 2 ;;
esac

work=$(mktemp -d)
chmod 755 "$work"
mkdir -p "$work/run" "$work/home" "$work/app"
cp "$bin/VelkoOptionsGUI" "$bin/VelkoOptions" "$bin/velko_wayland_window" "$bin/velko_probe" "$work/app/"
[ ! -d "$bin/font" ] || cp -r "$bin/font" "$work/app/"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
chmod 700 "$work/run"
pids=()
cleanup() {
    exec 2>/dev/null # the Shell may crash as it is stopped: no news
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    local uid
    uid=$(stat -c %u "$work/run")
    pkill -u "$uid" -x VelkoOptions 2>/dev/null || true # the configurator's
    # Gone before the next test that starts an agent looks for one.
    for _ in $(seq 50); do pgrep -u "$uid" -x VelkoOptions >/dev/null || break; sleep 0.1; done
    [ -z "${bus:-}" ] || kill "$bus" 2>/dev/null || true
    [ -z "${system_bus:-}" ] || kill "$system_bus" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL ($compositor_name): $*"
    for f in "$work"/*.log; do echo "--- $(basename "$f")"; tail -n 30 "$f" | cut -c1-300; done
    exit 1
}
mine() { [ "$(id -u)" -ne 0 ] || chown -R nobody:nogroup "$@"; }
mine "$work/run" "$work/home" "$work/app"

bus_address="unix:path=$work/run/bus"
session=(env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
         DBUS_SESSION_BUS_ADDRESS="$bus_address")
as=("${as_user[@]}" "${session[@]}")
"${as[@]}" dbus-daemon --session --nofork --address="$bus_address" >"$work/bus.log" 2>&1 &
bus=$!
for _ in $(seq 50); do [ -S "$work/run/bus" ] && break; sleep 0.1; done

wayland=("${as[@]}" WAYLAND_DISPLAY=wayland-1 QT_FORCE_STDERR_LOGGING=1)
if [ "$compositor_name" = sway ]; then
    printf 'output HEADLESS-1 resolution 1280x800\n' >"$work/sway.conf"
    chmod 644 "$work/sway.conf"
    "${as[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$work/sway.conf" >"$work/compositor.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        [ -S "$work/run/wayland-1" ] && ls "$work/run"/sway-ipc.*.sock >/dev/null 2>&1 && break
        sleep 0.1
    done
    ipc=$(ls "$work/run"/sway-ipc.*.sock 2>/dev/null || true)
    focus() { "${as[@]}" SWAYSOCK="$ipc" swaymsg "[app_id=$1] focus" >/dev/null; }
elif [ "$compositor_name" = gnome ]; then
    wayland+=(XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland)
    # The Shell asks logind about the session and the machine.
    "${as[@]}" dbus-daemon --session --nofork --address="unix:path=$work/run/system" \
        >"$work/system-bus.log" 2>&1 &
    system_bus=$!
    for _ in $(seq 50); do [ -S "$work/run/system" ] && break; sleep 0.1; done
    as+=(DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/run/system")
    wayland+=(DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/run/system")
    "${as[@]}" /usr/bin/python3 -m dbusmock --system --template logind >"$work/logind.log" 2>&1 &
    pids+=($!)
    form=43
    [[ "$(gnome-shell --version)" =~ ([0-9]+) ]] && [ "${BASH_REMATCH[1]}" -ge 45 ] && form=45
    extensions="$work/home/.local/share/gnome-shell/extensions"
    mkdir -p "$extensions"
    cp -r "$bin/../gnome-shell/$form/velko-options@velko.com" "$extensions/"
    mine "$work/home"
    sleep 0.5
    "${as[@]}" gnome-shell --headless --wayland --virtual-monitor 1280x800 \
        --wayland-display wayland-1 >"$work/compositor.log" 2>&1 &
    pids+=($!)
    shell() { # <method> [arguments]: a call to the Shell's extensions interface
        "${as[@]}" gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell \
            -m "org.gnome.Shell.Extensions.$1" "${@:2}"
    }
    ours() { # <method> [arguments]: a call to our extension
        "${as[@]}" gdbus call --session -d com.velko.Options.Shell -o /com/velko/Options/Shell \
            -m "com.velko.Options.Shell.$1" "${@:2}"
    }
    for _ in $(seq 200); do shell ListExtensions >/dev/null 2>&1 && break; sleep 0.1; done
    # Installed, not enabled: the program selector's notice, and its way to enable.
    probe() { "${wayland[@]}" "$work/app/velko_probe" "$@"; }
    [ "$(probe detection)" = needs-enabling ] || fail "detection before enabling: $(probe detection)"
    probe enable-detection || fail "the Shell did not enable the extension"
    [ "$(probe detection)" = available ] || fail "detection once enabled: $(probe detection)"
    for _ in $(seq 100); do ours FocusedWindow >/dev/null 2>&1 && break; sleep 0.1; done
    ours FocusedWindow >/dev/null || fail "the extension does not answer"
    window_id() { ours ListWindows | grep -o "'[0-9]*', '$1'" | grep -o "[0-9]\+" | head -1; }
    focus() { ours Activate "$(window_id "$1")" >/dev/null; }
else
    wayland+=(XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland)
    # A copy without the file capability (CAP_SYS_RESOURCE) the package gives it,
    # which a container cannot grant: exec would be refused.
    cp "$(command -v kwin_wayland)" "$work/app/kwin_wayland"
    mine "$work/app/kwin_wayland"
    "${as[@]}" KWIN_COMPOSE=Q "$work/app/kwin_wayland" --virtual \
        --socket wayland-1 --width 1280 --height 800 >"$work/compositor.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 200); do
        [ -S "$work/run/wayland-1" ] && "${as[@]}" gdbus introspect --session -d org.kde.KWin \
            -o /Scripting >/dev/null 2>&1 && break
        sleep 0.1
    done
    # Runs a line of KWin script on the window with app id $1 as `w`.
    kwin_script() {
        printf 'var l = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (var i = 0; i < l.length; ++i) { var w = l[i]; if (String(w.resourceClass) == "%s") { %s } }\n' \
            "$1" "$2" >"$work/app/query.js"
        chmod 644 "$work/app/query.js"
        local call=("${as[@]}" gdbus call --session -d org.kde.KWin -o /Scripting -m)
        "${call[@]}" org.kde.kwin.Scripting.unloadScript velko-test >/dev/null
        "${call[@]}" org.kde.kwin.Scripting.loadScript "$work/app/query.js" velko-test >/dev/null
        "${call[@]}" org.kde.kwin.Scripting.start >/dev/null
    }
    focus() {
        kwin_script "$1" 'if (workspace.activeWindow !== undefined) workspace.activeWindow = w; else workspace.activeClient = w;'
    }
fi
[ -S "$work/run/wayland-1" ] || fail "the compositor did not start"

echo "== the agent follows the window in front"
mkdir -p "$work/app/system"
printf '[SET]\nmouse=QX210\n' >"$work/app/system/mouse.ini"
cat >"$work/app/system/QX210.ini" <<'INI'
[SET]
Right_key=Paste-14-rightKey
Mid_key=Max window-17-midKey
Side_downkey=Min window-18-slideDownKey
Side_upkey=Show/hide desktop-24-slideUpKey
Mid_wheel=Brightness control-3-midWheel
[PROGRAMS]
count=2
[PROGRAM1]
program=velko-one
Right_key=Copy-12-rightKey
[PROGRAM2]
program=velko-two
Right_key=Web-1-rightKey
right_web_url=http://example.com/
INI
mine "$work/app/system"
effects="$work/app/effects.txt"
start_agent() { # [agent options]
    "${wayland[@]}" "$work/app/VelkoOptions" --simulated-mouse "$@" >>"$work/agent.log" 2>&1 &
    agent=$!
    pids+=($agent)
}
stop_agent() { # as the configurator asks it to close
    "${as[@]}" python3 -c 'import os, socket
s = socket.socket(socket.AF_UNIX)
s.connect("/tmp/VelkoOptions-%d" % os.getuid())
s.sendall(b"close\n")
s.recv(64)' || kill "$agent"
    wait "$agent" 2>/dev/null || true
}
lines() { if [ -f "$effects" ]; then wc -l <"$effects"; else echo 0; fi; }
press() { # <control>
    for _ in $(seq 50); do
        "${wayland[@]}" "$work/app/VelkoOptions" --press "$1" >/dev/null 2>&1 && return
        sleep 0.2
    done
    fail "the agent took no press"
}
effects_of() { # <control>: the effects its press leaves, one line each
    local before
    before=$(lines)
    press "$1"
    for _ in $(seq 50); do
        [ "$(lines)" -gt "$before" ] && break
        sleep 0.1
    done
    sleep 0.3 # nothing more follows
    tail -n +"$((before + 1))" "$effects" | tr '\n' ';'
}
wait_for() { # <file> <line>: until the file has the line
    for _ in $(seq 100); do
        grep -qx "$2" "$1" 2>/dev/null && return
        sleep 0.1
    done
    fail "no \"$2\" in $(basename "$1")"
}
open_window() { # <app id>: until it has the focus
    "${wayland[@]}" QT_QPA_PLATFORM=wayland QT_WAYLAND_DISABLE_WINDOWDECORATION=1 \
        "$work/app/velko_wayland_window" "$1" >"$work/window-$1.log" 2>&1 &
    pids+=($!)
    if [ "$compositor_name" = gnome ]; then # the Shell gives a new window no focus here
        for _ in $(seq 100); do [ -n "$(window_id "$1")" ] && break; sleep 0.1; done
        focus "$1"
    fi
    wait_for "$work/window-$1.log" active
}
copy="key 0x11 0;key 0x43 0;pause 50;key 0x43 2;key 0x11 2;"
paste="key 0x11 0;key 0x56 0;pause 50;key 0x56 2;key 0x11 2;"

start_agent --record-effects "$effects"
got=$(effects_of right-key)
[ "$got" = "$paste" ] || fail "no window in front: the set for all programs, got: $got"
open_window velko-one
got=$(effects_of right-key)
[ "$got" = "$copy" ] || fail "velko-one in front: its own set, got: $got"
open_window velko-two
got=$(effects_of right-key)
[ "$got" = "open http://example.com/ 10;" ] || fail "velko-two in front: its own set, got: $got"
: >"$work/window-velko-one.log"
focus velko-one
wait_for "$work/window-velko-one.log" active
got=$(effects_of right-key)
[ "$got" = "$copy" ] || fail "velko-one in front again: its own set, got: $got"
if [ "$compositor_name" = sway ]; then
    got=$(effects_of middle-key)
    [ "$got" = "show 3 on 0xE0000001;" ] || fail "maximise: velko-one, the first window seen, got: $got"
    got=$(effects_of side-up-key)
    [ "$got" = "toggle desktop;" ] || fail "show desktop, got: $got"
fi
stop_agent

if [ "$compositor_name" = sway ]; then
    # Headless outputs take no gamma table: the function is said to do nothing,
    # once (rather than set XWayland's tables, which drive no screen).
    echo "== brightness where nothing takes it: said once"
    start_agent
    press wheel-up
    press wheel-up
    for _ in $(seq 30); do grep -q "Brightness control: not available" "$work/agent.log" && break; sleep 0.1; done
    sleep 0.5
    stop_agent
    [ "$(grep -c "Brightness control: not available" "$work/agent.log")" = 1 ] ||
        fail "brightness: not said exactly once"
fi
if [ "$compositor_name" = gnome ]; then
    echo "== the window actions, performed"
    start_agent
    press middle-key
    wait_for "$work/window-velko-one.log" "state 2" # Qt::WindowMaximized
    press side-up-key # show desktop: nothing left in front
    for _ in $(seq 50); do ours FocusedWindow | grep "^('', " >/dev/null && break; sleep 0.1; done
    ours FocusedWindow | grep "^('', " >/dev/null || fail "show desktop: a window is still in front"
    press side-up-key # and back, the one in front before on top
    for _ in $(seq 50); do ours FocusedWindow | grep "'velko-one'" >/dev/null && break; sleep 0.1; done
    ours FocusedWindow | grep "'velko-one'" >/dev/null || fail "show desktop again: velko-one is not back in front"
    focus velko-two
    wait_for "$work/window-velko-two.log" active
    press side-down-key # minimise: the focus leaves velko-two
    for _ in $(seq 50); do ours FocusedWindow | grep "'velko-two'" >/dev/null || break; sleep 0.1; done
    ! ours FocusedWindow | grep "'velko-two'" >/dev/null || fail "minimise: velko-two is still in front"
    stop_agent
fi
if [ "$compositor_name" = kwin ]; then
    echo "== the window actions, performed"
    start_agent
    press middle-key
    wait_for "$work/window-velko-one.log" "state 2" # Qt::WindowMaximized
    showing() {
        "${as[@]}" gdbus call --session -d org.kde.KWin -o /KWin \
            -m org.freedesktop.DBus.Properties.Get org.kde.KWin showingDesktop
    }
    press side-up-key
    for _ in $(seq 50); do showing | grep true >/dev/null && break; sleep 0.1; done
    showing | grep true >/dev/null || fail "show desktop: KWin does not show the desktop"
    press side-up-key
    for _ in $(seq 50); do showing | grep false >/dev/null && break; sleep 0.1; done
    showing | grep false >/dev/null || fail "show desktop again: KWin still shows the desktop"
    focus velko-two
    wait_for "$work/window-velko-two.log" active
    press side-down-key
    for _ in $(seq 50); do
        kwin_script velko-two 'print("velko-test minimized=" + w.minimized);'
        grep -aq "velko-test minimized=true" "$work/compositor.log" && break
        sleep 0.2
    done
    grep -aq "velko-test minimized=true" "$work/compositor.log" || fail "minimise: velko-two is not minimised"
    loaded() {
        "${as[@]}" gdbus call --session -d org.kde.KWin -o /Scripting \
            -m org.kde.kwin.Scripting.isScriptLoaded "velko-options-$agent"
    }
    loaded | grep true >/dev/null || fail "the agent's KWin script is not loaded under its name"
    stop_agent
    loaded | grep false >/dev/null || fail "the agent left its KWin script loaded"
fi

echo "== the configurator as a Wayland client"
"${wayland[@]}" "$work/app/VelkoOptionsGUI" --simulated-mouse >"$work/first.log" 2>&1 &
configurator=$!
pids+=($configurator)
listed() {
    if [ "$compositor_name" = sway ]; then
        "${as[@]}" SWAYSOCK="$ipc" swaymsg -t get_tree | grep '"app_id": "VelkoOptionsGUI"' >/dev/null
    elif [ "$compositor_name" = gnome ]; then
        [ -n "$(window_id VelkoOptionsGUI)" ]
    else
        kwin_script VelkoOptionsGUI 'print("velko-test listed");'
        sleep 0.2
        grep -aq "velko-test listed" "$work/compositor.log"
    fi
}
for _ in $(seq 100); do
    listed && break
    kill -0 "$configurator" 2>/dev/null || fail "the configurator ended"
    sleep 0.2
done
listed || fail "the compositor lists no window of the configurator"
sleep 1
warnings=$(grep -E '(qrc|file):/[^ ]*:[0-9]+|failed to load|could not|Could not' "$work/first.log" || true)
[ -z "$warnings" ] || fail "warnings: $warnings"

echo "== a second start hands over and ends"
"${wayland[@]}" "$work/app/VelkoOptionsGUI" --simulated-mouse >"$work/second.log" 2>&1 &
second=$!
for _ in $(seq 200); do
    kill -0 "$second" 2>/dev/null || break
    sleep 0.1
done
! kill -0 "$second" 2>/dev/null || fail "the second start did not end"
wait "$second" || fail "the second start ended with $?"
kill -0 "$configurator" 2>/dev/null || fail "the first configurator ended with the second"
echo "PASS"
