#!/usr/bin/env python3
"""Writes seed inputs for the fuzz targets into a folder per target, from the examples, the
module description, the case files of tests/cases and the string tables of the unit tests. The stored corpus is these seeds
merged (libFuzzer -merge=1) with what fuzzing found, so this is only run to start afresh."""
import ast
import json
import os
import re
import struct
import sys

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build-fuzz", "seeds")


def write(target, name, data):
    folder = os.path.join(out, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))


def first_strings(path):
    """The first C++ string literal after each QTest::newRow(...)."""
    text = open(os.path.join(root, path), encoding="utf-8").read()
    found = []
    for m in re.finditer(r'newRow\("(?:[^"\\]|\\.)*"\)\s*<<\s*(?:QByteArray\()?'
                         r'(R"\((.*?)\)"|"((?:[^"\\]|\\.)*)")', text, re.S):
        if m.group(2) is not None:
            found.append(m.group(2))
        else:
            try:
                found.append(ast.literal_eval('"' + m.group(3) + '"'))
            except (SyntaxError, ValueError):
                pass
    return found


examples = os.path.join(root, "examples")
for name in sorted(os.listdir(examples)):
    text = open(os.path.join(examples, name), encoding="utf-8").read()
    if name.endswith(".kro"):
        text = text.replace('#include "virtual-module.inc"', "#include virtual-module.inc")
        write("assembler", "example-" + name + "-plain", b"\x00" + text.encode())
        write("assembler", "example-" + name + "-ranges", b"\x03" + text.encode())
def case_sources():
    """The source of every case in tests/cases/*.cases."""
    found = []
    folder = os.path.join(root, "tests", "cases")
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".cases"):
            continue
        lines = None
        for line in open(os.path.join(folder, name), encoding="utf-8").read().split("\n"):
            if line.startswith("== "):
                lines = []
            elif line.startswith("-> ") and lines is not None:
                found.append("\n".join(lines))
                lines = None
            elif lines is not None:
                lines.append(line)
    return found


for k, s in enumerate(case_sources() + first_strings("tests/assembler/tst_assembler.cpp")):
    write("assembler", "test-%03d" % k, bytes([k & 3]) + s.encode())
write("assembler", "includes",
      b"\x01ROR 0, 1\n#include a.inc\nJA IN\n\x00SPEED = 5\n#include b.inc\nMST 0\n"
      b"\x00IN: ROR 0, SPEED\n#include \"c.inc\"\x00#include main.kro\n")
write("assembler", "include-chain", b"\x00ROR 0, 1\n#include deep0\n")
write("assembler", "include-chain-end", b"\x00#include a.inc\n\x00#include deep995\n")
write("assembler", "include-missing", b"\x00#include missing.inc\n")
write("assembler", "parameter-constants",
      b"\x03#include virtual-module.inc\nSAP 4, 0, 100\nWAIT TICKS, 0, 10\n")

for k, s in enumerate(first_strings("tests/assembler/tst_eval.cpp")):
    write("eval", "test-%03d" % k, s)
for s in ["SIN(RAD(30))", "ATAN2(1, HALF)", "FMOD(SPEED, 7)", "$FF + %101 * 2", "1E308*10",
          "-2147483648\\-1", "NAN_\\3", "INF - INF", "((((1))))"]:
    write("eval", "extra-" + re.sub(r"[^A-Za-z0-9]", "_", s), s)

for k, s in enumerate(first_strings("tests/host/tst_moduledescription.cpp")):
    write("moduledesc", "test-%03d" % k, s)
virtual = json.load(open(os.path.join(root, "modules", "virtual.json")))
small = {"name": virtual["name"], "axes": virtual["axes"], "maps": {}}
for map_name, records in virtual["maps"].items():
    small["maps"][map_name] = dict(list(records.items())[:3])
write("moduledesc", "virtual-small", json.dumps(small, indent=1))


def record(opcode, type_, motor, value):
    body = struct.pack(">BBBi", opcode, type_, motor, value)
    return body + bytes([sum(body) & 0xFF])


opcodes = list(range(0, 64)) + [128, 129, 130, 131, 132, 133, 134, 135, 136, 137, 138]
program = b"".join(record(op, op % 4, op % 3, (op * 37) % 7) for op in opcodes)
write("disasm_bin", "every-opcode", program)
write("disasm_bin", "loop", record(19, 0, 0, 1) + record(22, 0, 0, 0) + record(28, 0, 0, 0))
write("disasm_bin", "bad-checksum", record(1, 0, 0, 5)[:-1] + b"\x00")
write("disasm_bin", "short", record(1, 0, 0, 5)[:5])

list_program = b"".join(struct.pack("<BHBq", op, op % 5, op % 3, (op * 13) % 9) for op in opcodes)
write("disasm_list", "every-opcode-default-events", b"\x00" + list_program)
write("disasm_list", "every-opcode-module-events", b"\x01" + list_program)
