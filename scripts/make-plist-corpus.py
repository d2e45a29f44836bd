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



# Hostile shapes, each small: attribute-heavy tags, encodings that disagree with their byte order mark,
# base64 cut short, old-style text behind a byte order mark, and aliases in the offset table.
def attrs(n):
    return "".join(f' a{i}=""' for i in range(n))


save("xml-attributes.xml", f"<plist{attrs(17)}><true/></plist>".encode())
save("xml-attributes-utf16.xml", ("\ufeff" + f"<plist{attrs(17)}><true/></plist>").encode("utf-16-le"))
save("xml-bom-utf7.xml", b'\xef\xbb\xbf<?xml version="1.0" encoding="UTF-7"?>'
     b'<!DOCTYPE plist +AFs-<!ENTITY a "b">+AF0-><plist><string>&a;</string></plist>')
save("xml-bom-disagrees.xml", ("\ufeff<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist><true/></plist>")
     .encode("utf-16-le"))
save("xml-latin1.xml", b'<?xml version="1.0" encoding="ISO-8859-1"?><plist><string>caf\xe9</string></plist>')
save("xml-data-dangling.xml", b"<plist><data>QUJDR</data></plist>")
save("xml-empty-arrays.xml", b"<plist><array>" + b"<array/>" * 64 + b"</array></plist>")
save("oldstyle-bom-utf8.txt", b'\xef\xbb\xbf( a, "\xc3\xa9" )')
save("oldstyle-strings-utf16.txt", "\ufeff/* c */\n\"k\" = \"Gr\u00fc\u00df\";\n".encode("utf-16-le"))
# An array of 64 references, each to its own table entry, and every entry the offset of one empty string.
aliases = bytearray(b"bplist00\x50") + bytes([0xAF, 0x10, 64]) + bytes(range(1, 65))
aliases += bytes([9]) + bytes([8]) * 64 + bytes(6) + bytes([1, 1]) + struct.pack(">QQQ", 65, 0, len(aliases))
save("aliases.bplist", bytes(aliases))

# Shared references, each a few hundred bytes that expand a thousandfold when written out: a list of 120
# references to one list of 240 references to one null, and a list of 970 references to one dictionary
# whose key is 1,000 bytes of \x01 (six bytes each in JSON).
shared_lists = bplist([bytes([0xAF, 0x10, 120]) + b"\x01" * 120, bytes([0xAF, 0x10, 240]) + b"\x02" * 240, b"\x00"],
                      offset_size=2)
escaped_keys = bplist([bytes([0xAF, 0x11, 0x03, 0xCA]) + b"\x01" * 970, b"\xd1\x02\x03",
                       b"\x5f\x11\x03\xe8" + b"\x01" * 1000, b"\x00"], offset_size=2)
# 299 dictionaries, each inside the last beside one shared text of 50 lines: the copied text indents
# every line of it by two spaces per level.
lines = b"\x5f\x10\x64" + b"a\n" * 50
deep_dicts = bplist([b"\x51k", b"\x51s", lines] + [b"\xd2" + struct.pack(">HHHH", 0, 1, 4 + i, 2) for i in range(299)]
                    + [b"\x50"], top=3, offset_size=2, ref_size=2)
for name, data in [("shared-lists", shared_lists), ("escaped-keys", escaped_keys), ("deep-dicts", deep_dicts)]:
    save(name + ".bplist", data)

count = len(os.listdir(root))
size = sum(os.path.getsize(os.path.join(root, f)) for f in os.listdir(root))
print(f"{count} files, {size} bytes in {os.path.normpath(root)}", file=sys.stderr)


# The update feed's seeds of the same kind, beside the hand-made ones already there.
feeds = os.path.join(os.path.dirname(root), "updatefeed")
base = "https://downloads.corvane.test/get/"


def feed(name, data):
    with open(os.path.join(feeds, name), "wb") as f:
        f.write(data)


def shared_entry(entry, references):
    """A binary feed of `references` entries that are all one dictionary."""
    keys = list(entry)
    objects = [bytes([0xAF, 0x10, references]) + bytes([1]) * references,
               bytes([0xD0 | len(keys)]) + bytes(range(2, 2 + len(keys)))
               + bytes(range(2 + len(keys), 2 + 2 * len(keys)))]
    for key in keys:
        objects.append(bytes([0x50 | len(key)]) + key.encode())
    for key in keys:
        value = entry[key]
        if value.isascii():
            head = bytes([0x5F, 0x11]) + struct.pack(">H", len(value))
            objects.append(head + value.encode())
        else:
            head = bytes([0x6F, 0x11]) + struct.pack(">H", len(value))
            objects.append(head + value.encode("utf-16-be"))
    out = bytearray(b"bplist00")
    offsets = []
    for obj in objects:
        offsets.append(len(out))
        out += obj
    table = len(out)
    for offset in offsets:
        out += struct.pack(">H", offset)
    out += bytes(6) + bytes([2, 1]) + struct.pack(">QQQ", len(objects), 0, table)
    return bytes(out)


# The same shapes as attribute values (the first byte picks the name the value is read under), and a
# flat list long enough to need its items counted by what they write, not by a fixed cost each.
values = os.path.join(os.path.dirname(root), "attributevalue")
for name, data in [("shared-lists", shared_lists), ("escaped-keys", escaped_keys), ("deep-dicts", deep_dicts),
                   ("flat-list", plistlib.dumps([chr(97 + i % 26) for i in range(3000)], fmt=plistlib.FMT_BINARY)),
                   ("lastused-min", struct.pack("<qq", -2**63, 0))]:
    with open(os.path.join(values, name), "wb") as f:
        f.write((b"\x02" if name.startswith("lastused") else b"\x00") + data)


feed("shared-nonascii-name.bplist", shared_entry({"AppName": "Corvan\u00e9" * 40}, 64))
feed("shared-long-url.bplist", shared_entry({"AppName": "Corvane", "Version": "2.0", "URL": base + "a" * 3000}, 64))
feed("many-offers.bplist", shared_entry({"AppName": "Corvane", "Version": "2.0", "URL": base + "c.tar.gz"}, 64))
feed("five-offers.xml", plistlib.dumps(
    [{"AppName": "Corvane", "Version": f"{v}.0", "URL": f"{base}{v}"} for v in range(2, 7)]))
feed("long-version.xml", plistlib.dumps([{"AppName": "Corvane", "Version": "v" * 257, "URL": base + "x"}]))
feed("dot-segments.xml", plistlib.dumps(
    [{"AppName": "Corvane", "Version": "2.0", "URL": base + "../../evil/x"},
     {"AppName": "Corvane", "Version": "3.0", "URL": base + "%2e%2e/%2E%2e/evil/x"}]))
feed("entries-1001.bplist", plistlib.dumps(
    [{"AppName": "Other"}] * 1000 + [{"AppName": "Corvane", "Version": "2.0", "URL": base + "x"}],
    fmt=plistlib.FMT_BINARY))
