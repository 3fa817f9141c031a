#!/usr/bin/env bash
# Checks Velmora the way a user gets it: builds the .deb, installs it with apt, starts the
# installed program under a virtual X server, checks that its window appears (also at
# 150 % and 200 % screen scale, with screenshots in out/package/), and removes the package.
# Then starts a staged install with the optional skin and pointer files beside the
# executable, to check that they are looked for there.
#
#   scripts/package_check.sh             configure and build the release preset, then check
#   scripts/package_check.sh build-test  package a build that is already configured and built
#
# Needs root or sudo (apt-get install), lintian, Xvfb, xdotool and ImageMagick (scripts/setup.sh test).
# Everything it starts, installs or creates is removed again, also when a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

work=$(mktemp -d)
chmod 755 "$work" # apt reads the package as its own unprivileged user
shots=$root/out/package
xvfb_pid=""
app_pid=""
installed=""
failures=0

stop_program() {
    if [ -n "$app_pid" ]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
        app_pid=""
    fi
}

cleanup() {
    local status=$?
    stop_program
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    if [ -n "$installed" ]; then
        $sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq \
            -o DPkg::Lock::Timeout=120 velmora >/dev/null 2>&1 ||
            $sudo dpkg --remove velmora >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# ---------------------------------------------------------------------------------------
echo "== Building the package"
build=${1:-}
if [ -z "$build" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release
    build="build-release"
fi
build=$(cd "$build" && pwd)
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >/dev/null
debs=("$work"/package/velmora_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || {
    echo "FAIL: cpack made no velmora_*.deb" >&2
    exit 1
}
echo "built $(basename "$deb")"

# Debian's own package checker; an error fails the check, and so does a warning, since
# every one it gives today is ours to fix.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" || fail "lintian rejects the package"

depends=$(dpkg-deb --field "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 fonts-liberation; do
    [[ $depends == *"$needed"* ]] || fail "the package does not depend on $needed: $depends"
done
recommends=$(dpkg-deb --field "$deb" Recommends)
for wanted in fonts-noto-cjk fonts-noto-color-emoji; do
    [[ $recommends == *"$wanted"* ]] || fail "the package does not recommend $wanted: $recommends"
done
contents=$(dpkg-deb --contents "$deb" | awk '{ print $6 }')
for path in ./usr/bin/velmora ./usr/share/applications/velmora.desktop \
    ./usr/share/metainfo/example.velmora.Velmora.metainfo.xml \
    ./usr/share/icons/hicolor/48x48/apps/velmora.png; do
    grep -qx "$path" <<<"$contents" || fail "the package lacks $path"
done

# ---------------------------------------------------------------------------------------
echo "== Installing it"
if dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q 'install ok installed'; then
    echo "velmora is installed already; it is replaced now and removed at the end"
fi
installed=yes
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=120 "$deb" >/dev/null
[ "$(command -v velmora)" = /usr/bin/velmora ] || fail "velmora is not on the path as /usr/bin/velmora"

# ---------------------------------------------------------------------------------------
# The virtual screen, large enough for the window at 200 %.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1600x1400x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || {
    echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")" >&2
    exit 1
}
DISPLAY=":$(head -1 "$work/display")"
export DISPLAY

# The start-up opens the maker's web site one time in a hundred; a stand-in browser
# opener keeps that quiet and keeps any real browser out of the check.
mkdir -p "$work/bin" "$work/runtime" "$work/home"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
chmod 700 "$work/runtime"

# Starts a program from the scratch folder (never from its own), with the screen scale
# given, and waits for a top-level window named exactly $2. Sets app_pid and window.
start_and_wait() {
    local program=$1 title=$2 scale=$3
    (cd "$work" && exec env -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS \
        PATH="$work/bin:$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
        QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" "$program" >>"$work/program.log" 2>&1) &
    app_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null |
        head -1) || window=""
    [ -n "$window" ]
}

# The colour of one pixel of a screenshot, as RRGGBB.
pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }

# Waits until the window has drawn: its pixel at the given place is no longer black.
wait_drawn() {
    for _ in $(seq 30); do
        import -window "$window" "$1" 2>/dev/null && [ "$(pixel "$1" "$2" "$3")" != 000000 ] &&
            return 0
        sleep 0.2
    done
    return 1
}

mkdir -p "$shots"
rm -f "$shots"/*.png

# ---------------------------------------------------------------------------------------
echo "== Starting the installed program"
for scale in 1 1.5 2; do
    shot="$shots/installed-scale-$scale.png"
    if ! start_and_wait velmora Velmora "$scale"; then
        fail "no window named Velmora at scale $scale"
        stop_program
        continue
    fi
    # The window background, left of the controls (8 pixels in at scale 1).
    bg_x=$(awk -v s="$scale" 'BEGIN { printf "%d", 3 * s }')
    bg_y=$(awk -v s="$scale" 'BEGIN { printf "%d", 300 * s }')
    wait_drawn "$shot" "$bg_x" "$bg_y" || fail "the window did not draw at scale $scale"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    want_w=$(awk -v s="$scale" 'BEGIN { printf "%d", 536 * s + 0.5 }')
    want_h=$(awk -v s="$scale" 'BEGIN { printf "%d", 606 * s + 0.5 }')
    [ "$WIDTH x $HEIGHT" = "$want_w x $want_h" ] ||
        fail "at scale $scale the window is ${WIDTH}x$HEIGHT, not ${want_w}x$want_h"
    [ "$(pixel "$shot" "$bg_x" "$bg_y")" = FFFFFF ] ||
        fail "at scale $scale the window background is not white"
    # The input list's right frame line must survive the scale: some pixel of the last few
    # columns of the list, halfway down, is darker than the white inside and outside it.
    edge_x=$(awk -v s="$scale" 'BEGIN { printf "%d", 524 * s }')
    edge_w=$(awk -v s="$scale" 'BEGIN { printf "%d", 6 * s }')
    row_y=$(awk -v s="$scale" 'BEGIN { printf "%d", 75 * s }')
    darkest=$(convert "$shot" -crop "${edge_w}x1+$edge_x+$row_y" -colorspace Gray \
        -format '%[fx:int(255*minima)]' info:)
    [ "$darkest" -lt 235 ] || fail "at scale $scale the input list has no right frame line"
    if xdotool search --name '^Application Error$' >/dev/null 2>&1; then
        fail "an error box opened at start-up at scale $scale"
    fi
    echo "scale $scale: window ${WIDTH}x$HEIGHT, screenshot $shot"
    stop_program
done

echo "== Removing the package"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=120 \
    velmora >/dev/null
installed=""
[ ! -e /usr/bin/velmora ] || fail "/usr/bin/velmora is still there after removal"

# ---------------------------------------------------------------------------------------
echo "== Optional files beside an installed program"
stage=$work/stage
cmake --install "$build" --prefix "$stage" >/dev/null
mkdir -p "$stage/bin/x"
printf 'QWidget#Form1 { background: #ff00ff; }\n' >"$stage/bin/x/o.cjs"
cp "$root/resources/velmora.ico" "$stage/bin/HAND-M.CUR"

shot="$shots/staged-with-skin.png"
if start_and_wait "$stage/bin/velmora" Velmora 1; then
    wait_drawn "$shot" 3 300 || true
    [ "$(pixel "$shot" 3 300)" = FF00FF ] ||
        fail "the skin in bin/x/o.cjs was not applied (background $(pixel "$shot" 3 300))"
    if xdotool search --name '^Application Error$' >/dev/null 2>&1; then
        fail "an error box opened with a readable HAND-M.CUR beside the program"
    fi
    echo "skin applied, screenshot $shot"
else
    fail "no window named Velmora from the staged install"
fi
stop_program

# A pointer file that is no picture is reported when the window loads: proof that the
# program looked for it beside itself.
echo "not a cursor" >"$stage/bin/HAND-M.CUR"
if start_and_wait "$stage/bin/velmora" "Application Error" 1; then
    echo "an unreadable HAND-M.CUR beside the program is reported"
else
    fail "no error box for an unreadable HAND-M.CUR beside the program"
fi
stop_program

if [ "$failures" -ne 0 ]; then
    echo "$failures package check(s) failed; program output:" >&2
    cat "$work/program.log" >&2 || true
    exit 1
fi
echo "package check: all passed"
