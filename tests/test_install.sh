#!/usr/bin/env bash
# Installs a build into a staging prefix and checks that the desktop finds everything it
# needs there: the program, its menu entry, its icon in every theme size, its
# software-centre description, its manual page, changelog and copyright, and nothing else.
#
#   tests/test_install.sh <build-dir> <project-version> "<icon sizes>"
set -euo pipefail

build=$1
version=$2
IFS='; ' read -r -a sizes <<<"$3" # CMake passes its list with semicolons
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$stage" >/dev/null

desktop=share/applications/velmora.desktop
metainfo=share/metainfo/example.velmora.Velmora.metainfo.xml

expected=(bin/velmora "$desktop" "$metainfo" share/man/man1/velmora.1.gz
    share/doc/velmora/changelog.gz share/doc/velmora/copyright)
for size in "${sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/velmora.png")
done
actual=$(cd "$stage" && find . -type f -printf '%P\n' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$actual" != "$wanted" ]; then
    fail "installed files differ from the expected set:"
    diff <(echo "$wanted") <(echo "$actual") >&2 || true
fi

[ -x "$stage/bin/velmora" ] || fail "bin/velmora is not executable"

# The menu entry: valid, named, in the right categories, starting the installed program
# and showing an icon that the theme holds.
entry() { sed -n "s/^$1=//p" "$stage/$desktop"; }
if [ -f "$stage/$desktop" ]; then
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$stage/$desktop" || fail "desktop-file-validate rejects the entry"
    fi
    [ "$(entry Name)" = Velmora ] || fail "menu entry Name is '$(entry Name)'"
    [ -n "$(entry Comment)" ] || fail "menu entry has no Comment"
    [ "$(entry Categories)" = "Utility;TextTools;" ] ||
        fail "menu entry Categories is '$(entry Categories)'"
    exec_word=$(entry Exec | cut -d' ' -f1)
    [ -x "$stage/bin/$exec_word" ] || fail "menu entry runs '$exec_word', which is not installed"
    icon=$(entry Icon)
    for size in "${sizes[@]}"; do
        png="$stage/share/icons/hicolor/${size}x${size}/apps/$icon.png"
        if [ ! -f "$png" ]; then
            fail "no ${size}x${size} icon named '$icon'"
            continue
        fi
        # A PNG's width and height are the big-endian words at bytes 16 and 20.
        read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
            awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
        [ "$width x $height" = "$size x $size" ] ||
            fail "the ${size}x${size} icon is ${width}x${height}"
    done
fi

# The software-centre description: valid, pointing at the installed menu entry, and
# announcing the version being installed.
if [ -f "$stage/$metainfo" ]; then
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net --no-color "$stage/$metainfo" >/dev/null ||
            fail "appstreamcli rejects the metainfo file"
    fi
    launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' \
        "$stage/$metainfo")
    [ -f "$stage/share/applications/$launchable" ] ||
        fail "metainfo launches '$launchable', which is not installed"
    newest=$(grep -o '<release version="[^"]*"' "$stage/$metainfo" | head -1 | cut -d'"' -f2)
    [ "$newest" = "$version" ] ||
        fail "metainfo's newest release is '$newest', the project is at '$version'"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures install check(s) failed" >&2
    exit 1
fi
echo "install into a staging prefix: all checks passed"
