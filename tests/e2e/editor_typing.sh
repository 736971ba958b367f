#!/usr/bin/env bash
# Typing into the editor: a typed keyword is painted in the keyword colour,
# and deleting it again with Backspace leaves no keyword colour behind.
. "$(dirname "$0")/lib.sh"

# Counts the pixels of a window that pass an awk test on their blue, green
# and red values $1, $2, $3. Reads the window's xwd image, 32 bits per pixel
# in the server's byte order (blue first on this server).
count_pixels() {
  local file="$E2E_DIR/shot.xwd" header ncolors
  xwd -id "$1" -silent >"$file"
  header=$(od -An -tu4 --endian=big -j 0 -N 4 "$file" | tr -d ' ')
  ncolors=$(od -An -tu4 --endian=big -j 76 -N 4 "$file" | tr -d ' ')
  od -An -tu1 -v -w4 -j $((header + ncolors * 12)) "$file" |
    awk "$2"' { n++ } END { print n + 0 }'
}
# The clearly blue pixels (keywords are blue; anti-aliased glyphs still have
# a core of such pixels).
blue_pixels() { count_pixels "$1" '$1 > 160 && $2 < 110 && $3 < 110'; }
# The window is painted once its menu and text show black pixels.
painted() { [ "$(count_pixels "$win" '$1 < 40 && $2 < 40 && $3 < 40')" -gt 100 ]; }

# Waits until the blue count satisfies a test, so a late repaint is not missed.
blue_is() {
  n=$(blue_pixels "$win")
  eval "[ $n $1 ]"
}
wait_blue() {
  local n="" ok=0
  e2e_wait_for blue_is "$1" || ok=1
  echo "$n"
  return $ok
}

e2e_start_x
# A script without keywords, so the editor is open for typing.
printf 'plain text\n' >"$E2E_DIR/script.pwn"
e2e_start_app "$E2E_DIR/script.pwn"
win=$(e2e_wait_window "script.pwn - Ludra") || fail "main window did not appear"
e2e_focus "$win" || fail "the main window did not take the focus"

# Other parts of the window (tool bar images) may be blue too: counts are
# compared with the one before typing, once the window is painted.
e2e_wait_for painted || fail "the main window was not painted"
before=$(blue_pixels "$win")

xdotool type --delay 40 "new value;"
typed=$(wait_blue "-gt $((before + 20))") || fail "typed keyword not painted blue ($typed, before $before)"

# Ten Backspaces remove the line's text, keyword included.
for _ in $(seq 1 10); do xdotool key BackSpace; done
after=$(wait_blue "-le $((before + 2))") || fail "keyword colour left after deleting ($after, before $before)"

# The document is modified now; the clean-up ends the program.
echo "editor_typing: ok (blue pixels $before -> $typed -> $after)"
