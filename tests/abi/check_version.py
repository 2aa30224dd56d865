#!/usr/bin/env python3
"""Reads the version resource back from the built DLL (windres decompiles it)
and checks what Explorer's Properties would show.

usage: check_version.py WINDRES DLL VERSION
"""
import re
import subprocess
import sys

windres, dll, version = sys.argv[1:4]
rc = subprocess.run([windres, "-i", dll, "-O", "rc"], capture_output=True, text=True, check=True).stdout
values = dict(re.findall(r'VALUE "(\w+)", "([^"]*)"', rc))
numbers = ", ".join(version.split(".")) + ", 0"
expected = {"ProductName": "generic.fx", "FileVersion": version, "ProductVersion": version,
            "OriginalFilename": "generic.fx"}
problems = [f"{k} is {values.get(k)!r}, not {v!r}" for k, v in expected.items() if values.get(k) != v]
problems += [f"no {k}" for k in ("FileDescription", "LegalCopyright") if not values.get(k)]
problems += [f"no {k} {numbers}" for k in ("FILEVERSION", "PRODUCTVERSION") if not re.search(rf"{k} {numbers}\n", rc)]
problems += ["FILETYPE is not a DLL's"] if not re.search(r"FILETYPE 0x2\n", rc) else []
print("\n".join(problems) or f"{dll}: version {version}, {values['FileDescription']}")
sys.exit(1 if problems else 0)
