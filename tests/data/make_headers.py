#!/usr/bin/env python3
"""Writes the messages of the descriptor, queue-header, file and command-line tests into
tests/data/headers/ (deterministic)."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from message_files import (DATA_DIR, cih, i32, iih, mqmd, rfh_v1, rfh_v2, text,  # noqa: E402
                           write_into)

here = os.path.join(DATA_DIR, "headers")


def w(name, *parts):
    write_into(here, name, *parts)


XML = "<?xml version='1.0'?><Order><OrderNumberByMerchant>4711</OrderNumberByMerchant></Order>"

w("body_plain.qpk", b"Hello from the order queue\0with a zero byte")
w("empty.qpk")
w("zeros10.qpk", b"AB\0CD\0\0EFG")
w("long_unknown.qpk", b"0123456789" * 20)
w("md_full.qpk", mqmd(), b"PLAIN TEXT BODY")
w("md_short.qpk", b"MD is not a descriptor here")
w("md_only.qpk", mqmd())
w("md_body364.qpk", mqmd(), b"B" * 364)
w("md_java.qpk", mqmd(PutApplType=15), b"JVjava body text")
w("md_hex.qpk", mqmd(ApplIdentityData=b"ID\x9c\x01", CorrelId=b"CORREL-1" + b"\0" * 16,
                     ReplyToQ="REPLY.QUEUE", UserIdentifier="operator01"), b"x")
# MQRFH forms
w("rfh1_unknown.qpk", rfh_v1("OPT1 A OPT2 B"), b"payload after the header")
w("rfh1_native_only.qpk", b"RFH " + i32(1) + i32(32) + i32(273) + i32(819) + text("MQSTR", 8) + i32(0))
w("rfh2_reversed_xml.qpk", rfh_v2(["<mcd><Msd>xml</Msd></mcd>  "], big=True), XML)
w("rfh2_reversed_text.qpk", rfh_v2(["<usr><Id>7</Id></usr>", "plain=value"], big=True),
  b"Payload behind a reversed header")
w("rfh_length_beyond.qpk", rfh_v1("A B", struc_length=9999), b"rest")
w("rfh_length_short.qpk", rfh_v1("A B", struc_length=8), b"rest")
w("rfh2_negative_block.qpk", rfh_v2([], struc_length=48) + i32(-5) + b"\0" * 8, b"after")
# A reversed NameValueLength near the largest integer: the length walk must not overflow.
w("rfh2_huge_block.qpk", rfh_v2([], big=True, struc_length=44) + i32(0x7FFFFFFC, True) + b"abcd", b"after")
w("rfh_then_iih.qpk", rfh_v1("K V"), iih(big=True), b"IMS data")
# MQIIH forms
# Version 1 headers come from big-endian senders; a native-order version 1 header is
# reversed all the same and its length then points far past the body.
w("iih_confirm97.qpk", iih(big=True), b"C" * 97)
w("iih_update98.qpk", iih(big=True), b"U" * 98)
w("iih_native_v1.qpk", iih(), b"C" * 10)
w("iih_v2.qpk", iih(version=2), b"C" * 10)
w("iih_reversed.qpk", iih(version=1, big=True), b"C" * 10)
w("iih_length_beyond.qpk", iih(struc_length=500, big=True), b"short")
w("iih_length_short.qpk", iih(struc_length=20, big=True), b"short")
# MQCIH
w("cih.qpk", cih("DFHAC2206 transaction ORDR failed\0ignored after the zero"))
w("cih_short.qpk", b"CIH " + b"x" * 20)
w("cih_md.qpk", mqmd(Format="MQCICS  "), cih("CICS reply"))

labels = [-2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20,
          21, 65535, 65536, 100000]
for n, t in enumerate(labels):
    w(os.path.join("appltypes", "t%02d.qpk" % n), mqmd(PutApplType=t),
      b"\0\0payload of type %d" % t)

for name in ("b.qpk", "a.qpk", "c.txt", "a2.qpk", ".hidden.qpk"):
    w(os.path.join("several", name), b"file " + name.encode())
