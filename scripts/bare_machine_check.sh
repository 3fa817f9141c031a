#!/usr/bin/env bash
# Tries the README's two commands the way a newcomer meets them: on a Debian 12 with
# nothing installed beyond the minimal base. It makes that system once with debootstrap
# (from the mirror this machine's apt uses), copies it for each command so that each one
# starts bare, clones this repository's current commit into the copy, and runs there
#
#   scripts/test.sh   in full, as CI does;
#   scripts/run.sh    with the offscreen platform, until the program has run for a while.
#
# It prints each command's wall time. Logs are kept in out/bare-machine/. It takes a long
# time (the test command alone builds everything three times), so CI does not run it.
#
#   scripts/bare_machine_check.sh [work folder]     (default: a new folder under /var/tmp)
#   scripts/bare_machine_check.sh --windows-qt [work folder]
#
# The second form runs only `scripts/windows_qt.sh --source` there instead: Qt for Windows
# cross-built from Debian's source on a bare machine (about 35 minutes of both cores).
#
# Needs root (debootstrap, mount, chroot): it runs itself again with sudo when not root.
# Commit first: the clone sees the current commit, not the files in the working tree.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd -P)

if [ "$(id -u)" -ne 0 ]; then
    exec sudo "$root/scripts/bare_machine_check.sh" "$@"
fi

# How long the program must stay up (it never ends by itself with the offscreen platform)
# and how long each command may take at most.
program_seconds=15
command_limit=$((3 * 3600))

windows_qt=false
if [ "${1:-}" = "--windows-qt" ]; then
    windows_qt=true
    shift
fi

logs=$root/out/bare-machine
mkdir -p "$logs"
work=${1:-$(mktemp -d /var/tmp/velmora-bare.XXXXXX)}
mkdir -p "$work"
work=$(cd "$work" && pwd -P)

source_uri=$(scripts/debian_mirror.sh | head -1)
[ -n "$source_uri" ] || {
    echo "no bookworm source found in /etc/apt/sources.list or /etc/apt/sources.list.d/" >&2
    exit 1
}

if ! command -v debootstrap >/dev/null; then
    env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=300 debootstrap >/dev/null
fi

mounted=() # innermost last
watcher=""
cleanup() {
    local status=$? i
    [ -z "$watcher" ] || kill "$watcher" 2>/dev/null || true
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null || true
    done
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

seconds_since() { echo $(($(date +%s) - $1)); }

base=$work/base
if [ ! -x "$base/bin/bash" ]; then
    echo "== Making a minimal Debian 12 in $base from $source_uri"
    started=$(date +%s)
    debootstrap --variant=minbase bookworm "$base" "$source_uri" >"$logs/debootstrap.log" 2>&1 || {
        tail -20 "$logs/debootstrap.log" >&2
        exit 1
    }
    # Services that packages would start in the new system stay off; the host's
    # name service is borrowed so apt can reach the mirror.
    printf '#!/bin/sh\nexit 101\n' >"$base/usr/sbin/policy-rc.d"
    chmod +x "$base/usr/sbin/policy-rc.d"
    echo "debootstrap: $(seconds_since "$started") s"
fi
cp /etc/resolv.conf "$base/etc/resolv.conf"

# A fresh copy of the bare system with the project cloned into /root/velmora, and the
# kernel's file systems mounted in it.
prepare() {
    local system=$work/$1
    # Never delete through a mount left over from an earlier run (the host's /dev).
    if grep -q " $system/" /proc/mounts; then
        echo "$system still has file systems mounted in it; unmount them first" >&2
        exit 1
    fi
    rm -rf "$system"
    cp -a "$base" "$system"
    git clone --quiet --no-checkout "$root" "$system/root/velmora"
    git -C "$system/root/velmora" checkout --quiet --detach "$(git -C "$root" rev-parse HEAD)"
    mount_at "$system/proc" -t proc proc
    mount_at "$system/sys" -t sysfs sysfs
    mount_at "$system/dev" --bind /dev
    mount_at "$system/dev/pts" --bind /dev/pts
    mount_at "$system/dev/shm" -t tmpfs -o mode=1777 tmpfs
    mount_at "$system/tmp" -t tmpfs -o mode=1777 tmpfs
}

# mount_at FOLDER ARGUMENTS...: mounts there and remembers it for the clean-up.
mount_at() {
    local folder=$1
    shift
    mount "$@" "$folder"
    mounted+=("$folder")
}

# Runs a command in a system as a newcomer logged in as root would: a clean environment,
# in the project's folder; stopped when it takes longer than the limit.
in_system() {
    local system=$1
    shift
    timeout "$command_limit" chroot "$system" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        /bin/bash -c 'cd /root/velmora && exec "$@"' bash "$@"
}

packages_in() { chroot "$1" dpkg-query -W -f='.\n' | wc -l; }

failures=0

# ---------------------------------------------------------------------------------------
if $windows_qt; then
    echo "== scripts/windows_qt.sh --source on a bare system"
    prepare windows-qt
    system=$work/windows-qt
    before=$(packages_in "$system")
    started=$(date +%s)
    # The script puts Qt in place only once it is whole, and fails otherwise.
    if in_system "$system" scripts/windows_qt.sh --source >"$logs/windows-qt.log" 2>&1; then
        echo "scripts/windows_qt.sh --source: passed in $(seconds_since "$started") s" \
            "(packages: $before before, $(packages_in "$system") after)"
        tail -3 "$logs/windows-qt.log"
        exit 0
    fi
    echo "scripts/windows_qt.sh --source: FAILED after $(seconds_since "$started") s; the end of" \
        "$logs/windows-qt.log:" >&2
    tail -40 "$logs/windows-qt.log" >&2
    exit 1
fi

echo "== scripts/test.sh on a bare system"
prepare test
system=$work/test
before=$(packages_in "$system")
started=$(date +%s)
if in_system "$system" scripts/test.sh >"$logs/test.log" 2>&1; then
    echo "scripts/test.sh: passed in $(seconds_since "$started") s" \
        "(packages: $before before, $(packages_in "$system") after)"
else
    echo "scripts/test.sh: FAILED after $(seconds_since "$started") s; the end of $logs/test.log:" >&2
    tail -40 "$logs/test.log" >&2
    failures=$((failures + 1))
fi

# ---------------------------------------------------------------------------------------
echo "== scripts/run.sh on a bare system"
prepare run
system=$work/run
program=$system/root/velmora/build/velmora
before=$(packages_in "$system")
rm -f "$logs/run.started" "$logs/run.survived"
started=$(date +%s)
# The program never ends by itself: watch for it from outside, and once it has stayed up
# for a while, end it. Success is "still running when it was ended".
(
    for _ in $(seq "$command_limit"); do
        for exe in /proc/[0-9]*/exe; do
            [ "$(readlink "$exe" 2>/dev/null)" = "$program" ] || continue
            pid=${exe#/proc/}
            pid=${pid%/exe}
            seconds_since "$started" >"$logs/run.started"
            sleep "$program_seconds"
            kill -0 "$pid" 2>/dev/null && echo yes >"$logs/run.survived" && kill "$pid"
            exit 0
        done
        sleep 1
    done
) &
watcher=$!
status=0
in_system "$system" env QT_QPA_PLATFORM=offscreen scripts/run.sh >"$logs/run.log" 2>&1 || status=$?
wait "$watcher" 2>/dev/null || true
watcher=""
if [ -f "$logs/run.survived" ]; then
    echo "scripts/run.sh: the program started after $(cat "$logs/run.started") s and was still" \
        "running ${program_seconds} s later (packages: $before before, $(packages_in "$system") after)"
else
    echo "scripts/run.sh: FAILED (status $status after $(seconds_since "$started") s); the end of" \
        "$logs/run.log:" >&2
    tail -40 "$logs/run.log" >&2
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] || exit 1
echo "bare machine: both README commands work (systems kept in $work)"
