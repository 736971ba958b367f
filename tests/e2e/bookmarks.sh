#!/usr/bin/env bash
# Ctrl+Shift+digit sets a bookmark on the real keyboard path; Ctrl+digit goes back to it.
. "$(dirname "$0")/lib.sh"
script="$E2E_DIR/work/marks.pwn"
mkdir -p "$E2E_DIR/work"
printf 'first\nsecond\nthird\nfourth\n' >"$script"
e2e_start_x
e2e_start_app "$script"
win=$(e2e_wait_window "marks.pwn - Ludra") || fail "no window titled after the script"
e2e_focus "$win" || fail "the main window did not take the focus"
xdotool key Down ctrl+shift+3 ctrl+End ctrl+3
xdotool type --delay 20 "X"
xdotool key ctrl+s
e2e_wait_for grep -q '^Xsecond$' "$script" || true
[ "$(cat "$script")" = "$(printf 'first\nXsecond\nthird\nfourth')" ] || fail "saved file is: $(cat "$script")"
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
echo "bookmarks: ok"
