#!/usr/bin/env python3
"""Checks a shipped program as a file, with MinGW-w64's objdump.

stripped OBJDUMP EXE: it holds no .debug_* section, and a shipped 32-bit program is no larger
than SIZE_LIMITS allows it.

imports OBJDUMP EXE LIST: the DLLs and functions it imports are exactly the rows of LIST that
name the program, each row's documented minimum is Windows XP or older, and the PE subsystem
version is at most 5.1, so that Windows XP SP3 starts it.

sse2 OBJDUMP EXE UNSTRIPPED: every function with SSE or MMX instructions is one of the byte loops
in the namespace sse2::, which run only after the processor has reported SSE2; and those loops
are there. The function names come from UNSTRIPPED, the program as linked, whose sections must
hold what EXE's hold, at the same addresses, besides its debug sections.
"""
import os
import re
import subprocess
import sys

# What the list's last column may say: no Windows after XP, or "kept:" and why.
OLD_ENOUGH = ("Windows 2000", "Windows XP", "msvcrt.dll of Windows XP", "kept:")
# The shipped 32-bit programs' sizes in bytes: a little above what they are, so that debug
# sections, a library linked in by mistake or a growth nobody decided on do not go unseen.
SIZE_LIMITS = {"Pointex.exe": 450_000, "witz.exe": 750_000}
FAST_LOOPS = ("sse2::countLineEnds(", "sse2::foldCase(", "sse2::skipChunksWithoutPair(")
# xmm and mm registers, and the SSE instructions that name neither.
VECTOR = re.compile(r"%x?mm\d|\b(movnti|[lms]fence|clflush\w*|prefetch\w*|[ls]dmxcsr|"
                    r"stmxcsr|emms|maskmovq|movntq)\b")


def objdump(tool, *args):
    return subprocess.run([tool, *args], capture_output=True, text=True, check=True).stdout


def listed_imports(path, program):
    """The (DLL, function) rows of the list that name the program; the bad rows."""
    rows, bad = set(), []
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            fields = re.split(r"\s{2,}|\t", line)
            if len(fields) != 4:
                bad.append(f"{path}:{number}: not DLL, function, programs, minimum: {line}")
                continue
            dll, function, programs, minimum = fields
            if not minimum.startswith(OLD_ENOUGH):
                bad.append(f"{path}:{number}: {function} needs {minimum}")
            if program in programs.split():
                rows.add((dll.lower(), function))
    return rows, bad


def check_imports(tool, exe, listing):
    header = objdump(tool, "-p", exe)
    problems = []
    version = [int(re.search(rf"^{part}SubsystemVersion\s+(\d+)", header, re.M).group(1))
               for part in ("Major", "Minor")]
    if version > [5, 1]:
        problems.append(f"subsystem version {version[0]}.{version[1]}, Windows XP takes 5.1")
    imported, dll = set(), None
    for line in header.splitlines():
        if match := re.match(r"\s*DLL Name: (\S+)", line):
            dll = match.group(1).lower()
        elif dll and (match := re.match(r"\s*[0-9a-f]+\s+\d+\s+(\S+)$", line)):
            imported.add((dll, match.group(1)))
        elif not line.strip():
            dll = None
    program = os.path.basename(exe)
    listed, bad = listed_imports(listing, program)
    problems += bad
    problems += [f"imports {d} {f}, which the list does not hold for {program}"
                 for d, f in sorted(imported - listed)]
    problems += [f"no longer imports {d} {f}: take it off the list"
                 for d, f in sorted(listed - imported)]
    print(f"{program}: {len(imported)} imports from "
          f"{', '.join(sorted({d for d, _ in imported}))}; subsystem {version[0]}.{version[1]}")
    return problems


def sections(tool, exe):
    """The sections of a PE file: name -> (address, bytes; None where the file holds none)."""
    found = {}
    with open(exe, "rb") as data:
        for line in objdump(tool, "-h", exe).splitlines():
            fields = line.split()
            # "  0 .text  00038ed8  00401000  00401000  00000600  2**2", then its flags.
            if len(fields) == 7 and fields[0].isdigit():
                name = fields[1]
                size, address, offset = (int(fields[i], 16) for i in (2, 3, 5))
                data.seek(offset)
                found[name] = (address, data.read(size) if offset else None)
    return found


def check_stripped(tool, exe):
    problems = [f"{name} is in the file: strip it" for name in sections(tool, exe)
                if name.startswith(".debug")]
    program, size = os.path.basename(exe), os.path.getsize(exe)
    limit = SIZE_LIMITS.get(program) if "pei-i386" in objdump(tool, "-f", exe) else None
    if limit and size > limit:
        problems.append(f"{size} bytes, more than the {limit} it may have")
    print(f"{program}: {size} bytes" + (f", at most {limit}" if limit else ""))
    return problems


def check_sse2(tool, exe, unstripped):
    shipped, linked = sections(tool, exe), sections(tool, unstripped)
    debug = {name for name in linked if name.startswith(".debug")}
    if shipped != {name: linked[name] for name in linked.keys() - debug}:
        return [f"{unstripped} is not {exe} with debug sections: their code differs"]
    functions, name = {}, None
    for line in objdump(tool, "-d", "-C", "--no-show-raw-insn", unstripped).splitlines():
        if match := re.match(r"[0-9a-f]+ <(.*)>:$", line):
            name = match.group(1)
        elif name and VECTOR.search(line):
            functions.setdefault(name, line.strip())
    # The linker puts the exception tables among the code; they are data, never run.
    functions.pop(".gcc_except_table", None)
    problems = [f"{name} uses SSE or MMX before the processor is asked: {first}"
                for name, first in sorted(functions.items()) if not name.startswith("sse2::")]
    problems += [f"no {loop}...) with SSE2 instructions" for loop in FAST_LOOPS
                 if not any(name.startswith(loop) for name in functions)]
    print(f"{os.path.basename(exe)}: SSE2 in {', '.join(sorted(functions))}")
    return problems


def main():
    checks = {"stripped": (check_stripped, 2), "imports": (check_imports, 3),
              "sse2": (check_sse2, 3)}
    if len(sys.argv) < 2 or sys.argv[1] not in checks or len(sys.argv) != checks[sys.argv[1]][1] + 2:
        sys.exit(__doc__)
    check, _ = checks[sys.argv[1]]
    problems = check(*sys.argv[2:])
    for problem in problems:
        print("FAIL:", problem)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
