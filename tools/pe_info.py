#!/usr/bin/python3
"""Prints what a Windows module (DLL or EXE) is: its file version or its machine.

  pe_info.py version <module>   the file version, e.g. "1.0.0.1", from the
                                fixed part of the version resource
                                (VS_FIXEDFILEINFO), so it is what was built
  pe_info.py machine <module>   "x86" or "x64"
"""
import struct
import sys

RT_VERSION = 16
MACHINES = {0x14C: "x86", 0x8664: "x64"}
FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD


def fail(message):
    sys.exit("pe_info: %s: %s" % (sys.argv[2], message))


def pe_header(data):
    if data[:2] != b"MZ":
        fail("not a Windows module")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        fail("no PE header")
    return pe


def machine(data):
    code = struct.unpack_from("<H", data, pe_header(data) + 4)[0]
    return MACHINES.get(code, "machine 0x%04x" % code)


def read_sections(data):
    pe = pe_header(data)
    section_count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)  # PE32+ or PE32
    resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    sections = []
    table = optional + optional_size
    for i in range(section_count):
        _, virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from("<8sIIII", data, table + 40 * i)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_offset))
    return resource_rva, sections


def file_offset(rva, sections):
    for virtual_address, size, raw_offset in sections:
        if virtual_address <= rva < virtual_address + size:
            return rva - virtual_address + raw_offset
    fail("address 0x%x lies in no section" % rva)


def first_entry(data, directory, wanted_id=None):
    """The offset field of the directory's entry with wanted_id (or its first entry)."""
    named, numbered = struct.unpack_from("<HH", data, directory + 12)
    for i in range(named + numbered):
        name, offset = struct.unpack_from("<II", data, directory + 16 + 8 * i)
        if wanted_id is None or (not name & 0x80000000 and name == wanted_id):
            return offset
    fail("no version resource")


def file_version(data):
    resource_rva, sections = read_sections(data)
    if resource_rva == 0:
        fail("no resources")
    root = file_offset(resource_rva, sections)
    entry = first_entry(data, root, RT_VERSION)  # type, then name, then language
    for _ in range(2):
        if not entry & 0x80000000:
            fail("malformed resource directory")
        entry = first_entry(data, root + (entry & 0x7FFFFFFF))
    data_rva, size = struct.unpack_from("<II", data, root + entry)
    resource = data[file_offset(data_rva, sections):][:size]
    # VS_VERSIONINFO: three WORDs, the key "VS_VERSION_INFO\0" in UTF-16,
    # padding to a 32-bit boundary, then VS_FIXEDFILEINFO.
    fixed = (6 + len("VS_VERSION_INFO\0") * 2 + 3) & ~3
    signature, _, version_ms, version_ls = struct.unpack_from("<IIII", resource, fixed)
    if signature != FIXED_FILE_INFO_SIGNATURE:
        fail("version resource without its fixed part")
    return "%d.%d.%d.%d" % (version_ms >> 16, version_ms & 0xFFFF, version_ls >> 16, version_ls & 0xFFFF)


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("version", "machine"):
        sys.exit("usage: pe_info.py version|machine <module>")
    data = open(sys.argv[2], "rb").read()
    print(file_version(data) if sys.argv[1] == "version" else machine(data))


if __name__ == "__main__":
    main()
