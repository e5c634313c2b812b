#!/usr/bin/python3
"""Converts a UTF-8 IDL file to Shift-JIS (code page 932) for widl.

widl reads escapes byte by byte, so a double-byte character whose trail byte
is 0x5C (表, ソ, 能) would end a string early; such trail bytes are written
as the escape "\\\\", which widl turns back into the single byte.
Usage: idl_to_cp932.py <input.idl> <output.idl>
"""
import sys

source = open(sys.argv[1], encoding="utf-8").read()
output = bytearray()
for ch in source:
    encoded = ch.encode("cp932")
    output += encoded
    if len(encoded) == 2 and encoded[1] == 0x5C:
        output += b"\\"
with open(sys.argv[2], "wb") as target:
    target.write(output)
