#!/usr/bin/env bash
# Three scripts opened one after another are remembered across a restart,
# which opens the last one again; File > Reopen > 2 opens the second newest.
. "$(dirname "$0")/lib.sh"
mkdir -p "$E2E_DIR/work"
for name in first second third; do printf 'main()\n{\n}\n' >"$E2E_DIR/work/$name.pwn"; done
e2e_start_x
e2e_start_app "$E2E_DIR/work/first.pwn"
win=$(e2e_wait_window "first.pwn - Ludra") || fail "first script did not open"
# The other two through the Open dialog: its file name box takes a whole path.
for name in second third; do
  e2e_focus "$win" || fail "the main window did not take the focus"
  xdotool key ctrl+o
  dlg=$(e2e_wait_window "Open") || fail "Ctrl+O opened no Open dialog"
  e2e_focus "$dlg" || fail "the Open dialog did not take the focus"
  xdotool type --delay 10 "$E2E_DIR/work/$name.pwn"
  xdotool key Return
  e2e_wait_window "$name.pwn - Ludra" >/dev/null || fail "$name.pwn did not open"
done
e2e_wait_for grep -q "^File1=$E2E_DIR/work/third.pwn$" "$PROGRAM_DIR/settings.ini" || fail "list not stored: $(cat "$PROGRAM_DIR/settings.ini")"
win=$(e2e_wait_window "third.pwn - Ludra")
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"

e2e_start_app
win=$(e2e_wait_window "third.pwn - Ludra") || fail "the last session did not come back"
e2e_focus "$win" || fail "the main window did not take the focus"
base=$(e2e_shown)
# A click on the File menu, down to
# Reopen (New, Open, Reopen), into it, then its accelerator 2.
xdotool mousemove --window "$win" 20 10 click 1
e2e_wait_shown $((base + 1)) || fail "the File menu did not open"
xdotool key Down Down Down Right
e2e_wait_shown $((base + 2)) || fail "the Reopen menu did not open"
e2e_shot reopen-menu
xdotool key 2
e2e_wait_window "second.pwn - Ludra" >/dev/null || fail "Reopen 2 did not open second.pwn"
e2e_wait_for grep -q "^File1=$E2E_DIR/work/second.pwn$" "$PROGRAM_DIR/settings.ini" || fail "reopened script not moved first"
grep -q "^File2=$E2E_DIR/work/third.pwn$" "$PROGRAM_DIR/settings.ini" || fail "list order wrong: $(cat "$PROGRAM_DIR/settings.ini")"
win=$(e2e_wait_window "second.pwn - Ludra")
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
echo "reopen: ok"
