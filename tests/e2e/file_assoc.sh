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

# Waits for the items to be as wanted.
expect_items() {
  e2e_wait_for check_items "$1" >/dev/null || fail "$(check_items "$1")"
}

# Opens the Options menu with a click on the menu bar's first menu and three
# steps right, then picks "Associate with *.pwn files".
toggle_assoc() {
  local x y
  # The client area's corner (xdotool's own geometry adds the frame twice).
  x=$(xwininfo -id "$win" | awk '/Absolute upper-left X/ { print $4 }')
  y=$(xwininfo -id "$win" | awk '/Absolute upper-left Y/ { print $4 }')
  e2e_focus "$win" || fail "the main window did not take the focus"
  local base
  base=$(e2e_shown)
  xdotool mousemove $((x + 12)) $((y + 10)) click 1
  e2e_wait_shown $((base + 1)) || fail "the menu did not open"
  # Keys reach the open menu in order: the menu bar's fourth menu opens on
  # its first item, "Font"; the association is the third.
  xdotool key Right Right Right Down Down
  e2e_shot assoc-menu
  xdotool key Return
  e2e_wait_shown "$base" || fail "the menu stayed open"
}

e2e_start_x
e2e_start_app
win=$(e2e_wait_window "Ludra") || fail "no main window"
expect_items yes
# The desktop's caches are refreshed in the background.
if command -v update-mime-database >/dev/null; then
  e2e_wait_for test -s "$data/mime/mime.cache" || true
  [ -s "$data/mime/mime.cache" ] || fail "MIME database not refreshed"
fi

toggle_assoc "${LUDRA_E2E_SHOT:-}"
expect_items no
toggle_assoc
expect_items yes
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
# Let the background refreshes end before the directories go.
e2e_wait_background || fail "a desktop refresh did not end"
echo "file_assoc: ok"
