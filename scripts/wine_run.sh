#!/usr/bin/env bash
# Runs a Windows program under Wine, as ctest and the Windows checks do:
#
#   scripts/wine_run.sh [DLL-FOLDER ...] -- PROGRAM.exe [ARGUMENT ...]
#   scripts/wine_run.sh --prefix      only makes the prefix, if it is not made yet
#
# The DLL folders (Qt's bin/, the MinGW runtime) go on the Windows PATH, so a test runs
# from the build tree without copies beside it. The prefix is one of our own
# (VELMORA_WINEPREFIX, default in the cache folder), made on first use, with Wine's
# messages off and its Mono and Gecko installers never offered. A prefix this script began
# and never finished (no ready mark) is deleted and made again; a folder it did not begin
# is left alone, with a message.
set -euo pipefail

only_prefix=""
if [ "${1:-}" = "--prefix" ]; then
    only_prefix=yes
    shift
fi
dll_folders=()
while (($#)) && [ "$1" != "--" ]; do
    dll_folders+=("$1")
    shift
done
[ "${1:-}" = "--" ] && shift
if (($# == 0)) && [ -z "$only_prefix" ]; then
    echo "usage: $0 [DLL-FOLDER ...] -- PROGRAM.exe [ARGUMENT ...] | --prefix" >&2
    exit 2
fi

# wine64 itself: the wine wrapper would look for a 32-bit Wine first and complain.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
export WINELOADER=$wine
export WINEPREFIX=${VELMORA_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# A new prefix takes a few seconds to make; tests started side by side wait for one. A bare
# Wine has no Arial, for which the window's captions are laid out: its metric twin
# Liberation Sans goes into the prefix's font folder and stands in for Arial (Wine's font
# replacements), so the windows platform plugin finds it through GDI; the offscreen plugin,
# which has no GDI fonts, reads the folder itself (QT_QPA_FONTDIR below).
#
# Wine makes a prefix whole only in a folder that does not exist yet: in one that holds
# anything (a dosdevices/ made early, a prefix left half-made) it makes neither drive_c nor
# the drive links, and wineboot waits for ever. So nothing touches the prefix before it is
# ready, and making it has a time limit: past it, or when drive C: or Z: is missing, the
# prefix's own wineserver ends what runs in it, the folder goes, and it is made again.
prefix_seconds=${VELMORA_WINE_PREFIX_SECONDS:-180}
default_prefix=${XDG_CACHE_HOME:-$HOME/.cache}/velmora/wine
begun_mark=$WINEPREFIX.velmora-begun # beside the prefix: nothing goes inside before it is made
prefix_is_whole() {
    [ -d "$WINEPREFIX/drive_c/windows/system32" ] && [ -e "$WINEPREFIX/dosdevices/c:" ] &&
        [ -e "$WINEPREFIX/dosdevices/z:" ]
}
remove_prefix() {
    "$wineserver" -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
}
make_prefix() {
    local attempt
    # Only the cache's own prefix, or one begun here, is ours to delete.
    if [ -e "$WINEPREFIX" ] && [ ! -e "$begun_mark" ] && [ "$WINEPREFIX" != "$default_prefix" ]; then
        echo "wine_run.sh: $WINEPREFIX is not a prefix made by this script; remove it or" \
            "set VELMORA_WINEPREFIX to a folder that does not exist yet" >&2
        return 1
    fi
    touch "$begun_mark"
    for attempt in 1 2 3; do
        [ -e "$WINEPREFIX" ] && remove_prefix # never finished
        if timeout "$prefix_seconds" "$wine" wineboot --init </dev/null >/dev/null 2>&1 &&
            prefix_is_whole; then
            mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
            cp /usr/share/fonts/truetype/liberation/LiberationSans-{Regular,Bold,Italic,BoldItalic}.ttf \
                "$WINEPREFIX/drive_c/windows/Fonts/"
            "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
                /d 'Liberation Sans' /f >/dev/null 2>&1
            touch "$WINEPREFIX/.velmora-ready"
            rm -f "$begun_mark"
            return 0
        fi
        echo "wine_run.sh: making the Wine prefix $WINEPREFIX failed or took over ${prefix_seconds} s" \
            "(attempt $attempt of 3)" >&2
        remove_prefix
    done
    echo "wine_run.sh: no Wine prefix could be made in $WINEPREFIX" >&2
    return 1
}
if [ ! -f "$WINEPREFIX/.velmora-ready" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        [ -f "$WINEPREFIX/.velmora-ready" ] || make_prefix
    ) 9>"$WINEPREFIX.lock"
fi
[ -n "$only_prefix" ] && exit 0
export QT_QPA_FONTDIR=${QT_QPA_FONTDIR:-C:/windows/Fonts}

# Qt logs to the debugger rather than stdout when no console is attached, as under a
# pipe here, so its messages and Qt Test's report are sent to stderr and stdout instead.
export QT_FORCE_STDERR_LOGGING=${QT_FORCE_STDERR_LOGGING:-1}

# Wine keeps the Unix side's QT_* variables out of a Windows program's environment (they
# are meant for the host's Qt) and passes WINEQT_* as QT_* instead: so QT_QPA_PLATFORM
# from ctest or the caller reaches the program under its Windows name.
while IFS= read -r name; do
    export "WINE$name=${!name}"
done < <(compgen -e | grep '^QT_' || true)

# Wine maps the folders to Z:\... itself when they are Unix paths on WINEPATH.
if ((${#dll_folders[@]})); then
    winepath=$(
        IFS=';'
        echo "${dll_folders[*]}"
    )
    export WINEPATH="$winepath${WINEPATH:+;$WINEPATH}"
fi

# The server and the session's own programs (services.exe, rpcss.exe, explorer.exe ...) are
# started here, away from our stdout and stderr: the first program of a session hands its
# output to them, they hold it open until the last program of the session ends, and ctest
# would wait for that test's pipe to close as long as any later test keeps Wine running.
"$wineserver" -p5 </dev/null >/dev/null 2>&1 || true
"$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true

exec "$wine" "$@"
