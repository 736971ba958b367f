# Helpers for the end-to-end tests. The program binary is copied into a fresh
# program directory so settings.ini and friends land there, not in build/.
set -euo pipefail
LUDRA_BIN=$1
E2E_DIR=$(mktemp -d)
PROGRAM_DIR="$E2E_DIR/program"
mkdir -p "$PROGRAM_DIR"
cp "$LUDRA_BIN" "$PROGRAM_DIR/ludra"
# The program associates *.pwn files at start-up: with a home of its own.
export HOME="$E2E_DIR/home"
export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config"
mkdir -p "$HOME"
# The socket through which a later start hands its files to the running
# window lies here, apart from every other test's and the desktop's.
export XDG_RUNTIME_DIR="$E2E_DIR/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
XVFB_PID=""
WM_PID=""
APP_PID=""

# Ends what the test started and removes its folder, keeping the test's own
# exit status: a desktop refresh the program left running in the background
# may still be writing there, so its end is awaited first.
e2e_cleanup() {
  local status=$?
  set +e
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  # The next test may take the same display number once this server is gone.
  [ -n "$XVFB_PID" ] && wait "$XVFB_PID" 2>/dev/null
  e2e_wait_background
  rm -rf "$E2E_DIR" || status=1
  exit "$status"
}
trap e2e_cleanup EXIT
# A test ended by a signal (a runner's time-out) still ends as a failure.
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Every wait is on a condition, with a deadline generous enough for a loaded
# machine: runs the command until it succeeds; fails after E2E_DEADLINE
# seconds (30).
e2e_wait_for() {
  local end=$((SECONDS + ${E2E_DEADLINE:-30}))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.05
  done
}

# The server started answers, or has ended.
e2e_x_settled() { xdpyinfo >/dev/null 2>&1 || ! kill -0 "$XVFB_PID" 2>/dev/null; }

# Starts Xvfb on a free display number, with a window manager so that
# closing, focus and maximizing behave as on a desktop.
e2e_start_x() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    # Without -noreset the server starts over when its last client leaves, and
    # a client connecting in that moment (the window manager after the probe
    # below) is refused.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    # A server that cannot take the number (another one still holds it) ends
    # at once: the next number is tried without waiting for the deadline.
    e2e_wait_for e2e_x_settled >/dev/null 2>&1 || true
    if kill -0 "$XVFB_PID" 2>/dev/null && xdpyinfo >/dev/null 2>&1; then
      openbox --sm-disable >/dev/null 2>&1 &
      WM_PID=$!
      e2e_wait_for wmctrl -m >/dev/null 2>&1 && return 0
    fi
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  done
  echo "could not start Xvfb" >&2
  return 1
}

# Starts the program with the given arguments.
e2e_start_app() {
  ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb "$PROGRAM_DIR/ludra" "$@" >"$E2E_DIR/app.log" 2>&1 &
  APP_PID=$!
}

# The id of the top-level window with exactly this name, as the window
# manager lists them; fails when there is none.
e2e_window_id() {
  local id
  id=$(wmctrl -l 2>/dev/null | awk -v n="$1" '{ t=$0; sub(/^[^ ]+ +[^ ]+ +[^ ]+ /, "", t); if (t == n) { print $1; exit } }' || true)
  [ -n "$id" ] && echo "$id"
}

# Waits for a window with exactly this name; prints its id.
e2e_wait_window() {
  if ! e2e_wait_for e2e_window_id "$1" >/dev/null; then
    echo "no window named '$1'; program log:" >&2
    cat "$E2E_DIR/app.log" >&2
    return 1
  fi
  e2e_window_id "$1"
}

# True when no window's name contains the text.
e2e_no_window() { ! grep -q "$1" <<<"$(wmctrl -l)"; }
# Waits until no window's name contains the text.
e2e_wait_no_window() { e2e_wait_for e2e_no_window "$1"; }

# True when the window has the keyboard focus; asks for it otherwise. Keys
# sent after this reach the window, as X delivers events in order.
e2e_focused() {
  local focus
  focus=$(xdotool getwindowfocus 2>/dev/null || echo 0)
  [ "$((focus))" -eq "$(($1))" ] && return 0
  xdotool windowactivate "$1" >/dev/null 2>&1 || xdotool windowfocus "$1" >/dev/null 2>&1 || true
  return 1
}
# Gives the window the focus and waits until it has it.
e2e_focus() { e2e_wait_for e2e_focused "$1"; }

# The program's shown windows: its top-level windows plus any pop-up (menu,
# list, hint).
# A window that goes while xdotool walks the tree makes the whole search fail,
# so a failed search is tried again before it counts as none shown.
e2e_shown() {
  local out="" try
  for try in 1 2 3 4 5 6 7 8 9 10; do
    out=$(xdotool search --onlyvisible --class ludra 2>/dev/null) && break
    out=""
    sleep 0.05
  done
  grep -c . <<<"$out" || true
}
e2e_shown_is() { [ "$(e2e_shown)" -eq "$1" ]; }
# Waits until the program shows this many windows.
e2e_wait_shown() { e2e_wait_for e2e_shown_is "$1"; }

# Saves a picture of the screen when E2E_SHOTS names a folder.
e2e_shot() {
  [ -n "${E2E_SHOTS:-}" ] || return 0
  mkdir -p "$E2E_SHOTS"
  import -window root "$E2E_SHOTS/$1.png" 2>/dev/null || true
}

# Rows of a window's image (within its left width x top height pixels) that
# hold dark pixels: how many lines of text it shows, times the line height.
e2e_dark_rows() {
  local width=$2 height=$3
  import -window "$1" -crop "${width}x${height}+0+0" -colorspace gray -depth 8 gray:- 2>/dev/null |
    od -An -tu1 -v -w"$width" | awk '{ for (i = 1; i <= NF; i++) if ($i < 100) { n++; break } } END { print n + 0 }'
}

# No process started for the test (the program, a desktop refresh it ran
# in the background) names the test's folder any more.
e2e_background_gone() { ! pgrep -f -- "$E2E_DIR" >/dev/null; }
e2e_wait_background() { e2e_wait_for e2e_background_gone; }

# Asks the window to close, as the title bar's close button does.
e2e_close_window() {
  wmctrl -i -c "$1"
}

e2e_app_gone() {
  kill -0 "$APP_PID" 2>/dev/null && return 1
  wait "$APP_PID" 2>/dev/null || true
  APP_PID=""
}
# Waits until the program has ended.
e2e_wait_exit() { e2e_wait_for e2e_app_gone; }
