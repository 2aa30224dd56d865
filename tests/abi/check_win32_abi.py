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
import struct
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
    """A COFF object's sections (number, bytes, relocated offsets) and symbols, read from the file itself."""

    def __init__(self, path):
        self.path = path
        data = open(path, "rb").read()
        _, count, _, table, symbols, optional, _ = struct.unpack_from("<HHIIIHH", data)
        strings = table + 18 * symbols  # long names are offsets into the string table after the symbols
        text = lambda at: data[strings + at:data.index(b"\0", strings + at)].decode()
        self.symbols = []  # (name, section number, value, type); an auxiliary record as None
        while len(self.symbols) < symbols:
            raw, value, section, kind, _, aux = struct.unpack_from("<8sIhHBB", data, table + 18 * len(self.symbols))
            name = text(int.from_bytes(raw[4:], "little")) if raw[:4] == bytes(4) else raw.rstrip(b"\0").decode()
            self.symbols += [(name, section, value, kind)] + [None] * aux
        self.sections = {}  # name -> (number, bytes, {offset: symbol index})
        for n in range(count):
            raw, _, _, size, at, relocs, _, nrelocs, _, _ = struct.unpack_from("<8s6I2HI", data, 20 + optional + 40 * n)
            name = raw.rstrip(b"\0").decode()
            name = text(int(name[1:])) if name.startswith("/") else name
            words = (struct.unpack_from("<II", data, relocs + 10 * k) for k in range(nrelocs))
            self.sections[name] = (n + 1, data[at:at + size], dict(words))
        self.functions = {}  # (section number, value) -> [symbol names]
        for name, section, value, kind in filter(None, self.symbols):
            if section > 0 and kind == 0x20:
                self.functions.setdefault((section, value), []).append(name)

    def symbol_at(self, section, offset):
        """The name of the symbol the word at offset is relocated against, or None."""
        index = self.sections[section][2].get(offset)
        return None if index is None else self.symbols[index][0]

    def targets(self, section, offset):
        """The function names a relocated word points at (several when code is shared)."""
        _, data, relocs = self.sections[section]
        if offset not in relocs:
            return []
        name, number, value, _ = self.symbols[relocs[offset]]
        addend = int.from_bytes(data[offset:offset + 4], "little")
        if number > 0:
            return self.functions.get((number, value + addend), [f"{name}+{addend:#x}"])
        return [name] if addend == 0 else [f"{name}+{addend:#x}"]


def check_vtables(paths):
    objects = [CoffObject(p) for p in paths]
    tables = []  # (object, vtable section)
    bases = {}  # typeinfo symbol -> base typeinfo symbol, or None
    for obj in objects:
        for section in obj.sections:
            if section.startswith(".rdata$_ZTV"):
                tables.append((obj, section))
            elif section.startswith(".rdata$_ZTI"):
                kind = obj.symbol_at(section, 0) or ""
                own = "_" + section[len(".rdata$"):]
                if "__vmi_class_type_info" in kind:
                    raise SystemExit(f"{own}: multiple inheritance is not part of the interface")
                bases[own] = obj.symbol_at(section, 8) if "__si_class_type_info" in kind else None

    def chain(typeinfo):
        out = []
        while typeinfo:
            out.append(typeinfo)
            typeinfo = bases.get(typeinfo)
        return out

    plain = demangle({symbol[0] for obj in objects for symbol in filter(None, obj.symbols)})
    plain[f"_{PURE}"] = PURE

    failures, checked, skipped = [], set(), set()
    for obj, section in tables:
        data = obj.sections[section][1]
        slots = [obj.targets(section, off) for off in range(8, len(data), 4)]
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
        if obj.symbol_at(section, 4) != typeinfo:
            problems.append(f"typeinfo slot holds {obj.symbol_at(section, 4)}")
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
