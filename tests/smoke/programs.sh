#!/usr/bin/env bash
# The programs' smoke test: the built programs themselves, started and ended
# through their windows, with their start times and resident memory printed.
#   programs.sh <folder with both programs> <velko_probe> [<installer>]
# With VELKO_WINE set (the wine command) the programs are Windows executables run
# under Wine; then, given the installer, a silent install and uninstall follow.
# The display, the Wine prefix and its server are the caller's.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/report-errors.bash"
dir=$(cd "$1" && pwd)
probe_exe=$2
installer=${3:-}
wine=()
exe=""
if [ -n "${VELKO_WINE:-}" ]; then
    wine=("$VELKO_WINE")
    exe=".exe"
fi
[ -e "$dir/VelkoOptions$exe" ] || { echo "FAIL: no programs in $dir (build the deployable folder first)"; exit 1; }
logs=$(mktemp -d)
# A program left running by a step that failed would answer the next run's probes.
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$logs"' EXIT
export QT_FORCE_STDERR_LOGGING=1 QT_QUICK_BACKEND=software
if [ -z "$exe" ]; then
    # A cache folder of the run's own, so that what the configurator writes there
    # can be told from earlier runs'.
    export XDG_CACHE_HOME="$logs/cache"
    # The programs run from a copy, with settings of their own: a configurator
    # started from the build folder leaves its choices in system/ beside it.
    mkdir "$logs/programs"
    for part in VelkoOptions VelkoOptionsGUI VelkoOptionsSound.so font; do
        [ ! -e "$dir/$part" ] || cp -r "$dir/$part" "$logs/programs/"
    done
    dir="$logs/programs"
fi

probe() {
    local out
    out=$("${wine[@]}" "$probe_exe" "$@") || return 1
    echo "${out//$'\r'/}"
}
now() { date +%s%3N; }
rss() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
fail() {
    echo "FAIL: $*"
    for f in "$logs"/*.log; do echo "--- $(basename "$f")"; cat "$f"; done
    exit 1
}
# Waits at most $2 seconds for process $1 (a child of this shell) to end and
# checks its exit code against $3.
ends_with() {
    local pid=$1 seconds=$2 expected=$3 code=0
    for _ in $(seq $((seconds * 10))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && return 1
    wait "$pid" || code=$?
    [ "$code" -eq "$expected" ]
}
# Starts program $1 from folder $2 in the background, output in $logs/$3.log.
start() { "${wine[@]}" "$2/$1$exe" >"$logs/$3.log" 2>&1 & }
qml_errors() {
    grep -E '(qrc|file):/[^ ]*:[0-9]+|failed to load|could not be loaded|is not installed' \
        "$logs/$1.log" || true
}

echo "== --help"
for program in VelkoOptions VelkoOptionsGUI; do
    "${wine[@]}" "$dir/$program$exe" --help >"$logs/help.log" 2>&1 &
    ends_with $! 30 0 || fail "$program --help did not end at once"
    grep -q "^usage: $program " "$logs/help.log" || fail "$program --help printed no usage"
done
probe wait VelkoOptions 0 >/dev/null && fail "--help started the agent"

echo "== agent"
t0=$(now)
start VelkoOptions "$dir" agent
agent=$!
seen=$(probe wait VelkoOptions 60000) || fail "the agent's window did not appear"
echo "agent start: $((seen - t0)) ms"
sleep 2
echo "agent RSS: $(rss $agent) KB"
start VelkoOptions "$dir" agent2
ends_with $! 30 0 || fail "a second agent did not end at once"
kill -0 $agent || fail "the first agent ended with the second"
probe close VelkoOptions 5000 || fail "the agent's window did not take the close request"
ends_with $agent 15 0 || fail "the agent did not end after its window closed"

# The first event loads nothing new that draws: under Wine a toolkit window made
# for it loaded Direct3D and a software OpenGL (about 90 MB).
echo "== agent's first event"
effects="$logs/effects.txt"
[ -z "$exe" ] || effects="Z:$effects"
"${wine[@]}" "$dir/VelkoOptions$exe" --simulated-mouse --record-effects "$effects" \
    >"$logs/agent3.log" 2>&1 &
agent=$!
probe wait VelkoOptions 60000 >/dev/null || fail "the agent on the simulated mouse did not start"
sleep 2
libraries() { awk 'NF >= 6 {print $6}' "/proc/$1/maps" | sort -u; }
idle=$(rss $agent)
libraries $agent >"$logs/libraries-idle.txt"
"${wine[@]}" "$dir/VelkoOptions$exe" --press middle-key >"$logs/press.log" 2>&1 ||
    fail "the agent did not take the press"
for _ in $(seq 100); do
    grep -q 'mouse 0x40' "$logs/effects.txt" 2>/dev/null && break
    sleep 0.1
done
grep -q 'mouse 0x40' "$logs/effects.txt" || fail "the press had no effect"
echo "agent RSS at its first event: $idle -> $(rss $agent) KB"
drawing=$(libraries $agent | comm -13 "$logs/libraries-idle.txt" - |
    grep -iE 'd3d|dxgi|opengl|libGL|_dri|LLVM|vulkan' || true)
[ -z "$drawing" ] || fail "the first event loaded: $drawing"
probe close VelkoOptions 5000 || fail "the agent on the simulated mouse did not take the close request"
ends_with $agent 15 0 || fail "the agent on the simulated mouse did not end"

echo "== configurator"
t0=$(now)
start VelkoOptionsGUI "$dir" gui
gui=$!
seen=$(probe wait VelkoOptionsGUI 90000) || fail "the configurator did not load its main page"
echo "configurator start: $((seen - t0)) ms"
probe wait VelkoOptions 30000 >/dev/null || fail "the configurator did not start the agent"
sleep 3
echo "configurator RSS: $(rss $gui) KB"
errors=$(qml_errors gui)
[ -z "$errors" ] || fail "QML errors: $errors"
if [ -z "$exe" ]; then
    [ ! -e "$XDG_CACHE_HOME/VelkoOptionsGUI/qmlcache" ] ||
        fail "the configurator kept compiled pages: $(ls "$XDG_CACHE_HOME/VelkoOptionsGUI/qmlcache")"
fi
if [ -n "${VELKO_SCREENSHOT:-}" ] && command -v import >/dev/null; then
    import -window root "$VELKO_SCREENSHOT" && echo "screenshot: $VELKO_SCREENSHOT"
fi
# A second configurator asks the first to show its window and ends, with no notice.
start VelkoOptionsGUI "$dir" gui2
gui2=$!
ends_with $gui2 30 0 || fail "a second configurator did not end"
! probe wait Tip 0 >/dev/null || fail "a second configurator showed the notice"
probe close VelkoOptionsGUI 15000 || fail "the configurator did not take the close request"
ends_with $gui 15 0 || fail "the configurator did not end"
probe gone VelkoOptions 10000 || fail "the agent outlived the configurator"

[ -n "$installer" ] || { echo "PASS"; exit 0; }

echo "== installer ($(du -k "$installer" | cut -f1) KB)"
users="$WINEPREFIX/drive_c/users"
# Folders under $users, waited for at most $2 seconds: Wine may still be writing
# or removing others beside them, which find may then fail to read.
look_for() {
    local found=""
    for _ in $(seq $(($2 * 10))); do
        found=$(find "$users" -path "$1" 2>/dev/null || true)
        [ -z "$found" ] || break
        sleep 0.1
    done
    echo "$found"
}
installed() { look_for '*/AppData/Local/Programs/Velko Options' 10; }
t0=$(now)
"${wine[@]}" "$installer" /S /AUTOSTART >"$logs/setup.log" 2>&1 || fail "the installer failed"
echo "silent install: $(($(now) - t0)) ms"
home=$(installed)
[ -n "$home" ] || fail "nothing installed under the user's programs folder"
for f in VelkoOptions.exe VelkoOptionsGUI.exe Uninstall.exe platforms/qwindows.dll system \
    libssl-3-x64.dll libcrypto-3-x64.dll; do
    [ -e "$home/$f" ] || fail "installed folder lacks $f"
done
look_for '*/Start Menu/*Velko Options.lnk' 10 | grep . >/dev/null || fail "no Start-menu entry"
"${wine[@]}" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v 'Velko Options' \
    >"$logs/reg.log" 2>&1 || fail "no start at log-on"
grep -q -- '--quiet' "$logs/reg.log" || fail "the start at log-on shows the window"

# On the simulated mouse: the uninstaller's close request must reach it all the same.
"${wine[@]}" "$home/VelkoOptionsGUI$exe" --simulated-mouse >"$logs/installed.log" 2>&1 &
gui=$!
probe wait VelkoOptionsGUI 90000 >/dev/null || fail "the installed configurator did not start"
probe wait VelkoOptions 30000 >/dev/null || fail "the installed configurator did not start the agent"
errors=$(qml_errors installed)
[ -z "$errors" ] || fail "QML errors in the installed configurator: $errors"
echo "[SET]" >"$home/system/kept.ini"

# The pages are compiled into the program: nothing is kept in the user's cache.
cache=$(find "$users" -path '*/AppData/Local/VelkoOptionsGUI/cache/qmlcache' 2>/dev/null || true)
[ -z "$cache" ] || fail "the configurator kept compiled pages: $cache"
# The uninstaller stops both programs itself; it runs from a copy, so wait for
# the files to go.
"${wine[@]}" "$home/Uninstall.exe" /S >"$logs/uninstall.log" 2>&1 || fail "the uninstaller failed"
ends_with $gui 30 0 || fail "the uninstaller did not end the configurator through its window"
for _ in $(seq 300); do
    [ -e "$home/VelkoOptionsGUI.exe" ] || [ -e "$home/Uninstall.exe" ] || break
    sleep 0.1
done
[ -e "$home/system/kept.ini" ] || fail "the uninstaller removed the settings"
left=$(cd "$home" && find . -mindepth 1 ! -path './system*')
[ -z "$left" ] || fail "the uninstaller left: $left"
[ -z "$(find "$users" -name 'Velko Options.lnk' 2>/dev/null || true)" ] ||
    fail "the Start-menu entry is left"
cache=$(find "$users" -path '*/AppData/Local/VelkoOptionsGUI' 2>/dev/null || true)
[ -z "$cache" ] || fail "the uninstaller left the configurator's cache: $(find "$cache" | tr "\n" " ")"

# Asked to, it removes the settings and the folder too.
"${wine[@]}" "$installer" /S >"$logs/setup2.log" 2>&1 || fail "the second install failed"
"${wine[@]}" "$home/Uninstall.exe" /S /REMOVESETTINGS >"$logs/uninstall2.log" 2>&1 ||
    fail "the second uninstall failed"
for _ in $(seq 300); do
    [ -e "$home" ] || break
    sleep 0.1
done
[ ! -e "$home" ] || fail "the folder is left after removing the settings"
echo "PASS"
