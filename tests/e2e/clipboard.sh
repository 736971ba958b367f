#!/usr/bin/env bash
# Pasting what another program holds on the clipboard: a large text sent in
# pieces and the private block come in whole; an owner that never answers is
# asked once, the window keeps answering while the paste waits, and a key
# pressed meanwhile takes effect after it.
. "$(dirname "$0")/lib.sh"
OWNER_BIN=$2
OWNER_PID=""

# Starts the clipboard owner in place of the last one. Each ends at the
# latest with the X server.
start_owner() {
  if [ -n "$OWNER_PID" ]; then
    kill "$OWNER_PID"
    wait "$OWNER_PID" 2>/dev/null || true
  fi
  "$OWNER_BIN" "$@" >"$E2E_DIR/owner.log" 2>&1 &
  OWNER_PID=$!
  e2e_wait_for grep -q "owner ready" "$E2E_DIR/owner.log" || fail "the clipboard owner did not start"
}
# The saved script, line ends and blank lines at its end aside, is the file named.
saved_is() { tr -d '\r' <"$E2E_DIR/script.pwn" | diff -qB - "$1" >/dev/null; }

e2e_start_x
: >"$E2E_DIR/script.pwn"
e2e_start_app "$E2E_DIR/script.pwn"
win=$(e2e_wait_window "script.pwn - Ludra") || fail "main window did not appear"
e2e_focus "$win" || fail "the main window did not take the focus"

# 300 KB of UTF-8 text, sent in 64 KB pieces, is saved in the code page.
seq 1 12000 | sed 's/.*/caf\xc3\xa9 na\xc3\xafve line &/' >"$E2E_DIR/text.utf8"
iconv -f UTF-8 -t WINDOWS-1252 "$E2E_DIR/text.utf8" >"$E2E_DIR/expected"
start_owner serve "$E2E_DIR/text.utf8"
xdotool key ctrl+v ctrl+s
e2e_wait_for saved_is "$E2E_DIR/expected" || fail "the large paste was not saved whole"

# The private block wins over the plain text and keeps its line mode.
printf '\001whole line\r\n\000' >"$E2E_DIR/block"
printf 'plain' >"$E2E_DIR/plain"
printf 'whole line\n' >"$E2E_DIR/expected"
start_owner serve "$E2E_DIR/plain" "$E2E_DIR/block"
xdotool key ctrl+a Delete ctrl+v ctrl+s
e2e_wait_for saved_is "$E2E_DIR/expected" || fail "the block was not pasted in line mode"

# An owner that never answers: the window answers a ping during the wait,
# Ctrl+F pressed meanwhile opens the search after it, and the owner was
# asked once.
start_owner silent "$win"
xdotool key ctrl+v ctrl+f
e2e_wait_for grep -q "pong" "$E2E_DIR/owner.log" || fail "no ping sent"
grep -q "^pong" "$E2E_DIR/owner.log" || fail "the window did not answer while the paste waited"
e2e_wait_window "Search Text" >/dev/null || fail "the key pressed during the paste was lost"
[ "$(grep -c '^request' "$E2E_DIR/owner.log")" -eq 1 ] || fail "the owner was asked more than once"
echo "clipboard: ok ($(grep '^pong' "$E2E_DIR/owner.log"))"
