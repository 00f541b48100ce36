#!/usr/bin/env bash
# The configurator in a Wayland session without X: sway, started headless, with no
# Xwayland. The built configurator must come up as a native Wayland client (the
# compositor lists its window by app id), print no QML warning, and a second start
# must hand over to it and end. sway refuses to run as root: as root, everything
# here runs as "nobody".
#   wayland.sh <folder with both programs and velko_probe>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/report-errors.bash"
bin=$(cd "$1" && pwd)
command -v sway >/dev/null || { echo "FAIL: sway is not installed (tools/install-deps)"; exit 1; }

work=$(mktemp -d)
chmod 755 "$work"
mkdir -p "$work/run" "$work/home" "$work/app"
cp "$bin/VelkoOptionsGUI" "$bin/VelkoOptions" "$work/app/"
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
cleanup() {
    [ -z "$configurator" ] || kill "$configurator" 2>/dev/null || true
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
