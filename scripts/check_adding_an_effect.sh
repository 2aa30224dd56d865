#!/usr/bin/env bash
# Adds the example effect (examples/shear) to a copy of the tree exactly as
# docs/architecture.md's "Adding an effect" says: its files copied in and one
# line added to the catalogue. Then builds it (the linux64 preset, with ccache
# sharing the tree's objects) and runs, for it among the others, the tests of
# every effect and its own, and the bench's table on a small size. Fails when
# the checklist or the catalogue has drifted from what the steps below do.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
effect=shear class=GenericShear name=GenericShear short=Shear  # short: its tests' and the bench's name
entry="Listed<$class>{\"$name\"},"
grep -qF "$entry" docs/architecture.md || { echo "docs/architecture.md no longer shows the catalogue line"; exit 1; }

# The copy keeps the tree's layout (the build in <copy>/build, as the tree's in
# build/), so that ccache takes the tree's objects for the copy's.
copy=$root/build-adding/tree
rm -rf "$copy"
mkdir -p "$copy"
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [ -f "$file" ] && printf '%s\0' "$file"; done |
  tar --null -T - -cf - | tar -xf - -C "$copy"

# 1. The effect's own files: src/effects/<effect>/, tests/<effect>_test.cpp and
# host/reference/<effect>.json.
cp -r "examples/$effect/." "$copy/"
# 2. One line at the end of the catalogue.
catalogue=$copy/src/plugin/catalogue.h
awk -v line="    $entry" '/^inline constexpr std::tuple kListed\{$/ {open = 1}
                     open && /^\};$/ {print line; open = 0; added = 1}
                     {print} END {exit !added}' "$catalogue" >"$catalogue.new" ||
  { echo "src/plugin/catalogue.h has no kListed list to add the line to"; exit 1; }
mv "$catalogue.new" "$catalogue"

export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
cd "$copy"
cmake --preset linux64 -DFX_BENCH=ON -DFX_RENDERER=OFF -DFX_GALLERY_VIEWER=OFF >/dev/null
cmake --build --preset linux64 -j "$(nproc)" --target fx_tests fx_table fxhost
# fxhost_params: every effect fxhost lists has its reference, one entry per parameter.
ctest --preset linux64 -j "$(nproc)" \
  -R "^((BatchRules|Soak|FailedAllocation|HostFpState|EffectsThroughLibrary|$short)\\.|fxhost_params\$)"
# The agreement names every effect it held to the reference, on each set.
./build/tests/fx_tests --gtest_filter='BatchRules.*' | grep "^$name " ||
  { echo "the lanes' agreement left $name out"; exit 1; }
table=$(./build/bench/fx_table --sizes 1000 --scenes particles --effects "$short")
echo "$table"
grep -q "^ours	$short	particles	1000	" <<<"$table" || { echo "fx_table timed no $short"; exit 1; }
