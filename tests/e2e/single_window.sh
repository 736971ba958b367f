#!/usr/bin/env bash
# One window per user and display: a second start hands its script to the
# running window and ends; after the window was killed its stale socket is
# replaced; a window that does not answer is given up on, and the start
# opens a window of its own.
. "$(dirname "$0")/lib.sh"
mkdir -p "$E2E_DIR/work"
for name in first second third fourth; do printf 'main()\n{\n}\n' >"$E2E_DIR/work/$name.pwn"; done
# A second start in the foreground, from another folder: true when it ended
# by itself with status 0.
second_start() {
  (cd "$E2E_DIR/work" && ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb timeout 60 "$PROGRAM_DIR/ludra" "$@") >>"$E2E_DIR/second.log" 2>&1
}
windows() { wmctrl -l | grep -c -- "- Ludra$" || true; }

e2e_start_x
e2e_start_app "$E2E_DIR/work/first.pwn"
e2e_wait_window "first.pwn - Ludra" >/dev/null || fail "first script did not open"
second_start second.pwn || fail "the second start did not end well: $(cat "$E2E_DIR/second.log")"
win=$(e2e_wait_window "second.pwn - Ludra") || fail "the running window did not open the handed-over script"
[ "$(windows)" -eq 1 ] || fail "a second window opened: $(wmctrl -l)"
e2e_shot single-window

# Killed: its socket stays behind, and the next start replaces it.
kill -KILL "$APP_PID"
e2e_wait_exit
e2e_start_app "$E2E_DIR/work/third.pwn"
e2e_wait_window "third.pwn - Ludra" >/dev/null || fail "no window after a stale socket"
second_start "$E2E_DIR/work/first.pwn" || fail "hand-over after a stale socket failed: $(cat "$E2E_DIR/second.log")"
win=$(e2e_wait_window "first.pwn - Ludra") || fail "the new window did not take the hand-over"

# Stopped: it cannot answer, and a start opens a window of its own.
kill -STOP "$APP_PID"
stopped=$APP_PID
e2e_start_app "$E2E_DIR/work/fourth.pwn"
e2e_wait_window "fourth.pwn - Ludra" >/dev/null || fail "no window of its own beside a stopped one"
kill -CONT "$stopped"
e2e_close_window "$(e2e_window_id "fourth.pwn - Ludra")"
e2e_wait_exit || fail "the second window did not end"
APP_PID=$stopped
e2e_close_window "$win"
e2e_wait_exit || fail "the first window did not end"
echo "single_window: ok"
