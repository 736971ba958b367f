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
XVFB_PID=""
WM_PID=""
APP_PID=""

e2e_cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

# Starts Xvfb on a free display number.
e2e_start_x() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
      if xdpyinfo >/dev/null 2>&1; then
        # A window manager, so that closing, focus and maximizing behave as on a desktop.
        openbox --sm-disable >/dev/null 2>&1 &
        WM_PID=$!
        sleep 0.5
        return 0
      fi
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
  done
  echo "could not start Xvfb" >&2
  return 1
}

# Starts the program with the given arguments.
e2e_start_app() {
  ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb "$PROGRAM_DIR/ludra" "$@" >"$E2E_DIR/app.log" 2>&1 &
  APP_PID=$!
}

# Waits for a window with exactly this name; prints its id.
e2e_wait_window() {
  local name=$1 id
  for _ in $(seq 1 100); do
    # Top-level windows only, as the window manager lists them.
    id=$(wmctrl -l 2>/dev/null | awk -v n="$name" '{ t=$0; sub(/^[^ ]+ +[^ ]+ +[^ ]+ /, "", t); if (t == n) { print $1; exit } }' || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  echo "no window named '$name'; program log:" >&2
  cat "$E2E_DIR/app.log" >&2
  return 1
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Runs the command until it succeeds; fails after 10 seconds. For effects the
# program brings about after the window a test waits for has appeared (a file
# the compiler writes, a settings write that follows a caption change).
e2e_wait_for() {
  for _ in $(seq 1 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Saves a picture of the screen when E2E_SHOTS names a folder.
e2e_shot() {
  [ -n "${E2E_SHOTS:-}" ] || return 0
  mkdir -p "$E2E_SHOTS"
  import -window root "$E2E_SHOTS/$1.png" 2>/dev/null || true
}

# Waits until no window's name contains the text; fails after 10 seconds.
e2e_wait_no_window() {
  for _ in $(seq 1 100); do
    grep -q "$1" <<<"$(wmctrl -l)" || return 0
    sleep 0.1
  done
  return 1
}

# Asks the window to close, as the title bar's close button does.
e2e_close_window() {
  wmctrl -i -c "$1"
}

# Waits until the program has ended; fails after 10 seconds.
e2e_wait_exit() {
  for _ in $(seq 1 100); do
    kill -0 "$APP_PID" 2>/dev/null || { wait "$APP_PID" 2>/dev/null || true; APP_PID=""; return 0; }
    sleep 0.1
  done
  return 1
}
