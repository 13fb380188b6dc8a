#!/bin/sh
# Installs, on Debian 12, whatever the build, the demo and the tests need and is missing.
# Safe to run again: it does nothing when everything is there.
#   sh scripts/setup-debian.sh         what building and the demo need
#   sh scripts/setup-debian.sh test    that, and what the test suite needs besides (LibreOffice,
#                                      which opens our .sxw archives in the interoperability test;
#                                      xmllint, which parses the complete reading's content.xml;
#                                      clang with its sanitizer and libFuzzer runtimes, and the
#                                      symbolizer that makes their reports readable; libwpd's
#                                      wpd2text and wp2latex, the peers the complete reading's
#                                      fidelity test measures against; jing, which validates
#                                      our .odt parts against the ODF schemas, and pdffonts,
#                                      which shows the fonts of a rendered page)
#   sh scripts/setup-debian.sh bench   that, and what the benchmarks need besides
set -eu

packages="make cmake g++ pkg-config libgtest-dev libgmock-dev libzip-dev unzip qt6-base-dev
libbenchmark-dev dpkg-dev desktop-file-utils man-db"

for group in "$@"; do
  case "$group" in
    test) packages="$packages libreoffice-writer-nogui libxml2-utils clang libclang-rt-14-dev
      llvm-14 libwpd-tools wp2latex jing poppler-utils" ;;
    bench) packages="$packages time" ;;
    *)
      echo "usage: sh scripts/setup-debian.sh [test] [bench]" >&2
      exit 2
      ;;
  esac
done

missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages:$missing" >&2
  echo "setup: run this script as root, or install them with apt-get" >&2
  exit 1
fi
echo "setup: installing$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing >/dev/null
