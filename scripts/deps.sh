# Sourced by run.sh, test.sh and bench.sh: installs the Debian packages the
# build, the tests and the program need, only when one is missing.
ludra_need_packages() {
  local missing=()
  local p
  for p in "$@"; do
    [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" = 'install ok installed' ] || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

LUDRA_BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev libgl-dev libxcb1-dev qt6-qpa-plugins fonts-liberation fontconfig shared-mime-info)
# The Debian package's run-time dependencies are found by dpkg-shlibdeps.
LUDRA_PACKAGE_PACKAGES=(dpkg-dev)
LUDRA_TEST_PACKAGES=(libgtest-dev libgmock-dev libpcre2-dev xvfb xauth xdotool x11-apps x11-utils openbox wmctrl xdg-utils desktop-file-utils libfile-mimeinfo-perl imagemagick "${LUDRA_PACKAGE_PACKAGES[@]}")
LUDRA_BENCH_PACKAGES=(libbenchmark-dev libpcre2-dev)
