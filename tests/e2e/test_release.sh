#!/usr/bin/env bash
# What users download: the program's version resource carries the CMake project's version (as
# Explorer's file properties show it), and the program is a release build: no symbols, no debug
# information, no DLL of the compiler's runtime to carry along, and under 500 KB.
source "$(dirname "$0")/lib.sh"
: "${TESSALY_VERSION:?TESSALY_VERSION must hold the CMake project version}"

exe_wine="Z:${EXE//\//\\}"
mapfile -t version < <(winctl version "$exe_wine")
check "the version resource is readable" [ "${#version[@]}" -eq 3 ]
check "fixed file and product versions are $TESSALY_VERSION.0 (${version[0]:-none})" \
  [ "${version[0]:-}" = "$TESSALY_VERSION.0 $TESSALY_VERSION.0" ]
check "FileVersion is $TESSALY_VERSION (${version[1]:-none})" [ "${version[1]:-}" = "$TESSALY_VERSION" ]
check "ProductVersion is $TESSALY_VERSION (${version[2]:-none})" [ "${version[2]:-}" = "$TESSALY_VERSION" ]

# The MinGW-w64 objdump for 64-bit programs also reads 32-bit ones.
headers=$(x86_64-w64-mingw32-objdump -h "$EXE")
check "the program has no debug sections" eval '! grep -q "\.debug_" <<<"$headers"'
check "the program is stripped (no symbol table)" eval 'x86_64-w64-mingw32-objdump -t "$EXE" | grep -q "no symbols"'
size=$(stat -c %s "$EXE")
check "the program is under 500 KB ($size bytes)" [ "$size" -lt $((500 * 1024)) ]
dlls=$(x86_64-w64-mingw32-objdump -p "$EXE" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | paste -sd' ')
check "it imports system DLLs only ($dlls)" \
  eval '[ -n "$dlls" ] && ! grep -Eq "libstdc|libgcc|libwinpthread|msvcp" <<<"$dlls"'
finish
