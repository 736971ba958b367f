#!/usr/bin/env bash
# Natives of an include folder: Ctrl+Space and Enter complete one (its doc
# comment in a panel beside the list), "(" opens its parameter hint after
# the delay, and the saved file holds the call.
. "$(dirname "$0")/lib.sh"
mkdir -p "$PROGRAM_DIR/include" "$E2E_DIR/work"
printf '/* sounds */\n/// <summary>Beeps <b>loud</b>.</summary>\nnative SoundBeep(freq, ms);\nnative SoundStop();\n' \
  >"$PROGRAM_DIR/include/sound.inc"
printf 'native TextLength(const string[]);\r\n' >"$PROGRAM_DIR/include/text.inc"
script="$E2E_DIR/work/game.pwn"
printf 'main()\n{\n\n}\n' >"$script"
e2e_start_x
e2e_start_app "$script"
win=$(e2e_wait_window "game.pwn - Ludra") || fail "no window titled after the script"
e2e_focus "$win" || fail "the main window did not take the focus"
shown() { e2e_shown; }
wait_shown() { e2e_wait_shown "$1"; }
base=$(shown)
[ "$base" -ge 1 ] || fail "the main window is not found by its class"

xdotool key Down Down
xdotool type --delay 20 "SoundB"
xdotool key ctrl+space
wait_shown $((base + 2)) || fail "Ctrl+Space opened no list with the doc panel"
xdotool key Return
wait_shown "$base" || fail "the list stayed open after Enter"
xdotool type --delay 20 "("
wait_shown $((base + 1)) || fail "no parameter hint after ("
xdotool type --delay 20 "440, 100);"
wait_shown "$base" || fail "the hint stayed open after the call was closed"
xdotool key ctrl+s
e2e_wait_for grep -q '^SoundBeep' "$script" || true
[ "$(cat "$script")" = "$(printf 'main()\n{\nSoundBeep(440, 100);\n}')" ] ||
  fail "saved file is: $(cat "$script")"
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
echo "completion: ok"
