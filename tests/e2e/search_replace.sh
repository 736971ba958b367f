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
e2e_focus "$win" || fail "the main window did not take the focus"

# Answers the confirmation with a key once it is on screen. Each occurrence
# shows the dialog in a new window: a key goes only to a window not yet
# answered, once it has the focus.
answered=""
confirm_is_new() {
  local id
  id=$(e2e_window_id "Confirm replace") && [ "$id" != "$answered" ]
}
answer() {
  local id
  e2e_wait_for confirm_is_new || fail "no confirmation before answering $1"
  id=$(e2e_window_id "Confirm replace")
  e2e_focus "$id" || fail "the confirmation did not take the focus"
  xdotool key "$1"
  answered=$id
}

xdotool key ctrl+h
dlg=$(e2e_wait_window "Replace text") || fail "Ctrl+H opened no Replace dialog"
e2e_focus "$dlg" || fail "the Replace dialog did not take the focus"
xdotool type --delay 20 "player"
xdotool key Tab
xdotool type --delay 20 "hero"
xdotool key Return
answer alt+y
answer alt+n
answer alt+a
# All answered: no confirmation is left on screen.
e2e_wait_no_window "Confirm replace" || fail "confirmation still shown after Yes to all"

e2e_focus "$win" || fail "the main window did not take the focus back"
xdotool key ctrl+s
expected=$(printf 'new hero;\nplayer = hero + 1;\nhero++;\nreturn hero;\n' | od -An -tx1)
saved() { [ "$(od -An -tx1 "$script")" = "$expected" ]; }
e2e_wait_for saved || true
[ "$(od -An -tx1 "$script")" = "$expected" ] || fail "saved file is: $(od -c "$script")"
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
echo "search_replace: ok"
