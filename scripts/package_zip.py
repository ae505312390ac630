#!/usr/bin/env python3
"""Writes the release zip from a prepared folder, reproducibly, and checks a written zip.

write FOLDER ZIP EPOCH: the folder becomes one top folder in the zip. Entries are sorted by
name, each carries the moment EPOCH (UTC), Unix permissions 0755 for folders and .exe files and
0644 for the rest, and no extra fields, so the bytes depend on nothing but the files and EPOCH.

check ZIP TOP ENTRY...: every ENTRY (relative to TOP) is in the zip, every name lies below TOP
without an absolute path or "..", Pointex.exe is a PE32 GUI program and witz.exe a PE32 console
program, and every text file (LIESMICH.txt, QUELLEN.txt, LICENSE.txt and the About texts) reads
right in Notepad from Windows XP on: CR LF line ends throughout, no control characters but tabs,
and either UTF-8 after a byte-order mark or Windows-1252 that is not also valid UTF-8 (which
Notepad since Windows 10 would take it for). Prints what fails; exits 1 then.
"""

import stat
import struct
import sys
import time
import zipfile
from pathlib import Path

# Zip times are MS-DOS times: from 1980 to 2107, in two-second steps.
DOS_FIRST = 315532800
DOS_LAST = 4354819198


def entry(name, mode, moment):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(moment)[:6])
    info.create_system = 3  # Unix, so that the permissions below count
    info.external_attr = mode << 16
    if stat.S_ISDIR(mode):
        info.external_attr |= 0x10  # the MS-DOS folder flag
    else:
        info.compress_type = zipfile.ZIP_DEFLATED
    return info


def write(folder, target, epoch):
    moment = min(max(epoch, DOS_FIRST), DOS_LAST)
    root = Path(folder)
    paths = sorted(root.rglob("*"), key=lambda p: p.relative_to(root.parent).parts)
    with zipfile.ZipFile(target, "w") as out:
        out.writestr(entry(root.name + "/", stat.S_IFDIR | 0o755, moment), b"")
        for path in paths:
            name = path.relative_to(root.parent).as_posix()
            if path.is_symlink() or not (path.is_dir() or path.is_file()):
                sys.exit(f"package_zip: {path} is neither a plain file nor a folder")
            if path.is_dir():
                out.writestr(entry(name + "/", stat.S_IFDIR | 0o755, moment), b"")
            else:
                mode = 0o755 if path.suffix == ".exe" else 0o644
                out.writestr(
                    entry(name, stat.S_IFREG | mode, moment), path.read_bytes(), compresslevel=9
                )


def pe_kind(data):
    """The optional header's magic and the subsystem of a PE file, or None."""
    if len(data) < 64 or data[:2] != b"MZ":
        return None
    (header,) = struct.unpack_from("<I", data, 60)
    if data[header : header + 4] != b"PE\0\0" or len(data) < header + 24 + 70:
        return None
    optional = header + 24
    (magic,) = struct.unpack_from("<H", data, optional)
    (subsystem,) = struct.unpack_from("<H", data, optional + 68)
    return magic, subsystem


TEXT_FILES = ("LIESMICH.txt", "QUELLEN.txt", "LICENSE.txt", "about", "version", "lizenz")
BOM = b"\xef\xbb\xbf"


def notepad_fault(text):
    """Why Notepad would not show the bytes as written, or None."""
    pairs = text.count(b"\r\n")
    if not text or text.count(b"\n") != pairs or text.count(b"\r") != pairs:
        return "does not have CR LF line ends throughout"
    if any(byte < 0x20 and byte not in b"\t\r\n" for byte in text):
        return "holds control characters"
    if text.startswith(BOM):
        try:
            text.decode("utf-8")
        except UnicodeDecodeError as error:
            return f"has a UTF-8 byte-order mark but is no UTF-8 at byte {error.start}"
        return None
    try:
        text.decode("cp1252")
    except UnicodeDecodeError as error:
        return f"is no Windows-1252 at byte {error.start} (and has no UTF-8 byte-order mark)"
    if any(byte >= 0x80 for byte in text):
        try:
            text.decode("utf-8")
            return "is UTF-8 without a byte-order mark, which older Notepads read as ANSI"
        except UnicodeDecodeError:
            pass
    return None


def check(target, top, wanted):
    faults = []
    with zipfile.ZipFile(target) as archive:
        infos = archive.infolist()
        names = {info.filename for info in infos}
        for info in infos:
            name = info.filename
            parts = name.rstrip("/").split("/")
            if name.startswith("/") or "\\" in name or ":" in parts[0] or ".." in parts:
                faults.append(f"unsafe entry name {name!r}")
            elif parts[0] != top:
                faults.append(f"entry {name!r} is not below {top}/")
            if info.extra:
                faults.append(f"entry {name!r} has extra fields")
        for name in wanted:
            if f"{top}/{name}" not in names:
                faults.append(f"missing entry {top}/{name}")
        # 0x10b is PE32 (PE32+ is 0x20b); subsystem 2 is a GUI program, 3 a console one.
        for name, subsystem, kind in (("Pointex.exe", 2, "GUI"), ("witz.exe", 3, "console")):
            if f"{top}/{name}" in names:
                found = pe_kind(archive.read(f"{top}/{name}"))
                if found != (0x10B, subsystem):
                    faults.append(f"{name} is not a PE32 {kind} program (magic, subsystem: {found})")
        for name in TEXT_FILES:
            if f"{top}/{name}" in names:
                fault = notepad_fault(archive.read(f"{top}/{name}"))
                if fault:
                    faults.append(f"{name} {fault}")
    for fault in faults:
        print(f"FAIL: {fault}")
    if not faults:
        print(f"zip as a file: {len(names)} entries below {top}/, all {len(wanted)} expected ones there")
    return not faults


def main():
    if len(sys.argv) == 5 and sys.argv[1] == "write":
        write(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    elif len(sys.argv) >= 4 and sys.argv[1] == "check":
        sys.exit(0 if check(sys.argv[2], sys.argv[3], sys.argv[4:]) else 1)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
