#!/usr/bin/env bash
# Compiler messages lead to their lines: F5, then a double click on a message
# in the output window puts the caret on its line (read from the status
# bar's "Ln:" panel), nothing selected; F8 goes on to the next message,
# Enter on a message in the output window goes to it too.
. "$(dirname "$0")/lib.sh"

# A compiler of our own printing a message of every shape: CR LF line ends,
# a range, an include file, a relative path and a fatal error.
cat >"$PROGRAM_DIR/pawncc" <<'SH'
#!/bin/sh
for last; do :; done; set -- "$1" "$2" "$last"
printf '%s(6) : error 001: expected token: ";", but found "new"\r\n' "$3"
printf 'Pawn compiler 3.2.3664\r\n\r\n'
printf '%s(9 -- 11) : warning 215: expression has no effect\r\n' "$3"
printf '%s/include/console.inc(26) : warning 219: local variable "x" shadows a variable\n' "$(dirname "$0")" >&2
printf 'bad.pwn(3) : fatal error 100: cannot read from file: "missing"\n'
printf '\n1 Error.\n'
exit 1
SH
chmod +x "$PROGRAM_DIR/pawncc"

SCRIPT_DIR="$E2E_DIR/my scripts (2)"
mkdir -p "$SCRIPT_DIR"
script="$SCRIPT_DIR/bad.pwn"
for i in $(seq 1 40); do echo "line$i"; done >"$script"

# The pixels of the main window's status bar (its lowest rows), as a checksum.
status_bar() {
  local w h
  read -r w h < <(xwininfo -id "$win" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  import -window "$win" -crop "$((w - 20))x16+0+$((h - 18))" rgb:- 2>/dev/null | md5sum
}

# The status bar shows text (the window has been painted).
status_painted() {
  local w h
  read -r w h < <(xwininfo -id "$win" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  import -window "$win" -crop "$((w - 20))x16+0+$((h - 18))" -colorspace gray -depth 8 gray:- 2>/dev/null |
    od -An -tu1 -v | awk '{ for (i = 1; i <= NF; i++) if ($i < 100) n++ } END { exit n > 20 ? 0 : 1 }'
}
status_is() { [ "$(status_bar)" = "$1" ]; }
status_not() { [ "$(status_bar)" != "$1" ]; }
# The status bar once it differs from $1 (one key or click changes it in one
# repaint); the last one read is kept in $status.
status=""
status_changed_from() {
  e2e_wait_for status_not "$1" || return 1
  status=$(status_bar)
}

# Fails unless the status bar reads, after the action that left it at
# $status, as it does with the caret at the start of line $1 (reached by keys
# from the top), and differently on the next line, where the caret stays.
expect_caret_line() {
  local line=$1 before=$status after
  e2e_focus "$win" || fail "the main window did not take the focus"
  status_changed_from "$before" || fail "the status bar did not change"
  after=$status
  xdotool key ctrl+Home
  [ "$line" -gt 1 ] && xdotool key --repeat $((line - 1)) --delay 10 Down
  e2e_wait_for status_is "$after" || fail "the caret is not at the start of line $line"
  xdotool key Down
  status_changed_from "$after" || fail "the status bar does not show the caret line"
}

# The compile has ended once the output window shows more than its first
# line ("Compiling ..."): the output here has seven lines.
compiled() { [ "$(e2e_dark_rows "$out" 300 150)" -ge 30 ]; }

compile() {
  e2e_focus "$win" || fail "the main window did not take the focus"
  e2e_wait_for status_painted || fail "the status bar shows nothing"
  status=$(status_bar)
  xdotool key F5
  out=$(e2e_wait_window "PAWN Compiler Output") || fail "no output window after F5"
  # "Compiling ..." in the status bar: the state the chosen message changes.
  status_changed_from "$status" || fail "the status bar did not show the compile"
  e2e_wait_for compiled || fail "the output window shows no compiler output"
}

e2e_start_x
e2e_start_app "$script"
win=$(e2e_wait_window "bad.pwn - Ludra") || fail "main window did not appear"

# A double click on the first line of the output: the error on line 6.
compile
e2e_shot messages-output
xdotool mousemove --window "$out" 60 12 click --repeat 2 --delay 80 1
e2e_wait_no_window "PAWN Compiler Output" || fail "a double click on a message left the output window open"
e2e_shot messages-jump
expect_caret_line 6

# F8 goes on to the next message of the script: the range 9 -- 11.
xdotool key F8
expect_caret_line 9
# F8 skips the include file's message; Shift+F8 goes back, and from the
# first message round to the last (the relative path's line 3).
xdotool key F8
expect_caret_line 3
xdotool key shift+F8
status_changed_from "$status" || fail "Shift+F8 did not move"
xdotool key shift+F8
expect_caret_line 6
xdotool key shift+F8
expect_caret_line 3

# Enter on the range's line of the output (the fourth line) goes to line 9
# and selects nothing: typing goes in before the line's text.
compile
e2e_focus "$out" || fail "the output window did not take the focus"
xdotool key ctrl+Home Down Down Down Return
e2e_wait_no_window "PAWN Compiler Output" || fail "Enter on a message left the output window open"
e2e_focus "$win" || fail "the main window did not take the focus back"
xdotool type --delay 20 "X"
xdotool key ctrl+s
e2e_wait_for grep -q '^Xline9$' "$script" || true
expected=$( (for i in $(seq 1 8); do echo "line$i"; done; echo Xline9; for i in $(seq 10 40); do echo "line$i"; done))
[ "$(cat "$script")" = "$expected" ] || fail "after typing over the range the script is: $(head -12 "$script")"

e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
echo "compile_messages: ok"
