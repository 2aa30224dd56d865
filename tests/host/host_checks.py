"""What the scripts that run fxhost share: a failed check ends the script, running fxhost, its
catalogue as `list` shows it, writing a file, png_probe's answers, and running one case in a fresh
work folder."""
import os
import re
import shutil
import subprocess
import sys


def check(condition, message):
    if not condition:
        print("FAIL:", message)
        sys.exit(1)


def run(command, *args, timeout=60, **options):
    """COMMAND ARGS (fxhost, through its emulator if any) to its end: output and messages as text."""
    return subprocess.run([*command, *map(str, args)], **{"stdout": subprocess.PIPE, "stderr": subprocess.PIPE,
                                                          "text": True, "timeout": timeout, **options})


def catalogue(command):
    """The rows of `list --bold never`: (index, name, built) in order."""
    result = run(command, "list", "--bold", "never")
    check(result.returncode == 0, f"list fails: {result.stderr}")
    return [(int(m.group(1)), m.group(2), "(not built)" not in m.group(3))
            for m in re.finditer(r"^\s*(\d+)\s+(\S+)\s+(.*)$", result.stdout.replace("\r", "").split("\n\n", 2)[2], re.M)]


def write(path, text):
    """TEXT (bytes, or text whose bytes that are not UTF-8 are Python's surrogates) into PATH; the path."""
    with open(path, "wb") as f:
        f.write(text if isinstance(text, bytes) else text.encode(errors="surrogateescape"))
    return path


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
