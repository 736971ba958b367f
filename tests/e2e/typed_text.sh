#!/usr/bin/env bash
# Text stays as typed. A sentence in a string, typed at 20 keys a second and
# left for longer than the list's delay after its ".", opens no list; in code
# a list opened by the pause closes on Space and lets the Space through;
# Ctrl+V, Ctrl+S and a dialog's shortcut reach the window past such a list;
# Ctrl+Space on a prefix nothing matches shows none, so Enter still breaks
# the line. The saved file holds exactly what was typed.
. "$(dirname "$0")/lib.sh"
mkdir -p "$PROGRAM_DIR/include" "$E2E_DIR/work"
printf 'native argcount();\nnative SendMessage(playerid, color, const message[]);\n' \
  >"$PROGRAM_DIR/include/server.inc"
script="$E2E_DIR/work/fs.pwn"
printf 'main()\n{\n}\n' >"$script"
e2e_start_x
e2e_start_app "$script"
win=$(e2e_wait_window "fs.pwn - Ludra") || fail "no window titled after the script"
e2e_focus "$win" || fail "the main window did not take the focus"
base=$(e2e_shown)
list_shown() { e2e_shown_is $((base + 1)); }
list_gone() { e2e_shown_is "$base"; }

# Dark pixel rows of the function list (the window's right part below the
# filter box): a row more once the script's functions were listed again,
# which happens a second after the last change.
list_rows() {
  local w h
  read -r w h < <(xwininfo -id "$win" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  import -window "$win" -crop "150x$((h - 120))+$((w - 160))+80" -colorspace gray -depth 8 gray:- 2>/dev/null |
    od -An -tu1 -v -w150 | awk '{ for (i = 1; i <= NF; i++) if ($i < 100) { n++; break } } END { print n + 0 }'
}
rows_above() { [ "$(list_rows)" -gt "$1" ]; }
e2e_wait_for rows_above 0 || fail "the function list shows no natives"
rows=$(list_rows)

xdotool key ctrl+End Return
xdotool type --delay 50 'Greet() { SendMessage(playerid, -1, "Welcome to the server.'
# The new function is listed a second after the "." at the earliest.
e2e_wait_for rows_above "$rows" || fail "the script's function was not listed"
list_gone || fail "a list opened inside the string"
xdotool type --delay 50 ' Have fun"); }'
e2e_shot typed-sentence

# In code the pause opens the list; Space closes it and is typed.
xdotool key Return
xdotool type --delay 50 'x.'
e2e_wait_for list_shown || fail "no list after a pause behind x."
xdotool key space
e2e_wait_for list_gone || fail "Space left the list open"
xdotool type --delay 50 'y;'

# Ctrl+V past an open list pastes what was copied (with "." and "(").
xdotool key Return
xdotool type --delay 50 'a.b(c'
xdotool key shift+Home ctrl+c End
xdotool type --delay 50 '.'
e2e_wait_for list_shown || fail "no list after a pause behind ."
xdotool key ctrl+v
e2e_wait_for list_gone || fail "Ctrl+V left the list open"

# A dialog's shortcut past an open list: the list goes, the dialog comes.
xdotool key Return
xdotool type --delay 50 'm.'
e2e_wait_for list_shown || fail "no list after a pause behind m."
xdotool key ctrl+g
goto=$(e2e_wait_window "Go to...") || fail "Ctrl+G did not reach the window"
e2e_focus "$goto" || fail "the Go to dialog did not take the focus"
xdotool key Escape
e2e_wait_no_window "Go to..." || fail "Escape left the Go to dialog open"
e2e_focus "$win" || fail "the main window did not take the focus back"

# Nothing matches COLOR_G: no list, and Enter breaks the line.
xdotool key End
xdotool type --delay 50 ' COLOR_G'
xdotool key ctrl+space Return
xdotool type --delay 50 'z'

# Ctrl+S past an open list saves.
xdotool type --delay 50 '.'
e2e_wait_for list_shown || fail "no list after a pause behind z."
xdotool key ctrl+s
e2e_wait_for list_gone || fail "Ctrl+S left the list open"
expected=$(printf 'main()\n{\n}\nGreet() { SendMessage(playerid, -1, "Welcome to the server. Have fun"); }\nx. y;\na.b(c.a.b(c\nm. COLOR_G\nz.')
e2e_wait_for grep -q '^z\.$' "$script" || true
[ "$(cat "$script")" = "$expected" ] || fail "saved file is: $(cat "$script")"
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
echo "typed_text: ok"
