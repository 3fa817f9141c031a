#!/usr/bin/env bash
# Puts Qt 6.4.2 for 64-bit Windows (Core, Gui, Widgets, Test; the windows, offscreen and ico
# plugins) in the cache folder the Windows build looks in, cross-built with Debian's
# MinGW-w64 from Debian's own qt6-base source:
#
#   scripts/windows_qt.sh            unpack the prebuilt copy when there is one, else build it
#   scripts/windows_qt.sh --source   build it from source even when a prebuilt copy is at hand
#
# Where: $VELMORA_QT_WINDOWS, default ${XDG_CACHE_HOME:-~/.cache}/velmora/qt-6.4.2-mingw.
# The prebuilt copy is $VELMORA_QT_WINDOWS_ARCHIVE, default ../shared/windows/ beside the
# checkout (CI clones the project next to it). Building takes about 35 minutes on 2 cores.
# Safe to run again: a Qt already in place is left as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS

qt_version=6.4.2
cache=${XDG_CACHE_HOME:-$HOME/.cache}/velmora
prefix=${VELMORA_QT_WINDOWS:-$cache/qt-$qt_version-mingw}
archive=${VELMORA_QT_WINDOWS_ARCHIVE:-$root/../shared/windows/qt-$qt_version-mingw.tar.xz}
from_source=false
[ "${1:-}" = "--source" ] && from_source=true

say() { echo "[windows_qt $((SECONDS - started))s] $*"; }

if [ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ] && ! $from_source; then
    say "Qt for Windows is already in $prefix"
    exit 0
fi

scripts/setup.sh windows

# The host's moc, rcc and uic generate the code for the Windows Qt: their version must be
# the target's.
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
case $host_version in
"$qt_version"+*) ;;
*)
    echo "this machine's Qt tools are $host_version; Qt for Windows needs $qt_version" >&2
    exit 1
    ;;
esac

mkdir -p "$(dirname "$prefix")"
# Unpacked or installed beside the final place and moved there at the end, so an
# interrupted run never leaves a half Qt that a later run would take for a whole one.
staging=$prefix.partial
rm -rf "$staging"

if [ -f "$archive" ] && ! $from_source; then
    say "unpacking $archive"
    mkdir -p "$staging"
    tar -xJf "$archive" -C "$staging" --strip-components=1
    rm -rf "$prefix"
    mv "$staging" "$prefix"
    say "Qt for Windows is in $prefix ($(du -sh "$prefix" | cut -f1))"
    exit 0
fi

# ---------------------------------------------------------------------------------------
# From source. Debian's qt6-base source package is the one the host's tools were built
# from; Debian's copy has no src/3rdparty/wintab, so tablet events and Direct2D are off.
work=$cache/qt-$qt_version-mingw-build
source_dir=$work/qtbase-everywhere-src-$qt_version
mkdir -p "$work"
cd "$work"

if [ ! -f "$source_dir/.velmora-prepared" ]; then
    say "fetching Debian's qt6-base $host_version source"
    # A deb-src entry for bookworm main on the mirror apt already uses, in an apt state
    # folder of our own, so the system's package lists stay as they are.
    mirror=$("$root/scripts/debian_mirror.sh" | head -n 1)
    mirror=${mirror:-http://deb.debian.org/debian}
    mkdir -p apt/lists/partial
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: %s\n' \
        "$mirror" /usr/share/keyrings/debian-archive-keyring.gpg >apt/src.sources
    apt_source=(-o Dir::Etc::sourcelist="$work/apt/src.sources" -o Dir::Etc::sourceparts=/nonexistent
        -o Dir::State::Lists="$work/apt/lists")
    apt-get "${apt_source[@]}" -qq update
    apt-get "${apt_source[@]}" source --download-only "qt6-base=$host_version"
    rm -rf "$source_dir" debian
    tar -xf qt6-base_"${host_version%%-*}".orig.tar.xz
    tar -xf qt6-base_"$host_version".debian.tar.xz
    # Debian's security fixes, and none of its packaging changes (they assume a Linux
    # build).
    while read -r patch; do
        case $patch in
        cve-*) (cd "$source_dir" && patch -p1 -s <"$work/debian/patches/$patch") ;;
        esac
    done <debian/patches/series
    # Qt 6.4.2 compiles the DirectWrite font database only with Direct2D, but the windows
    # platform plugin uses it whenever DirectWrite 3 is there: without Direct2D
    # qwindows.dll does not link (undefined QWindowsDirectWriteFontDatabase).
    sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
        "$source_dir/src/plugins/platforms/windows/qwindowsintegration.cpp"
    grep -q 'QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)' \
        "$source_dir/src/plugins/platforms/windows/qwindowsintegration.cpp"
    touch "$source_dir/.velmora-prepared"
fi

say "configuring"
# Shared libraries with only what Velmora uses; zlib, PCRE2, libpng, HarfBuzz and FreeType
# are Qt's bundled copies, as Windows has none of them.
rm -rf build
nice -n 19 cmake -G Ninja -S "$source_dir" -B build \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-posix.toolchain.cmake" \
    -DVELMORA_TOOLCHAIN_COMPILERS_ONLY=ON \
    -DQT_HOST_PATH=/usr -DQt6HostInfo_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo \
    -DCMAKE_INSTALL_PREFIX="$staging" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_pkg_config=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF \
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_dynamicgl=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF \
    -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=ON -DFEATURE_png=ON \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_textmarkdownreader=OFF \
    -DFEATURE_system_libb2=OFF >build-configure.log
say "building (about 1000 steps; the log is $work/build.log)"
nice -n 19 cmake --build build -j"${JOBS:-2}" >build.log
say "installing"
nice -n 19 cmake --install build >install.log
rm -rf "$prefix"
mv "$staging" "$prefix"
say "Qt for Windows is in $prefix ($(du -sh "$prefix" | cut -f1))"
# Packed the way ../shared/windows/ holds it, for the next machine.
tar -cJf "$work/qt-$qt_version-mingw.tar.xz" -C "$(dirname "$prefix")" "$(basename "$prefix")"
say "packed as $work/qt-$qt_version-mingw.tar.xz"
