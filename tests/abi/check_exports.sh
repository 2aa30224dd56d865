#!/usr/bin/env bash
# Checks that a built plug-in exports exactly fx_libinfo, fx_create and
# fx_delete, and imports no math function from the C runtime: its results
# must not depend on the runtime of the process that loads it.
# Usage: check_exports.sh elf|pe FILE
set -euo pipefail
kind=$1 file=$2
case $kind in
  elf) got=$(nm -D --defined-only "$file" | awk '{print $3}' | sort)
       imports=$(nm -D --undefined-only "$file" | awk '{print $2}' | sed 's/@.*//') ;;
  pe)  dump=$(i686-w64-mingw32-objdump -p "$file")
       got=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR>1 && NF {print $NF}' | sort)
       imports=$(echo "$dump" | sed -n '/^The Import Tables/,/^The Export Tables/p' \
                 | awk '/DLL Name/ {next} NF == 3 && $2 ~ /^[0-9]+$/ {print $3}') ;;
  *) echo "usage: $0 elf|pe FILE" >&2; exit 2 ;;
esac
want=$(printf '%s\n' fx_create fx_delete fx_libinfo)
if [ "$got" != "$want" ]; then
  echo "$file exports:"; echo "$got"; echo "expected:"; echo "$want"; exit 1
fi
echo "$file exports exactly: $(echo $got)"
math='^_*(a?(sin|cos|tan)h?|atan2?|sincos|exp(2|10|m1)?|log(2|10|1p|b)?|pow|sqrt|cbrt|hypot|fmod|remainder|remquo|floor|ceil|trunc|l?l?round|l?rint|nearbyint|modfl?|frexp|ldexp|scalbl?n|fabs|copysign|fma|fmin|fmax|fdim)[fl]?$'
if bad=$(echo "$imports" | grep -E "$math"); then
  echo "$file imports math from the C runtime: $(echo $bad)"; exit 1
fi
echo "$file imports no math function ($(echo "$imports" | wc -l) imports)"
