#!/usr/bin/env python3
"""Writes the shipped point-of-sale, IMS and CICS sample messages into samples/.

Deterministic: running it again gives the same bytes.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "data"))
from message_files import cics_area, iih, ims_confirm, ims_update, mqmd, packed, write  # noqa: E402
from message_files import pos_line as line, pos_record as record  # noqa: E402

ZERO4 = b"\x00" * 4


def pos_sale():
    """One sale at terminal 12: header, items, tax, tenders and the time analysis."""
    terminal, operator, count = packed("12", 2), b"\xf0\x00\x47\x11", packed("815", 2)
    date, time = packed("261207", 3), packed("1345", 2)
    header = record(0x00, terminal, operator, count, b"\x00", packed("3", 2),
                    packed("2547", 5), b"\x00" * 5, packed("2000", 4), packed("547", 4)[0:4],
                    b"\x4a\x17\x09\x33", date, time, b"\x80\x00\x00", b"\x00\x00\x00",
                    packed("42", 4), packed("15", 4), packed("0", 4), packed("3", 4),
                    packed("2000", 5))
    extension = record(0x01, terminal, operator, count, date, time)
    milk = record(0x06, bytes.fromhex("0400638133393100000000"), b"\x00\x10",
                  packed("119", 4), b"\x01", b"\x00\x00\x00", b"\x00")
    milk_qty = record(0x07, packed("1", 1), packed("3000", 4), packed("0", 1),
                      packed("119", 5), packed("0", 1), packed("0", 5))
    coffee = record(0x06, bytes.fromhex("0400638123456700000000"), b"\x00\x20",
                    packed("1899", 4), b"\x02", b"\x00\x00\x00", b"\x00")
    deposit = record(0x08, packed("400001", 12), packed("25", 4), packed("0", 1), b"\x00")
    tax = record(0x14, packed("25", 4), packed("303", 4), packed("0", 4), packed("0", 4),
                 b"\x00")
    cash = record(0x11, packed("2000", 2))
    voucher = record(0x12, b"\x05", packed("547", 5), packed("927600004711", 12), b"\x00",
                     b"\x00\x00\x00", b"\x00\x00", packed("1000", 4))
    timing = record(0x16, operator, terminal, packed("42", 4), packed("15", 4),
                    packed("0", 4), packed("3", 4), time, date)
    return (line(header, extension) + line(milk, milk_qty, coffee, deposit) +
            line(tax, cash, voucher) + line(timing))


def pos_close():
    """Sign-on, price maintenance, terminal totals and the store closing of the day."""
    terminal, operator = packed("12", 2), b"\xf0\x00\x47\x11"
    date = packed("261207", 3)
    sign_on = record(0x19, date, packed("0602", 2), operator, b"\x4a\x17\x09\x33", terminal,
                     packed("1", 2), b"\x01")
    maintenance = record(0x18, date, packed("1210", 2), operator, b"\x02", packed("4", 1))
    totals = record(0x03, packed("1842377", 5), packed("12990", 5), packed("1529340", 4),
                    packed("0", 4), packed("0", 4), packed("20000", 4), packed("150000", 4),
                    packed("1379340", 4), packed("0", 4), b"\x00")
    features = record(0x23, b"\x01\x00")
    closing = record(0x05, date, packed("2105", 2))
    return line(sign_on) + line(maintenance) + line(totals, features) + line(closing)


def main():
    pos_md = mqmd(Format="MQSTR   ", PutApplName="poslog.exe", PutApplType=11)
    write(os.path.join(HERE, "pos_sale.qpk"), pos_md, pos_sale())
    write(os.path.join(HERE, "pos_store_close.qpk"), pos_md, pos_close())

    ims_md = mqmd(Format="MQIMS   ", PutApplType=19, PutApplName="IMSA",
                  ReplyToQ="IMS.DELIVERY.REPLY", PutTime="09151833")
    # Version 2 is the native form of the header.
    write(os.path.join(HERE, "ims_update_delivery.qpk"), ims_md,
          iih(version=2, tran_state=b"C", tran_id=b"\x00\x01\xc3\x2f" + b"\0" * 12),
          ims_update())
    write(os.path.join(HERE, "ims_confirm.qpk"), ims_md, iih(version=2), ims_confirm())

    cics_md = mqmd(Format="MQCICS  ", PutApplName="TESTABRP", PutApplType=1)
    write(os.path.join(HERE, "cics_bridge_task.qpk"), cics_md, cics_area())


if __name__ == "__main__":
    main()
