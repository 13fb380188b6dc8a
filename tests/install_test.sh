#!/bin/sh
# Installs the build into a scratch prefix and unpacks the Debian package into a scratch root;
# both must hold working programs, their manual pages and a valid desktop entry.
# Usage: install_test.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorrel-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
check_tree() {
  root=$1
  "$root/bin/quorrel-cli" --help | grep -q "Usage: quorrel-cli" || fail "$root: quorrel-cli --help"
  for page in quorrel quorrel-cli; do
    [ -z "$(man --warnings -l "$root/share/man/man1/$page.1" 2>&1 >/dev/null)" ] ||
      fail "$root: manual page $page"
  done
  desktop-file-validate "$root/share/applications/quorrel.desktop" || fail "$root: desktop entry"
  [ -s "$root/share/icons/hicolor/scalable/apps/quorrel.svg" ] || fail "$root: icon"
  # The dialog starts and stays up until it is closed (here: until the time limit).
  status=0
  QT_QPA_PLATFORM=offscreen timeout 3 "$root/bin/quorrel" >/dev/null 2>&1 || status=$?
  [ "$status" -eq 124 ] || fail "$root: quorrel did not start (status $status)"
}
check_tree "$scratch/prefix"

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null) || fail "cpack"
deb=$(ls "$scratch"/quorrel_*.deb) || fail "no package built"
depends=$(dpkg-deb --field "$deb" Depends)
echo "$depends" | grep -q "libc6" || fail "dependencies not computed"
echo "$depends" | grep -q "libqt6widgets6" || fail "Qt missing from the dependencies"
echo "$depends" | grep -q "libzip4" || fail "libzip missing from the dependencies"
dpkg -x "$deb" "$scratch/root"
check_tree "$scratch/root/usr"
