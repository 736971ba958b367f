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
xdotool windowactivate --sync "$win" 2>/dev/null || true
eval "$(xdotool getwindowgeometry --shell "$win")"
clamp() { xdotool mousemove $((X + WIDTH - 90)) $((Y + HEIGHT / 2)) click --repeat 2 --delay 80 1 sleep 0.3; }
line3() { xdotool key ctrl+s sleep 0.7 && sed -n 3p "$script"; }
xdotool key Down Down && clamp && xdotool key End type "abc" && xdotool key Home && clamp
[ "$(line3)" = "clamp()clamp()abc" ] || fail "after two insertions: $(cat "$script")"
xdotool key ctrl+z
[ "$(line3)" = "clamp()abc" ] || fail "undo took back the wrong text: $(cat "$script")"
# Saved, then one insertion: File (Alt+F) > Close, three below New, asks.
clamp && xdotool key alt+f sleep 0.3 key Down Down Down Return
e2e_wait_window "Confirm" >/dev/null || fail "File > Close dropped the insertion without asking"
echo "function_list: ok"
