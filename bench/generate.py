#!/usr/bin/env python3
"""Generates the benchmark corpora (seeded, reproducible) into a directory.

    generate.py OUTDIR [--seed N] [--files N] [--idoc-records N] [--definition-types N]

OUTDIR/messages/     (a) message files of every kind, 0.5 to 8 KB each
OUTDIR/idoc/         (b) one large IDoc (big.qpk) and the definitions it needs (qpeek.parser)
OUTDIR/definitions/  (c) one large parser-definition file (qpeek.parser) with thousands of IDoc
                     types, and a message (last.qpk) whose IDoc type is the file's last one

With --shapes MB, also the shapes that once were the slowest (each about MB megabytes):
OUTDIR/shapes/pos/big.qpk       one large point-of-sale log
OUTDIR/shapes/xml-tags/big.qpk  XML of many small tags
OUTDIR/shapes/xml-deep/big.qpk  XML nested deep, again and again
OUTDIR/shapes/direct/, fallback/  --fallback-files IDocs each, beside the large definition file
                     of (c) as the default definition file: of type ZORD000005 (defined) and
                     of type ZORD000006 (found by the version fallback, which reads the
                     default definition file again for every message)
"""
import argparse
import os
import random
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data"))
from message_files import cih, f64, i32, iih, mqmd, rfh_v1, rfh_v2, text  # noqa: E402

# ---------------------------------------------------------------- IDoc definitions

CONTROL_FIELDS = [("TABNAM", 10), ("MANDT", 3), ("DOCNUM", 16), ("DOCREL", 4), ("STATUS", 2),
                  ("DIRECT", 1), ("OUTMOD", 1), ("EXPRSS", 1), ("TEST", 1), ("IDOCTYP", 30),
                  ("CIMTYP", 30), ("MESTYP", 30), ("MESCOD", 3), ("MESFCT", 3), ("STD", 1),
                  ("STDVRS", 6), ("STDMES", 6), ("SNDPOR", 10), ("SNDPRT", 2), ("SNDPFC", 2),
                  ("SNDPRN", 10), ("SNDSAD", 21), ("SNDLAD", 70), ("RCVPOR", 10), ("RCVPRT", 2),
                  ("RCVPFC", 2), ("RCVPRN", 10), ("RCVSAD", 21), ("RCVLAD", 70), ("CREDAT", 8),
                  ("CRETIM", 6), ("REFINT", 14), ("REFGRP", 14), ("REFMES", 14), ("ARCKEY", 70),
                  ("SERIAL", 20)]
assert sum(n for _, n in CONTROL_FIELDS) == 524

HEADER_FIELDS = [("ACTION", 3), ("KZABS", 1), ("CURCY", 3), ("HWAERS", 3), ("WKURS", 12),
                 ("ZTERM", 17), ("KUNDEUINR", 20), ("EIGENUINR", 20), ("BSART", 4), ("BELNR", 35)]
ITEM_FIELDS = [("ACTION", 3), ("POSEX", 6), ("MENGE", 15), ("MENEE", 3), ("BMNG2", 15),
               ("PMENE", 3), ("ABFTZ", 7), ("VPREI", 15), ("PEINH", 9), ("NETWR", 18),
               ("ANETW", 18), ("MATKL", 9), ("WERKS", 4)]
MATERIAL_FIELDS = [("QUALF", 3), ("IDTNR", 35), ("KTEXT", 70), ("MFRPN", 42), ("MFRNR", 10)]


def fields_block(fields, descr):
    out = ["    BEGIN_FIELDS"]
    pos = 1
    for name, length in fields:
        out += ["      NAME %s" % name, "      TEXT %s %s" % (descr, name),
                "      TYPE CHARACTER", "      LENGTH %06d" % length,
                "      FIELD_POS %04d" % pos, "      BYTE_FIRST %06d" % pos,
                "      BYTE_LAST %06d" % (pos + length - 1)]
        pos += length
    out.append("    END_FIELDS")
    return out


def segment(name, text_, fields, status="MANDATORY", loopmin=1, loopmax=1):
    return (["  BEGIN_SEGMENT %s" % name, "    TEXT %s" % text_, "    SEGMENTTYPE %s" % name[:7],
             "    STATUS %s" % status, "    LOOPMIN %d" % loopmin, "    LOOPMAX %d" % loopmax] +
            fields_block(fields, text_) + ["  END_SEGMENT"])


def order_type(name):
    lines = ["BEGIN_IDOC %s" % name]
    lines += segment("E2EDK01005", "IDoc: Document header general data", HEADER_FIELDS)
    lines += ["  BEGIN_GROUP 01", "    STATUS OPTIONAL", "    LOOPMIN 1", "    LOOPMAX 9999999"]
    lines += segment("E2EDP01006", "IDoc: Document Item General Data", ITEM_FIELDS)
    lines += segment("E2EDP19002", "IDoc: Document Item Object Identification", MATERIAL_FIELDS,
                     "OPTIONAL", 1, 5)
    lines += ["  END_GROUP", "END_IDOC"]
    return lines


def flat(name, fields):
    return ["BEGIN_IDOC %s" % name] + segment(name, "Record %s" % name, fields) + ["END_IDOC"]


def definitions(types):
    lines = ["BEGIN_SEGMENT_SECTION"]
    lines += flat("EDI_DC40", CONTROL_FIELDS)
    lines += flat("ICI_DD40", [("SEGNAM", 30)])
    lines += flat("EDI_DD40", [("SEGNAM", 30), ("MANDT", 3), ("DOCNUM", 16), ("SEGNUM", 6),
                               ("PSGNUM", 6), ("HLEVEL", 2)])
    for t in types:
        lines += order_type(t)
    lines.append("END_SEGMENT_SECTION")
    return "\n".join(lines) + "\n"


def record(fields, values):
    return b"".join(text(values.get(n, ""), n2) for n, n2 in fields)


def control(idoc_type, number):
    return record(CONTROL_FIELDS, {"TABNAM": "EDI_DC40", "MANDT": "100", "DOCNUM": "%016d" % number,
                                   "DOCREL": "740", "STATUS": "30", "DIRECT": "1",
                                   "IDOCTYP": idoc_type, "MESTYP": "ORDERS", "SNDPOR": "SAPQ01",
                                   "SNDPRT": "LS", "SNDPRN": "Q01CLNT100", "RCVPOR": "MQPORT",
                                   "RCVPRT": "LS", "RCVPRN": "WEBSHOP", "CREDAT": "20261207",
                                   "CRETIM": "134501"})


def data_record(seg, fields, values):
    return text(seg, 30) + record(fields, values).ljust(1000)


def idoc(rng, idoc_type, items, number):
    out = [control(idoc_type, number),
           data_record("E2EDK01005", HEADER_FIELDS, {"CURCY": "EUR", "BSART": "NB",
                                                     "BELNR": "45%08d" % number})]
    for i in range(items):
        out.append(data_record("E2EDP01006", ITEM_FIELDS, {
            "POSEX": "%06d" % (10 * (i + 1)), "MENGE": "%d.000" % rng.randint(1, 500),
            "MENEE": "PCE", "VPREI": "%d.%02d" % (rng.randint(1, 999), rng.randint(0, 99)),
            "WERKS": "1000"}))
        for _ in range(rng.randint(1, 2)):
            out.append(data_record("E2EDP19002", MATERIAL_FIELDS, {
                "QUALF": "002", "IDTNR": "MAT-%06d" % rng.randint(0, 999999),
                "KTEXT": "Material description %d" % i}))
    return b"".join(out)

# ---------------------------------------------------------------- other payloads


def ecedoc_on(rng, items):
    def rec(n, values):
        b = bytearray(b" " * n)
        for off, v in values:
            b[off:off + len(v)] = v.encode()
        return bytes(b)
    out = [b"<ECEDOC><PROLOG>", rec(22, [(0, "ON"), (10, "01")]), b"</PROLOG><HEADER><HDR010>",
           rec(440, [(0, "01"), (2, "%010d" % rng.randint(0, 10**9)), (12, "20261207")]),
           b"</HDR010><HDR020>", rec(1101, [(0, "01"), (2, "shopper%d" % rng.randint(0, 999))]),
           b"</HDR020></HEADER><ITMLST>"]
    for i in range(items):
        out += [b"<ITMDAT><ITM010>", rec(2044, [(0, "01"), (2, "%03d" % (i + 1)),
                                                (25, "PRODUCT-%d" % rng.randint(0, 9999)),
                                                (369, "%d" % rng.randint(1, 9))]),
                b"</ITM010></ITMDAT>"]
    out += [b"</ITMLST><USRLST><DATUSR>", b"GIFTWRAP", b"3         ", b"YES",
            b"</DATUSR></USRLST></ECEDOC>"]
    return b"".join(out)


def xml_order(rng, items):
    parts = ["<?xml version='1.0' encoding='UTF-8'?>", "<Order>",
             "<OrderNumberByMerchant>%d</OrderNumberByMerchant>" % rng.randint(10**6, 10**7),
             '<RequisitionerID type="logon">buyer%d</RequisitionerID>' % rng.randint(0, 99)]
    for i in range(items):
        parts += ["<Item>", "<ProductNumberByMerchant>P-%05d</ProductNumberByMerchant>" % i,
                  "<ItemProductQuantity>%d</ItemProductQuantity>" % rng.randint(1, 20),
                  "<ItemUnitPrice>%d.99</ItemUnitPrice>" % rng.randint(1, 99), "</Item>"]
    parts += ["<Status>OPEN</Status>", "</Order>"]
    return "\n  ".join(parts).encode()


def pos_log(rng, lines):
    def packed(n):
        return bytes(rng.choice([0x12, 0x34, 0x56, 0x78, 0x90]) for _ in range(n))
    out = []
    for _ in range(lines):
        recs = [b"\x11" + packed(2) + b":", b"\x06" + packed(11) + b":" + packed(3) + b":" +
                packed(4) + b":\x01:" + packed(3), b"\x14" + packed(4) + b":" + packed(4)]
        out.append(b'"' + b'","'.join(recs) + b'"\r\n')
    return b"".join(out)


def ims_update(rng):
    rec = bytearray(b" " * 473)
    rec[0:9] = b"USATZ0001"
    rec[13:17] = i32(rng.randint(1, 99999))
    rec[64:72] = f64(rng.randint(1, 1000) / 4)
    rec[75:83] = f64(rng.randint(1, 1000) / 8)
    return bytes(rec)


def message(rng, kind):
    md = mqmd(PutApplName="bench%d" % rng.randint(0, 9))
    if kind == "idoc":
        return md + idoc(rng, "ORDERS05", rng.randint(0, 2), rng.randint(1, 10**9))
    if kind == "ecedoc":
        return md + ecedoc_on(rng, rng.randint(0, 2))
    if kind == "xml":
        return md + xml_order(rng, rng.randint(1, 40))
    if kind == "rfh":
        return md + rfh_v2(["<mcd><Msd>xmlnsc</Msd></mcd>", "<usr><Id>%d</Id></usr>" %
                            rng.randint(0, 999)], big=rng.random() < 0.5) + xml_order(rng, rng.randint(1, 20))
    if kind == "pos":
        return md + pos_log(rng, rng.randint(5, 60))
    if kind == "ims":
        return md + iih(big=True) + ims_update(rng)
    if kind == "cics":
        return md + b"TESTABR 1R0ORDRTESTPGM1MERCH00001MAT-000000000012345000051A20261207134501"
    if kind == "cih":
        return md + cih("DFHAC2206 transaction ORDR failed " * rng.randint(1, 50))
    return md + bytes(rng.randrange(256) for _ in range(rng.randint(150, 7500)))


KINDS = ["idoc", "ecedoc", "xml", "rfh", "pos", "ims", "cics", "cih", "unknown"]


def shape_pos(rng, size):
    """Lines of header, merchandise, tender and tax records, every field at its full length
    (the body's third byte is the ":" after the first record's type: a point-of-sale log)."""
    def packed(n):
        return bytes(rng.choice([0x12, 0x34, 0x56, 0x78, 0x90]) for _ in range(n))

    def rec(kind, lengths):
        return bytes([kind]) + b":" + b":".join(packed(n) for n in lengths)
    lines = []
    total = 0
    while total < size:
        recs = [rec(0x00, [2, 4, 2, 1, 2, 5, 5, 4, 4, 4, 3]), rec(0x06, [5, 5, 5, 2, 5, 4]),
                rec(0x11, [2, 5, 5]), rec(0x14, [5, 5, 5, 5])]
        line = b'"' + b'","'.join(recs) + b'"\r\n'
        lines.append(line)
        total += len(line)
    return mqmd(PutApplName="bench-pos") + b"".join(lines)


def shape_xml_tags(rng, size):
    parts = [b"<?xml version='1.0'?><Lines>"]
    total = 0
    while total < size:
        part = ("<L><n>%d</n><q>%d</q><p c='EUR'>%d.%02d</p><f/></L>" % (
            rng.randint(0, 999), rng.randint(1, 9), rng.randint(0, 99), rng.randint(0, 99))).encode()
        parts.append(part)
        total += len(part)
    parts.append(b"</Lines>")
    return mqmd(PutApplName="bench-xml") + b"".join(parts)


def shape_xml_deep(rng, size, depth=40):
    parts = [b"<?xml version='1.0'?><Tree>"]
    total = 0
    while total < size:
        names = ["N%d" % rng.randint(0, 9) for _ in range(depth)]
        part = ("".join("<%s>" % n for n in names) + "leaf %d" % rng.randint(0, 99999) +
                "".join("</%s>" % n for n in reversed(names))).encode()
        parts.append(part)
        total += len(part)
    parts.append(b"</Tree>")
    return mqmd(PutApplName="bench-xml") + b"".join(parts)


def shapes(rng, outdir, megabytes, fallback_files, definition_text):
    size = int(megabytes * 2**20)
    for name, data in (("pos", shape_pos(rng, size)), ("xml-tags", shape_xml_tags(rng, size)),
                       ("xml-deep", shape_xml_deep(rng, size))):
        d = os.path.join(outdir, "shapes", name)
        os.makedirs(d, exist_ok=True)
        with open(os.path.join(d, "big.qpk"), "wb") as f:
            f.write(data)
    for name, idoc_type in (("direct", "ZORD000005"), ("fallback", "ZORD000006")):
        d = os.path.join(outdir, "shapes", name)
        os.makedirs(d, exist_ok=True)
        with open(os.path.join(d, "qpeek.parser"), "w") as f:
            f.write(definition_text)
        for n in range(fallback_files):
            with open(os.path.join(d, "m%05d.qpk" % n), "wb") as f:
                f.write(mqmd(PutApplName="bench-idoc") + idoc(rng, idoc_type, 1, n + 1))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("outdir")
    ap.add_argument("--seed", type=int, default=20261207)
    ap.add_argument("--files", type=int, default=20000)
    ap.add_argument("--idoc-records", type=int, default=100000)
    ap.add_argument("--definition-types", type=int, default=9200)
    ap.add_argument("--shapes", type=float, default=0, metavar="MB")
    ap.add_argument("--fallback-files", type=int, default=2000)
    args = ap.parse_args()
    rng = random.Random(args.seed)

    msgdir = os.path.join(args.outdir, "messages")
    os.makedirs(msgdir, exist_ok=True)
    with open(os.path.join(msgdir, "qpeek.parser"), "w") as f:
        f.write(definitions(["ORDERS05"]))
    for n in range(args.files):
        kind = KINDS[n % len(KINDS)]
        data = message(rng, kind)
        if len(data) - 364 > 8192:
            data = data[:364 + 8192]
        with open(os.path.join(msgdir, "m%06d_%s.qpk" % (n, kind)), "wb") as f:
            f.write(data)

    idir = os.path.join(args.outdir, "idoc")
    os.makedirs(idir, exist_ok=True)
    with open(os.path.join(idir, "qpeek.parser"), "w") as f:
        f.write(definitions(["ORDERS05"]))
    # Two in five records are items, the rest their material segments.
    items = max(1, args.idoc_records * 2 // 5)
    with open(os.path.join(idir, "big.qpk"), "wb") as f:
        f.write(idoc(rng, "ORDERS05", items, 4711))

    ddir = os.path.join(args.outdir, "definitions")
    os.makedirs(ddir, exist_ok=True)
    types = ["ZORD%04d05" % i for i in range(args.definition_types)]
    text_ = definitions(types)
    with open(os.path.join(ddir, "qpeek.parser"), "w") as f:
        f.write(text_)
    with open(os.path.join(ddir, "last.qpk"), "wb") as f:
        f.write(idoc(rng, types[-1], 1, 1))
    if args.shapes > 0:
        shapes(rng, args.outdir, args.shapes, args.fallback_files, text_)


if __name__ == "__main__":
    main()
