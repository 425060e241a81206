#!/usr/bin/env python3
"""Checks of the Windows module QV12_Kadrelle.aip, made from Linux.

    check_module.py MODULE RESOURCE_DUMP RESOURCES_DIR

MODULE is the built module, RESOURCE_DUMP the native kadrelle_resource_dump
(the tables that the Linux build reads, from rcgen), RESOURCES_DIR the
folder of kadrelle.ico and kadrelle.cur. The export and import tables come
from i686-w64-mingw32-objdump, the resources from wrestool (icoutils).
Prints one line per check and "N passed, N failed"; exits 1 on a failure.
"""
import re
import struct
import subprocess
import sys

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "msvcrt.dll", "gdi32.dll", "advapi32.dll"}
RT_CURSOR, RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_CURSOR, RT_GROUP_ICON = 1, 3, 5, 6, 12, 14

passed = 0
failed = 0


def check(name, ok, detail=""):
    global passed, failed
    if ok:
        passed += 1
        print(f"ok   {name}")
    else:
        failed += 1
        print(f"FAIL {name}" + (f": {detail}" if detail else ""))


def resource(module, rtype, name):
    result = subprocess.run(["wrestool", "-x", "--raw", f"--type={rtype}", f"--name={name}", module],
                            capture_output=True, check=False)
    return result.stdout


def unescape(text):
    return re.sub(r"\\x([0-9a-f]{2})", lambda m: chr(int(m.group(1), 16)), text)


def read_dump(dump):
    out = subprocess.run([dump], capture_output=True, text=True, check=True).stdout
    tables = {"pipl": b"", "strings": {}, "dialogs": {}, "icons": [], "cursors": []}
    for line in out.splitlines():
        kind, _, rest = line.partition(" ")
        if kind == "pipl":
            tables["pipl"] = bytes.fromhex(rest)
        elif kind == "string":
            number, text = re.fullmatch(r'(\d+) "(.*)"', rest).groups()
            tables["strings"][int(number)] = unescape(text)
        elif kind == "dialog":
            m = re.fullmatch(r'(\d+) (\d+) (\d+) (\d+) "(.*)" "(.*)" (\d+)', rest)
            tables["dialogs"][int(m[1])] = {"size": (int(m[2]), int(m[3])), "font": (int(m[4]), unescape(m[5])),
                                            "caption": unescape(m[6]), "count": int(m[7]), "items": []}
        elif kind == "item":
            m = re.fullmatch(r'(\d+) (\d+) "(.*)" (-?\d+) (-?\d+) (\d+) (\d+) "(.*)"', rest)
            tables["dialogs"][int(m[1])]["items"].append(
                (int(m[2]), unescape(m[3]), (int(m[4]), int(m[5]), int(m[6]), int(m[7])), unescape(m[8])))
        elif kind == "icon":
            tables["icons"].append(tuple(int(v) for v in rest.split()))
        elif kind == "cursor":
            tables["cursors"].append(tuple(int(v) for v in rest.split()))
    return tables


def check_tables(module):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", module], capture_output=True, text=True,
                          check=True).stdout
    exports = re.findall(r"^\s+\[\s*\d+\] (\S+)$", dump, re.M)
    check("exports exactly PluginMain, undecorated", exports == ["PluginMain"], f"exports {exports}")
    imports = [name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)]
    check("imports only system DLLs", bool(imports) and set(imports) <= SYSTEM_DLLS, f"imports {imports}")
    check("is a 32-bit x86 DLL", "file format pei-i386" in dump and re.search(r"Characteristics .*\n(.*\n)*?\s+DLL", dump) is not None)


def utf16(data, at):
    """A zero-terminated UTF-16 string, or an 0xFFFF ordinal; returns (value, next offset)."""
    if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def parse_dialog(data):
    style, _exstyle, count, _x, _y, cx, cy = struct.unpack_from("<IIHhhhh", data, 0)
    at = 18
    _menu, at = utf16(data, at)
    _class, at = utf16(data, at)
    caption, at = utf16(data, at)
    font = None
    if style & 0x40:  # DS_SETFONT
        size = struct.unpack_from("<H", data, at)[0]
        name, at = utf16(data, at + 2)
        font = (size, name)
    items = []
    for _ in range(count):
        at = (at + 3) & ~3
        istyle, _iex, x, y, w, h, ident = struct.unpack_from("<IIhhhhH", data, at)
        at += 18
        cls, at = utf16(data, at)
        text, at = utf16(data, at)
        extra = struct.unpack_from("<H", data, at)[0]
        at += 2 + extra
        items.append({"id": ident, "class": cls, "style": istyle, "rect": (x, y, w, h), "text": text})
    return {"caption": caption, "size": (cx, cy), "font": font, "items": items}


def item_kind(item):
    # A class given by name in the script ("Static") is stored as its name.
    by_name = {"button": 0x80, "static": 0x82}
    if isinstance(item["class"], str) and item["class"].lower() in by_name:
        item = dict(item, **{"class": by_name[item["class"].lower()]})
    if item["class"] == 0x80 and item["style"] & 0xF in (0, 1):  # BS_PUSHBUTTON, BS_DEFPUSHBUTTON
        return "ADM Text Push Button Type"
    if item["class"] == 0x82:
        return "ADM Frame Type" if item["style"] & 0x1F == 7 else "ADM Text Static Type"  # SS_BLACKFRAME
    return f"class {item['class']}"


def image_data(path, index=0):
    """The image bytes and the directory entry of an .ico or .cur file."""
    data = open(path, "rb").read()
    _reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    w, h, colours, _r, field1, field2, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * index)
    return kind, count, (w, h, colours, field1, field2), data[offset:offset + size]


def check_resources(module, tables, resources_dir):
    listing = subprocess.run(["wrestool", "-l", module], capture_output=True, text=True, check=True).stdout
    check("wrestool lists the module's resources", "--type='PIPL' --name=16000" in listing, listing)

    pipl = resource(module, "PIPL", 16000)
    check("PIPL 16000 byte for byte as the Linux build's", pipl == tables["pipl"] and len(pipl) > 0,
          f"module {pipl.hex()} linux {tables['pipl'].hex()}")
    check("PIPL 16000 names the entry point PluginMain", b"wx86" [::-1] in pipl and b"PluginMain" in pipl)

    strings = {}
    for block in sorted({(ident >> 4) + 1 for ident in tables["strings"]} | {1004, 1007}):
        data = resource(module, RT_STRING, block)
        at = 0
        for index in range(16):
            if at >= len(data):
                break
            length = struct.unpack_from("<H", data, at)[0]
            at += 2
            if length:
                strings[(block - 1) * 16 + index] = data[at:at + 2 * length].decode("utf-16-le")
            at += 2 * length
    check("string lists 16050 and 16100 hold the Linux build's texts, no more",
          strings == tables["strings"] and any(16050 <= i < 16100 for i in strings) and 16101 in strings,
          f"module {strings}")

    for ident in (16050, 16051, 16101):
        data = resource(module, RT_DIALOG, ident)
        if not data:
            check(f"dialog {ident}", False, "missing")
            continue
        dialog = parse_dialog(data)
        linux = tables["dialogs"].get(ident)
        check(f"dialog {ident}: caption, size and font as the Linux build's",
              linux is not None and dialog["caption"] == linux["caption"] and dialog["size"] == linux["size"]
              and dialog["font"] == linux["font"], f"module {dialog} linux {linux}")
        items = [(i["id"], item_kind(i), i["rect"], i["text"]) for i in dialog["items"]]
        check(f"dialog {ident}: {len(items)} items with ids, kinds, places and texts as the Linux build's",
              linux is not None and items == linux["items"] and len(items) == linux["count"],
              f"module {items} linux {linux and linux['items']}")

    group = resource(module, RT_GROUP_ICON, 16051)
    ok = len(group) >= 20
    if ok:
        _r, kind, count = struct.unpack_from("<HHH", group, 0)
        w, h, colours, _res, planes, bits, size, image_id = struct.unpack_from("<BBBBHHIH", group, 6)
        icon = resource(module, RT_ICON, image_id)
        header = struct.unpack_from("<IiiHH", icon, 0) if len(icon) >= 16 else None
        _k, _c, _entry, file_image = image_data(f"{resources_dir}/kadrelle.ico")
        ok = (kind, count, w, h, colours, bits) == (1, 1, 32, 32, 16, 4) and header == (40, 32, 64, 1, 4) \
            and icon == file_image and tables["icons"] == [(16051, 32, 32, 4)]
        detail = f"group {group.hex()} header {header}"
    else:
        detail = "missing"
    check("icon group 16051: one 32 by 32 image of 16 colours, the bytes of kadrelle.ico", ok, detail)

    group = resource(module, RT_GROUP_CURSOR, 16001)
    ok = len(group) >= 20
    if ok:
        _r, kind, count = struct.unpack_from("<HHH", group, 0)
        w, h, planes, bits, size, image_id = struct.unpack_from("<HHHHIH", group, 6)
        cursor = resource(module, RT_CURSOR, image_id)
        hot = struct.unpack_from("<HH", cursor, 0) if len(cursor) >= 4 else None
        header = struct.unpack_from("<IiiHH", cursor, 4) if len(cursor) >= 20 else None
        _k, _c, entry, file_image = image_data(f"{resources_dir}/kadrelle.cur")
        ok = (kind, count, w, h, bits) == (2, 1, 32, 64, 1) and hot == (14, 16) and header == (40, 32, 64, 1, 1) \
            and cursor[4:] == file_image and entry[3:5] == (14, 16) and tables["cursors"] == [(16001, 32, 32, 14, 16)]
        detail = f"group {group.hex()} hot spot {hot} header {header}"
    else:
        detail = "missing"
    check("cursor group 16001: 32 by 32 monochrome, hot spot (14, 16), the bytes of kadrelle.cur", ok, detail)


def main():
    module, dump, resources_dir = sys.argv[1:4]
    tables = read_dump(dump)
    check("the Linux build's tables are complete", tables["pipl"] and tables["strings"] and len(tables["dialogs"]) == 3)
    check_tables(module)
    check_resources(module, tables, resources_dir)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
