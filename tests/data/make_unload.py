#!/usr/bin/env python3
"""Writes the qpeek-import test inputs into tests/data/import/: queue unload files in every
data-line style, multi-message save files, inputs with one fault each (errors/), and for
every good input the message files an import must produce (expected/), built here from the
same message list independently of the importer.

    make_unload.py                 writes tests/data/import/
    make_unload.py --compare E A [E A ...]
                                   compares each expected message file E with the actual A
                                   field by field, naming the first descriptor field that
                                   differs; prints the number of equal pairs (exit 1 if any
                                   pair differs)
    make_unload.py --big N FILE    writes an unload file of about N megabytes of X lines
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from message_files import MQMD_FIELDS, pack_mqmd, text, write  # noqa: E402

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "import")

# The loader's default descriptor: what an attribute line left out leaves in a field.
DEFAULT = dict(StrucId=b"MD  ", Version=1, Report=0, MsgType=8, Expiry=-1, Feedback=0,
               Encoding=546, CodedCharSetId=0, Format=b" " * 8, Priority=-1, Persistence=2,
               MsgId=b"\0" * 24, CorrelId=b"\0" * 24, BackoutCount=0, ReplyToQ=b"\0" * 48,
               ReplyToQMgr=b"\0" * 48, UserIdentifier=b"\0" * 12, AccountingToken=b"\0" * 32,
               ApplIdentityData=b"\0" * 32, PutApplType=0, PutApplName=b"\0" * 28,
               PutDate=b"\0" * 8, PutTime=b"\0" * 8, ApplOriginData=b"\0" * 4,
               GroupId=b"\0" * 24, MsgSeqNumber=1, Offset=0, MsgFlags=0, OriginalLength=-1)
LENGTH = {name: n for name, _, n, _ in MQMD_FIELDS}
OFFSET = {name: off for name, off, _, _ in MQMD_FIELDS}
KIND = {name: kind for name, _, _, kind in MQMD_FIELDS}

# Attribute codes in the writer's order: (code, field, how the value is written).
ATTRIBUTES = [
    ("VER", "Version", "d2"), ("RPT", "Report", "d"), ("MST", "MsgType", "d"),
    ("EXP", "Expiry", "d"), ("FDB", "Feedback", "d"), ("ENC", "Encoding", "d"),
    ("CCS", "CodedCharSetId", "d"), ("FMT", "Format", "c"), ("PRI", "Priority", "d"),
    ("PER", "Persistence", "d"), ("MSI", "MsgId", "x"), ("COI", "CorrelId", "x"),
    ("BOC", "BackoutCount", "d"), ("RTQ", "ReplyToQ", "c"), ("RTM", "ReplyToQMgr", "c"),
    ("USR", "UserIdentifier", "c"), ("ACC", "AccountingToken", "x"),
    ("AIX", "ApplIdentityData", "a"), ("PAT", "PutApplType", "d"),
    ("PAN", "PutApplName", "c"), ("PTD", "PutDate", "c"), ("PTT", "PutTime", "c"),
    ("AOX", "ApplOriginData", "a"), ("GRP", "GroupId", "x2"), ("MSQ", "MsgSeqNumber", "d2"),
    ("OFF", "Offset", "d2"), ("MSF", "MsgFlags", "d2"), ("ORL", "OriginalLength", "d2"),
]


def descriptor(**fields):
    """A put message's descriptor (version 2, blank-padded character fields)."""
    d = dict(DEFAULT, Version=2, Report=0, MsgType=8, Expiry=-1, Encoding=546,
             CodedCharSetId=1208, Format=b"MQSTR   ", Priority=4, Persistence=1,
             MsgId=bytes(range(24)), CorrelId=b"\0" * 24, ReplyToQ=b" " * 48,
             ReplyToQMgr=text("QM1", 48), UserIdentifier=text("mqm", 12),
             AccountingToken=b"\x16\x01\x05\x15" + bytes(range(0xA0, 0xBC)),
             ApplIdentityData=b" " * 32, PutApplType=6, PutApplName=text("amqsput", 28),
             PutDate=b"20261207", PutTime=b"13450217", ApplOriginData=b"    ")
    for k, v in fields.items():
        d[k] = text(v, LENGTH[k], b" ") if isinstance(v, str) else v
    return d


def written_field(d, name, how):
    """The value text of one attribute line, as the writer puts it."""
    v = d[name]
    if how.startswith("d"):
        return str(v)
    if how.startswith("x"):
        return v.hex().upper()
    # Characters: the field up to its length or its first zero byte.
    return v.split(b"\0")[0].decode("latin-1")


def imported(d, char_appl):
    """The descriptor an import rebuilds from the attribute lines of d."""
    out = dict(DEFAULT)
    for code, name, how in ATTRIBUTES:
        if how.endswith("2") and d["Version"] < 2:
            continue
        if how.startswith("d") or how.startswith("x") or (how == "a" and not char_appl):
            out[name] = d[name]
            continue
        value = d[name].split(b"\0")[0]
        if value:  # an empty value leaves the field at its default
            out[name] = value.ljust(LENGTH[name], b" ")
    return out


def unload_text(messages, width=25, ascii_column=False, data="X", char_appl=False,
                header="* QLOAD Version:8.0 Created:Mon Dec  7 13:45:02 2026", index=False):
    lines = [header, "* Qmgr  = QM1", "* Queue = ORDERS.IN", ""]
    for number, (d, body, style) in enumerate(messages, 1):
        style = style or data
        if index:
            lines.append("* Index %d" % number)
        if d is None:
            lines.append("N")
        else:
            for code, name, how in ATTRIBUTES:
                if how.endswith("2") and d["Version"] < 2:
                    continue
                if how == "a" and char_appl:
                    code = {"AIX": "AID", "AOX": "AOD"}[code]
                    how = "c"
                elif how == "a":
                    how = "x"
                lines.append("A %s %s" % (code, written_field(d, name, how)))
        lines += data_lines(body, style, width, ascii_column)
        lines.append("")
    return lines


def hex_lines(chunk_bytes, width, ascii_column):
    out = []
    for i in range(0, len(chunk_bytes), width):
        part = chunk_bytes[i:i + width]
        line = "X " + part.hex().upper()
        if ascii_column:
            shown = "".join(chr(c) if 0x20 <= c < 0x7F else "." for c in part)
            line = line.ljust(2 + 2 * width) + "  <" + shown + ">"
        out.append(line)
    return out


def data_lines(body, style, width, ascii_column):
    if not body:
        return ["X "]
    if style == "X":
        return hex_lines(body, width, ascii_column)
    if style == "T":
        assert body.endswith(b"\n") and b"\r" not in body
        return ["T " + line.decode("latin-1") for line in body[:-1].split(b"\n")]
    if style in ("S", "P"):
        # Printable runs as S lines (48 bytes at most), everything else as X lines. P writes
        # the S lines without quotes, which readers take without their trailing blanks.
        out, i = [], 0
        while i < len(body):
            j = i
            while j < len(body) and 0x20 <= body[j] < 0x7F and j - i < 48:
                j += 1
            if j > i:
                s = body[i:j].decode("latin-1")
                if style == "P":
                    assert not s.endswith(" ") and not s.startswith('"')
                    out.append("S " + s)
                else:
                    out.append('S "' + s.replace("~", "~~").replace('"', '~"') + '"')
                i = j
            else:
                while j < len(body) and not 0x20 <= body[j] < 0x7F:
                    j += 1
                out += hex_lines(body[i:j], width, False)
                i = j
        return out
    raise ValueError(style)


def expected_file(d, body, char_appl=False):
    if d is None:
        return (pack_mqmd(DEFAULT) if body[:2] == b"MD" else b"") + body
    return pack_mqmd(imported(d, char_appl)) + body


def write_unload(name, messages, crlf=False, **options):
    lines = unload_text(messages, **options)
    end = "\r\n" if crlf else "\n"
    write(os.path.join(here, name + ".unl"), (end.join(lines) + end).encode("latin-1"))
    for number, (d, body, _) in enumerate(messages, 1):
        write(os.path.join(here, "expected", "%s-%06d.qpk" % (name, number)),
              expected_file(d, body, options.get("char_appl", False)))


def save_file(name, messages, expected, delimiter=b"#@#@#"):
    """A multi-message save: (properties, descriptor bytes or None, body) per message."""
    parts = []
    for number, content in enumerate(expected, 1):
        write(os.path.join(here, "expected", "%s-%06d.qpk" % (name, number)), content)
    for props, md, body in messages:
        part = b""
        if props is not None:
            part += b"".join(b"%s=%s\n" % kv for kv in props) + b"$%$%$"
        part += (md or b"") + body
        parts.append(part)
    write(os.path.join(here, name + ".sav"), delimiter.join(parts))


def big_endian(md_bytes):
    out = bytearray(md_bytes)
    for name, off, n, kind in MQMD_FIELDS:
        if kind == "i":
            out[off:off + 4] = out[off:off + 4][::-1]
    return bytes(out)


TEXT = b'Hello "MQ" ~ world!\nline2'
ORDER = (b"<?xml version='1.0'?><Order><OrderNumberByMerchant>4711</OrderNumberByMerchant>"
         b"<Item><Material>M-100</Material><Quantity>3</Quantity></Item></Order>")
BINARY = bytes(range(256))
LONG = bytes((i * 7 + i // 256) % 256 for i in range(5000))
TEXT_LINES = b"first line of the order\nsecond line ~ with \"quotes\"\n\nlast line  \n"


def main():
    for sub in ("", "expected", "errors"):
        os.makedirs(os.path.join(here, sub), exist_ok=True)
    v2 = descriptor()
    v2_other = descriptor(MsgId=b"AMQ QM1         " + bytes([0x9C, 1, 2, 3, 4, 5, 6, 7]),
                          CorrelId=b"CORREL-1" + b"\0" * 16, ReplyToQ="REPLY.QUEUE",
                          Format="MQHRF2  ", Priority=0, Persistence=0, Expiry=3600,
                          Report=0x0E000000, Feedback=-5, CodedCharSetId=819, Encoding=273,
                          BackoutCount=2, GroupId=b"GROUP-1".ljust(24, b"\0"),
                          MsgSeqNumber=3, Offset=4096, MsgFlags=0x1A, OriginalLength=9000,
                          PutApplType=11, PutApplName="orders.exe", PutTime="23595999")
    v1 = descriptor(Version=1, PutApplName="legacy", UserIdentifier="batch01")
    appl_text = descriptor(ApplIdentityData="identity data", ApplOriginData="ORIG",
                           UserIdentifier="operator01")
    zero_padded = descriptor(ReplyToQMgr=b"QM2".ljust(48, b"\0"),
                             PutApplName=b"\0" * 28, Format=b"\0" * 8)

    write_unload("x_width25", [(v2, TEXT, None), (v2_other, ORDER, None), (v2, b"", None),
                               (v2, BINARY, None), (v2, LONG, None), (zero_padded, b"z", None)])
    write_unload("x_width10_ascii", [(v2, ORDER, None), (v2_other, BINARY, None),
                                     (v2, b"0123456789", None)], width=10, ascii_column=True)
    write_unload("x_width25_ascii", [(v2, TEXT, None), (v2, LONG, None)], ascii_column=True,
                 index=True)
    # The worked example of the README.
    write_unload("orders", [(v2, ORDER, None), (None, b"Hello from the order queue", "S")])
    write_unload("long_lines", [(v2, LONG, None), (v2, b"x" * 3000 + b"\n", "T"),
                                (None, BINARY * 4, None)], width=700, ascii_column=True)
    write_unload("s_and_x", [(v2, TEXT, None), (v2_other, BINARY, None),
                             (v2, b'  "quoted" ~~ ends with blanks  ', None),
                             (v2, b"plain text\x00\x01more plain text", "P"),
                             (v2, ORDER * 3, None)], data="S")
    write_unload("t_lines", [(v2, TEXT_LINES, None), (v2, b"\n", None),
                             (v2, b"one line\n", None)], data="T")
    write_unload("n_messages", [(None, TEXT, None), (v2, ORDER, None), (None, b"", None),
                                (None, b"MD  not a descriptor but a body", None),
                                (None, b"M", None), (None, BINARY, "S")])
    write_unload("appl_chars", [(appl_text, ORDER, None), (v2, TEXT, "S")], char_appl=True,
                 header="* DMPMQMSG Version:9.4 Created:Mon Dec  7 13:45:02 2026")
    write_unload("version1", [(v1, TEXT, None), (v1, ORDER, "S"), (v2, b"v2 again", None)])
    write_unload("crlf", [(v2, TEXT, "S"), (None, ORDER, None), (v2, TEXT_LINES, "T")],
                 crlf=True)

    # Multi-message saves. An input of neither kind is in errors/.
    le = pack_mqmd(v2)
    save_file("save_descriptors", [(None, le, TEXT), (None, big_endian(pack_mqmd(v2_other)), ORDER),
                                   (None, None, b"a body without a descriptor"),
                                   (None, None, b"MD but no descriptor"), (None, le, b"")],
              [le + TEXT, pack_mqmd(v2_other) + ORDER, b"a body without a descriptor",
               pack_mqmd(DEFAULT) + b"MD but no descriptor", le])
    save_file("save_properties", [([(b"colour", b"blue"), (b"size", b"42")], le, ORDER),
                                  ([], None, TEXT), (None, le, b"#@#@ almost a delimiter")],
              [le + ORDER, TEXT, le + b"#@#@ almost a delimiter"])
    save_file("save_delimiter_0D0A", [(None, le, TEXT), (None, le, ORDER)],
              [le + TEXT, le + ORDER], delimiter=b"\r\n")

    # One fault each; the golden case import/errors runs them all.
    errors = {
        "unknown_code": ["A VER 2", "A XYZ 1", "X 41"],
        "odd_hex": ["A VER 2", "X 414", "X 42"],
        "odd_hex_attribute": ["A MSI 414"],
        "value_too_long": ["A USR abcdefghijklm"],
        "hex_too_long": ["A AOX 2020202020"],
        "decimal_range": ["A PRI 2147483648"],
        "not_decimal": ["A CCS 12O8"],
        "data_before_message": ["X 41"],
        "truncated_s": ["N", 'S "no closing quote'],
        "after_quote": ["N", 'S "closed" junk'],
        "unknown_line": ["N", "Z 41"],
        "no_code": ["A"],
        "second_message_bad": ["N", "X 41", "", "N", "X 4", ""],
    }
    for name, lines in errors.items():
        content = "\n".join(["* QLOAD Version:8.0", ""] + lines) + "\n"
        write(os.path.join(here, "errors", name + ".unl"), content.encode("latin-1"))
    write(os.path.join(here, "errors", "neither.txt"), b"just some text\nno header\n")
    write(os.path.join(here, "errors", "empty.txt"), b"")


def compare(expected_path, actual_path):
    e = open(expected_path, "rb").read()
    a = open(actual_path, "rb").read()
    if e == a:
        return 0
    if e[:2] == b"MD" and a[:2] == b"MD" and len(e) >= 364 and len(a) >= 364:
        for name, off, n, kind in MQMD_FIELDS:
            if e[off:off + n] != a[off:off + n]:
                print("%s: descriptor field %s differs: expected %s, got %s" %
                      (actual_path, name, e[off:off + n].hex(), a[off:off + n].hex()))
                return 1
        e, a = e[364:], a[364:]
    i = next((k for k in range(min(len(e), len(a))) if e[k] != a[k]), min(len(e), len(a)))
    print("%s: body differs at byte %d (expected %d bytes, got %d)" %
          (actual_path, i, len(e), len(a)))
    return 1


def big(megabytes, path):
    """An unload file of X lines (25 bytes a line) of about the given size, for benchmarks:
    messages of 100 KB bodies, each with a full version-2 descriptor."""
    d = descriptor()
    body = bytes((i * 31 + 7) % 256 for i in range(100 * 1024))
    attrs = "".join("A %s %s\n" % (code, written_field(d, name, how))
                    for code, name, how in ATTRIBUTES)
    message = (attrs + "\n".join(hex_lines(body, 25, False)) + "\n\n").encode("ascii")
    with open(path, "wb") as f:
        f.write(b"* QLOAD Version:8.0 Created:Mon Dec  7 13:45:02 2026\n\n")
        for _ in range(max(1, megabytes * 1024 * 1024 // len(message))):
            f.write(message)


if __name__ == "__main__":
    if len(sys.argv) >= 4 and sys.argv[1] == "--compare" and len(sys.argv) % 2 == 0:
        pairs = list(zip(sys.argv[2::2], sys.argv[3::2]))
        failed = sum(compare(e, a) if os.path.exists(a) else print(a + ": missing") or 1
                     for e, a in pairs)
        print("%d of %d message files equal" % (len(pairs) - failed, len(pairs)))
        sys.exit(1 if failed else 0)
    if len(sys.argv) == 4 and sys.argv[1] == "--big":
        big(int(sys.argv[2]), sys.argv[3])
        sys.exit(0)
    main()
