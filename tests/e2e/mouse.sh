#!/usr/bin/env bash
# The mouse in the real editor: a drag selects the text it passes over, a
# double-click selects one word, and typing replaces what was selected.
. "$(dirname "$0")/lib.sh"
DOC="$E2E_DIR/mouse.pwn"
LINE="alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi omicron pi rho sigma tau"
for _ in $(seq 1 80); do printf '%s\r\n' "$LINE"; done >"$DOC"
cp "$DOC" "$E2E_DIR/original.pwn"

e2e_start_x
e2e_start_app "$DOC"
win=$(e2e_wait_window "mouse.pwn - Ludra") || fail "document window did not appear"
e2e_focus "$win" || fail "the document window did not take the focus"
eval "$(xdotool getwindowgeometry --shell "$win")"
# The editor fills the middle of the window; every row there shows a line.
cx=$((X + WIDTH / 2))
cy=$((Y + HEIGHT / 2))

# The lines that differ from the original, after saving (every step changes
# the document, and X hands the program the save after the step's events).
saved_changed() { ! cmp -s "$E2E_DIR/original.pwn" "$DOC"; }
changed_lines() {
  xdotool key --window "$win" ctrl+s
  e2e_wait_for saved_changed || true
  diff <(tr -d '\r' <"$E2E_DIR/original.pwn") <(tr -d '\r' <"$DOC") | sed -n 's/^> //p' || true
}

# A drag along one row selects what it passes; a typed character replaces it.
xdotool mousemove "$((cx - 120))" "$cy" mousedown 1
for dx in 30 60 90 120 150; do
  xdotool mousemove "$((cx - 120 + dx))" "$cy"
done
if [ -n "${LUDRA_E2E_SHOTS:-}" ]; then import -window root "$LUDRA_E2E_SHOTS/drag.png"; fi
xdotool mouseup 1
xdotool type --delay 50 "Z"
got=$(changed_lines)
[ "$(printf '%s\n' "$got" | grep -c .)" = 1 ] || fail "drag: expected one changed line, got: $got"
case "$got" in *Z*) ;; *) fail "drag: the typed character is missing: $got" ;; esac
removed=$((${#LINE} - ${#got} + 1))
# 150 pixels of a monospaced font are well over ten characters.
[ "$removed" -ge 10 ] || fail "drag selected only $removed characters: $got"
before=${got%%Z*}
after=${got#*Z}
[ "$before$(printf '%s' "$LINE" | cut -c$((${#before} + 1))-$((${#before} + removed)))$after" = "$LINE" ] ||
  fail "drag: the replaced text is not one run of the line: $got"
cp "$DOC" "$E2E_DIR/original.pwn"

# A double-click on a word selects exactly that word.
xdotool mousemove "$cx" "$((cy + 60))" click --repeat 2 --delay 80 1
xdotool type --delay 50 "Q"
got=$(changed_lines)
[ "$(printf '%s\n' "$got" | grep -c .)" = 1 ] || fail "double-click: expected one changed line, got: $got"
words=$(printf '%s' "$got" | tr ' ' '\n')
[ "$(printf '%s\n' "$words" | grep -c '^Q$')" = 1 ] || fail "double-click: no whole word replaced: $got"
[ "$(printf '%s' "$got" | wc -w)" = "$(printf '%s' "$LINE" | wc -w)" ] ||
  fail "double-click: the word count changed: $got"
cp "$DOC" "$E2E_DIR/original.pwn"

# Dragging a selected word drops it, moved, where the pointer is released.
# (A press right after a double-click starts a new gesture.)
xdotool mousemove "$cx" "$((cy - 60))" click --repeat 2 --delay 80 1
xdotool mousemove "$cx" "$((cy - 60))" mousedown 1
for d in 5 10 20 40 60 80; do
  xdotool mousemove "$((cx - 2 * d))" "$((cy - 60 + d))"
done
xdotool mouseup 1
got=$(changed_lines)
[ "$(printf '%s\n' "$got" | grep -c .)" = 2 ] || fail "drag and drop: expected two changed lines, got: $got"
total=$(printf '%s' "$got" | tr -d '\n' | wc -c)
[ "$total" = $((2 * ${#LINE})) ] || fail "drag and drop: text was lost or doubled: $got"
grep -q '  ' <<<"$got" || fail "drag and drop: no word left its place: $got"

e2e_close_window "$win"
# The document was saved, so no question holds the program open.
e2e_wait_exit || fail "program still running after its window was closed"
echo "mouse: ok"
