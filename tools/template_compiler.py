#!/usr/bin/env python3
"""Compiles the readable window-template source into the binary template
segment the runtime reads at start-up, and the handler jump table whose
entries the segment's event fields point at.

Source form (indentation shows nesting; '#' starts a comment):

    window 0x52010001
        header 0 0x19010007
        unit 0x06010001 window
            rect 50 50 453 309
            flags 1
            focus 0
            event 0 onMainWindowCreated
            block
                version 6
                title "Velmora"
        unit 0x16010004 Button 按钮1
            ...

A unit without a 'block' line has an empty type block (all defaults). Fields a
block does not name take their defaults. Texts are written in GBK.

A word after a window's identifier, or after a unit's name, is the symbol by
which code and scripts name it ("window 0x52010001 mainWindow", "unit
0x16016246 Button 按钮3 donateButton"); --names writes them out.

Outputs: a C++ source holding the segment as g_templateData, a header with its
length, and an assembly file with one 8-byte jump per handler, placed right
after AppCodeStart's four bytes, so that handler i sits at offset 8*i from
AppCodeStart + 4. With --names, a C++ header of the named windows (identifier,
own unit, type code, title) and units (window, identifier, type code, control
identifier); with --names-text, the same as shell assignments for scripts.
"""
import argparse
import os
import re
import shlex
import struct
import sys

ENCODING = "gbk"
NO_HANDLER = 0xFFFFFFFF
BLOCK_INDENT = 12  # window 0, unit 4, unit lines 8, block fields 12
HANDLER_ENTRY_SIZE = 8
# The window engine numbers a window's controls from its last unit to its
# first, from 100 in steps of 10 (ui/window_lifecycle.cpp).
FIRST_CONTROL_ID = 100
CONTROL_ID_STEP = 10

UNIT_TYPES = {
    "window": 0x00010001,
    "EditBox": 0x00010005,
    "PicBox": 0x00010006,
    "Button": 0x0001000B,
    "TransLabel": 0x00020005,
    "DropTarget": 0x00030001,
}

# Each unit type's block is laid out in a .def file beside the unit (see
# ui/type_block.h), which the unit's own reader and writer are made from.
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BLOCK_DEFINITIONS = {
    "window": "ui/window_unit_block.def",
    "EditBox": "ui/units/edit_box_block.def",
    "Button": "ui/units/button_block.def",
    "TransLabel": "ui/units/trans_label_block.def",
    "PicBox": "ui/units/pic_box_block.def",
    "DropTarget": "ui/drag_drop/drop_target_block.def",
}
# The .def kinds as the compiler writes them: u32, i32, u16 (a character),
# text (counted GBK bytes), bytes (counted, from a file or hex), font
# (counted, 0 or 60 bytes).
KINDS = {"U32": "u32", "Logical": "u32", "Choice": "u32", "I32": "i32", "Count": "i32",
         "Char": "u16", "Text": "text", "Bytes": "bytes", "Font": "font"}
FIELD = re.compile(r"FIELD\(([^()]*)\)")
VERSION = re.compile(r"VERSION\((\d+)\)")
ARGUMENT = re.compile(r'\s*("[^"]*"|[^,]+)\s*(?:,|$)')


def field_name(member):
    """The template's name of a member: textColour is text_colour."""
    return re.sub(r"(?<!^)([A-Z])", r"_\1", member).lower()


def read_block_definition(type_name):
    """(newest version, [(name, kind, default, since)]) from the type's .def."""
    path = os.path.join(ROOT, BLOCK_DEFINITIONS[type_name])
    with open(path, encoding="utf-8") as definition:
        text = definition.read()
    newest = VERSION.search(text)
    if not newest:
        raise TemplateError(f"{path}: no VERSION")
    fields = []
    for match in FIELD.finditer(text):
        member, kind, default, since, _limit = [part.strip() for part in ARGUMENT.findall(match.group(1))]
        if kind not in KINDS:
            raise TemplateError(f"{path}: unknown field kind {kind}")
        value = default if default.startswith('"') or not default else int(default, 0)
        if isinstance(value, str):
            value = value.strip('"')
            if KINDS[kind] in ("bytes", "font"):
                value = value.encode(ENCODING)
        fields.append((field_name(member), KINDS[kind], value, int(since)))
    return int(newest.group(1)), fields


class TemplateError(Exception):
    pass


def number(token):
    return int(token, 0)


def counted(data):
    return struct.pack("<I", len(data)) + data


def terminated(text):
    data = text.encode(ENCODING)
    if b"\0" in data:
        raise TemplateError("a terminated text holds a NUL byte")
    return data + b"\0"


class Unit:
    def __init__(self, ident, type_name, name, symbol, line):
        if type_name not in UNIT_TYPES:
            raise TemplateError(f"line {line}: unknown unit type {type_name}")
        self.ident, self.type_name, self.name, self.symbol = ident, type_name, name, symbol
        self.rect = (0, 0, 0, 0)
        self.flags = 1
        self.focus = 0
        self.parent = 0
        self.link = 0
        self.tag = ""
        self.events = []  # (event number, handler name or None)
        self.block = None  # dict of field values, or None for an empty block


class Window:
    def __init__(self, ident, symbol):
        self.ident, self.symbol = ident, symbol
        self.header = (0, 0)
        self.units = []


def parse(source_path):
    windows = []
    base_dir = os.path.dirname(os.path.abspath(source_path))
    with open(source_path, encoding="utf-8") as source:
        lines = source.read().splitlines()
    window = unit = None
    in_block = False
    for number_, raw in enumerate(lines, 1):
        if not raw.strip() or raw.strip().startswith("#"):
            continue
        indent = len(raw) - len(raw.lstrip(" "))
        try:
            tokens = shlex.split(raw.strip(), comments=True, posix=True)
        except ValueError as error:
            raise TemplateError(f"line {number_}: {error}")
        if not tokens:
            continue
        keyword, args = tokens[0], tokens[1:]
        if in_block and indent >= BLOCK_INDENT:
            unit.block[keyword] = (args, base_dir, number_)
            continue
        in_block = False
        if indent == 0:
            if keyword != "window":
                raise TemplateError(f"line {number_}: expected 'window'")
            window = Window(number(args[0]), args[1] if len(args) > 1 else None)
            windows.append(window)
            unit, in_block = None, False
        elif window is None:
            raise TemplateError(f"line {number_}: nothing before the first window")
        elif keyword == "unit":
            unit = Unit(number(args[0]), args[1], args[2] if len(args) > 2 else "",
                        args[3] if len(args) > 3 else None, number_)
            window.units.append(unit)
        elif keyword == "header" and unit is None:
            window.header = (number(args[0]), number(args[1]))
        elif unit is None:
            raise TemplateError(f"line {number_}: '{keyword}' outside a unit")
        elif keyword == "block":
            unit.block, in_block = {}, True
        elif keyword == "rect":
            unit.rect = tuple(number(a) for a in args[:4])
        elif keyword == "flags":
            unit.flags = number(args[0])
        elif keyword == "focus":
            unit.focus = number(args[0])
        elif keyword == "parent":
            unit.parent = number(args[0])
        elif keyword == "link":
            unit.link = number(args[0])
        elif keyword == "tag":
            unit.tag = args[0] if args else ""
        elif keyword == "event":
            unit.events.append((number(args[0]), args[1] if len(args) > 1 else None))
        else:
            raise TemplateError(f"line {number_}: unknown keyword '{keyword}'")
    return windows


def field_bytes(kind, value, args, base_dir, line):
    if args is not None:
        if kind in ("u32", "i32"):
            value = number(args[0])
        elif kind == "u16":
            value = args[0]
        elif kind == "text":
            value = args[0] if args else ""
        elif kind in ("bytes", "font"):
            if len(args) == 2 and args[0] == "file":
                with open(os.path.join(base_dir, args[1]), "rb") as data:
                    value = data.read()
            elif len(args) == 2 and args[0] == "hex":
                value = bytes.fromhex(args[1])
            else:
                raise TemplateError(f"line {line}: byte fields are 'file PATH' or 'hex DIGITS'")
    if kind == "u32":
        return struct.pack("<I", value & 0xFFFFFFFF)
    if kind == "i32":
        return struct.pack("<i", value)
    if kind == "u16":
        if isinstance(value, int):
            return struct.pack("<H", value)
        encoded = value.encode(ENCODING)
        if len(encoded) > 1:  # a double-byte character: lead << 8 | trail
            return struct.pack("<H", encoded[0] << 8 | encoded[1])
        return struct.pack("<H", encoded[0] if encoded else 0)
    if kind == "text":
        return counted(value.encode(ENCODING))
    if kind == "font" and len(value) not in (0, 60):
        raise TemplateError(f"line {line}: a font record is 60 bytes")
    return counted(value)


def type_block(unit):
    if unit.block is None:
        return b""
    newest, definition = read_block_definition(unit.type_name)
    given = dict(unit.block)
    version_args = given.pop("version", None)
    version = number(version_args[0][0]) if version_args else newest
    if version > newest:
        raise TemplateError(f"unit 0x{unit.ident:08X}: version {version} is newer than {newest}")
    fields = [(name, kind, default) for name, kind, default, since in definition if since <= version]
    names = {name for name, _, _ in fields}
    for unknown in set(given) - names:
        raise TemplateError(f"line {given[unknown][2]}: {unit.type_name} has no field '{unknown}'")
    out = struct.pack("<I", version)
    for name, kind, default in fields:
        args, base_dir, line = given.get(name, (None, None, None))
        out += field_bytes(kind, default, args, base_dir, line)
    return out


def unit_record(unit, handler_offset):
    body = struct.pack("<II", UNIT_TYPES[unit.type_name], unit.link)
    body += bytes(16)
    body += terminated(unit.name) + terminated("")
    body += struct.pack("<I", 0)
    body += struct.pack("<4i", *unit.rect)
    body += struct.pack("<II", 0, unit.parent)
    body += struct.pack("<I", 0)  # no child units
    body += counted(b"")          # default mouse pointer
    body += terminated(unit.tag)
    body += struct.pack("<IIi", 0, unit.flags, unit.focus)
    body += struct.pack("<I", len(unit.events))
    for event, handler in unit.events:
        body += struct.pack("<iI", event, handler_offset(handler))
    body += bytes(20)
    body += type_block(unit)
    return struct.pack("<I", len(body)) + body


def compile_segment(windows):
    handlers = []

    def handler_offset(name):
        if name is None:
            return NO_HANDLER
        if name not in handlers:
            handlers.append(name)
        return handlers.index(name) * HANDLER_ENTRY_SIZE

    count = len(windows)
    segment = counted(b"".join(struct.pack("<I", w.ident) for w in windows) + bytes(4 * count))
    for window in windows:
        records = [unit_record(u, handler_offset) for u in window.units]
        offsets, position = [], 0
        for record in records:
            offsets.append(position)
            position += len(record)
        unit_buffer = b"".join(struct.pack("<I", u.ident) for u in window.units)
        unit_buffer += b"".join(struct.pack("<I", o) for o in offsets)
        unit_buffer += b"".join(records)
        segment += struct.pack("<II", *window.header)
        segment += counted(b"") + counted(b"")
        segment += struct.pack("<I", len(window.units))
        segment += counted(unit_buffer)
    return segment, handlers


def write_if_changed(path, content):
    mode = "rb" if isinstance(content, bytes) else "r"
    try:
        with open(path, mode) as existing:
            if existing.read() == content:
                return
    except OSError:
        pass
    with open(path, "wb" if isinstance(content, bytes) else "w") as out:
        out.write(content)


def cpp_source(segment, header_name, symbol):
    lines = [f'// Generated by tools/template_compiler.py; do not edit.\n#include "{header_name}"\n',
             f'extern "C" const uint8_t {symbol}[] = {{']
    data = segment if segment else b"\0"
    for i in range(0, len(data), 20):
        lines.append("    " + ", ".join(f"0x{b:02X}" for b in data[i:i + 20]) + ",")
    lines.append("};\n")
    return "\n".join(lines)


def cpp_header(segment, symbol):
    return ("// Generated by tools/template_compiler.py; do not edit.\n#pragma once\n\n"
            "#include <cstdint>\n\n"
            f"constexpr uint32_t {symbol}Length = {len(segment)};\n"
            f'extern "C" const uint8_t {symbol}[];\n')


def named(windows):
    """(kind, symbol, fields) for every named window and unit, in source order."""
    for window in windows:
        own = window.units[0] if window.units and window.units[0].type_name == "window" else None
        if window.symbol:
            if own is None:
                raise TemplateError(f"window {window.ident:#x} has no window unit")
            title = own.block.get("title", ([""],))[0][0] if own.block else ""
            yield "Window", window.symbol, (f"0x{window.ident:08X}", f"0x{own.ident:08X}",
                                            f"0x{UNIT_TYPES['window']:08X}", title)
        others = [u for u in window.units if u is not own]
        for position, unit in enumerate(others):
            if unit.symbol:
                control = FIRST_CONTROL_ID + CONTROL_ID_STEP * (len(others) - 1 - position)
                yield "Unit", unit.symbol, (f"0x{window.ident:08X}", f"0x{unit.ident:08X}",
                                            f"0x{UNIT_TYPES[unit.type_name]:08X}", control)


def constant_name(symbol):
    return "k" + symbol[0].upper() + symbol[1:]


def cpp_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def names_header(windows, namespace, source_name):
    out = [f"// Generated by tools/template_compiler.py from {source_name}; do not edit.",
           "// The windows and units the templates name, as code names them.",
           "#pragma once", "", "#include <cstdint>", "", f"namespace {namespace} {{", "",
           "struct Window {", "    uint32_t id;", "    uint32_t unit;  // the window's own unit",
           "    uint32_t type;", "    const char* title;", "};", "",
           "struct Unit {", "    uint32_t window;", "    uint32_t id;", "    uint32_t type;",
           "    int32_t control;  // the control identifier of its native window", "};", ""]
    for kind, symbol, fields in named(windows):
        if kind == "Window":
            values = ", ".join(fields[:3]) + ", " + cpp_string(fields[3])
        else:
            values = ", ".join(str(f) for f in fields)
        out.append(f"constexpr {kind} {constant_name(symbol)} = {{{values}}};")
    out += ["", f"}}  // namespace {namespace}", ""]
    return "\n".join(out)


def names_text(windows, source_name):
    out = [f"# Generated by tools/template_compiler.py from {source_name}; do not edit."]
    for kind, symbol, fields in named(windows):
        prefix = "".join("_" + c if c.isupper() else c.upper() for c in symbol)
        if kind == "Window":
            out += [f"{prefix}_ID={fields[0]}", f"{prefix}_TITLE={shlex.quote(fields[3])}"]
        else:
            out += [f"{prefix}_ID={fields[1]}", f"{prefix}_CONTROL={fields[3]}"]
    return "\n".join(out) + "\n"


def handler_table(handlers):
    out = ["/* Generated by tools/template_compiler.py; do not edit.",
           "   The handler jump table: it follows AppCodeStart's four bytes, so that the",
           "   offset 8*i in a template leads from AppCodeStart + 4 to handler i. */",
           '    .section .text$velmora_b,"xr"', "    .p2align 2", "    .globl _AppHandlerTable",
           "_AppHandlerTable:"]
    for name in handlers:
        out += [f"    .byte 0xE9", f"    .long _{name} - (. + 4)", "    .fill 3, 1, 0xCC"]
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("source")
    parser.add_argument("--cpp", required=True)
    parser.add_argument("--header", required=True)
    parser.add_argument("--asm", help="the handler jump table; omit for data alone")
    parser.add_argument("--symbol", default="g_templateData")
    parser.add_argument("--binary")
    parser.add_argument("--names", help="a C++ header of the named windows and units")
    parser.add_argument("--names-namespace", default="windows")
    parser.add_argument("--names-text", help="the same names as shell assignments")
    options = parser.parse_args()
    source_name = os.path.basename(options.source)
    try:
        windows = parse(options.source)
        segment, handlers = compile_segment(windows)
        names = names_header(windows, options.names_namespace, source_name) if options.names else None
        text = names_text(windows, source_name) if options.names_text else None
    except (TemplateError, OSError, IndexError, ValueError) as error:
        print(f"{options.source}: {error}", file=sys.stderr)
        return 1
    if names is not None:
        write_if_changed(options.names, names)
    if text is not None:
        write_if_changed(options.names_text, text)
    write_if_changed(options.header, cpp_header(segment, options.symbol))
    write_if_changed(options.cpp, cpp_source(segment, os.path.basename(options.header), options.symbol))
    if options.asm:
        write_if_changed(options.asm, handler_table(handlers))
    if options.binary:
        write_if_changed(options.binary, segment)
    return 0


if __name__ == "__main__":
    sys.exit(main())
