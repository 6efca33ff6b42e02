"""Writes the shipped IDoc sample messages samples/idoc_*.qpk: purchase orders as SAP sends
them through MQ, with and without the MQSAPH header of the MQ link for SAP R/3, in both
control record forms, and orders that fail the structure check of the detailed report."""
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "data"))
import message_files as mf  # noqa: E402
from message_files import order_body, order_segments  # noqa: E402


def write(name, *parts):
    mf.write(os.path.join(here, "idoc_" + name + ".qpk"), *parts)


md = mf.mqmd(PutApplName="sapgw00", Format="MQSTR   ", PutTime="07124410")
orders = order_segments(items=4, po="PO8812")

write("order", md, order_body("EDI_DC40", False, orders, docnum="0000000004712230"))
write("order_saph", md, order_body("EDI_DC40", True, orders, docnum="0000000004712231"))
write("order_release3", md, order_body("EDI_DC", False, order_segments(items=2, po="PO8790"),
                                       docnum="0000000000981544"))
write("order_release3_saph", md, order_body("EDI_DC", True, order_segments(items=2, po="PO8791"),
                                            docnum="0000000000981545"))
write("order_texts", md, order_body("EDI_DC40", False,
                                    order_segments(items=2, po="PO8820", item_texts=True),
                                    docnum="0000000004712240"))
# Orders that fail the structure check: an item without its material, an order cut off
# after its first item segment, and an order with the sold-to party alone.
no_material = [s for i, s in enumerate(orders) if not (s[0] == "E2EDP19002" and i < 25)]
write("order_no_material", md, order_body(segs=no_material, docnum="0000000004712232"))
cut = orders[:[s[0] for s in orders].index("E2EDP01006") + 1]
write("order_truncated", md, order_body(segs=cut, docnum="0000000004712233"))
write("order_one_partner", md, order_body(segs=[s for s in orders if s[1].get("PARVW") != "WE"],
                                          docnum="0000000004712234"))
