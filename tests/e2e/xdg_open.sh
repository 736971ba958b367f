#!/usr/bin/env bash
# A fresh install under a temporary prefix: its first start associates *.pwn
# files, after which the desktop's xdg-open opens a script in Ludra. In a bare
# X session (no desktop named in XDG_CURRENT_DESKTOP) xdg-open takes the type
# from the shared MIME database and the handler from mimeapps.list, and runs
# the entry's first word as the program, so a folder whose name needs quoting
# is reached through the launcher link; a second install there takes the
# association over from the first.
. "$(dirname "$0")/lib.sh"
for tool in xdg-open mimetype update-mime-database; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/deps.sh installs it)"
done
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION GNOME_DESKTOP_SESSION_ID KDE_FULL_SESSION
script="$E2E_DIR/work/game.pwn"
mkdir -p "$E2E_DIR/work"
printf 'main()\n{\n}\n' >"$script"
e2e_start_x

# Installs into the prefix, starts the program once, then opens the script with xdg-open.
open_with_xdg() {
  local prefix=$1 exec=$2 win pid opener
  cmake --install "$(dirname "$LUDRA_BIN")" --prefix "$prefix" >/dev/null
  for f in ludra new.pwn ludra.svg; do [ -f "$prefix/$f" ] || fail "install lacks $f"; done
  PROGRAM_DIR="$prefix"
  e2e_start_app
  win=$(e2e_wait_window "Ludra") || fail "no main window"
  e2e_wait_for test -s "$XDG_DATA_HOME/mime/globs2" || true
  grep -q ':text/x-pawn:\*\.pwn$' "$XDG_DATA_HOME/mime/globs2" || fail "MIME database lacks *.pwn"
  e2e_close_window "$win"
  e2e_wait_exit || fail "first start did not end"
  grep -qxF "Exec=$exec %f" "$XDG_DATA_HOME/applications/ludra.desktop" ||
    fail "entry: $(grep Exec "$XDG_DATA_HOME/applications/ludra.desktop")"

  [ "$(xdg-mime query filetype "$script")" = text/x-pawn ] || fail "type of a .pwn file: $(xdg-mime query filetype "$script")"
  [ "$(xdg-mime query default text/x-pawn)" = ludra.desktop ] || fail "default: $(xdg-mime query default text/x-pawn)"
  ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb xdg-open "$script" >"$E2E_DIR/xdg-open.log" 2>&1 &
  opener=$!
  win=$(e2e_wait_window "game.pwn - Ludra") || { cat "$E2E_DIR/xdg-open.log" >&2; fail "xdg-open did not open the script in Ludra from $prefix"; }
  if [ -n "${LUDRA_E2E_SHOT:-}" ]; then xwd -root -silent >"$LUDRA_E2E_SHOT"; fi
  pid=$(xdotool getwindowpid "$win")
  [ "$(readlink -f "/proc/$pid/exe")" = "$(readlink -f "$prefix/ludra")" ] || fail "opened by $(readlink "/proc/$pid/exe")"
  APP_PID=$pid
  e2e_close_window "$win"
  e2e_wait_exit || fail "program still running after its window was closed"
  wait "$opener" 2>/dev/null || true
  e2e_wait_background || fail "a desktop refresh did not end"
}

open_with_xdg "$E2E_DIR/prefix" "$E2E_DIR/prefix/ludra"
open_with_xdg "$E2E_DIR/Ludra's \"tools\" 1" "$XDG_DATA_HOME/ludra/ludra"
[ "$(readlink "$XDG_DATA_HOME/ludra/ludra")" = "$E2E_DIR/Ludra's \"tools\" 1/ludra" ] || fail "launcher"
echo "xdg_open: ok"
