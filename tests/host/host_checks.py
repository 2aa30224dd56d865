"""What the scripts that run fxhost share: a failed check ends the script, fxhost's catalogue as
`list` shows it, png_probe's answers, and running one case in a fresh work folder."""
import os
import re
import shutil
import subprocess
import sys


def check(condition, message):
    if not condition:
        print("FAIL:", message)
        sys.exit(1)


def catalogue(listing):
    """The rows of `fxhost list --bold never`'s output: (index, name, built) in order."""
    return [(int(m.group(1)), m.group(2), "(not built)" not in m.group(3))
            for m in re.finditer(r"^\s*(\d+)\s+(\S+)\s+(.*)$", listing.replace("\r", "").split("\n\n", 2)[2], re.M)]


def probe(tool, *args):
    """What png_probe prints for a picture (or two, or a region of one), as {key: [numbers]}."""
    out = subprocess.run([tool, *map(str, args)], capture_output=True, text=True, check=True).stdout
    return {line.split()[0]: [float(v) for v in line.split()[1:]] for line in out.splitlines()}


def run_case(cases, case, work):
    """Runs cases["case_" + case] in an emptied work folder."""
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    cases["case_" + case]()
    print("ok")
