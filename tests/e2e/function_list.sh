#!/usr/bin/env bash
# A double-click in the function list inserts the call as an edit: Undo takes
# back exactly it, and File > Close asks before dropping it.
. "$(dirname "$0")/lib.sh"
mkdir -p "$PROGRAM_DIR/include" "$E2E_DIR/work"
# One name on every row, so a double-click anywhere in the list's middle hits it.
for _ in $(seq 1 80); do printf 'native clamp(value, min, max);\n'; done >"$PROGRAM_DIR/include/core.inc"
script="$E2E_DIR/work/game.pwn"
printf 'main()\n{\n\n}\n' >"$script"
e2e_start_x
e2e_start_app "$script"
win=$(e2e_wait_window "game.pwn - Ludra") || fail "no window titled after the script"
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$win")"
list_x=$((X + WIDTH - 90))
list_y=$((Y + HEIGHT / 2))
insert_clamp() {
  xdotool mousemove "$list_x" "$list_y" click --repeat 2 --delay 80 1
  sleep 0.3
}
saved_line() {
  xdotool key ctrl+s
  sleep 0.7
  sed -n 3p "$script"
}

xdotool key Down Down
insert_clamp
xdotool key End
xdotool type --delay 20 "abc"
xdotool key Home
insert_clamp
e2e_shot function_list_inserted
[ "$(saved_line)" = "clamp()clamp()abc" ] || fail "after two insertions: $(cat "$script")"
xdotool key ctrl+z
[ "$(saved_line)" = "clamp()abc" ] || fail "undo took back the wrong text: $(cat "$script")"

# Saved and unchanged: an insertion makes the script modified.
insert_clamp
# File > Close: the menu opens on New; Close is three below (past Reopen).
xdotool key alt+f
sleep 0.3
e2e_shot file_menu
xdotool key Down Down Down Return
question=$(e2e_wait_window "Confirm") || fail "File > Close dropped the insertion without asking"
xdotool windowactivate --sync "$question" 2>/dev/null || true
xdotool key Escape
e2e_wait_no_window "Confirm" || fail "the question stayed open"
[ -n "$(e2e_wait_window "game.pwn - Ludra")" ] || fail "Cancel closed the script"
e2e_close_window "$win"
e2e_wait_window "Confirm" >/dev/null || fail "closing the window did not ask"
xdotool key n
e2e_wait_exit || fail "program still running after No"
[ "$(sed -n 3p "$script")" = "clamp()abc" ] || fail "No saved the file: $(cat "$script")"
echo "function_list: ok"
