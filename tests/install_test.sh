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
  man -l "$root/share/man/man1/quorrel-cli.1" >/dev/null 2>&1 || fail "$root: manual page"
}
check_tree "$scratch/prefix"

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null) || fail "cpack"
deb=$(ls "$scratch"/quorrel_*.deb) || fail "no package built"
dpkg-deb --field "$deb" Depends | grep -q "libc6" || fail "dependencies not computed"
dpkg -x "$deb" "$scratch/root"
check_tree "$scratch/root/usr"
