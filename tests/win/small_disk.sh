#!/usr/bin/env bash
# A drive too small for a save, for the Windows tests under Wine: a 64 KiB tmpfs mounted
# in the build folder and made drive V: of the Wine prefix the tests run in.
#
#   tests/win/small_disk.sh mount|unmount
#
# Mounting needs root; without it nothing is made and the tests that want the drive skip
# their full-disk cases, so "mount" never fails the run.
set -euo pipefail

# The prefix scripts/wine_run.sh uses: made by it before the drive goes in, since Wine makes
# a prefix whole only in a folder that does not exist yet.
prefix=${VELMORA_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora/wine}
wine_run=$(cd "$(dirname "$0")/../../scripts" && pwd)/wine_run.sh
folder=$PWD/small-disk
drive=$prefix/dosdevices/v:

case ${1:-} in
mount)
    "$wine_run" --prefix
    rm -f "$drive" # a drive left by a run that was stopped may be no longer small
    mkdir -p "$folder"
    mountpoint -q "$folder" ||
        mount -t tmpfs -o size=64k velmora-small-disk "$folder" 2>/dev/null || {
        echo "cannot mount a tmpfs here: the full-disk cases will be skipped"
        exit 0
    }
    ln -sfn "$folder" "$drive"
    echo "drive V: is a $(df -k --output=size "$folder" | tail -1 | tr -d ' ') KiB tmpfs"
    ;;
unmount)
    rm -f "$drive"
    if mountpoint -q "$folder"; then
        umount "$folder"
    fi
    rmdir "$folder" 2>/dev/null || true
    ;;
*)
    echo "usage: $0 mount|unmount" >&2
    exit 2
    ;;
esac
