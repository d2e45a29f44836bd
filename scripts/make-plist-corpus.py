#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_plist: plistlib's binary and XML output for every type it can write,
a few hand-made binary lists for the types it cannot (null, set, UID widths), old-style text, and the
values Corvane itself stores. Deterministic, so rerunning it gives the same files."""
import datetime
import os
import plistlib
import shutil
import struct
import sys

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus", "plist")
shutil.rmtree(root, ignore_errors=True)
os.makedirs(root)


def save(name, data):
    with open(os.path.join(root, name), "wb") as f:
        f.write(data)


values = {
    "string": "Keywords",
    "string-15": "x" * 15,
    "string-300": "y" * 300,
    "unicode": "Cr\u00e8me \u6771\u4eac \U0001F600",
    "markup": "a<b>&c\r\n",
    "true": True,
    "false": False,
    "ints": [0, 255, 256, 65536, 2**32, -1, -2**63, 2**64 - 1],
    "reals": [1.5, -0.0, 1e300, float("inf")],
    "date": datetime.datetime(2024, 2, 29, 13, 14, 15),
    "data": bytes(range(40)),
    "feed": [{"AppName": "Corvane", "Version": "2.0", "URL": "https://example.org/c.zip"},
             {"AppName": "Other", "Version": "1.0", "URL": "x"}],
    "nested": {"a": [{"b": [[], {}, [b""]]}], "c": {"d": "e"}},
    "shared": ["same", "same", "same", 7, 7],
    "wide-refs": list(range(300)),
    "uid": plistlib.UID(70000),
}
for name, value in values.items():
    save(name + ".bplist", plistlib.dumps(value, fmt=plistlib.FMT_BINARY))
    if not isinstance(value, plistlib.UID):
        save(name + ".xml", plistlib.dumps(value, fmt=plistlib.FMT_XML))


def bplist(objects, top=0, offset_size=1, ref_size=1):
    out = bytearray(b"bplist00")
    offsets = []
    for obj in objects:
        offsets.append(len(out))
        out += obj
    table = len(out)
    for offset in offsets:
        out += offset.to_bytes(offset_size, "big")
    out += bytes(6) + bytes([offset_size, ref_size])
    out += struct.pack(">QQQ", len(objects), top, table)
    return bytes(out)


save("null.bplist", bplist([b"\x00"]))
save("set.bplist", bplist([b"\xc2\x01\x02", b"\x51a", b"\x09"]))
save("real32-uid.bplist", bplist([b"\xa2\x01\x02", b"\x22\x3f\xc0\x00\x00", b"\x83\x00\x01\x00\x00"]))
save("int128.bplist", bplist([b"\x14" + (2**100).to_bytes(16, "big")]))
save("width3.bplist", bplist([b"\xa1\x00\x00\x01", b"\x61\x00\xe9"], offset_size=3, ref_size=3))
save("cycle.bplist", bplist([b"\xa1\x00"]))
save("bomb.bplist", bplist([bytes([0xA4]) + bytes([i + 1]) * 4 for i in range(6)] + [b"\x00"]))
save("nul-suffix.bplist", plistlib.dumps("netatalk", fmt=plistlib.FMT_BINARY) + b"\0")
save("corvane-saved.bplist", plistlib.dumps("one\rtwo", fmt=plistlib.FMT_BINARY))

save("oldstyle-string.txt", b'"quoted \\"value\\" \\U00e9 \\101"')
save("oldstyle-word.txt", b"hello")
save("oldstyle-feed.txt", b"( { AppName = Corvane; Version = \"2.0\"; /* c */ URL = x; }, ) // end\n")
save("oldstyle-data.txt", b"<0001 02ff>")
save("oldstyle-strings.txt", b"a = b;\n\"c\" = (d, <00>);\n")
save("xml-utf16.xml", "\ufeff<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><string>\u00e9</string></plist>"
     .encode("utf-16-le"))
save("xml-entities.xml", b"<?xml version=\"1.0\"?><plist><string>&lt;&#x1F600;&#13;<![CDATA[]]></string></plist>")
save("xml-doctype-subset.xml", b"<!DOCTYPE plist [<!ENTITY a \"b\">]><plist><string>&a;</string></plist>")

count = len(os.listdir(root))
size = sum(os.path.getsize(os.path.join(root, f)) for f in os.listdir(root))
print(f"{count} files, {size} bytes in {os.path.normpath(root)}", file=sys.stderr)
