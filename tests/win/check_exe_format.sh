#!/usr/bin/env bash
# Checks the format of a built lexpatch.exe: a GUI image of the given format that is
# large address aware, needs no DLL beyond those Windows ships, and carries the
# icon group DEFAULT_ICON and a "Lexpatch" version record of the given version.
# Usage: check_exe_format.sh EXE OBJDUMP WINDRES VERSION FORMAT
#   VERSION  four numbers, e.g. 1.0.0.0
#   FORMAT   pe32 (i386: the product) or pe32+ (x86-64: the 64-bit test build)
# Prints one line per problem found and exits 1 if there is any.
set -uo pipefail

if [ $# -ne 5 ]; then
  echo "usage: $0 EXE OBJDUMP WINDRES VERSION FORMAT" >&2
  exit 2
fi
exe=$1 objdump=$2 windres=$3 version_text=$4 format=$5
case $format in
  pe32) machine=i386 magic=010b format_name="PE32 i386" ;;
  pe32+) machine=x86-64 magic=020b format_name="PE32+ x86-64" ;;
  *) echo "exe_format: FORMAT is '$format', not pe32 or pe32+" >&2; exit 2 ;;
esac
if [[ ! $version_text =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  echo "exe_format: VERSION is '$version_text', not four numbers" >&2
  exit 2
fi
version_numbers=${version_text//./, }
problems=0
fail() { echo "exe_format: $exe: $*" >&2; problems=$((problems + 1)); }

if ! headers=$("$objdump" -p "$exe" 2>&1); then
  echo "exe_format: $objdump -p $exe failed: $headers" >&2
  exit 1
fi
field() { awk -v k="$1" '$1 == k { print $2; exit }' <<<"$headers"; }

# PE32 for i386, or PE32+ for x86-64.
grep -q "file format pei-$machine\$" <<<"$headers" || fail "not an $machine PE image (objdump: $(grep -m1 'file format' <<<"$headers"))"
[ "$(field Magic)" = "$magic" ] || fail "optional header magic is '$(field Magic)', not $magic ($format_name)"

# Windows GUI subsystem: no console window; the link needs -mwindows.
subsystem=$(field Subsystem)
[ "$subsystem" = 00000002 ] || fail "subsystem is '$subsystem', not 00000002 (Windows GUI): link with -mwindows"

# IMAGE_FILE_LARGE_ADDRESS_AWARE (0x0020) in the file header: the 32-bit link asks for it, the
# 64-bit linker sets it by itself.
characteristics=$(field Characteristics)
if [[ ! $characteristics =~ ^0x[0-9a-fA-F]+$ ]]; then
  fail "no file header characteristics in the objdump output"
elif (( (characteristics & 0x20) == 0 )); then
  fail "characteristics $characteristics lack large address aware (0x0020): link with -Wl,--large-address-aware"
fi

# Imports: Windows system DLLs only.
system_dlls=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll msvcrt.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll shlwapi.dll version.dll "
imports=$(awk '/DLL Name:/ { print $3 }' <<<"$headers")
grep -qix kernel32.dll <<<"$imports" || fail "imports no KERNEL32.dll: the import table was not read (imports seen: ${imports:-none})"
for dll in $imports; do
  lower=${dll,,}
  case $lower in
    libgcc_s*|libstdc++*|libwinpthread*)
      fail "imports the MinGW runtime DLL $dll: link with -static" ;;
    *)
      [[ $system_dlls == *" $lower "* ]] || fail "imports $dll, which is not a Windows system DLL" ;;
  esac
done

# Resources, as windres reads them back into resource script form.
if ! resources=$("$windres" -i "$exe" -O rc 2>&1); then
  fail "$windres cannot read the resources: $resources"
  resources=""
fi
grep -q '^"DEFAULT_ICON" 14 ' <<<"$resources" || fail "no icon group resource named DEFAULT_ICON"

version=$(awk '/ VERSIONINFO$/ { on = 1 } on { print } on && /^END$/ { exit }' <<<"$resources")
if [ -z "$version" ]; then
  fail "no version resource"
else
  for fixed in FILEVERSION PRODUCTVERSION; do
    grep -q "^ $fixed $version_numbers\$" <<<"$version" || fail "version resource: $fixed is not $version_numbers ($(grep -m1 "^ $fixed " <<<"$version" | xargs))"
  done
  for value in "FileVersion\", \"$version_text" "ProductVersion\", \"$version_text" 'ProductName", "Lexpatch'; do
    grep -qF "VALUE \"$value\"" <<<"$version" || fail "version resource: no string \"${value%%\"*}\" with value \"${value##*\"}\""
  done
  # Windows shows the strings only when a translation names their block.
  block=$(awk '/BLOCK "StringFileInfo"/ { s = 1; next } s && /BLOCK "/ { gsub(/[^0-9a-fA-F]/, "", $2); print $2; exit }' <<<"$version")
  translation=$(grep -m1 'VALUE "Translation"' <<<"$version" | tr -d ' ' | cut -d, -f2,3)
  if [[ ! $block =~ ^[0-9a-fA-F]{8}$ ]]; then
    fail "version resource: no string table block"
  elif [[ ! $translation =~ ^0x[0-9a-fA-F]+,[0-9]+$ ]]; then
    fail "version resource: no VarFileInfo Translation"
  elif (( 16#${block:0:4} != ${translation%,*} || 16#${block:4:4} != ${translation#*,} )); then
    fail "version resource: Translation $translation does not name the string table block $block"
  fi
fi

if [ $problems -ne 0 ]; then
  echo "exe_format: $problems problem(s) in $exe" >&2
  exit 1
fi
echo "exe_format: $exe: $format_name, Windows GUI, large address aware, system DLLs only (${imports//$'\n'/ }), DEFAULT_ICON, version $version_text Lexpatch"
