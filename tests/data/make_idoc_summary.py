#!/usr/bin/env python3
"""Writes the IDoc summary test messages into tests/data/idoc_summary/ (deterministic).

An IDoc body is an optional MQSAPH header, a control record ("EDI_DC40": 524 bytes,
"EDI_DC": 464 bytes) and data records of a record header and 1000 bytes of segment data.
The record header is 30 bytes ("EDI_DC40"), 63 behind an MQSAPH, 10 ("EDI_DC") or 55
behind an MQSAPH; the segment name is at its start.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from message_files import DATA_DIR, i32, mqmd, rfh_v2, text, write_into  # noqa: E402
from message_files import saph as mq_saph  # noqa: E402

OUT = os.path.join(DATA_DIR, "idoc_summary")

DATA_OFFSET = {("EDI_DC40", False): 30, ("EDI_DC40", True): 63,
               ("EDI_DC", False): 10, ("EDI_DC", True): 55}


def put(buf, offset, value):
    b = value.encode("latin-1") if isinstance(value, str) else value
    buf[offset:offset + len(b)] = b


def area(length, values):
    """length blank bytes with the given {offset: text} values placed in them."""
    buf = bytearray(b" " * length)
    for offset, value in values.items():
        put(buf, offset, value)
    return bytes(buf)


def saph(struc_length=108, host="sapprd01.plant.example", user="MQLINK"):
    """The MQSAPH in front of these IDocs: host blank-padded, blank reserved bytes."""
    return mq_saph(length=struc_length, host=host, user=user, password="SECRET01", host_pad=b" ",
                   reserved=b"  ")


def edi_dc40(number, idoc_type, message_type="ORDERS", partner="0000100234"):
    return area(524, {0: "EDI_DC40", 10: "100", 13: number, 29: "740", 33: "30", 35: "2",
                      36: "2", 39: idoc_type, 99: message_type, 178: "SAPPRD",
                      188: "LS", 190: partner, 263: "LS", 265: "MQLINK", 351: "20261207",
                      359: "134502"})


def edi_dc(number, idoc_type, message_type="ORDERS"):
    return area(464, {0: "EDI_DC", 10: "100", 13: number, 29: "31I", 33: "30", 35: "2",
                      36: "2", 39: message_type, 69: "SAPPRD", 423: idoc_type})


def record(name, data, data_offset, number="0000000000471101", segnum=1):
    """One data record: its header (segment name first) and 1000 bytes of segment data."""
    if data_offset in (10, 30):
        head = text(name, data_offset)
    else:
        # Behind an MQSAPH: name, client, IDoc number, segment number, parent, level.
        head = text(text(name, data_offset - 33) + text("100", 3) + text(number, 16) +
                    text("%06d" % segnum, 6) + text("000000", 6) + text("02", 2), data_offset)
    return head + area(1000, data)


def idoc(form, idoc_type, segments, number="0000000000471101", header=None,
         message_type="ORDERS"):
    """An IDoc body: [MQSAPH] control record, one data record per (name, {offset: text})."""
    control = edi_dc40(number, idoc_type, message_type) if form == "EDI_DC40" else \
        edi_dc(number, idoc_type, message_type)
    offset = DATA_OFFSET[(form, header is not None)]
    body = (header or b"") + control
    for i, (name, data) in enumerate(segments, 1):
        body += record(name, data, offset, number, i)
    return body


def msg(name, body, descriptor=True):
    write_into(OUT, name + ".qpk", mqmd(Format="MQHSAP  ") if descriptor else b"", body)


# A purchase order: partners, the order number, two items with their materials.
ORDER = [
    ("E2EDK01005", {0: "EUR", 3: "1.00000", 40: "ZOR"}),       # matches no key
    ("E2EDKA1003", {0: "AG ", 3: "0000100234", 40: "Hanse Werkzeug GmbH"}),
    ("E2EDKA1003", {0: "WE ", 3: "", 40: "Lager Nord"}),     # blank partner: no C tag
    ("E2EDK02", {0: "001", 3: "812345", 38: "20261207"}),
    ("E2EDP01006", {0: "000010", 11: "     10.000    ", 26: "PCE"}),
    ("E2EDP19001", {0: "002", 3: "MAT-100234", 38: "Socket wrench set"}),
    ("E2EDP01006", {0: "000020", 11: "2.500", 26: "KGM"}),
    ("E2EDP19001", {0: "002", 3: "MAT-200871"}),
]


def orders():
    msg("orders_dc40", idoc("EDI_DC40", "ORDERS05", ORDER))
    msg("orders_dc40_saph", idoc("EDI_DC40", "ORDERS05", ORDER, header=saph()))
    msg("orders_dc", idoc("EDI_DC", "ORDERS02", ORDER))
    msg("orders_dc_saph", idoc("EDI_DC", "ORDERS02", ORDER, header=saph()))
    # Behind an MQRFH the IDoc's walk counts from the IDoc body, not from the file.
    msg("orders_dc40_rfh", rfh_v2(["<mcd><Msd>none</Msd></mcd>  "]) +
        idoc("EDI_DC40", "ORDERS05", ORDER))


def sales_order():
    segments = [
        ("E2CVBAK001", {0: "0000012345", 241: "PO-2026-4711"}),
        # Overall status from the characters at 16, 17 and 19; the one at 18 is not used.
        ("E2CVBUK", {16: "A", 17: " ", 18: "X", 19: "C"}),
        # No order references: only M and D.
        ("E2CVBAP003", {17: "MAT-100234", 90: "Socket wrench set", 600: "ignored"}),
        ("E2CVBUP", {19: "B", 20: "C"}),
        ("E2CVBAP003", {1: "0000012345", 17: "MAT-200871", 90: "Torque wrench 40-200 Nm",
                        573: "4500012345"}),
        ("E2CVBUP", {19: " ", 20: " "}),
    ]
    msg("sales_order", idoc("EDI_DC40", "SDPIOR01", segments, message_type="SDPICK"))


def status_values():
    segments = [
        ("E2CVBUK", {16: "A", 17: " ", 19: "C"}),     # S(A C)
        ("E2CVBUK", {16: " ", 17: " ", 18: "X", 19: " "}),  # all blank: nothing
        ("E2CVBUK", {16: "C", 17: " ", 19: "C"}),     # S(C C)
        ("E2CVBUK", {16: " ", 17: "B", 19: " "}),     # S(B)
        ("E2CVBUK", {16: "A", 17: b"\0", 19: "C"}),   # a zero character ends it: S(A)
        ("E2CVBUK", {16: b"\0", 17: "B", 19: "C"}),   # empty from the start: nothing
        ("E2CVBUP", {19: "A", 20: "C"}),              # S(AC)
        ("E2CVBUP", {19: " ", 20: "C"}),              # S(C)
        ("E2CVBUP", {18: "X", 19: " ", 20: " ", 21: "Y"}),  # nothing
    ]
    msg("status_values", idoc("EDI_DC40", "SDPIOR01", segments, message_type="SDPICK"))


def billing():
    segments = [
        ("E2CVBRK", {0: "0090001234", 399: "PO-2026-4711"}),
        ("E2CVBRP", {222: "0000012345", 256: "MAT-100234", 274: "Socket wrench set"}),
        ("E2CVBRP", {222: "", 256: "MAT-200871", 274: ""}),  # O() and D() are always written
    ]
    msg("billing", idoc("EDI_DC40", "INVOIC02", segments, message_type="INVOIC"))


def inventory():
    segments = [
        ("E2ICIT0", {7: "MAT-100234", 116: "     25.000"}),
        ("E2ICSL0", {0: "MAT-100234", 291: "0"}),          # zero: nothing
        ("E2ICSL0", {0: "MAT-100235", 291: "0.750"}),      # integer part zero: nothing
        ("E2ICSL0", {0: "MAT-100236", 291: "3"}),          # M and TQ(3)
        ("E2ICSL0", {0: "MAT-100237", 291: "   2.000"}),   # leading blanks, TQ(2)
        ("E2ICSL0", {0: "MAT-100238", 291: "-4.000"}),     # a sign is taken: TQ(-4)
        ("E2ICSL0", {0: "", 291: ""}),                     # blank: nothing
        # Eighteen zeros whose digits go on past the field: the number is not zero.
        ("E2ICSL0", {0: "MAT-100239", 291: "000000000000000000", 309: "7"}),
        ("E2ICIT0", {7: "MAT-100240", 116: ""}),           # Q() always
    ]
    msg("inventory", idoc("EDI_DC40", "INVCON02", segments, message_type="INVCON"))


def conditions():
    segments = [
        ("E2KOMG", {91: "MAT-100234"}),
        ("E2KOMG1", {91: "MAT-100235"}),     # any seventh character selects the row
        ("E2KONP ", {64: "49.90"}),
        ("E2KONP1", {64: "59.90"}),          # not a blank after E2KONP: no row
        ("E2KONPX", {64: "69.90"}),
        ("E2KONP", {64: "       79.90"}),    # the name's blank padding is the seventh character
    ]
    msg("conditions", idoc("EDI_DC40", "COND_A04", segments, message_type="COND_A"))


def customer():
    segments = [
        ("E2KNA1M005", {0: "AG", 3: "0000100234", 13: "Hanse Werkzeug GmbH",
                        436: "PW-77"}),
        ("E2KNA1M005", {0: "", 3: "", 436: ""}),   # F(   ) C() PW()
        ("E2KNVKM", {0: "0000000042", 48: "Anna Schmidt"}),
    ]
    msg("customer", idoc("EDI_DC40", "DEBMAS06", segments, message_type="DEBMAS"))


def goods_movement():
    segments = [
        ("E2CLIPS", {47: "MAT-100234", 283: "Socket wrench set", 349: "0000012345"}),
        ("E2MBXYI001", {2: "MAT-100234", 20: "101", 115: "25.000"}),
    ]
    msg("goods_movement", idoc("EDI_DC40", "WMMBID02", segments, message_type="WMMBXY"))


def cut_at_point():
    quantities = ["10.000", "  1.000  ", "", "..5.3", "...", ".5", "12", "1,000.50",
                  "0.000"]
    segments = [("E2EDP01006", {11: q}) for q in quantities]
    msg("cut_at_point", idoc("EDI_DC40", "ORDERS05", segments))


def control_records():
    msg("control_number_short", idoc("EDI_DC40", "ORDERS05", [], number="123"))
    msg("control_number_blank", idoc("EDI_DC40", "ORDERS05", [], number=""))
    msg("control_type_blank", idoc("EDI_DC40", "", [], number="0000000000471102"))
    msg("control_dc_type_blank", idoc("EDI_DC", "", [], number="0000000000471103"))
    # The message type of an "EDI_DC" record sits where "EDI_DC40" has its IDoc type.
    msg("control_dc_type", idoc("EDI_DC", "ORDERS02", [], number="0000000000471104"))


def short_bodies():
    full = idoc("EDI_DC40", "ORDERS05", [("E2EDP19", {3: "MAT-100234  ", 40: "x"})])
    msg("short_control_id_only", b"EDI_DC40", descriptor=False)
    # "EDI_DC4" and the end: the "EDI_DC" form.
    msg("short_control_dc4", b"EDI_DC4", descriptor=False)
    msg("short_control_number_cut", full[:20], descriptor=False)
    msg("short_control_before_type", full[:39], descriptor=False)
    msg("short_control_type_cut", full[:43], descriptor=False)
    msg("short_control_only", full[:524], descriptor=False)
    # The material field runs past the end: the part before the end shows.
    msg("short_record_field_cut", full[:524 + 30 + 3 + 7], descriptor=False)
    # The body ends in the trailing blanks of the material: they stay in the value.
    msg("short_record_field_blanks", full[:524 + 30 + 3 + 12], descriptor=False)
    # Only the segment names: the data area lies past the end and reads as zero bytes.
    msg("short_record_names_only",
        edi_dc40("0000000000471105", "ORDERS05") + record("E2EDK02", {}, 30)[:7],
        descriptor=False)
    msg("short_record_name_cut",
        edi_dc40("0000000000471106", "ORDERS05") + b"E2EDK0", descriptor=False)
    # Bytes after the last full record that match no key write nothing.
    msg("short_trailing_bytes",
        idoc("EDI_DC40", "ORDERS05", [("E2EDK02", {3: "812345"})]) + b"\r\nEND", descriptor=False)


def header_lengths():
    order = [("E2EDK02", {3: "812345"}), ("E2EDP01006", {11: "3.000"})]
    msg("saph_length_negative", idoc("EDI_DC40", "ORDERS05", order, header=saph(-1)))
    body = idoc("EDI_DC40", "ORDERS05", order, header=saph(108))
    msg("saph_length_beyond", saph(len(body) + 1) + body[108:])
    msg("saph_length_whole_body", saph(len(body)) + body[108:])
    # A longer header: the IDoc starts after 120 bytes.
    msg("saph_length_120", saph(120) + b"RESERVED    " + body[108:])
    # No control record behind the header: records of segment data offset 10 from there.
    msg("saph_no_control", saph() + record("E2EDK02", {3: "812345"}, 10) +
        record("E2EDP01", {11: "7.000"}, 10))
    # Zero length: the walk starts at "SAPH" itself, which is no segment name.
    msg("saph_length_zero", saph(0) + body[108:])
    msg("saph_short", b"SAPH" + i32(1), descriptor=False)


if __name__ == "__main__":
    orders()
    sales_order()
    status_values()
    billing()
    inventory()
    conditions()
    customer()
    goods_movement()
    cut_at_point()
    control_records()
    short_bodies()
    header_lengths()
