#!/usr/bin/env bash
# Natives of an include folder: Ctrl+Space and Enter complete one, "(" opens
# its parameter hint after the delay, and the saved file holds the call.
. "$(dirname "$0")/lib.sh"
mkdir -p "$PROGRAM_DIR/include" "$E2E_DIR/work"
printf '/* sounds */\nnative SoundBeep(freq, ms);\nnative SoundStop();\n' \
  >"$PROGRAM_DIR/include/sound.inc"
printf 'native TextLength(const string[]);\r\n' >"$PROGRAM_DIR/include/text.inc"
script="$E2E_DIR/work/game.pwn"
printf 'main()\n{\n\n}\n' >"$script"
e2e_start_x
e2e_start_app "$script"
win=$(e2e_wait_window "game.pwn - Ludra") || fail "no window titled after the script"
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 0.3

# The program's shown windows: the main window plus any pop-up.
shown() { xdotool search --onlyvisible --class ludra 2>/dev/null | wc -l; }
# Waits up to 3 seconds until the number of shown windows is $1.
wait_shown() {
  for _ in $(seq 1 30); do
    [ "$(shown)" -eq "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
base=$(shown)
[ "$base" -ge 1 ] || fail "the main window is not found by its class"

xdotool key Down Down
xdotool type --delay 20 "SoundB"
xdotool key ctrl+space
wait_shown $((base + 1)) || fail "Ctrl+Space opened no list"
xdotool key Return
wait_shown "$base" || fail "the list stayed open after Enter"
xdotool type --delay 20 "("
wait_shown $((base + 1)) || fail "no parameter hint after ("
xdotool type --delay 20 "440, 100);"
wait_shown "$base" || fail "the hint stayed open after the call was closed"
xdotool key ctrl+s
for _ in $(seq 1 50); do
  grep -q '^SoundBeep' "$script" && break
  sleep 0.1
done
[ "$(cat "$script")" = "$(printf 'main()\n{\nSoundBeep(440, 100);\n}')" ] ||
  fail "saved file is: $(cat "$script")"
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
echo "completion: ok"
