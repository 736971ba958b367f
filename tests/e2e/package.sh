#!/usr/bin/env bash
# The Debian package: its contents and declared dependencies, then the
# packaged program run from an extracted tree by an unprivileged user. The
# package is packed from this build, as a release build is.
. "$(dirname "$0")/lib.sh"
for tool in cpack dpkg-deb dpkg-shlibdeps setpriv; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/deps.sh installs it)"
done
(cd "$(dirname "$LUDRA_BIN")" && cpack -G DEB -B "$E2E_DIR/pkg" >"$E2E_DIR/cpack.log" 2>&1) ||
  { cat "$E2E_DIR/cpack.log" >&2; fail "cpack failed"; }
deb="$E2E_DIR/pkg/ludra_1.0_amd64.deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$E2E_DIR/pkg")"

info=$(dpkg-deb --info "$deb")
for want in 'Package: ludra' 'Version: 1.0' 'Architecture: amd64' 'Depends: .*libqt6core6 .*' \
  'Depends: .*libqt6gui6 .*' 'Depends: .*libqt6widgets6 .*' 'Depends: .*qt6-qpa-plugins.*'; do
  grep -qx " $want" <<<"$info" || fail "control lacks '$want': $info"
done
contents=$(dpkg-deb --contents "$deb" | awk '{ $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }')
for f in ./usr/lib/ludra/ludra ./usr/lib/ludra/new.pwn './usr/bin/ludra -> ../lib/ludra/ludra' \
  ./usr/share/applications/ludra.desktop ./usr/share/icons/hicolor/scalable/apps/ludra.svg \
  ./usr/share/mime/packages/ludra-pawn.xml; do
  grep -qxF "$f" <<<"$contents" || fail "package lacks $f: $contents"
done

root="$E2E_DIR/root"
dpkg-deb -x "$deb" "$root"
grep -qx 'Exec=/usr/bin/ludra %f' "$root/usr/share/applications/ludra.desktop" || fail "desktop entry"
[ "$(env -u DISPLAY "$root/usr/bin/ludra" --version)" = "Ludra 1.0" ] || fail "--version"
env -u DISPLAY "$root/usr/bin/ludra" --help | grep -q '^Usage: ludra \[SCRIPT\]' || fail "--help"

# The program folder is the system's, not the user's: settings go to ~/.config.
chmod 755 "$E2E_DIR"
chmod a-w "$root/usr/lib/ludra"
script="$HOME/game.pwn"
printf 'main()\n{\n}\n' >"$script"
as_user=()
if [ "$(id -u)" = 0 ]; then
  chown -R 65534:65534 "$HOME"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
e2e_start_x
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb "${as_user[@]}" "$root/usr/bin/ludra" "$script" \
  >"$E2E_DIR/app.log" 2>&1 &
APP_PID=$!
win=$(e2e_wait_window "game.pwn - Ludra") || fail "the packaged program did not open the script"
e2e_shot package
settings="$XDG_CONFIG_HOME/ludra/settings.ini"
e2e_wait_for grep -qx 'FileAssoc=1' "$settings" || fail "no per-user settings: $(cat "$E2E_DIR/app.log")"
e2e_close_window "$win"
e2e_wait_exit || fail "program still running after its window was closed"
grep -q '^WindowW=' "$settings" || fail "geometry not kept in $settings"
[ ! -e "$root/usr/lib/ludra/settings.ini" ] || fail "settings written beside the program"
chmod u+w "$root/usr/lib/ludra"
echo "package: ok"
