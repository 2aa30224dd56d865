#!/usr/bin/env python3
"""Checks the Win32 objects of the plug-in against the host's binary interface.

  check_win32_abi.py vtables OBJ...   every effect table: 17 slots, in the host's order
  check_win32_abi.py thiscall OBJ...  member functions clean up their own arguments and
                                      take `this` in ECX; the exports are cdecl

The host is built with Microsoft's compiler: its FxEffect table has one slot for
the scalar deleting destructor and sixteen operations after it. Every class
whose table is emitted into the objects and that derives from FxEffect is
checked, so a new effect is covered as soon as it is compiled; the classes the
host holds (Boundary<Effect>) must fill all 17 slots with their own functions. The slots are
read from the relocation records of the `.rdata$_ZTV...` sections and named
through the symbol table; the class chain comes from the `.rdata$_ZTI...`
records (single inheritance only).
"""
import os
import re
import subprocess
import sys

OBJDUMP = os.environ.get("FX_OBJDUMP", "i686-w64-mingw32-objdump")
CXXFILT = os.environ.get("FX_CXXFILT", "i686-w64-mingw32-c++filt")

# Slot i of the host's table: the operation and its argument types.
EFFECT_SLOTS = [
    "scalarDeletingDestructor(unsigned int)",
    "init(unsigned int, unsigned int)",
    "start(unsigned int)",
    "reserved3(unsigned int)",
    "update(float)",
    "process(FxHostData*)",
    "draw()",
    "reserved7()",
    "reserved8()",
    "reserved9(unsigned int, unsigned int)",
    "reserved10(unsigned int)",
    "registerParams(FxParamHost*)",
    "description()",
    "author()",
    "reserved14()",
    "reserved15()",
    "reserved16(unsigned int)",
]
PURE_IN_FXEFFECT = {0, 12, 13, 14}
PURE = "__cxa_pure_virtual"
# Each effect reaches the host wrapped in this template, which switches the
# floating-point state and keeps exceptions in every slot.
BOUNDARY = "Boundary<"


def objdump(*args):
    return subprocess.run([OBJDUMP, *args], check=True, capture_output=True, text=True).stdout


def demangle(names):
    """Demangles COFF symbol names (one leading underscore) in one c++filt run."""
    names = list(names)
    if not names:
        return {}
    out = subprocess.run([CXXFILT], input="\n".join(names) + "\n", check=True,
                         capture_output=True, text=True).stdout.splitlines()
    return dict(zip(names, out))


class CoffObject:
    SECTION = re.compile(r"^\s*(\d+) (\S+)\s+([0-9a-f]{8}) ")
    SYMBOL = re.compile(r"^\[\s*\d+\]\(sec\s+(-?\d+)\)\(fl 0x[0-9a-f]+\)\(ty\s+([0-9a-f]+)\)"
                        r"\(scl\s+(\d+)\) \(nx \d+\) 0x([0-9a-f]+) (\S+)$")
    RELOC = re.compile(r"^([0-9a-f]{8}) (\S+)\s+(\S+)$")

    def __init__(self, path):
        self.path = path
        self.sections = {}  # name -> (COFF section number, size)
        for line in objdump("-h", path).splitlines():
            m = self.SECTION.match(line)
            if m:
                self.sections[m.group(2)] = (int(m.group(1)) + 1, int(m.group(3), 16))
        self.section_symbols = {}  # name -> section number
        self.functions = {}  # (section number, value) -> [symbol names]
        for line in objdump("-t", path).splitlines():
            m = self.SYMBOL.match(line)
            if not m:
                continue
            sec, ty, scl, value, name = (int(m.group(1)), int(m.group(2), 16), int(m.group(3)),
                                         int(m.group(4), 16), m.group(5))
            if sec <= 0:
                continue
            if scl == 3 and ty == 0 and name in self.sections:
                self.section_symbols.setdefault(name, []).append(sec)
            elif ty == 0x20:
                self.functions.setdefault((sec, value), []).append(name)

    def relocations(self, section):
        relocs = {}
        for line in objdump("-r", "-j", section, self.path).splitlines():
            m = self.RELOC.match(line)
            if m:
                relocs[int(m.group(1), 16)] = m.group(3)
        return relocs

    def contents(self, section):
        size = self.sections[section][1]
        data = bytearray()
        for line in objdump("-s", "-j", section, self.path).splitlines():
            tokens = line.split()
            if not tokens or not re.fullmatch(r"[0-9a-f]{4,}", tokens[0]) or not line.startswith(" "):
                continue
            need = min(16, size - len(data))
            row = bytearray()
            for t in tokens[1:]:
                if len(row) >= need:
                    break
                row += bytes.fromhex(t)
            data += row[:need]
        return bytes(data)

    def targets(self, relocs, offset, data):
        """The symbol names a relocated word points at (several when code is shared)."""
        value = relocs.get(offset)
        if value is None:
            return []
        addend = int.from_bytes(data[offset:offset + 4], "little")
        if value in self.section_symbols:
            numbers = self.section_symbols[value]
            if len(numbers) != 1:
                raise SystemExit(f"{self.path}: section name {value} is ambiguous")
            return self.functions.get((numbers[0], addend), [f"{value}+{addend:#x}"])
        return [value] if addend == 0 else [f"{value}+{addend:#x}"]


def check_vtables(paths):
    objects = [CoffObject(p) for p in paths]
    tables = []  # (object, vtable section)
    bases = {}  # typeinfo symbol -> base typeinfo symbol, or None
    for obj in objects:
        for section in obj.sections:
            if section.startswith(".rdata$_ZTV"):
                tables.append((obj, section))
            elif section.startswith(".rdata$_ZTI"):
                relocs = obj.relocations(section)
                kind = relocs.get(0, "")
                own = "_" + section[len(".rdata$"):]
                if "__vmi_class_type_info" in kind:
                    raise SystemExit(f"{own}: multiple inheritance is not part of the interface")
                bases[own] = relocs.get(8) if "__si_class_type_info" in kind else None

    def chain(typeinfo):
        out = []
        while typeinfo:
            out.append(typeinfo)
            typeinfo = bases.get(typeinfo)
        return out

    names = set(bases) | {b for b in bases.values() if b}
    resolved = []
    for obj, section in tables:
        data = obj.contents(section)
        relocs = obj.relocations(section)
        slots = [obj.targets(relocs, off, data) for off in range(8, len(data), 4)]
        resolved.append((obj, section, data, relocs, slots))
        names |= {a for aliases in slots for a in aliases}
    names |= {"_" + section[len(".rdata$"):] for _, section in tables}
    plain = demangle(names)
    plain[f"_{PURE}"] = PURE

    failures, checked, skipped = [], set(), set()
    for obj, section, data, relocs, slots in resolved:
        vtable = "_" + section[len(".rdata$"):]
        cls = plain[vtable].removeprefix("vtable for ")
        typeinfo = "__ZTI" + vtable[len("__ZTV"):]
        ancestry = [plain.get(t, t).removeprefix("typeinfo for ") for t in chain(typeinfo)]
        where = f"{os.path.basename(obj.path)}: {cls}"
        if typeinfo not in bases:
            failures.append(where + ": no type information, so its bases are unknown")
            continue
        if ancestry[-1] != "FxEffect":
            skipped.add(cls)
            continue
        problems = []
        if data[0:4] != b"\0\0\0\0":
            problems.append("offset to top is not 0")
        if relocs.get(4) != typeinfo:
            problems.append(f"typeinfo slot holds {relocs.get(4)}")
        if len(slots) != len(EFFECT_SLOTS):
            problems.append(f"{len(slots)} slots instead of {len(EFFECT_SLOTS)}")
        for i, expected in enumerate(EFFECT_SLOTS):
            got = [plain.get(a, a) for a in slots[i]] if i < len(slots) else []
            if cls.startswith(BOUNDARY):
                # The class the host holds: every slot is its own, under the library's state.
                allowed = {f"{cls}::{expected}"}
            else:
                allowed = {f"{a}::{expected}" for a in ancestry}
                if i in PURE_IN_FXEFFECT:
                    allowed.add(PURE)
            if not allowed.intersection(got):
                owners = ancestry[:1] if cls.startswith(BOUNDARY) else ancestry
                problems.append(f"slot {i}: {' = '.join(got) or 'nothing'}; "
                                f"expected {expected.split('(')[0]} of {' / '.join(owners)}")
        if problems:
            failures.append(where + "\n    " + "\n    ".join(problems))
        else:
            checked.add(cls)

    if not failures and "FxEffect" not in checked:
        failures.append("no table of FxEffect found in the objects")
    for cls in sorted(checked):
        if cls.startswith("Generic") and f"{BOUNDARY}{cls}>" not in checked:
            failures.append(f"{cls}: no table of {BOUNDARY}{cls}>, the class the host holds")
    for line in failures:
        print("FAIL", line)
    for cls in sorted(checked):
        print(f"ok   {cls}: {len(EFFECT_SLOTS)} slots in the host's order")
    for cls in sorted(skipped):
        print(f"skip {cls}: not an effect")
    return 1 if failures else 0


def functions_of(obj):
    """Instructions per function symbol (every alias of shared code) of one object."""
    bodies, current, section = {}, None, None
    for line in objdump("-d", "--no-show-raw-insn", obj.path).splitlines():
        m = re.match(r"^Disassembly of section (\S+):$", line)
        if m:
            section = obj.sections[m.group(1)][0]
            continue
        m = re.match(r"^([0-9a-f]+) <\S+>:$", line)
        if m:
            current = bodies.setdefault((section, int(m.group(1), 16)), [])
        elif current is not None and "\t" in line:
            current.append(line.split("\t")[-1].strip())
    return {name: body for key, body in bodies.items() for name in obj.functions.get(key, [])}


def check_thiscall(paths):
    code = {}
    for p in paths:
        code.update(functions_of(CoffObject(p)))
    failures = []

    def expect(symbol, what, test):
        body = code.get(symbol)
        if body is None:
            near = [s for s in code if s.startswith(symbol)]
            failures.append(f"{symbol}: not found" + (f" (found {' '.join(near)})" if near else ""))
        elif not test(body):
            failures.append(f"{symbol}: {what}\n    " + "\n    ".join(body))
        else:
            print(f"ok   {symbol}: {what}")

    # thiscall: the callee pops its stack arguments (not `this`, which is in ECX).
    for symbol, pops in (("__ZN8FxEffect5startEj", 4), ("__ZN8FxEffect4initEjj", 8),
                         ("__ZN8FxEffect6updateEf", 4)):
        expect(symbol, f"returns with ret ${pops:#x}",
               lambda body, pops=pops: any(re.fullmatch(rf"ret\s+\${pops:#x}", i) for i in body))
    expect("__ZN8FxEffectC2Ev", "writes hostField1 = -1.0 through ECX",
           lambda body: any(re.search(r"\$0xbf800000,0x4\(%ecx\)", i) for i in body))
    # cdecl exports: one leading underscore, no @size decoration, caller cleans up.
    for name in ("fx_libinfo", "fx_create", "fx_delete"):
        expect("_" + name, "cdecl (no callee clean-up)",
               lambda body: not any(re.match(r"ret\s+\$", i) for i in body))
    stdcall = [s for s in code if re.match(r"_fx_\w+@\d+$", s)]
    if stdcall:
        failures.append("stdcall-decorated exports: " + " ".join(stdcall))
    for line in failures:
        print("FAIL", line)
    return 1 if failures else 0


def main(argv):
    if len(argv) < 3 or argv[1] not in ("vtables", "thiscall"):
        print(__doc__, file=sys.stderr)
        return 2
    # ctest passes the object list as one ;-separated argument.
    paths = [p for arg in argv[2:] for p in arg.split(";") if p]
    return check_vtables(paths) if argv[1] == "vtables" else check_thiscall(paths)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
