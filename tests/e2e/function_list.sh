#!/usr/bin/env bash
# A call double-clicked in the function list is an edit: Undo takes back just
# it, and File > Close asks before dropping it.
. "$(dirname "$0")/lib.sh"
mkdir -p "$PROGRAM_DIR/include" "$E2E_DIR/work"
# Every row names clamp, so a double-click in the list's middle hits one.
for _ in $(seq 80); do echo 'native clamp(v, lo, hi);'; done >"$PROGRAM_DIR/include/core.inc"
script="$E2E_DIR/work/game.pwn"
printf 'main()\n{\n\n}\n' >"$script"
e2e_start_x
e2e_start_app "$script"
win=$(e2e_wait_window "game.pwn - Ludra") || fail "no window titled after the script"
e2e_focus "$win" || fail "the main window did not take the focus"
eval "$(xdotool getwindowgeometry --shell "$win")"
# Each double-click goes to another row, so its first click never pairs up
# with the click before it into a double-click.
row=0
clamp() {
  row=$((row + 1))
  xdotool mousemove $((X + WIDTH - 90)) $((Y + HEIGHT / 3 + row * 24)) click --repeat 2 --delay 80 1
}
# Saves, then waits until line 3 of the saved script reads $1.
line3_is() { [ "$(sed -n 3p "$script")" = "$1" ]; }
saved_line3() {
  xdotool key ctrl+s
  e2e_wait_for line3_is "$1"
}
xdotool key Down Down && clamp && xdotool key End type "abc" && xdotool key Home && clamp
saved_line3 "clamp()clamp()abc" || fail "after two insertions: $(cat "$script")"
xdotool key ctrl+z
saved_line3 "clamp()abc" || fail "undo took back the wrong text: $(cat "$script")"
# Saved, then one insertion: File (Alt+F) > Close, three below New, asks.
clamp
base=$(e2e_shown)
xdotool key alt+f
e2e_wait_shown $((base + 1)) || fail "Alt+F opened no File menu"
xdotool key Down Down Down Return
e2e_wait_window "Confirm" >/dev/null || fail "File > Close dropped the insertion without asking"
echo "function_list: ok"
