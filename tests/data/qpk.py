"""Building blocks for qpeek message files (used by the test-data and sample generators).

A message file is an optional 364-byte MQMD followed by the body. Integers are 32-bit
little-endian unless a header announces the other byte order.
"""
import struct

MQMD_FIELDS = [  # name, offset, length, kind ('i' integer, 'c' characters/bytes)
    ("StrucId", 0, 4, "c"), ("Version", 4, 4, "i"), ("Report", 8, 4, "i"),
    ("MsgType", 12, 4, "i"), ("Expiry", 16, 4, "i"), ("Feedback", 20, 4, "i"),
    ("Encoding", 24, 4, "i"), ("CodedCharSetId", 28, 4, "i"), ("Format", 32, 8, "c"),
    ("Priority", 40, 4, "i"), ("Persistence", 44, 4, "i"), ("MsgId", 48, 24, "c"),
    ("CorrelId", 72, 24, "c"), ("BackoutCount", 96, 4, "i"), ("ReplyToQ", 100, 48, "c"),
    ("ReplyToQMgr", 148, 48, "c"), ("UserIdentifier", 196, 12, "c"),
    ("AccountingToken", 208, 32, "c"), ("ApplIdentityData", 240, 32, "c"),
    ("PutApplType", 272, 4, "i"), ("PutApplName", 276, 28, "c"), ("PutDate", 304, 8, "c"),
    ("PutTime", 312, 8, "c"), ("ApplOriginData", 320, 4, "c"), ("GroupId", 324, 24, "c"),
    ("MsgSeqNumber", 348, 4, "i"), ("Offset", 352, 4, "i"), ("MsgFlags", 356, 4, "i"),
    ("OriginalLength", 360, 4, "i"),
]


def i32(v, big=False):
    return struct.pack(">i" if big else "<i", v)


def f64(v):
    return struct.pack("<d", v)


def text(s, n, pad=b" "):
    """A fixed-width field: s (str or bytes) cut or padded to n bytes."""
    b = s.encode("latin-1") if isinstance(s, str) else s
    return b[:n].ljust(n, pad)


def mqmd(**fields):
    """A full MQMD; fields not given get realistic values of a put message."""
    values = dict(StrucId="MD  ", Version=2, Report=0, MsgType=8, Expiry=-1, Feedback=0,
                  Encoding=273, CodedCharSetId=819, Format="MQSTR   ", Priority=0,
                  Persistence=1, MsgId=b"AMQ QM1         \x9c\x01\x02\x03\x04\x05\x06\x07",
                  CorrelId=b"\0" * 24, BackoutCount=0, ReplyToQ="", ReplyToQMgr="QM1",
                  UserIdentifier="mqm", AccountingToken=b"\x16\x01\x05\x15" + b"\0" * 28,
                  ApplIdentityData="", PutApplType=11, PutApplName="orders.exe",
                  PutDate="20261207", PutTime="13450217", ApplOriginData="",
                  GroupId=b"\0" * 24, MsgSeqNumber=1, Offset=0, MsgFlags=0,
                  OriginalLength=-1)
    values.update(fields)
    out = bytearray(364)
    for name, off, n, kind in MQMD_FIELDS:
        v = values[name]
        if kind == "i":
            out[off:off + 4] = i32(v)
        else:
            out[off:off + n] = text(v, n, b"\0" if isinstance(v, bytes) else b" ")
    return bytes(out)


def rfh_v1(name_values, encoding=273, fmt="MQSTR", big=False, struc_length=None):
    """An MQRFH of version 1 with a blank-separated name/value string."""
    nv = text(name_values, (len(name_values) + 3) // 4 * 4)
    length = 32 + len(nv) if struc_length is None else struc_length
    return (b"RFH " + i32(1, big) + i32(length, big) + i32(encoding) + i32(819) +
            text(fmt, 8) + i32(0)) + nv


def rfh_v2(blocks, encoding=273, fmt="MQSTR", big=False, struc_length=None):
    """An MQRFH of version 2; blocks is a list of NameValueData (str or bytes)."""
    data = b""
    for b in blocks:
        b = b.encode("latin-1") if isinstance(b, str) else b
        data += i32(len(b), big) + b
    length = 36 + len(data) if struc_length is None else struc_length
    if big:
        encoding |= 0x10000000
    return (b"RFH " + i32(2, big) + i32(length, big) + i32(encoding) + i32(1208) +
            text(fmt, 8) + i32(0) + i32(1208)) + data


def iih(version=1, struc_length=84, big=False, fmt="MQIMSVS", tran_state=b"C",
        commit=b"0", security=b"C", tran_id=b"\0" * 16, **fields):
    """An MQIIH (84 bytes)."""
    return (b"IIH " + i32(version, big) + i32(struc_length, big) + i32(273) + i32(819) +
            text(fmt, 8) + i32(0) + text(fields.get("lterm", ""), 8) +
            text(fields.get("mfsmap", ""), 8) + text(fields.get("replyfmt", "MQIMSVS"), 8) +
            text(fields.get("auth", ""), 8) + text(tran_id, 16, b"\0") + tran_state +
            commit + security + b" ")


def cih(message):
    """An MQCIH: 180 header bytes (text after the header starts at offset 180)."""
    head = b"CIH " + i32(2) + i32(180) + i32(273) + i32(819) + text("MQCICS", 8)
    return head.ljust(180, b"\0") + (message.encode("latin-1") if isinstance(message, str) else message)


def dlh(reason=2085, dest_q="DEST.Q", dest_qmgr="QM2", encoding=546, ccsid=819, fmt="MQSTR",
        appl_type=6, appl_name="amqrmppa", date="20261207", time="10302512", big=False,
        version=1):
    """An MQDLH (172 bytes); encoding, ccsid and fmt describe what follows it."""
    return (b"DLH " + i32(version, big) + i32(reason, big) + text(dest_q, 48) +
            text(dest_qmgr, 48) + i32(encoding, big) + i32(ccsid, big) + text(fmt, 8) +
            i32(appl_type, big) + text(appl_name, 28) + text(date, 8) + text(time, 8))


def xqh(remote_q="REMOTE.Q", remote_qmgr="QM3", big=False, version=1, **md_fields):
    """An MQXQH (428 bytes): the remote queue, then the original message's descriptor
    (MQMD version 1, 324 bytes) whose Encoding and Format describe what follows."""
    desc = bytearray(mqmd(Version=1, **md_fields)[:324])
    if big:
        for name, off, n, kind in MQMD_FIELDS[:24]:
            if kind == "i":
                desc[off:off + 4] = desc[off:off + 4][::-1]
    return (b"XQH " + i32(version, big) + text(remote_q, 48) + text(remote_qmgr, 48) +
            bytes(desc))


def mde(encoding=546, ccsid=819, fmt="MQSTR", flags=0, group_id=b"\0" * 24, seq=1, offset=0,
        msg_flags=0, original_length=-1, big=False, version=2, struc_length=72):
    """An MQMDE (72 bytes, padded to struc_length when that is longer)."""
    h = (b"MDE " + i32(version, big) + i32(struc_length, big) + i32(encoding, big) +
         i32(ccsid, big) + text(fmt, 8) + i32(flags, big) + text(group_id, 24, b"\0") +
         i32(seq, big) + i32(offset, big) + i32(msg_flags, big) + i32(original_length, big))
    return h.ljust(struc_length, b"\0")


def write(path, *parts):
    with open(path, "wb") as f:
        for p in parts:
            f.write(p.encode("latin-1") if isinstance(p, str) else p)
