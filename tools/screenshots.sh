#!/usr/bin/env bash
# Takes the README's pictures again: TARVEX on a virtual screen (Xvfb) with a simulated chronograph,
# driven by xdotool as a user would drive it, each window photographed with ImageMagick's import.
# The pictures go to docs/images/. `make screenshots` installs what this needs and builds first.
#
#   tools/screenshots.sh            (BUILD_DIR=build by default)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/${BUILD_DIR:-build}"
images="$root/docs/images"
work=$(mktemp -d)
pids=()

# Stops what this script started, newest first, and waits for each.
finish() {
    local index
    for ((index = ${#pids[@]} - 1; index >= 0; index--)); do
        kill "${pids[index]}" 2>/dev/null || true
        kill -CONT "${pids[index]}" 2>/dev/null || true
        wait "${pids[index]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap finish EXIT

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local limit=$1 tries
    shift
    for ((tries = limit * 10; tries > 0; tries--)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "screenshots: gave up waiting for: $*" >&2
    return 1
}

# Whether process $1, a child of this script, has ended (a child that ended stays a zombie
# until it is waited for).
exited() {
    [ ! -e "/proc/$1" ] || [ "$(cut -d ' ' -f 3 "/proc/$1/stat")" = Z ]
}

# The newest visible window whose title is exactly $1.
window_named() {
    timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | tail -n 1
}

# Clicks at $2,$3 inside window $1.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Without a window manager the keyboard follows the pointer.
press_key() {
    xdotool mousemove --window "$1" 1 1 key "$2"
}

# Lets the program paint what the last action changed, with the pointer out of the way (over the
# chart it would show the shot under it).
settle() {
    xdotool mousemove 0 0
    sleep 1
}

# Whether the chronograph whose send times go to $work/$1 has sent $2 shots.
sent() {
    [ -f "$work/$1" ] && [ "$(wc -l <"$work/$1")" -ge "$2" ]
}

shoot() {
    import -window "$1" "$images/$2.png"
    echo "screenshots: docs/images/$2.png"
}

# A free display: Xvfb picks the number itself and writes it to a file.
start_display() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    wait_for 10 test -s "$work/display"
    DISPLAY=":$(head -n 1 "$work/display")"
    export DISPLAY
}

# A chronograph that starts sending once TARVEX has opened its pseudo-terminal: shots around
# 175 m/s, the same shots on every run, each noted in a file.
start_chronograph() {
    "$build/tools/chronosim/chronosim" --wait-for-reader --interval-ms 150 --mean 175 \
        --spread 1.5 --seed 9 --timestamps "$work/sent" >"$work/chronosim.out" &
    pids+=($!)
    chronosim_pid=$!
    wait_for 10 test -s "$work/chronosim.out"
    port=$(head -n 1 "$work/chronosim.out")
}

# A second chronograph with slower pellets for a second series: 15 shots once TARVEX listens.
start_second_chronograph() {
    "$build/tools/chronosim/chronosim" --wait-for-reader --count 15 --interval-ms 100 --mean 171 \
        --spread 1 --seed 5 --timestamps "$work/sent2" >"$work/chronosim2.out" &
    pids+=($!)
    wait_for 10 test -s "$work/chronosim2.out"
    port2=$(head -n 1 "$work/chronosim2.out")
}

# A third chronograph whose speeds fall as the gun loses pressure: 60 shots once TARVEX listens.
start_falling_chronograph() {
    "$build/tools/chronosim/chronosim" --wait-for-reader --count 60 --interval-ms 40 --mean 176 \
        --spread 0.7 --trend -0.12 --seed 3 --timestamps "$work/sent3" >"$work/chronosim3.out" &
    pids+=($!)
    wait_for 10 test -s "$work/chronosim3.out"
    port3=$(head -n 1 "$work/chronosim3.out")
}

start_tarvex() {
    mkdir -p "$work/config"
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" TARVEX_PORTS="$port:$port2:$port3" \
        LC_ALL=C.UTF-8 \
        "$build/app/tarvex" 2>"$work/tarvex.log" &
    pids+=($!)
    tarvex_pid=$!
    main=$(window_named TARVEX)
    settle
}

# Connect with an empty port opens the port setup dialog; the port is chosen by typing its name
# into the open list, as a user may.
connect_chronograph() {
    click "$main" 917 76
    local dialog
    dialog=$(window_named Setup)
    click "$dialog" 152 34
    settle
    xdotool type --delay 30 "$port"
    xdotool key Return
    settle
    shoot "$dialog" port-setup
    click "$dialog" 107 196
    # Stopped rather than ended: an ended chronograph would close the line, and the port with it.
    wait_for 60 sent sent 20
    kill -STOP "$chronosim_pid"
    settle
    shoot "$main" main-window
}

# The read-out opens with the last shot of the series.
show_live() {
    click "$main" 757 76
    settle
    # The read-out covers the screen, so the pointer in its corner gives it the keyboard.
    shoot root live
    xdotool key Escape
    settle
}

# Renames the series in row $2 of library window $1 as the user does: F2 on its name.
rename_series() {
    click "$1" 60 "$2"
    sleep 0.3
    xdotool key F2 ctrl+a
    xdotool type --delay 20 "$3"
    xdotool key Return
}

# The LED panel closes the port and opens its setup, where port $1 is chosen; Connect opens it.
switch_port() {
    click "$main" 890 104
    local dialog
    dialog=$(window_named Setup)
    click "$dialog" 152 34
    settle
    xdotool type --delay 30 "$1"
    xdotool key Return
    settle
    click "$dialog" 107 196
    settle
    click "$main" 917 76
}

# Item $1 of the chart's menu, which opens where the chart is clicked with the right button.
chart_menu() {
    xdotool mousemove --window "$main" 600 450 click 3
    sleep 0.5
    xdotool mousemove_relative -- 40 $((22 * $1 - 11)) click 1
    sleep 0.5
}

# Clear puts the window's series away (yes to its question); the chronograph on port $1 then
# sends its $3 shots, noted in $work/$2, and ends, its port with it, which a message says.
record_new_series() {
    click "$main" 596 132
    sleep 1
    xdotool mousemove --window "$main" 496 300 key alt+y
    settle
    switch_port "$1"
    wait_for 60 sent "$2" "$3"
    settle
    xdotool mousemove --window "$main" 496 300 key Return
    settle
}

# A new series from the falling chronograph, with its usable shots and its drift, then as a
# histogram.
show_tuning() {
    record_new_series "$port3" sent3 60
    chart_menu 1
    chart_menu 2
    settle
    shoot "$main" tuning
    chart_menu 3
    settle
    shoot "$main" histogram
    chart_menu 3
    settle
}

# Clear keeps the first series in the library; a second one comes from the slower chronograph.
# The library shows both, named, and compares them.
show_library() {
    record_new_series "$port2" sent2 15
    # A click below the table's rows gives the window the keyboard for Ctrl+L.
    click "$main" 5 500
    xdotool key ctrl+l
    local library
    library=$(window_named "Series library")
    rename_series "$library" 100 "JSB Exact"
    rename_series "$library" 130 "H&N Baracuda"
    # A click on the shot count selects the row without editing its name.
    click "$library" 330 130
    settle
    shoot "$library" library
    click "$library" 60 100
    xdotool key shift+Down
    click "$library" 472 537
    local comparison
    comparison=$(window_named "Comparison of series")
    settle
    shoot "$comparison" comparison
    click "$comparison" 1148 577
    settle
    click "$library" 1128 537
    settle
}

# The setup window, switched to German and imperial units.
show_setup() {
    click "$main" 917 132
    local setup
    setup=$(window_named Setup)
    click "$setup" 36 64
    click "$setup" 136 152
    settle
    shoot "$setup" setup
    press_key "$setup" Escape
    settle
}

# Without a window manager nobody turns the close button into WM_DELETE_WINDOW: send it.
close_window() {
    /usr/bin/python3 - "$1" <<'PYTHON'
import sys
from Xlib import X, display, protocol

d = display.Display()
window = d.create_resource_object("window", int(sys.argv[1]))
protocols = d.intern_atom("WM_PROTOCOLS")
delete = d.intern_atom("WM_DELETE_WINDOW")
event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                     data=(32, [delete, X.CurrentTime, 0, 0, 0]))
window.send_event(event, event_mask=X.NoEventMask)
d.flush()
PYTHON
    wait_for 10 exited "$tarvex_pid"
}

mkdir -p "$images"
start_display
start_chronograph
start_second_chronograph
start_falling_chronograph
start_tarvex
connect_chronograph
show_live
show_library
show_tuning
show_setup
close_window "$main"
