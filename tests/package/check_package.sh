#!/usr/bin/env bash
# Makes the release package of a build tree with CPack, into a folder of its own (the package
# target's zip stays as it is), and checks it: the zip NAME.zip holds the folder NAME with
# exactly the release's files, each equal byte for byte to the file it comes from.
# Usage: check_package.sh CPACK CMAKE BUILD_DIR NAME SOURCE_DIR LEXPATCH_EXE LEXPATCH_CLI_EXE
# Prints one line per problem found and exits 1 if there is any.
set -uo pipefail

if [ $# -ne 7 ]; then
  echo "usage: $0 CPACK CMAKE BUILD_DIR NAME SOURCE_DIR LEXPATCH_EXE LEXPATCH_CLI_EXE" >&2
  exit 2
fi
cpack=$1 cmake=$2 build=$3 name=$4 source=$5 exe=$6 cli=$7
problems=0
fail() { echo "package: $*" >&2; problems=$((problems + 1)); }

work="$(cd "$build" && pwd)/package-test"
rm -rf "$work"
mkdir -p "$work/unpacked"
if ! log=$("$cpack" --config "$build/CPackConfig.cmake" -B "$work" 2>&1); then
  echo "package: cpack failed:" >&2
  echo "$log" >&2
  exit 1
fi
zip="$work/$name.zip"
if [ ! -f "$zip" ]; then
  echo "package: cpack made no $name.zip (made: $(cd "$work" && ls -m))" >&2
  exit 1
fi
(cd "$work/unpacked" && "$cmake" -E tar xf "$zip") || { echo "package: $zip does not unpack" >&2; exit 1; }

# Each file of the release and where it comes from.
declare -A origin=(
  [lexpatch.exe]=$exe
  [lexpatch-cli.exe]=$cli
  [README.md]=$source/README.md
  [LICENSE]=$source/LICENSE
  [docs/cli.md]=$source/docs/cli.md
)
expected=$(for f in "${!origin[@]}"; do echo "$name/$f"; done | sort)
found=$(cd "$work/unpacked" && find . -type f -printf '%P\n' | sort)
if [ "$found" != "$expected" ]; then
  fail "the zip holds"$'\n'"$found"$'\n'"instead of"$'\n'"$expected"
fi
for f in "${!origin[@]}"; do
  packed="$work/unpacked/$name/$f"
  [ -f "$packed" ] && ! cmp -s "$packed" "${origin[$f]}" && fail "$name/$f differs from ${origin[$f]}"
done

if [ $problems -ne 0 ]; then
  echo "package: $problems problem(s) in $zip" >&2
  exit 1
fi
echo "package: $zip holds $(tr '\n' ' ' <<<"$expected")each equal to its origin"
