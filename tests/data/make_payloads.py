#!/usr/bin/env python3
"""Writes the point-of-sale, IMS and CICS test messages, and messages from dead-letter and
transmission queues, into tests/data/payloads/.

Deterministic: running it again gives the same bytes.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from message_files import (DATA_DIR, cics_area, control_record, dlh, f64, iih,  # noqa: E402
                           ims_confirm, ims_update, mde, mqmd, packed, rfh_v2, saph, write_into,
                           xqh)
from message_files import pos_line as line, pos_record as record  # noqa: E402
from make_ecedoc import pq_doc  # noqa: E402

HERE = os.path.join(DATA_DIR, "payloads")


CASH = record(0x11, packed("2000", 2))
MERCH = record(0x06, bytes.fromhex("0400638123456700000000"), bytes.fromhex("1520"),
               packed("1299", 4), b"\x01", b"\x00\x00\x00", b"\x00")
TAX = record(0x14, packed("85", 4), packed("0", 4), packed("0", 4), packed("0", 4), b"\x00")


def pos_cases():
    return {
        "pos_three_records": line(CASH, MERCH, TAX),
        "pos_two_lines": line(CASH, MERCH, TAX) + line(record(0x11, packed("550", 2)), TAX),
        # 0xF high nibble cleared in a field's first byte only: F5 F5 decodes as 05 155.
        "pos_packed_f5": line(record(0x11, b"\xf5\xf5"),
                              record(0x14, b"\xf0\x00\x12\x50", b"\x00\xf5\x00\x01")),
        # TAXA is empty (":" right after the type's ":"), so TAXB is the next four bytes.
        "pos_empty_fields": line(record(0x14, b"", packed("1250", 4), b"", packed("7", 4),
                                        b"\x01")),
        # Department written with 2 of its 11 bytes: every later field moves forward.
        "pos_shifted_hex": line(record(0x06, bytes.fromhex("0400638123456700000000"),
                                       b"\x15\x20", packed("349", 4), b"\x02", b"\x80\x00\x01",
                                       b"\x40")),
        # The ItemCode is fixed-width: its 0x3A byte is data, not a field end.
        "pos_itemcode_colon": line(record(0x06, bytes.fromhex("04006381233a6700000000"),
                                          b"\x15\x20", packed("1299", 4), b"\x01",
                                          b"\x00\x00\x00", b"\x00")),
        "pos_unknown_type": line(CASH, record(0x02, b"\x12\x34"), TAX),
        # The type byte with its ":", then the type byte alone: both decode Amount 0000.
        "pos_cash_type_only": b'"\x11:","\x11"\r\n',
        # An extra CR LF between two lines: the blank line's CR starts a record of type 0a.
        "pos_blank_line": line(CASH, TAX) + b"\r\n" + line(record(0x11, packed("550", 2)), TAX),
        # The last record of a line has no content: its opening quote is the line end.
        "pos_empty_last_record": b'"\x11:\x20\x00:","\r\n',
        # A record longer than the record buffer is cut; the next record still follows.
        "pos_long_record": line(record(0x11, packed("100", 2)) + b"\x99" * 5000, TAX),
        # No line end at all: one line running to the end of the body.
        "pos_no_line_end": b'"\x11:\x01\x00:","\x14:\x00\x00\x00\x07',
        # Lines ended by quote + CR alone; an IBM features record shows its type only;
        # packed nibbles above 9 give three-digit numbers; an unknown type in between.
        "pos_cr_lines_features": (b'"' + record(0x23, b"\x01\x02\x03", b"\x04") + b'","' +
                                  record(0x08, b"\xff\xab\x1c" + packed("4711", 9),
                                         packed("25", 4), b"\x01", b"\x00") + b'"\r"' +
                                  record(0x30, b"\x00") + b'","' +
                                  record(0x11, packed("550", 2)) + b'"\r'),
    }


def ims_doubles():
    """An update record whose doubles are not finite or very large."""
    r = bytearray(ims_update())
    for offset, value in ((64, float("inf")), (75, 1e308), (86, float("nan")),
                          (99, float("-inf")), (140, -1.5e-7)):
        r[offset:offset + 8] = f64(value)
    return bytes(r)


def iih_big_endian():
    """An MQIIH as a big-endian sender writes it: every integer reversed, TranState 0xC3."""
    h = bytearray(iih(version=1, struc_length=84, big=True, tran_state=b"\xc3"))
    h[12:16] = struct.pack(">i", 785)   # Encoding of the sender (decimal, big-endian)
    h[16:20] = struct.pack(">i", 500)   # EBCDIC code page of the sender
    return bytes(h)


def ims_cases():
    md = mqmd(Format="MQIMS   ", PutApplType=19, PutApplName="IMSA")
    # Version 2 is the header's native form; any other Version is taken as reversed.
    iih2 = lambda **kw: iih(version=2, **kw)  # noqa: E731
    return {
        "ims_confirm_97": md + iih2() + ims_confirm(),
        "ims_update_98": md + iih2() + ims_update()[:98],
        "ims_update_values": md + iih2() + ims_update(),
        "ims_update_blanks": md + iih2() + ims_update(blanks=True),
        "ims_confirm_short": md + iih2() + ims_confirm()[:40],
        "ims_doubles": md + iih2() + ims_doubles(),
        "iih_big_endian": iih_big_endian() + ims_confirm(),
        "iih_tran_id": iih2(tran_id=b"\x01\x23\x45\x67\x89\xab\xcd\xefIMSTRAN1",
                           tran_state=b" ") + ims_confirm(),
    }


def cics_cases():
    return {
        "cics_blanks": b"TESTABR " + b" " * 64,
        "cics_material18": cics_area(),
        "cics_short": b"TESTABR 1S",
    }


XML_ORDER = (b"<?xml version='1.0'?><Order><OrderNumberByMerchant>4711</OrderNumberByMerchant>"
             b"<Status>OK</Status></Order>")
TEXT = b"STOCK CHECK REQUEST WAREHOUSE=HAMBURG MATERIAL=MAT-100234 QTY=24\r\n"


def dead_letter_cases():
    """Dead-lettered messages (MQDLH) in front of each payload kind, in both byte orders;
    transmission-queue messages (MQXQH, MQMDE); chains of them; reasons with and without a
    name; and headers cut by the end of the body."""
    payloads = {
        "xml": XML_ORDER,
        "idoc": saph() + control_record("EDI_DC40", DOCNUM="0000000004711002", IDOCTYP="ORDERS05"),
        "ecedoc": pq_doc(),
        "rfh2_xml": rfh_v2(["<mcd><Msd>xml</Msd></mcd>  "], encoding=546) + XML_ORDER,
        "text": TEXT,
    }
    cases = {}
    for order, big, encoding in (("le", False, 546), ("be", True, 273)):
        md = mqmd(Format="MQDEAD  ", Encoding=encoding, PutApplName="amqrmppa")
        for kind, payload in payloads.items():
            cases["dlq_%s_%s" % (order, kind)] = md + dlh(big=big, encoding=encoding) + payload
    le_md = lambda **kw: mqmd(Encoding=546, **kw)  # noqa: E731
    cases.update({
        # The descriptor announces big-endian integers, the header is written little-endian:
        # its Version reads right only in that order.
        "dlq_order_from_version": mqmd(Format="MQDEAD  ", Encoding=273) + dlh(reason=2053) + TEXT,
        # No descriptor: the default one announces little-endian integers.
        "dlq_no_descriptor": dlh(reason=2035, dest_qmgr="", appl_type=28,
                                 appl_name="router") + XML_ORDER,
        # A little-endian transmission header whose descriptor announces a big-endian
        # descriptor extension, then an XML order.
        "xmit_mde_xml": (le_md(Format="MQXMIT  ") +
                         xqh(Format="MQHMDE  ", Encoding=273, PutApplName="orders.exe") +
                         mde(encoding=546, fmt="MQSTR", seq=3, offset=4096, msg_flags=0x18,
                             original_length=9000, group_id=b"GRP-2026-12-07-0001", big=True) +
                         XML_ORDER),
        # A transmission header written big-endian in front of a dead-letter header.
        "xmit_dlh_text": (mqmd(Format="MQXMIT  ", Encoding=273) +
                          xqh(remote_q="SYSTEM.CLUSTER.TRANSMIT.QUEUE.FOR.PARTNER.QMGR.EU1",
                              remote_qmgr="PARTNER.QMGR.EU1", big=True, Format="MQDEAD  ",
                              Encoding=273, PutApplType=7, PutApplName="amqrmppa") +
                          dlh(reason=2087, big=True, encoding=273) + TEXT),
        # A dead-lettered transmission-queue message: DLH, XQH, MDE (longer than 72 bytes),
        # then an IDoc.
        "dlq_xmit_mde_idoc": (le_md(Format="MQDEAD  ") + dlh(reason=2189, fmt="MQXMIT") +
                              xqh(Format="MQHMDE  ", Encoding=546) + mde(struc_length=96) +
                              payloads["idoc"]),
    })
    for reason in (258, 333, 2120, 65537, 9999, -1):
        cases["dlq_reason_%s" % str(reason).replace("-", "minus_")] = (
            le_md(Format="MQDEAD  ") + dlh(reason=reason) + TEXT)
    # Headers cut by the end of the body, or claiming more than the body holds: not stepped
    # over.
    cases.update({
        "dlq_cut": le_md() + dlh()[:171],
        "xmit_cut": le_md() + xqh(Encoding=546)[:427],
        "mde_length_beyond": le_md() + mde(struc_length=200)[:100],
        "mde_length_short": le_md() + mde(struc_length=40) + TEXT,
        "dlq_then_cut_xmit": le_md() + dlh() + xqh(Encoding=546)[:300],
    })
    return cases


def main():
    for cases in (pos_cases(), ims_cases(), cics_cases(), dead_letter_cases()):
        for name, body in cases.items():
            write_into(HERE, name + ".qpk", body)


if __name__ == "__main__":
    main()
