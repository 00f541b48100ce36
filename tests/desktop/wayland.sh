#!/usr/bin/env bash
# Both programs in a Wayland session without X: sway, started headless, with no
# Xwayland.
#  - The agent follows the native window in front, as the compositor's window list
#    reports it: a simulated press performs that program's set, or the set for all
#    programs when no window is in front; the window actions name that window
#    (effects recorded: sway, tiling, ignores maximise and minimise anyway).
#  - The built configurator comes up as a native Wayland client (the compositor
#    lists its window by app id), prints no QML warning, and a second start hands
#    over to it and ends.
# sway refuses to run as root: as root, everything here runs as "nobody".
#   wayland.sh <folder with both programs and velko_wayland_window>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/report-errors.bash"
bin=$(cd "$1" && pwd)
command -v sway >/dev/null || { echo "FAIL: sway is not installed (tools/install-deps)"; exit 1; }

work=$(mktemp -d)
chmod 755 "$work"
mkdir -p "$work/run" "$work/home" "$work/app"
cp "$bin/VelkoOptionsGUI" "$bin/VelkoOptions" "$bin/velko_wayland_window" "$work/app/"
[ ! -d "$bin/font" ] || cp -r "$bin/font" "$work/app/"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$work/run" "$work/home" "$work/app"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
chmod 700 "$work/run"
session=(env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/run")
printf 'output HEADLESS-1 resolution 1280x800\n' >"$work/sway.conf"
chmod 644 "$work/sway.conf"

compositor=""
configurator=""
windows=()
cleanup() {
    [ -z "$configurator" ] || kill "$configurator" 2>/dev/null || true
    for w in "${windows[@]}"; do kill "$w" 2>/dev/null || true; done
    pkill -u "$(stat -c %u "$work/run")" -x VelkoOptions 2>/dev/null || true
    [ -z "$compositor" ] || kill "$compositor" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    for f in "$work"/*.log; do echo "--- $(basename "$f")"; tail -n 30 "$f"; done
    exit 1
}

"${as_user[@]}" "${session[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_LIBINPUT_NO_DEVICES=1 sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
compositor=$!
for _ in $(seq 100); do
    [ -S "$work/run/wayland-1" ] && ls "$work/run"/sway-ipc.*.sock >/dev/null 2>&1 && break
    sleep 0.1
done
[ -S "$work/run/wayland-1" ] || fail "sway did not start"
ipc=$(ls "$work/run"/sway-ipc.*.sock)
tree() { "${as_user[@]}" "${session[@]}" SWAYSOCK="$ipc" swaymsg -t get_tree; }
wayland=("${as_user[@]}" "${session[@]}" WAYLAND_DISPLAY=wayland-1 QT_FORCE_STDERR_LOGGING=1)

echo "== the agent follows the window in front"
mkdir -p "$work/app/system"
printf '[SET]\nmouse=QX210\n' >"$work/app/system/mouse.ini"
cat >"$work/app/system/QX210.ini" <<'INI'
[SET]
Right_key=Paste-14-rightKey
Mid_key=Max window-17-midKey
Side_upkey=Show/hide desktop-24-slideUpKey
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
[ "$(id -u)" -ne 0 ] || chown -R nobody:nogroup "$work/app/system"
effects="$work/app/effects.txt"
"${wayland[@]}" "$work/app/VelkoOptions" --simulated-mouse --record-effects "$effects" \
    >"$work/agent.log" 2>&1 &
agent=$!
lines() { if [ -f "$effects" ]; then wc -l <"$effects"; else echo 0; fi; }
press() { # <control>: the effects it leaves, one line each
    local before
    before=$(lines)
    for _ in $(seq 50); do
        "${wayland[@]}" "$work/app/VelkoOptions" --press "$1" >/dev/null 2>&1 && break
        sleep 0.2
    done
    for _ in $(seq 50); do
        [ "$(lines)" -gt "$before" ] && break
        sleep 0.1
    done
    sleep 0.3 # nothing more follows
    tail -n +"$((before + 1))" "$effects" | tr '\n' ';'
}
focused() { # the app id of the window sway has in front
    tree | python3 -c '
import json, sys
def walk(n):
    if n.get("focused"): print(n.get("app_id"))
    for c in n.get("nodes", []) + n.get("floating_nodes", []): walk(c)
walk(json.load(sys.stdin))'
}
open_window() { # <app id>: until sway has it in front
    "${wayland[@]}" QT_QPA_PLATFORM=wayland QT_WAYLAND_DISABLE_WINDOWDECORATION=1 \
        "$work/app/velko_wayland_window" "$1" >"$work/window-$1.log" 2>&1 &
    windows+=($!)
    for _ in $(seq 100); do
        [ "$(focused)" = "$1" ] && return
        sleep 0.1
    done
    fail "sway did not put $1 in front"
}
copy="key 0x11 0;key 0x43 0;pause 50;key 0x43 2;key 0x11 2;"
paste="key 0x11 0;key 0x56 0;pause 50;key 0x56 2;key 0x11 2;"
got=$(press right-key)
[ "$got" = "$paste" ] || fail "no window in front: the set for all programs, got: $got"
open_window velko-one
got=$(press right-key)
[ "$got" = "$copy" ] || fail "velko-one in front: its own set, got: $got"
open_window velko-two
got=$(press right-key)
[ "$got" = "open http://example.com/ 10;" ] || fail "velko-two in front: its own set, got: $got"
"${as_user[@]}" "${session[@]}" SWAYSOCK="$ipc" swaymsg '[app_id=velko-one] focus' >/dev/null
got=$(press right-key)
[ "$got" = "$copy" ] || fail "velko-one in front again: its own set, got: $got"
got=$(press middle-key)
[ "$got" = "show 3 on 0xE0000001;" ] || fail "maximise: velko-one, the first window the agent saw, got: $got"
got=$(press side-up-key)
[ "$got" = "toggle desktop;" ] || fail "show desktop, got: $got"
kill "$agent"
wait "$agent" 2>/dev/null || true

echo "== the configurator as a Wayland client"
"${wayland[@]}" "$work/app/VelkoOptionsGUI" --simulated-mouse >"$work/first.log" 2>&1 &
configurator=$!
for _ in $(seq 200); do
    tree | grep -q '"app_id": "VelkoOptionsGUI"' && break
    kill -0 "$configurator" 2>/dev/null || fail "the configurator ended"
    sleep 0.1
done
tree | grep -q '"app_id": "VelkoOptionsGUI"' || fail "sway lists no window of the configurator"
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
