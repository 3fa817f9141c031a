#!/usr/bin/env bash
# The real program in a real X server, driven the way a person drives it: xdotool moves
# the pointer to each control (positions come from the window's design in twips, 15 to a
# pixel), clicks, types into the real file dialogs and presses Enter in the message box.
# What comes out is checked from outside: the clipboard through xclip while the program
# still runs, the saved file byte for byte, and the exit status when the window is closed
# in the middle of a long sort. Screenshots land in out/e2e/ (or the folder given).
#
#   tests/e2e/run_e2e.sh <velmora executable> <close_window helper> [screenshot folder]
#
# With VELMORA_E2E_WINE_RUN set, the program is velmora.exe run under Wine with the windows
# platform plugin, in a Wine prefix of its own: the variable holds the command that runs
# it, scripts/wine_run.sh with its DLL folders and "--". The file dialogs are then the
# host's own and take Windows paths (Z: is the root folder), and the window is closed as
# Windows closes one, with a WM_CLOSE (taskkill without /f); the closer argument is unused.
#
# VELMORA_E2E_LONG_SORT_LINES sets the lines of the long sort (6,000,000 by default; fewer
# for a build that runs slower).
#
# On Linux the script runs on a D-Bus session bus of its own with the accessibility bus
# beside it, and a screen reader's side of the window is checked too (atspi_check.py): the
# window is a frame with every control by its caption, commands pressed over the bus act,
# and a press during a load or a numbered fill acts only once that step is over.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${VELMORA_E2E_WINE_RUN:-}" ] && [ -z "${VELMORA_E2E_ON_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null ||
        { echo "FAIL: dbus-run-session is missing (scripts/setup.sh installs it)" >&2; exit 1; }
    VELMORA_E2E_ON_BUS=yes exec dbus-run-session -- "$0" "$@"
fi

app=$(realpath "$1")
shots=${3:-$here/../../out/e2e}
wine_run=()
[ -n "${VELMORA_E2E_WINE_RUN:-}" ] && read -ra wine_run <<<"$VELMORA_E2E_WINE_RUN"
if ((${#wine_run[@]})); then
    closer=""
else
    closer=$(realpath "$2")
fi

fail() {
    echo "FAIL: $*" >&2
    [ -s "${work:-}/app.log" ] && sed 's/^/  program: /' "$work/app.log" >&2
    # What the screen showed when it went wrong, and what the work folder held.
    [ -n "${own_display:-}" ] && import -window root "$shots/failure.png" 2>/dev/null &&
        echo "screen at the failure: $shots/failure.png" >&2
    [ -d "${work:-}" ] && ls -la "$work" >&2
    exit 1
}
step() { echo "== $*"; }

for tool in Xvfb xdotool xclip import compare awk cmp; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done
atspi=()
if ! ((${#wine_run[@]})); then
    for launcher in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher ""; do
        [ -x "$launcher" ] && break
    done
    [ -n "$launcher" ] || fail "at-spi-bus-launcher is missing (scripts/setup.sh installs it)"
    /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
        fail "python3-pyatspi is missing (scripts/setup.sh installs it)"
    atspi=(/usr/bin/python3 "$here/atspi_check.py")
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-e2e.XXXXXX")
mkdir -p "$shots" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
xvfb_pid=""
app_pid=""
bus_pid=""
cleanup() {
    set +e
    for pid in $app_pid $xvfb_pid $bus_pid; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    ((${#wine_run[@]})) && WINEPREFIX=$work/wine /usr/lib/wine/wineserver64 -k 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and writes it once it accepts connections. An X
# server resets when its last client leaves and refuses connections meanwhile: a probe
# that leaves just before the program starts would make the program's start fail now and
# then, so this one never resets.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb gave no display number"
DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
export DISPLAY
own_display=yes
# No window manager: the window sits where the program puts it, centred, without a frame.
# The program's own settings and the file dialog's history stay inside the work folder.
export QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
    XDG_RUNTIME_DIR="$work/runtime"
# One start in a hundred opens the home page; without a desktop, xdg-open hands it to
# $BROWSER, here a stand-in that notes the address, so that start never fails for want of one.
printf '#!/bin/sh\necho "$1" >>"%s/browser.log"\n' "$work" >"$work/browser"
chmod +x "$work/browser"
export BROWSER="$work/browser"
unset QT_FATAL_WARNINGS
if ((${#atspi[@]})); then
    # Qt joins the accessibility bus only when told a screen reader is there.
    "$launcher" --launch-immediately >"$work/atspi.log" 2>&1 &
    bus_pid=$!
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
fi
if ((${#wine_run[@]})); then
    export QT_QPA_PLATFORM=windows VELMORA_WINEPREFIX=$work/wine
    "${wine_run[@]}" cmd /c exit >/dev/null 2>&1 || fail "Wine would not start"
fi
echo "Xvfb on display $DISPLAY"

# Control rectangles in twips: left top width height, as the window's design has them.
# The three controls of the options frame are placed inside the frame (120, 3270).
declare -A control=(
    [LoadText]="120 2300 7800 405"
    [ClearText]="120 2810 3840 405"
    [LoadSample]="4080 2810 3840 405"
    [LineMode]="$((120 + 240)) $((3270 + 300)) 2775 255"
    [WordMode]="$((120 + 240)) $((3270 + 650)) 2895 255"
    [Counters]="$((120 + 240)) $((3270 + 1000)) 4815 285"
    [StartSorting]="120 4800 7800 405"
    [Save]="120 7530 3840 405"
    [Copy]="4080 7530 3840 405"
    [ClearResults]="120 8040 3840 405"
    [ProgressBar]="120 8560 7800 405"
    [InputList]="120 120 7800 2085"
    [ResultList]="120 5310 7800 2130"
)

window_ids() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }

# Waits for a visible window whose title matches, other than the ones given; prints its id.
wait_for_window() {
    local title=$1 seconds=$2 id
    shift 2
    for _ in $(seq $((seconds * 10))); do
        for id in $(window_ids "$title"); do
            [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
        done
        sleep 0.1
    done
    fail "no window titled /$title/ appeared within $seconds s"
}

wait_for_window_gone() {
    for _ in $(seq 100); do
        xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
        window_ids "$2" | grep -qx "$1" || return 0
        sleep 0.1
    done
    fail "the window /$2/ did not close"
}

# The program's CPU time so far, in clock ticks (user + system).
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$app_pid/stat"; }

# Waits until the program is at rest: over the last second it used at most a fifth of a
# CPU. Not "none": a file dialog's blinking cursor repaints twice a second, which costs a
# few clock ticks on a slow machine, while whatever a click started (loading, sorting)
# keeps a core busy.
wait_until_idle() {
    local samples=() now
    for _ in $(seq 1200); do
        sleep 0.1
        now=$(cpu_ticks)
        samples+=("$now")
        if ((${#samples[@]} > 11)); then
            samples=("${samples[@]:1}")
            ((now - samples[0] <= 20)) && return 0
        fi
    done
    fail "the program stayed busy for two minutes"
}

start_app() {
    "${wine_run[@]}" "$1" >"$work/app.log" 2>&1 &
    app_pid=$!
    win=$(wait_for_window '^Velmora$' 30)
    wait_until_idle
}

# Waits until the program is busy (over a fifth of a second it keeps a core at least half
# busy): a command has started and not yet ended.
wait_until_busy() {
    local from
    for _ in $(seq 50); do
        from=$(cpu_ticks)
        sleep 0.2
        (($(cpu_ticks) - from >= 10)) && return 0
    done
    fail "the program never got busy"
}

# The centre of a control in window pixels.
centre_of() {
    local left top width height
    read -r left top width height <<<"${control[$1]}"
    echo $(((2 * left + width + 15) / 30)) $(((2 * top + height + 15) / 30))
}

click() {
    local x y
    read -r x y < <(centre_of "$1")
    xdotool mousemove --window "$win" "$x" "$y" click 1
}

# A new window shows before it takes the keyboard, and keys sent before then are lost, as
# they would be for a person typing that fast: wait for the focus and a quiet program.
# Without a window manager Wine leaves the X focus to follow the pointer and passes the
# keys on to the window that has the focus in Windows' terms: the pointer goes there.
wait_for_focus() {
    if ((${#wine_run[@]})); then
        xdotool mousemove --window "$1" 10 10
        wait_until_idle
        return
    fi
    for _ in $(seq 200); do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && break
        sleep 0.1
    done
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] || fail "window $1 never took the keyboard"
    wait_until_idle
}

# The file dialogs: the file-name box has the focus; type a full path and press Enter.
answer_file_dialog() {
    local title=$1 path=$2 dialog
    dialog=$(wait_for_window "$title" 20 "$win")
    wait_for_focus "$dialog"
    ((${#wine_run[@]})) && path="Z:${path//\//\\}"
    xdotool type --delay 15 "$path"
    xdotool key Return
    wait_for_window_gone "$dialog" "$title"
}

shoot() { import -window "$win" "$shots/$1"; }

# Closes the window as its close box does.
close_window() {
    if ((${#wine_run[@]})); then
        "${wine_run[@]}" taskkill /im "$(basename "$app")" >/dev/null 2>&1
    else
        "$closer" "$win"
    fi
}

# Saves a control's current look, cut out of the window, as an image.
crop() {
    local left top width height
    read -r left top width height <<<"${control[$1]}"
    import -window "$win" -crop "$((width / 15))x$((height / 15))+$((left / 15))+$((top / 15))" \
        +repage "$2"
}

differs() {
    local pixels
    pixels=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
    [ "${pixels%% *}" != 0 ]
}

# Crops a control again and again until it looks other than before; fails
# with the message when it never does.  changes CONTROL BEFORE AFTER TRIES SECONDS MESSAGE
changes() {
    for _ in $(seq "$4"); do
        sleep "$5"
        crop "$1" "$3"
        differs "$2" "$3" && return 0
    done
    fail "$6"
}

# Presses a button over the accessibility bus in the background: the press is answered
# only once the program turns its event loop again. Sets press_pid.
press_in_background() {
    "${atspi[@]}" press "$1" &
    press_pid=$!
}

# The sample's twelve lines in code-unit order.
sorted_sample=("Avoid business plans." "Avoid tempting distractions."
    "Encourage diverse thinking." "Guard your time." "Hire generalists early."
    "Hire specialists later." "Invest in culture." "Never fudge numbers."
    "Pick founders carefully." "Support customers maniacally." "Watch your cash."
    "Write a blog.")

# The sample's 36 words in code-unit order (capitals first), numbered.
words=(Avoid Avoid Encourage Guard Hire Hire Invest Never Pick Support Watch Write a blog.
    business carefully. cash. culture. customers distractions. diverse early. founders fudge
    generalists in later. maniacally. numbers. plans. specialists tempting thinking. time.
    your your)
results=()
for i in "${!words[@]}"; do results+=("$((i + 1)). ${words[i]}"); done

# Closes the window and expects the program to end with status 0 within so many ms.
close_and_expect_end() {
    local what=$1 most=$2 closed_at status=0 took
    closed_at=$(date +%s%N)
    close_window
    for _ in $(seq $((most / 100 + 50))); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$app_pid" 2>/dev/null && fail "$what: still running long after the close"
    wait "$app_pid" || status=$?
    app_pid=""
    took=$((($(date +%s%N) - closed_at) / 1000000))
    [ "$status" -eq 0 ] || fail "$what: exit status $status: $(cat "$work/app.log")"
    ((took <= most)) || fail "$what: took $took ms to end after the close"
    echo "$what: ended $took ms after the close, status 0"
}

step "start, load the sample, sort it word by word with counters"
start_app "$app"
crop ResultList "$work/empty-list.png"
crop InputList "$work/empty-input.png"
if ((${#atspi[@]})); then
    step "a screen reader: the window and its controls; Load Sample and Start Sorting pressed over the bus"
    "${atspi[@]}" tree 0 0 || fail "the window as a screen reader sees it"
    "${atspi[@]}" press "Load Sample/Example Text" || fail "Load Sample could not be pressed"
    wait_until_idle
    "${atspi[@]}" press "Start Sorting" || fail "Start Sorting could not be pressed"
    wait_until_idle
    "${atspi[@]}" tree 12 12 || fail "the window after the sample was sorted"
    diff <("${atspi[@]}" rows Results) <(printf '%s\n' "${sorted_sample[@]}") ||
        fail "the results read over the bus are not the sorted sample"
    "${atspi[@]}" press "Clear Results" && "${atspi[@]}" press "Clear Text" ||
        fail "the lists could not be cleared over the bus"
    wait_until_idle
    "${atspi[@]}" tree 0 0 || fail "the lists are not empty again"
    step "start, load the sample, sort it word by word with counters"
fi
click LoadSample
click WordMode
click Counters
wait_until_idle
click StartSorting
wait_until_idle
shoot 01-at-rest.png

step "copy the results, confirm the message with Enter, read the clipboard"
# Wine hands the clipboard's text to X with Unix line ends.
line_end='\r\n'
((${#wine_run[@]})) && line_end='\n'
printf "%s$line_end" "${results[@]}" >"$work/expected-clipboard"
click Copy
box=$(wait_for_window '^Velmora$' 20 "$win")
wait_for_focus "$box"
xdotool key Return
wait_for_window_gone "$box" '^Velmora$'
xclip -o -selection clipboard >"$work/clipboard" || fail "the clipboard holds no text"
cmp "$work/expected-clipboard" "$work/clipboard" ||
    fail "clipboard differs: $(diff <(od -c "$work/expected-clipboard") <(od -c "$work/clipboard") | head)"

step "save the results over an existing file through the save dialog"
width=7 # "Results"
for line in "${results[@]}"; do ((${#line} > width)) && width=${#line}; done
{
    printf '%-*s\t\r\n' "$width" Results
    for line in "${results[@]}"; do printf '%-*s\t\r\n' "$width" "$line"; done
} >"$work/expected-file"
printf 'an older file, replaced without a question\r\n' >"$work/older"
cp "$work/older" "$work/results"
click Save
answer_file_dialog '^Save$' "$work/results"
# The new file takes the old one's place in one step, once it is safely on the disk; the
# program may sit idle waiting for the disk meanwhile, so wait for the file itself.
for _ in $(seq 300); do
    cmp -s "$work/older" "$work/results" || break
    sleep 0.1
done
cmp "$work/expected-file" "$work/results" ||
    fail "saved file differs: $(diff <(od -c "$work/expected-file") <(od -c "$work/results") | head)"
wait_until_idle
[ "$(find "$work" -maxdepth 1 -name '*results*' | wc -l)" -eq 1 ] ||
    fail "the save left other files beside the result: $(ls "$work")"

lines=${VELMORA_E2E_LONG_SORT_LINES:-6000000}
step "load $lines lines, start sorting, clear the results and close the window mid-sort"
# Random lines: ranking them is the longest part of the sort, a few seconds here.
awk -v lines="$lines" \
    'BEGIN { srand(7); for (i = 0; i < lines; i++) printf "%09d line\n", int(rand() * 1e9) }' \
    >"$work/many.txt"
# Loading takes a while and nothing of the program runs meanwhile: a click during it acts
# once the lines are in (Clear Text empties the full list), as it would if the window had
# not repainted in between.
click LoadText
answer_file_dialog '^Load List' "$work/many.txt"
# The dialog's window goes a moment before its modal loop lets the main window take clicks.
wait_until_busy
click ClearText
wait_until_idle
crop InputList "$work/input-after-clearing.png"
differs "$work/empty-input.png" "$work/input-after-clearing.png" &&
    fail "Clear Text, clicked during the load, did not empty the list once the lines were in"
if ((${#atspi[@]})); then
    # So does a screen reader's press: it is answered once the load is over.
    click LoadText
    answer_file_dialog '^Load List' "$work/many.txt"
    wait_until_busy
    press_in_background "Clear Text"
    wait_until_idle
    wait "$press_pid" || fail "Clear Text could not be pressed over the bus during the load"
    [ "$("${atspi[@]}" count Input)" -eq 0 ] ||
        fail "Clear Text, pressed over the bus during the load, did not empty the list after it"
    echo "Clear Text pressed over the bus during the load: acted once the lines were in"
    # And once the sort's results are being numbered (the program stops answering, or the
    # result list is found empty), a press waits for the end of the command.
    click LoadText
    answer_file_dialog '^Load List' "$work/many.txt"
    wait_until_idle
    [ "$("${atspi[@]}" count Results)" -gt 0 ] || fail "no results before the numbered sort"
    click LineMode
    click StartSorting
    "${atspi[@]}" wait-for-step Results 120
    press_in_background "Clear Text"
    wait_until_idle
    wait "$press_pid" || fail "Clear Text could not be pressed over the bus during the fill"
    [ "$("${atspi[@]}" count Input)" -eq 0 ] ||
        fail "Clear Text, pressed over the bus during the numbered fill, acted inside the sort"
    [ "$("${atspi[@]}" count Results)" -eq "$lines" ] || fail "the numbered sort left no results"
    echo "Clear Text pressed over the bus during the numbered fill: acted once the sort was over"
fi
click LoadText
answer_file_dialog '^Load List' "$work/many.txt"
wait_until_idle
click LineMode
click StartSorting
shoot 02-sorting.png
# The window still answers clicks: Clear Results empties the result list at once.
click ClearResults
cleared=""
for _ in $(seq 50); do
    crop ResultList "$work/list-after-clearing.png"
    differs "$work/empty-list.png" "$work/list-after-clearing.png" || { cleared=yes; break; }
    sleep 0.1
done
[ -n "$cleared" ] || fail "Clear Results did nothing while the sort ran"
busy_from=$(cpu_ticks)
sleep 0.3
(($(cpu_ticks) - busy_from >= 5)) || fail "the sort is not running when the window is closed"
[ "$(window_ids '^Velmora$' | wc -l)" -eq 1 ] || fail "a message box showed during the sort"
close_and_expect_end "closing mid-sort" 5000

step "close the window while $lines lines load: the program ends once they are in"
start_app "$app"
click LoadText
answer_file_dialog '^Load List' "$work/many.txt"
close_and_expect_end "closing mid-load" 20000

step "with a skin file beside the program"
mkdir -p "$work/skinned/x"
cp "$app" "$work/skinned/"
cp "$here/skin.cjs" "$work/skinned/x/o.cjs"
start_app "$work/skinned/$(basename "$app")"
[ "$(window_ids '^Velmora$' | wc -l)" -eq 1 ] || fail "the skin was refused with a message"
click LoadSample
click WordMode
click Counters
wait_until_idle
click StartSorting
wait_until_idle
shoot 03-skin.png
close_and_expect_end "closing the skinned window" 5000

step "text in five scripts, from a UTF-16 file, drawn for a person to look at (04-scripts.png)"
{
    printf '\xff\xfe'
    printf 'Zoë naïve café\r\nΕλληνικά\r\nКириллица\r\n日本語のテキスト\r\n😀 emoji\r\n' |
        iconv -f UTF-8 -t UTF-16LE
} >"$work/scripts.txt"
start_app "$app"
click LoadText
answer_file_dialog '^Load List' "$work/scripts.txt"
wait_until_idle
shoot 04-scripts.png
close_and_expect_end "closing after the scripts" 5000

echo "PASS: the real window, end to end; screenshots in $(realpath "$shots")"
