#!/usr/bin/env bash
# The release packages as a user gets them: the unpacked .deb runs its fxhost
# on its own plug-in; the zip holds the DLL with its version, the documents and
# checksums that match.
# usage: check_packages.sh DIR (holding one .deb and one .zip)
set -euo pipefail
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
deb=$(ls "$1"/*.deb) zip=$(ls "$1"/*.zip)
fail() { echo "FAIL: $*"; exit 1; }

dpkg-deb -x "$deb" "$scratch/deb"
fxhost=$scratch/deb/usr/bin/fxhost plugin=$scratch/deb/usr/lib/generic-fx/generic.fx
version=$("$fxhost" --version | sed -n 's/^fxhost //p')
[ "$version" = "$(dpkg-deb -f "$deb" Version)" ] || fail "fxhost $version in package $(dpkg-deb -f "$deb" Version)"
"$fxhost" list --plugin "$plugin" | grep -q "GenericTwist" || fail "the unpacked fxhost lists no effects"
[ "$("$fxhost" list | head -1)" = "$plugin" ] || fail "fxhost does not load the generic.fx beside it"
for doc in README.md CHANGELOG.md LICENSE THIRD_PARTY_LICENSES.md; do
  [ -s "$scratch/deb/usr/share/doc/generic-fx/$doc" ] || fail "$doc missing from the .deb"
done
# The Python package on the .deb's own plug-in (Debian's Python, which Blender runs), and the add-on.
PYTHONPATH=$scratch/deb/usr/lib/python3/dist-packages /usr/bin/python3 -c '
import generic_fx as fx, os, sys
assert os.path.realpath(fx.plugin_path()) == os.path.realpath(sys.argv[1]), fx.plugin_path()
assert "GenericTwist" in [e.name for e in fx.catalogue()]' "$plugin" || fail "the .deb's Python package does not load its plug-in"
for file in __init__ axes bake panel settings; do
  [ -s "$scratch/deb/usr/share/blender/scripts/addons/generic_fx_bake/$file.py" ] || fail "the add-on's $file.py missing from the .deb"
done

python3 -m zipfile -e "$zip" "$scratch/zip"
cd "$scratch"/zip/generic-fx-"$version"-win32 || fail "the zip holds no generic-fx-$version-win32 folder"
sha256sum --quiet -c SHA256SUMS || fail "SHA256SUMS does not match"
for file in generic.fx README.md LICENSE THIRD_PARTY_LICENSES.md CHANGELOG.md; do
  grep -q "  $file\$" SHA256SUMS || fail "$file missing from the zip's SHA256SUMS"
done
file generic.fx | grep -q "PE32 executable (DLL)" || fail "generic.fx in the zip is no Win32 DLL"
exe=$([ -f fxhost.exe ] && echo included || echo "not built yet")
echo "ok: $(basename "$deb"), $(basename "$zip") (fxhost.exe $exe)"
