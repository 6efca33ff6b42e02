#!/usr/bin/env python3
"""Writes the general sample messages (descriptors and MQ headers) into samples/."""
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "data"))
from message_files import cih, iih, mqmd, rfh_v1, rfh_v2, write  # noqa: E402


def w(name, *parts):
    write(os.path.join(here, name), *parts)


w("plain_text.qpk", b"STOCK CHECK REQUEST WAREHOUSE=HAMBURG MATERIAL=MAT-100234 QTY=24\r\n")
w("descriptor_text.qpk",
  mqmd(PutApplName="stockcheck", PutDate="20261207", PutTime="08153021", ReplyToQ="STOCK.REPLY",
       UserIdentifier="whsapp", MsgId=b"AMQ WHQM01      \x61\x8f\x02\x00\x00\x00\x00\x10"),
  b"STOCK CHECK REPLY MATERIAL=MAT-100234 AVAILABLE=118\r\n")
w("rfh1_options.qpk",
  mqmd(Format="MQHRF   ", PutApplName="router.exe"),
  rfh_v1("OPT_APP_GRP ORDERS OPT_MSG_TYPE NEWORDER OPT_PRIORITY HIGH"),
  b"NEWORDER 4500012345 CUSTOMER=100077 LINES=3")
w("rfh2_bigendian.qpk",
  mqmd(Format="MQHRF2  ", Encoding=785, PutApplType=2, PutApplName="ORDRSEND"),
  rfh_v2(["<mcd><Msd>jms_text</Msd></mcd> ",
          "<jms><Dst>queue:///ORDERS.IN</Dst><Tms>1796631302000</Tms><Dlv>2</Dlv></jms>",
          "<usr><Region>EMEA</Region><Channel>WEB</Channel></usr>"], big=True),
  b"ORDER 4500012346 CUSTOMER=100078 LINES=1")
w("iih_reply.qpk",
  mqmd(Format="MQIMS   ", PutApplType=19, PutApplName="IMS BRIDGE"),
  iih(big=True, lterm="LTERM01", tran_state=b"\xc3"), b"CONFIRMED 4500012345".ljust(60))
w("cih_error.qpk",
  mqmd(Format="MQCICS  ", PutApplType=1, PutApplName="CICSPROD"),
  cih("DFHAC2206 14:32:07 CICSPROD Transaction ORDR failed with abend ASRA."))
w("unknown_binary.qpk", bytes(range(0, 64)) + b"\xff\xfe\x00\x01binary tail")
w("empty.qpk")
