#!/usr/bin/env bash
# Checks that a built plug-in exports exactly fx_libinfo, fx_create and
# fx_delete. Usage: check_exports.sh elf|pe FILE
set -euo pipefail
kind=$1 file=$2
case $kind in
  elf) got=$(nm -D --defined-only "$file" | awk '{print $3}' | sort) ;;
  pe)  got=$(i686-w64-mingw32-objdump -p "$file" \
             | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR>1 && NF {print $NF}' | sort) ;;
  *) echo "usage: $0 elf|pe FILE" >&2; exit 2 ;;
esac
want=$(printf '%s\n' fx_create fx_delete fx_libinfo)
if [ "$got" != "$want" ]; then
  echo "$file exports:"; echo "$got"; echo "expected:"; echo "$want"; exit 1
fi
echo "$file exports exactly: $(echo $got)"
