#!/usr/bin/env bash
# Drives the real editor in a real X server with a window manager, as a person would.
# usage: run_e2e.sh VBU_BINARY OUTPUT_DIR
# Every wait is bounded; nothing sleeps a fixed time where a window or a file can be waited for.
set -euo pipefail
vbu=$(readlink -f "${1:?vbu binary}")
out=$(mkdir -p "${2:?output dir}" && cd "$2" && pwd)
for tool in Xvfb openbox xdotool xprop xwininfo import; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (tools/dev.sh setup installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "e2e: FAIL: $*" >&2
    [ -n "${DISPLAY:-}" ] && import -window root "$out/failure.png" 2>/dev/null && echo "e2e: screen saved in $out/failure.png" >&2
    exit 1
}

# until SECONDS COMMAND...: runs the command until it succeeds, at most for that long.
until_ok() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.1
    done
}

window_named() { xdotool search --onlyvisible --name "^$1\$" | head -n 1; }
have_window() { [ -n "$(window_named "$1")" ]; }
wait_window() { # title -> id
    until_ok 30 have_window "$1" || fail "no window titled '$1'"
    window_named "$1"
}
wait_gone() { until_ok 30 bash -c "! xdotool search --onlyvisible --name '^$1\$' >/dev/null" || fail "window '$1' did not close"; }

# Outer frame of a window: left top right bottom, from its client geometry and the frame
# extents the window manager publishes.
frame_of() {
    local id=$1 x y w h l r t b
    # xwininfo, not xdotool: xdotool counts the frame's offset twice under a reparenting manager.
    read -r x y w h < <(xwininfo -id "$id" | awk -F: '/Absolute upper-left X/{x=$2} /Absolute upper-left Y/{y=$2}
        /Width/{w=$2} /Height/{h=$2} END{print x+0, y+0, w+0, h+0}')
    read -r l r t b < <(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ',')
    echo "$((x - ${l:-0})) $((y - ${t:-0})) $((x + w + ${r:-0})) $((y + h + ${b:-0}))"
}
docked() { # main tool: the tool's frame stands at the main frame's right edge, level with its top
    local ml mt mr mb tl tt tr tb
    read -r ml mt mr mb < <(frame_of "$1")
    read -r tl tt tr tb < <(frame_of "$2")
    [ $((tl - mr)) -ge -1 ] && [ $((tl - mr)) -le 1 ] && [ $((tt - mt)) -ge -1 ] && [ $((tt - mt)) -le 1 ]
}
as_tall() { # main tool: both frames are of one height
    local mt mb tt tb
    read -r _ mt _ mb < <(frame_of "$1")
    read -r _ tt _ tb < <(frame_of "$2")
    [ $((tb - tt)) -eq $((mb - mt)) ]
}

shot() { # file, window ids...: a picture of the screen cut to the windows' frames
    local file=$1 left=100000 top=100000 right=0 bottom=0 l t r b
    shift
    for id in "$@"; do
        read -r l t r b < <(frame_of "$id")
        ((l < left)) && left=$l; ((t < top)) && top=$t; ((r > right)) && right=$r; ((b > bottom)) && bottom=$b
    done
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$file"
}

# --- without a window system: the options answer on the terminal, the editor says what it lacks ---
bare() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$vbu" "$@"; }
[ "$(bare --version)" = "vbu 0.97.0" ] || fail "--version answered: $(bare --version 2>&1)"
bare --help | grep -q '^usage: vbu \[FILE\]$' || fail "--help answered: $(bare --help 2>&1)"
if lacking=$(bare "$work/x.cfg" 2>&1); then fail "the editor started without a display"; fi
[ "$lacking" = "vbu: the editor needs a graphical session (X11, or XWayland under Wayland); none was found." ] ||
    fail "without a display it said: $lacking"

# --- the X server and the window manager ---
exec 3<> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
until_ok 20 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
until_ok 20 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "openbox did not start"

# --- a script of the player's, opened from the command line ---
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" VBU_GAME_DIR="$work/no-game"
export XDG_RUNTIME_DIR="$work/runtime"
unset QT_QPA_PLATFORM VBU_UPDATE_URL
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
script="$work/my autoexec.cfg"
printf 'bind w "+forward"\r\nbind s "+back"\r\n' >"$script"
"$vbu" "$script" >"$work/vbu.log" 2>&1 &
vbu_pid=$!
pids+=($vbu_pid)

# The splash gives way to the main window, whose title is the file's name.
main=$(wait_window "$script")
xdotool windowactivate --sync "$main"

# Compose a line from the keyboard: type, key and binding text, then Enter. Ctrl+A is the menu's
# Clear All in every field, so a field's text is selected with End and Shift+Home.
xdotool key --window "$main" End shift+Home
xdotool type --delay 20 "bind"
xdotool key Tab End shift+Home
xdotool type --delay 20 "f5"
xdotool key Tab
xdotool type --delay 20 "+attack;say hi"
xdotool key Return

# The Command List opens docked at the main window's right edge.
xdotool key alt+o Return
tool=$(wait_window "Command List - v1.0")
until_ok 20 docked "$main" "$tool" || fail "Command List not docked: main $(frame_of "$main"), list $(frame_of "$tool")"
as_tall "$main" "$tool" || fail "Command List not as tall as the main window: $(frame_of "$main"), $(frame_of "$tool")"
shot "$out/main-window.png" "$main" "$tool"

# Moving the main window takes the Command List along.
read -r ml mt _ _ < <(frame_of "$main")
xdotool windowmove "$main" $((ml + 60)) $((mt + 45))
moved() { local l; read -r l _ _ _ < <(frame_of "$main"); [ "$l" -ne "$ml" ]; }
until_ok 20 moved || fail "main window did not move"
until_ok 20 docked "$main" "$tool" || fail "Command List did not follow: main $(frame_of "$main"), list $(frame_of "$tool")"

# Save with Ctrl+S: the file gets the new line.
xdotool windowactivate --sync "$main"
xdotool key ctrl+s
expected=$(printf 'bind w "+forward"\r\nbind s "+back"\r\nbind f5 "+attack;say hi"\r\n' | od -An -tx1)
saved() { [ "$(od -An -tx1 <"$script")" = "$expected" ]; }
until_ok 20 saved || fail "saved bytes differ: $(od -c <"$script" | head)"

# The Key Map with Ctrl+M, for Quake 2: the keys the list binds are shaded; the arrows lead from
# Escape to F5, and Enter presses it.
xdotool key ctrl+m
keymap=$(wait_window "Key Map")
xdotool windowactivate --sync "$keymap"
xdotool key alt+g Down Tab Right Right Right Right Right Return
shot "$out/key-map.png" "$keymap"
xdotool key Escape
wait_gone "Key Map"
xdotool windowactivate --sync "$main"

# Close with Ctrl+L, answering Yes: the file is written again and the list empties.
xdotool key ctrl+l
question=$(wait_window "Close File")
xdotool windowactivate --sync "$question" key Return
wait_gone "Close File"
until_ok 20 have_window "Vantor's Bind Utility" || fail "caption did not return to the product name"
saved || fail "file bytes changed on Close"

# The Fun Name Editor: a name picked from the palette with the keyboard, added to the script.
main=$(window_named "Vantor's Bind Utility")
xdotool windowactivate --sync "$main"
xdotool key alt+o Down Return
names=$(wait_window "Vantor's Name Utility")
until_ok 20 docked "$main" "$names" || fail "Fun Name Editor not docked"
xdotool windowactivate --sync "$names"
cell=0 # the palette's focus starts on code 0
for code in 144 198 210 193 199 145 19 18; do # brown-red [FRAG], then gold 1 and 0
    for ((i = code / 16; i > cell / 16; i--)); do xdotool key Down; done
    for ((i = code / 16; i < cell / 16; i++)); do xdotool key Up; done
    for ((i = code % 16; i > cell % 16; i--)); do xdotool key Right; done
    for ((i = code % 16; i < cell % 16; i++)); do xdotool key Left; done
    xdotool key Return
    cell=$code
done
xdotool key alt+f a # File, Add to Bind
shot "$out/fun-name-editor.png" "$main" "$names"

# Saved under a new name, the line holds those bytes exactly.
xdotool windowactivate --sync "$main"
xdotool key ctrl+s
dialog=$(wait_window "Save")
named="$work/name.cfg"
xdotool windowactivate --sync "$dialog"
xdotool type --delay 20 "$named"
xdotool key Return
wait_gone "Save"
name_bytes=$(printf 'name "\x90\xc6\xd2\xc1\xc7\x91\x13\x12"\r\n' | od -An -tx1)
name_saved() { [ "$(od -An -tx1 <"$named" 2>/dev/null)" = "$name_bytes" ]; }
until_ok 20 name_saved || fail "name line saved as: $(od -An -tx1 <"$named" 2>&1 | head -n 3)"

# Exit asks first; Yes ends the program.
xdotool windowactivate --sync "$main"
xdotool key alt+f x
confirm=$(wait_window "Confirm")
xdotool windowactivate --sync "$confirm" key Return
until_ok 20 bash -c "! kill -0 $vbu_pid" || fail "the program did not end after Exit"
wait "$vbu_pid" || fail "the program ended with an error: $(cat "$work/vbu.log")"
[ -z "$(cat "$work/vbu.log")" ] || echo "e2e: program output: $(cat "$work/vbu.log")"

# --- no command list beside the program: its message first, then the window in the docked place ---
mkdir "$work/bare"
cp "$vbu" "$work/bare/vbu"
"$work/bare/vbu" >"$work/bare.log" 2>&1 &
vbu_pid=$!
pids+=($vbu_pid)
main=$(wait_window "Vantor's Bind Utility")
xdotool windowactivate --sync "$main"
xdotool key alt+o Return
missing=$(wait_window "Error Opening File")
xdotool windowactivate --sync "$missing" key Return
tool=$(wait_window "Command List - v")
until_ok 20 docked "$main" "$tool" || fail "Command List not docked after the message: $(frame_of "$main"), $(frame_of "$tool")"
as_tall "$main" "$tool" || fail "Command List not as tall after the message: $(frame_of "$main"), $(frame_of "$tool")"
# Ctrl+X is Exit, with the focus in the type field.
xdotool windowactivate --sync "$main"
xdotool key ctrl+x
confirm=$(wait_window "Confirm")
xdotool windowactivate --sync "$confirm" key Return
until_ok 20 bash -c "! kill -0 $vbu_pid" || fail "Ctrl+X did not end the program"
echo "e2e: 1 passed, 0 failed"
