#!/usr/bin/env bash
# Builds the Debian package of a build directory with CPack, installs it with
# dpkg -i, checks what it put where and that the installed saver runs, then
# removes it with dpkg -r and checks that nothing is left behind.
#   deb_install.sh BUILD_DIR
# Exit 77 (skipped) when not root or when this machine already has a lumox
# package installed (that one is not ours to remove).
set -euo pipefail
build=$1

if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: dpkg -i needs root"
  exit 77
fi
if dpkg-query -W -f='${Status}' lumox 2>/dev/null | grep -q "install ok installed"; then
  echo "skipped: a lumox package is already installed here"
  exit 77
fi

work=$(mktemp -d)
installed=0
cleanup() {
  [ "$installed" -eq 1 ] && dpkg -r lumox >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/lumox_*.deb)
echo "package: $(basename "$deb")"

expected=(/usr/bin/lumox /usr/share/man/man1/lumox.1 /usr/share/xscreensaver/config/lumox.xml
          /usr/share/icons/hicolor/48x48/apps/lumox.png /usr/share/icons/hicolor/256x256/apps/lumox.png
          /usr/share/doc/lumox/lumox-guide.html)
contents=$(dpkg-deb -c "$deb")
status=0
if grep -q '/usr/bin/lumox-settings$' <<<"$contents"; then
  expected+=(/usr/bin/lumox-settings /usr/share/applications/lumox-settings.desktop)
  dpkg-deb -f "$deb" Recommends | grep -qw qt6-wayland ||
    { echo "the settings window's Wayland plugin is not recommended"; status=1; }
fi

dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
installed=1
for file in "${expected[@]}"; do
  [ -f "$file" ] || { echo "missing after install: $file"; status=1; }
done
# The packaged saver starts and knows its options.
/usr/bin/lumox --help | grep -q -- "--list" || { echo "installed lumox --help failed"; status=1; }

dpkg -r lumox >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
installed=0
dpkg-query -W -f='${Status}' lumox 2>/dev/null | grep -q "install ok installed" \
  && { echo "still installed after dpkg -r"; status=1; }
for file in "${expected[@]}"; do
  [ ! -e "$file" ] || { echo "left behind after removal: $file"; status=1; }
done
[ "$status" -eq 0 ] && echo "installed and removed cleanly: ${#expected[@]} files"
exit "$status"
