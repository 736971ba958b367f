#!/usr/bin/env bash
# Start-up associates *.pwn files with the program on the desktop; the
# Options menu's "Associate with *.pwn files" switches it off and on again.
. "$(dirname "$0")/lib.sh"
data="$XDG_DATA_HOME" config="$XDG_CONFIG_HOME"
entry="$data/applications/ludra.desktop"
items=("$data/icons/hicolor/scalable/apps/ludra.svg" "$entry" "$data/mime/packages/ludra-pawn.xml")

# Every item written (yes) or none (no); prints what differs.
check_items() {
  local want=$1 f
  for f in "${items[@]}"; do
    if [ "$want" = yes ]; then
      [ -s "$f" ] || { echo "missing $f"; return 1; }
    else
      [ ! -e "$f" ] || { echo "left $f"; return 1; }
    fi
  done
  if [ "$want" = yes ]; then
    grep -qx "Exec=$PROGRAM_DIR/ludra %f" "$entry" || { echo "entry: $(cat "$entry")"; return 1; }
    grep -qx 'text/x-pawn=ludra.desktop;' "$config/mimeapps.list" || { echo "no default"; return 1; }
    grep -qx 'FileAssoc=1' "$PROGRAM_DIR/settings.ini" || { echo "FileAssoc not 1"; return 1; }
  else
    ! grep -q '^text/x-pawn=' "$config/mimeapps.list" || { echo "default left"; return 1; }
    grep -qx 'FileAssoc=0' "$PROGRAM_DIR/settings.ini" || { echo "FileAssoc not 0"; return 1; }
  fi
}

# Waits up to five seconds for the items to be as wanted.
expect_items() {
  local why
  for _ in $(seq 1 50); do
    why=$(check_items "$1") && return 0
    sleep 0.1
  done
  fail "$why"
}

# Opens the Options menu with a click on the menu bar's first menu and three
# steps right, then picks "Associate with *.pwn files".
toggle_assoc() {
  local x y
  # The client area's corner (xdotool's own geometry adds the frame twice).
  x=$(xwininfo -id "$win" | awk '/Absolute upper-left X/ { print $4 }')
  y=$(xwininfo -id "$win" | awk '/Absolute upper-left Y/ { print $4 }')
  xdotool mousemove $((x + 12)) $((y + 10)) click 1
  sleep 0.5
  xdotool key Right Right Right
  sleep 0.8
  # The menu opens on its first item, "Font"; the association is the third.
  xdotool key Down Down
  if [ -n "${1:-}" ]; then sleep 1; import -window root "$1"; fi
  xdotool key Return
}

e2e_start_x
e2e_start_app
win=$(e2e_wait_window "Ludra") || fail "no main window"
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 0.3
expect_items yes
# The desktop's caches are refreshed in the background.
if command -v update-mime-database >/dev/null; then
  for _ in $(seq 1 50); do [ -s "$data/mime/mime.cache" ] && break; sleep 0.1; done
  [ -s "$data/mime/mime.cache" ] || fail "MIME database not refreshed"
fi

toggle_assoc "${LUDRA_E2E_SHOT:-}"
expect_items no
toggle_assoc
expect_items yes
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
# Let the background refreshes end before the directories go.
sleep 0.5
echo "file_assoc: ok"
