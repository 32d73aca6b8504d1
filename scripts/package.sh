#!/usr/bin/env bash
# Makes what users download, dist/Tessaly-<version>-win32.zip: the release build of the 32-bit
# Tessaly.exe and a short README.txt in Chinese (UTF-8 with a byte-order mark and CRLF line ends, so
# that Notepad reads it), in a folder Tessaly-<version>. No item file: without one the program starts
# empty. Beside it dist/Tessaly-<version>-setup.exe, a per-user installer of the same two files
# (scripts/installer.nsi, NSIS). The version is the CMake project's. Checks what the archive holds and
# that the installer is there, and prints both paths.
set -euo pipefail
"$(dirname "$0")/setup.sh"
source "$(dirname "$0")/env.sh"

RELEASE="$BUILD/win-i686"
configure_and_build "$RELEASE" "$ROOT/cmake/mingw-i686.cmake" Release Tessaly >/dev/null
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$RELEASE/CMakeCache.txt")
NAME="Tessaly-$VERSION"
ZIP="$ROOT/dist/$NAME-win32.zip"
SETUP="$ROOT/dist/$NAME-setup.exe"

STAGE=$(mktemp -d)
trap 'rm -rf "$STAGE"' EXIT
mkdir "$STAGE/$NAME"
cp "$RELEASE/Tessaly.exe" "$STAGE/$NAME/Tessaly.exe"
{ printf '\xEF\xBB\xBF'; sed "s/@VERSION@/$VERSION/; s/\$/\r/" "$ROOT/docs/README.txt"; } >"$STAGE/$NAME/README.txt"
mkdir -p "$ROOT/dist"
rm -f "$ZIP"
(cd "$STAGE" && cmake -E tar cf "$ZIP" --format=zip "$NAME")
rm -f "$SETUP"
makensis -V2 -DVERSION="$VERSION" -DEXE="$STAGE/$NAME/Tessaly.exe" -DREADME="$STAGE/$NAME/README.txt" \
  -DICON="$ROOT/res/Tessaly.ico" -DOUTFILE="$SETUP" "$ROOT/scripts/installer.nsi" >/dev/null

# The archive holds the folder with exactly these two files, the program byte for byte.
listing=$(cmake -E tar tf "$ZIP" | sed 's:/$::' | sort | paste -sd' ')
expected="$NAME $NAME/README.txt $NAME/Tessaly.exe"
if [ "$listing" != "$expected" ]; then
  echo "The package holds '$listing', not '$expected'" >&2
  exit 1
fi
mkdir "$STAGE/check"
(cd "$STAGE/check" && cmake -E tar xf "$ZIP")
if ! cmp -s "$STAGE/check/$NAME/Tessaly.exe" "$RELEASE/Tessaly.exe" ||
   [ "$(head -c 3 "$STAGE/check/$NAME/README.txt" | od -An -tx1 | tr -d ' ')" != efbbbf ] ||
   grep -q "@VERSION@" "$STAGE/check/$NAME/README.txt"; then
  echo "The package's program or README.txt is not what was built" >&2
  exit 1
fi
# An NSIS installer starts with "MZ" and carries its own signature further in.
if [ "$(head -c 2 "$SETUP" 2>/dev/null)" != MZ ] || ! grep -q "NullsoftInst" "$SETUP"; then
  echo "The installer $SETUP was not made" >&2
  exit 1
fi
echo "$ZIP"
echo "$SETUP"
