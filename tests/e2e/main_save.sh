#!/usr/bin/env bash
# A script named on the command line opens; typed text is saved with Ctrl+S.
# File > Exit through its mnemonics asks once about a later change: No ends.
. "$(dirname "$0")/lib.sh"
script="$E2E_DIR/work/game.pwn"
mkdir -p "$E2E_DIR/work"
printf 'main()\n{\n}\n' >"$script"
e2e_start_x
e2e_start_app "$script"
win=$(e2e_wait_window "game.pwn - Ludra") || fail "no window titled after the script"
e2e_focus "$win" || fail "the main window did not take the focus"
xdotool type --delay 20 "new x;"
xdotool key Return
xdotool key ctrl+s
first_line_typed() { [ "$(head -n 1 "$script")" = 'new x;' ]; }
e2e_wait_for first_line_typed || true
[ "$(head -n 2 "$script")" = "$(printf 'new x;\nmain()')" ] || fail "saved file is: $(cat "$script")"
[ "$(wc -l <"$script")" -eq 4 ] || fail "saved file has $(wc -l <"$script") lines"
# Saving keeps the caption; a modified document would ask before closing.
[ -n "$(e2e_wait_window "game.pwn - Ludra")" ] || fail "caption changed"
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed (a question?)"
e2e_start_app "$script"
win=$(e2e_wait_window "game.pwn - Ludra") || fail "the script did not open again"
e2e_focus "$win" || fail "the main window did not take the focus"
xdotool type --delay 20 "dropped"
xdotool key alt+f x
confirm=$(e2e_wait_window "Confirm") || fail "Alt+F, X asked nothing about the change"
e2e_focus "$confirm" || fail "the question did not take the focus"
xdotool key n
e2e_wait_exit || fail "program still running after No (asked again?)"
[ "$(head -n 1 "$script")" = 'new x;' ] || fail "the dropped change was saved: $(cat "$script")"
grep -q '^FileAssoc=1' "$PROGRAM_DIR/settings.ini" || fail "settings.ini lacks FileAssoc"
grep -q '^WindowW=' "$PROGRAM_DIR/settings.ini" || fail "geometry not stored on close"
echo "main_save: ok"
