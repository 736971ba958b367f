#!/usr/bin/env bash
# Ctrl+H replaces through the real confirmation dialog: Yes, No, then Yes to
# all; the saved file holds exactly the answered replacements.
. "$(dirname "$0")/lib.sh"
script="$E2E_DIR/work/hero.pwn"
mkdir -p "$E2E_DIR/work"
printf 'new player;\nplayer = player + 1;\nplayer++;\nreturn player;\n' >"$script"
e2e_start_x
e2e_start_app "$script"
win=$(e2e_wait_window "hero.pwn - Ludra") || fail "no window titled after the script"
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 0.3

# Answers the confirmation with a key once it is on screen.
answer() {
  local id
  id=$(e2e_wait_window "Confirm replace") || fail "no confirmation before answering $1"
  xdotool windowactivate --sync "$id" 2>/dev/null || true
  sleep 0.2
  xdotool key "$1"
  # The same dialog comes back for the next occurrence; let this answer land.
  sleep 0.5
}

xdotool key ctrl+h
dlg=$(e2e_wait_window "Replace text") || fail "Ctrl+H opened no Replace dialog"
xdotool windowactivate --sync "$dlg" 2>/dev/null || true
sleep 0.2
xdotool type --delay 20 "player"
xdotool key Tab
xdotool type --delay 20 "hero"
xdotool key Return
answer alt+y
answer alt+n
answer alt+a
# All answered: no confirmation is left on screen.
sleep 0.3
grep -q "Confirm replace" <<<"$(wmctrl -l)" && fail "confirmation still shown after Yes to all"

xdotool windowactivate --sync "$win" 2>/dev/null || true
xdotool key ctrl+s
expected=$(printf 'new hero;\nplayer = hero + 1;\nhero++;\nreturn hero;\n' | od -An -tx1)
for _ in $(seq 1 50); do
  [ "$(od -An -tx1 "$script")" = "$expected" ] && break
  sleep 0.1
done
[ "$(od -An -tx1 "$script")" = "$expected" ] || fail "saved file is: $(od -c "$script")"
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
echo "search_replace: ok"
