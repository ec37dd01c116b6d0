# Debian packages the scripts need, and a function that installs the missing
# ones (as root) or prints the one apt-get line to run (otherwise).

LUMOX_BUILD_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libsdl2-image-dev libx11-dev libfreetype-dev fonts-dejavu-core libpng-dev
  libsndfile1-dev libpulse-dev ccache cmark-gfm qt6-base-dev
)
LUMOX_TEST_PACKAGES=(
  xvfb xauth xdotool clang libclang-rt-14-dev pulseaudio pulseaudio-utils dpkg-dev libgl1-mesa-dri
  weston
)
# bench/side-by-side: the peer hacks it measures against, and Python for
# editing a settings file.
LUMOX_BENCH_PACKAGES=(
  xvfb xscreensaver-data python3
)
LUMOX_WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools wine64
)

ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
      || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ -z "${LUMOX_APT_UPDATED:-}" ]; then
      apt-get update -qq
      export LUMOX_APT_UPDATED=1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install ${missing[*]}" >&2
    return 1
  fi
}
