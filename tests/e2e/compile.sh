#!/usr/bin/env bash
# Compiling from the real program: F5 on a script with a mistake opens the
# output window with the compiler's messages and leaves no compiled file;
# after the mistake is fixed in the editor, F5 saves and compiles it.
. "$(dirname "$0")/lib.sh"

# A compiler of our own: it fails on a script that still holds the mistake.
cat >"$PROGRAM_DIR/pawncc" <<'SH'
#!/bin/sh
printf '%s\n' "$PWD" "$@" >>"$(dirname "$0")/compiler.log"
for last; do :; done; set -- "$1" "$2" "$last"
echo "Pawn compiler 3.2.3664"
echo ""
if grep -q 'scor;' "$3"; then
  echo "$3(4) : error 017: undefined symbol \"scor\""
  echo "$3(4) : warning 215: expression has no effect" >&2
  echo ""
  echo "1 Error."
  exit 1
fi
echo "Header size:            200 bytes"
echo "Code size:              156 bytes"
echo "Total requirements:   16740 bytes"
printf 'AMX' >"${3%.*}.amx"
SH
chmod +x "$PROGRAM_DIR/pawncc"

SCRIPT_DIR="$E2E_DIR/my scripts"
mkdir -p "$SCRIPT_DIR"
printf 'main()\n{\n    new score = 1;\n    return scor;\n}\n' >"$SCRIPT_DIR/bad.pwn"

e2e_start_x
e2e_start_app "$SCRIPT_DIR/bad.pwn"
win=$(e2e_wait_window "bad.pwn - Ludra") || fail "main window did not appear"
e2e_focus "$win" || fail "the main window did not take the focus"

# The compile has ended once the output window shows more than its first
# line ("Compiling ..."): every output here has five lines.
compiled() { [ "$(e2e_dark_rows "$out" 300 150)" -ge 30 ]; }

xdotool key F5
out=$(e2e_wait_window "PAWN Compiler Output") || fail "no output window after F5"
e2e_wait_for compiled || fail "the output window shows no compiler output"
e2e_wait_for test -s "$PROGRAM_DIR/compiler.log" || fail "the compiler did not run"
mapfile -t log <"$PROGRAM_DIR/compiler.log"
[ "${log[0]}" = "$SCRIPT_DIR" ] || fail "compiler ran in '${log[0]}'"
[ "${log[1]} ${log[2]}" = "-;+ -(+" ] || fail "compiler switches: ${log[1]} ${log[2]}"
[ "${log[3]}" = "-i$PROGRAM_DIR/include" ] || fail "compiler include folder: ${log[3]}"
[ "${log[4]}" = "$SCRIPT_DIR/bad.pwn" ] || fail "compiler script argument: ${log[4]}"
[ ! -e "$SCRIPT_DIR/bad.amx" ] || fail "a failed compile left a compiled file"
read -r w h < <(xwininfo -id "$out" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
[ "$w" -ge 560 ] && [ "$w" -le 616 ] && [ "$h" -ge 300 ] && [ "$h" -le 355 ] ||
  fail "output window is ${w}x${h}"
e2e_shot compile-failed

# Escape closes the output window; the main window takes input again.
e2e_focus "$out" || fail "the output window did not take the focus"
xdotool key Escape
e2e_wait_no_window "PAWN Compiler Output" || fail "Escape did not close the output window"

# Fix the mistake: the modified script is saved before it is compiled.
e2e_focus "$win" || fail "the main window did not take the focus back"
xdotool key ctrl+Home Down Down Down End BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 30 "score;"
xdotool key F5
out=$(e2e_wait_window "PAWN Compiler Output") || fail "no output window after the second F5"
grep -q 'return score;' "$SCRIPT_DIR/bad.pwn" || fail "the fixed script was not saved before compiling"
e2e_wait_for compiled || fail "the output window shows no compiler output"
[ -f "$SCRIPT_DIR/bad.amx" ] || fail "no compiled file after the fixed compile"
e2e_shot compile-succeeded
e2e_focus "$out" || fail "the output window did not take the focus"
xdotool key Escape
e2e_wait_no_window "PAWN Compiler Output" || fail "Escape did not close the output window"

e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
echo "compile: ok"
