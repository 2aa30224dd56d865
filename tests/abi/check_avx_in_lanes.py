#!/usr/bin/python3
"""Checks that every function of a built plug-in holding an AVX instruction is
lanes compiled for AVX2 or AVX-512 (lanes::avx2, lanes::avx512): an inline
helper compiled for a wider set must never be the copy the rest of the
library runs, on a processor that may lack the set.

usage: check_avx_in_lanes.py OBJDUMP FILE
"""
import re
import subprocess
import sys

objdump, path = sys.argv[1:]
listing = subprocess.run([objdump, "-d", "--no-show-raw-insn", "-C", path], capture_output=True, text=True,
                         check=True).stdout
function, strays, avx = "", set(), 0
for line in listing.splitlines():
    start = re.match(r"^[0-9a-f]+ <(.*)>:$", line)
    if start:
        function = start.group(1)
    elif re.search(r"\tv[a-z0-9]+\s.*%[xyz]mm|\tvzeroupper", line):
        avx += 1
        if not re.search(r"lanes::avx(2|512)::", function):
            strays.add(function)
if not avx or strays:
    sys.exit(f"{path}: AVX instructions outside the lanes: {sorted(strays)}" if strays else f"{path}: no AVX at all")
