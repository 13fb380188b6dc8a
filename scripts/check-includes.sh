#!/bin/sh
# Folder dependencies point one way: front ends (cli, desktop) -> shell -> batch -> readers and
# converters (readers, convert) -> recognition -> writers (writers, then output) -> document
# -> io. Folders of one rank (readers and convert) do not include each other either.
# Prints every include of the project's own headers that points up, and fails if there is any.
# Usage: scripts/check-includes.sh [SRC_DIR]   (default: src beside this script)
set -eu
src=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}

rank() {
  case $1 in
    io) echo 0 ;;
    document) echo 10 ;;
    output) echo 20 ;;
    writers) echo 25 ;;
    recognition) echo 30 ;;
    readers | convert) echo 40 ;;
    batch) echo 50 ;;
    shell) echo 60 ;;
    cli | desktop) echo 70 ;;
    *) echo "" ;;
  esac
}

# The converter skeleton runs a converter: it knows what one is and checks its prefix.
allowed() {
  case "$1 -> $2" in
    "output/skeleton."*" -> convert/converter.h") return 0 ;;
    "output/skeleton.cc -> recognition/prefix.h") return 0 ;;
  esac
  return 1
}

status=0
cd "$src"
for file in $(find . -name '*.h' -o -name '*.cc' | sed 's|^\./||' | sort); do
  folder=${file%%/*}
  from=$(rank "$folder")
  if [ -z "$from" ]; then
    echo "$file: folder '$folder' has no place in the order of folders" >&2
    status=1
    continue
  fi
  for included in $(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file"); do
    target=${included%%/*}
    [ "$target" = "$included" ] && continue  # not one of the project's folders
    to=$(rank "$target")
    [ -z "$to" ] && continue
    [ "$target" = "$folder" ] && continue
    if [ "$to" -ge "$from" ] && ! allowed "$file" "$included"; then
      echo "$file includes $included: $folder may not depend on $target" >&2
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "Folder dependencies point one way."
exit $status
