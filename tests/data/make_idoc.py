"""Generates the IDoc test messages in tests/data/idoc/ and the special parser-definition
files the golden tests place beside a copy of the program. Deterministic: run it again
after changing a layout and commit the results."""
import os
import re
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
from message_files import (DELFOR02, DELFOR02_SEGMENTS, control_record,  # noqa: E402
                           delivery_schedule_segments, export, mqmd, order_body, order_segments,
                           saph, write_into)

out = os.path.join(here, "idoc")
defs = os.path.join(out, "defs")
os.makedirs(defs, exist_ok=True)
resources = os.path.join(here, "..", "..", "Resources")
shipped = "".join(open(os.path.join(resources, name)).read()
                  for name in ("qpeek.parser", "ORDERS05.parser"))


def write(name, *parts):
    write_into(out, name + ".qpk", *parts)


def without(segs, name, count=None):
    """The segments without the occurrences of name (all, or the first count)."""
    result, dropped = [], 0
    for s in segs:
        if s[0] == name and (count is None or dropped < count):
            dropped += 1
            continue
        result.append(s)
    return result


def upto(segs, name, occurrence=1):
    """The segments up to and including the given occurrence of name."""
    seen = 0
    for i, s in enumerate(segs):
        if s[0] == name:
            seen += 1
            if seen == occurrence:
                return segs[:i + 1]
    raise ValueError(name)


def block(name):
    """One BEGIN_IDOC block of the shipped file."""
    m = re.search(r"^BEGIN_IDOC %s\n.*?^END_IDOC\n" % re.escape(name), shipped, re.S | re.M)
    return m.group(0)


def definitions(path, *blocks):
    with open(path, "w") as f:
        f.write("BEGIN_SEGMENT_SECTION\n" + "\n".join(blocks) + "END_SEGMENT_SECTION\n")


md = mqmd(PutApplName="sapgw00", Format="MQSTR   ")
full = order_segments(items=3)

# Valid orders: both control record forms, with and without MQSAPH.
write("order_dc40", md, order_body("EDI_DC40", False, full))
write("order_dc40_saph", md, order_body("EDI_DC40", True, full))
write("order_dc", order_body("EDI_DC", False, order_segments(items=2)))
write("order_dc_saph", order_body("EDI_DC", True, order_segments(items=2)))
write("order_item_texts", order_body("EDI_DC40", False, order_segments(items=1, item_texts=True)))

# Control record alone; MQSAPH alone; MQSAPH with an odd structure length.
write("control_only", control_record("EDI_DC40", DOCNUM="0000000004711002", IDOCTYP="ORDERS05"))
write("saph_only", saph())
with_header = order_body("EDI_DC40", True, full, saph_args=dict(length=120))
write("saph_length_120", with_header[:108] + b"\0" * 12 + with_header[108:])
write("saph_length_beyond", saph(length=5000) + b"EDI_DC40")
write("saph_short", saph()[:60])

# One message per validation error.
write("error_1000_unknown_control", control_record("EDI_DC41", TABNAM="EDI_DC41",
                                                   IDOCTYP="ORDERS05"))
write("error_1001_unknown_type", order_body("EDI_DC40", False, full, idoctyp="DELVRY07"))
write("error_1002_trailing", order_body("EDI_DC40", False, full) +
      order_body("EDI_DC40", False, [("E2EDK01005", dict(ACTION="000"))])[524:])
two = control_record("EDI_DC40", IDOCTYP="ORDERS05")
write("error_1004_two_control", two + two + order_body(segs=full)[524:])
write("error_1012_cut_field", order_body(segs=full, cut=len(order_body(segs=full)) - 1000 + 10))
texts = order_segments(items=1, item_texts=True)
write("error_1018_item_texts_once", order_body(segs=texts[:-3] + texts[-1:]))
write("error_1019_no_material", order_body(segs=without(full, "E2EDP19002", 1)))
write("error_1019_no_partners", order_body(segs=without(without(full, "E2EDKA1003"),
                                                        "E2EDKA3001")))
write("error_1020_one_item_date", order_body(segs=without(full, "E2EDP03001", 1)))
write("error_1021_cut_item", order_body(segs=upto(full, "E2EDP01006", 2)))
write("error_1027_one_partner", order_body(segs=[s for s in full if s[1].get("PARVW") != "WE"]))
write("error_1028_no_header", order_body(segs=without(full, "E2EDK01005")))
write("error_1029_sales_area", order_body(segs=without(full, "E2EDK14003", 1)))
write("error_1030_no_summary", order_body(segs=upto(full, "E2EDKT2001")))
write("error_1031_no_record_definition", order_body(segs=full[:3]))
write("error_1033_second_type", control_record("EDI_DC40", IDOCTYP="ORDERS05", CIMTYP="DELVRY03") +
      order_body(segs=full)[524:])
write("error_1034_not_control", saph() + b"E2EDK01005" + b" " * 200)
write("fallback_orders07", order_body(segs=full, idoctyp="ORDERS07"))

# Definition names from the message that must not become paths: an IDoc type that climbs
# out of the program directory, one with a backslash, a control record name with a slash.
write("name_type_parent_directory", order_body(segs=full, idoctyp="../planted05"))
write("name_type_backslash", order_body(segs=full, idoctyp="ZZ\\ORDERS05"))
write("name_control_slash", control_record("EDI_DC40", TABNAM="EDI_DC/4", IDOCTYP="ORDERS05") +
      order_body(segs=full)[524:])

# Special definition files: control and data-record definitions alone; ORDERS05 and the
# control record without data-record definitions; a control record with two IDOCTYP
# fields; an older order type ORDERS03 (the shipped ORDERS05 under that name).
records = [block(n) for n in ("EDI_DC40", "EDI_DC", "EDI_DD40", "ICI_DD40", "EDI_DD", "ICI_DD")]
definitions(os.path.join(defs, "records_only.parser"), *records)
definitions(os.path.join(defs, "no_data_records.parser"), block("EDI_DC40"), block("ORDERS05"))
two_types = block("EDI_DC40").replace("NAME           CIMTYP", "NAME           IDOCTYP")
definitions(os.path.join(defs, "two_idoctyp.parser"), two_types, *records[1:], block("ORDERS05"))
definitions(os.path.join(defs, "ORDERS03.parser"),
            block("ORDERS05").replace("BEGIN_IDOC ORDERS05", "BEGIN_IDOC ORDERS03"))

# Bulk (only on request, into the directory named by QPEEK_BULK): 10,000 small messages
# that each miss their IDoc type's definition, for measuring memory over a long run.
bulk = os.environ.get("QPEEK_BULK")
if bulk:
    os.makedirs(bulk, exist_ok=True)
    miss = order_body(segs=full[:2], idoctyp="ZORDERS1")
    for i in range(10000):
        write_into(bulk, "miss%05d.qpk" % i, miss)

# A delivery schedule type as a site's system exports it (record section, CR LF, Latin-1,
# unversioned names ending in digits next to versioned ones, an extension segment), and
# delivery schedules behind an MQSAPH header, as the MQ link puts them.
with open(os.path.join(defs, "DELFOR02.parser"), "wb") as f:
    f.write(export("DELFOR02", DELFOR02, DELFOR02_SEGMENTS, extension="ZDELFX01"))
schedule = delivery_schedule_segments(items=3, packaging=(0, 2))


def delivery_schedule(segs, docnum="0000000008150001"):
    return order_body("EDI_DC40", True, segs, idoctyp="DELFOR02", docnum=docnum,
                      layouts=DELFOR02_SEGMENTS, MESTYP="DELINS", CIMTYP="ZDELFX01",
                      SNDPRN="CUSTPRD300", RCVPRN="SUPPL88123")


write("delfor02", md, delivery_schedule(schedule))
write("delfor02_no_references", md, delivery_schedule(
    delivery_schedule_segments(items=1, packaging=(), references=False), "0000000008150002"))
# Failures: an item without schedule lines before the next item (1019); the message ends
# after an item's packaging data (1021); a segment of another type after the last item (1002).
second = [i for i, s in enumerate(schedule) if s[0] == "E2EDP10"][1]
write("delfor02_error_1019_no_schedule", md, delivery_schedule(
    [s for i, s in enumerate(schedule) if not (s[0] == "E2EDP16002" and i < second)]))
write("delfor02_error_1021_cut_after_packaging", md,
      delivery_schedule(upto(schedule, "E2EDP15", 1)))
write("delfor02_error_1002_foreign_segment", md, delivery_schedule(
    schedule + [("E2EDS01001", dict(SUMID="002", SUMME="3"))]))
