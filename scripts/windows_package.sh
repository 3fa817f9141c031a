#!/usr/bin/env bash
# Makes Velmora's Windows packages from a built windows preset and checks each under Wine,
# as a user would meet it:
#
#   scripts/windows_package.sh [build-folder]      (default: build-windows)
#
# - the install tree (cmake --install: packaging/windows/windows.cmake says what ships)
#   holds every DLL the program and its plugins load that Windows does not bring, and no
#   DLL nothing loads;
# - out/windows/velmora-<version>-windows-x64.zip, unpacked into a new Wine prefix, starts
#   its window with the windows platform plugin under Xvfb, stays up, and ends cleanly
#   when asked to close; screenshots at 100 % and 150 % go to out/windows/;
# - out/windows/velmora-<version>-windows-x64-setup.exe installs silently (/S) into a new
#   prefix for this user: files, Start-menu shortcut and the uninstaller's entry in the
#   installed-programs list; the installed program starts; the silent uninstall leaves
#   nothing of it behind.
#
# Needs what scripts/setup.sh windows installs. Everything it starts or makes outside
# out/windows/ is removed again, also when a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS

build=$(cd "${1:-build-windows}" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
publisher=$(sed -n 's/^VELMORA_PUBLISHER:INTERNAL=//p' "$build/CMakeCache.txt")
name=velmora-$version-windows-x64
out=$root/out/windows
mkdir -p "$out"

work=$(mktemp -d)
xvfb_pid=""
failures=0
prefixes=()

cleanup() {
    local status=$?
    for prefix in "${prefixes[@]}"; do
        WINEPREFIX=$prefix /usr/lib/wine/wineserver64 -k 2>/dev/null || true
    done
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

say() { echo "[windows_package $((SECONDS - started))s] $*"; }
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A new Wine prefix of its own for each check, so nothing from the build or an earlier
# check (Qt, the MinGW runtime, an earlier install) can stand in for what the package lacks.
new_prefix() {
    local prefix=$work/prefix-$1
    prefixes+=("$prefix")
    VELMORA_WINEPREFIX=$prefix scripts/wine_run.sh --prefix
    echo "$prefix"
}
in_prefix() {
    local prefix=$1
    shift
    env -u WINEPATH VELMORA_WINEPREFIX="$prefix" scripts/wine_run.sh -- "$@"
}

# ---------------------------------------------------------------------------------------
say "staging the install tree"
stage=$work/$name
cmake --install "$build" --prefix "$stage" --strip >/dev/null
# Qt's and MinGW's DLLs come with their symbols; nobody debugs from a package.
find "$stage" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

# Every DLL a shipped file imports is shipped or is Windows' own (in the new prefix's
# system32, case aside); every DLL shipped beside the program is imported by something.
say "checking the DLLs it loads"
system32=$(new_prefix dlls)/drive_c/windows/system32
imports=$work/imports.txt
: >"$imports"
while IFS= read -r -d '' binary; do
    x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p' | tr -d '\r' >>"$imports"
done < <(find "$stage" -type f \( -name '*.exe' -o -name '*.dll' \) -print0)
while read -r dll; do
    case ${dll,,} in api-ms-win-* | ext-ms-win-*) continue ;; esac # Windows' API sets
    [ -n "$(find "$stage" -maxdepth 1 -iname "$dll" -print -quit)" ] && continue
    [ -n "$(find "$system32" -maxdepth 1 -iname "$dll" -print -quit)" ] && continue
    fail "$dll is loaded but neither shipped nor part of Windows"
done < <(sort -fu "$imports")
for dll in "$stage"/*.dll; do
    grep -qix "$(basename "$dll")" "$imports" || fail "$(basename "$dll") is shipped but nothing loads it"
done
for plugin in platforms/qwindows.dll imageformats/qico.dll; do
    [ -f "$stage/$plugin" ] || fail "the $plugin plugin is not shipped"
done
for licence in LICENSE.txt Qt-LGPL-3.txt Qt-GPL-3.txt QT-SOURCE.txt; do
    [ -s "$stage/licenses/$licence" ] || fail "licenses/$licence is not shipped"
done
(cd "$stage" && find . -type f | sort) >"$out/$name.files.txt"
say "$(wc -l <"$out/$name.files.txt") files, $(du -sh "$stage" | cut -f1) (list: out/windows/$name.files.txt)"

# ---------------------------------------------------------------------------------------
say "making the zip and the installer"
rm -f "$out/$name.zip"
(cd "$work" && zip -qr9X "$out/$name.zip" "$name")

# The installer's file list, one line per file of the install tree, and its removal in
# reverse: the uninstaller takes away exactly what was installed, and the folders only
# when they are empty.
files_nsh=$work/files.nsh
{
    echo '!macro VELMORA_INSTALL_FILES'
    while read -r dir; do
        dir=${dir#.}
        echo "    SetOutPath \"\$INSTDIR${dir//\//\\}\""
        while read -r file; do
            echo "    File \"$stage$dir/${file#./}\""
        done < <(cd "$stage$dir" && find . -maxdepth 1 -type f | sort)
    done < <(cd "$stage" && find . -type d | sort)
    echo '    SetOutPath "$INSTDIR"'
    echo '!macroend'
    echo '!macro VELMORA_REMOVE_FILES'
    (cd "$stage" && find . -type f | sort) | while read -r file; do
        echo "    Delete \"\$INSTDIR\\${file#./}\""
    done | tr '/' '\\'
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r dir; do
        echo "    RMDir \"\$INSTDIR\\${dir#./}\""
    done | tr '/' '\\'
    echo '!macroend'
} >"$files_nsh"
size_kib=$(du -sk "$stage" | cut -f1)
setup=$out/$name-setup.exe
makensis -V2 -DSTAGE="$stage" -DFILES="$files_nsh" -DOUTFILE="$setup" -DSIZE_KIB="$size_kib" \
    "$build/installer.nsi" >"$work/makensis.log" || {
    cat "$work/makensis.log" >&2
    exit 1
}
say "$(basename "$out/$name.zip") $(du -h "$out/$name.zip" | cut -f1), $(basename "$setup") $(du -h "$setup" | cut -f1)"

# ---------------------------------------------------------------------------------------
# The real window: Xvfb with the windows platform plugin (Wine draws through X).
# Xvfb picks a free display itself and names it once it is ready: others may run theirs.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || {
    echo "FAIL: Xvfb did not start" >&2
    exit 1
}
export DISPLAY=:$(head -n 1 "$work/display")

# Clicks at a point given in window pixels at 100 %, scaled like the window.
click() {
    local window=$1 scale=$2 x=$3 y=$4
    xdotool mousemove --window "$window" "$(awk "BEGIN {print int($x * $scale)}")" \
        "$(awk "BEGIN {print int($y * $scale)}")" click 1
    sleep 1
}

# Starts the program, waits for its window, keeps it up a few seconds; for a screenshot it
# first loads the sample, ticks the counters and sorts, by clicking as a user would. Then
# closes it as the user's close box would (taskkill without /f sends WM_CLOSE) and expects
# a clean end.
run_window() {
    local prefix=$1 exe=$2 label=$3 shot=${4:-} scale=${QT_SCALE_FACTOR:-1}
    in_prefix "$prefix" "$exe" >"$work/$label.log" 2>&1 &
    local pid=$!
    local window=""
    for _ in $(seq 120); do
        window=$(xdotool search --onlyvisible --name '^Velmora' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
    done
    if [ -z "$window" ]; then
        fail "$label: no window appeared"
        cat "$work/$label.log" >&2
        kill "$pid" 2>/dev/null || true
        return
    fi
    sleep 3
    kill -0 "$pid" 2>/dev/null || fail "$label: the program ended by itself"
    if [ -n "$shot" ]; then
        click "$window" "$scale" 400 201 # Load Sample/Example Text
        click "$window" "$scale" 30 293  # Put counter next to each result
        click "$window" "$scale" 268 334 # Start Sorting
        sleep 2
        import -window root "$shot"
        say "$label: screenshot $(basename "$shot") ($(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p'))"
    fi
    in_prefix "$prefix" taskkill /im velmora.exe >/dev/null 2>&1 || true
    local status=0
    for _ in $(seq 40); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "$label: still running 20 s after it was asked to close"
        kill "$pid" 2>/dev/null || true
        return
    fi
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "$label: ended with status $status"
    say "$label: window shown, closed cleanly"
}

say "checking the zip in a new prefix"
prefix=$(new_prefix zip)
unzip -q "$out/$name.zip" -d "$prefix/drive_c"
run_window "$prefix" "C:\\$name\\velmora.exe" "zip at 100 %" "$out/velmora-wine-100.png"
QT_SCALE_FACTOR=1.5 run_window "$prefix" "C:\\$name\\velmora.exe" "zip at 150 %" \
    "$out/velmora-wine-150.png"

say "checking the installer in a new prefix"
prefix=$(new_prefix setup)
cp "$setup" "$prefix/drive_c/setup.exe"
in_prefix "$prefix" 'C:\setup.exe' /S
WINEPREFIX=$prefix /usr/lib/wine/wineserver64 -w
user=$(in_prefix "$prefix" cmd /c 'echo %USERNAME%' | tr -d '\r')
home=$prefix/drive_c/users/$user
installed=$home/AppData/Local/Programs/Velmora
shortcut="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velmora.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora'
[ -f "$installed/velmora.exe" ] || fail "no velmora.exe in the user's Programs folder"
[ -f "$installed/Uninstall.exe" ] || fail "no uninstaller"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
diff <(cd "$installed" && find . -type f ! -name Uninstall.exe | sort) "$out/$name.files.txt" >&2 ||
    fail "the installed files are not the install tree"
entry=$(in_prefix "$prefix" reg query "$key" 2>/dev/null | tr -d '\r' || true)
for value in "DisplayName    REG_SZ    Velmora" "DisplayVersion    REG_SZ    $version" \
    "Publisher    REG_SZ    $publisher" "DisplayIcon    REG_SZ    C:\\users\\$user\\AppData\\Local\\Programs\\Velmora\\velmora.exe,0"; do
    grep -qF "$value" <<<"$entry" || fail "the uninstaller's entry lacks: $value"
done
run_window "$prefix" "C:\\users\\$user\\AppData\\Local\\Programs\\Velmora\\velmora.exe" "installed"

in_prefix "$prefix" "C:\\users\\$user\\AppData\\Local\\Programs\\Velmora\\Uninstall.exe" /S
WINEPREFIX=$prefix /usr/lib/wine/wineserver64 -w # the uninstaller goes on from a copy of itself
[ ! -e "$installed" ] || fail "left behind: $(cd "$installed" && find . | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is left behind"
if in_prefix "$prefix" reg query "$key" >/dev/null 2>&1; then
    fail "the uninstaller's entry is left behind"
fi
say "installer: installed silently, started, uninstalled without a trace"

if ((failures)); then
    echo "$failures Windows package check(s) failed" >&2
    exit 1
fi
say "both packages pass (out/windows/)"
