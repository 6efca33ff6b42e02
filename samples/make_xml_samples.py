#!/usr/bin/env python3
"""Writes the XML sample messages shipped in samples/ (deterministic).

xml_order.qpk      a purchase order from the web shop as an XML message
rfh_v2_order.qpk   an order confirmation behind an MQRFH version 2 with mcd, jms and usr folders
dead_letter_order.qpk  the web shop's order, dead-lettered by the receiving channel because
                   its destination queue is not defined on the warehouse queue manager
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "data"))
import message_files as mf  # noqa: E402

ORDER = """<?xml version="1.0" encoding="UTF-8"?>
<OrderRequest>
  <OrderHeader>
    <OrderNumberByMerchant>WS-2026-004711</OrderNumberByMerchant>
    <RequisitionerID type="logon">KMUELLER</RequisitionerID>
    <OrderDate>2026-12-07</OrderDate>
    <Currency>EUR</Currency>
  </OrderHeader>
  <!-- two positions from the shopping basket -->
  <OrderItem>
    <ProductNumberByMerchant>100-4410</ProductNumberByMerchant>
    <Description>Hex bolt M8x40 DIN 933, zinc plated</Description>
    <ItemProductQuantity>250</ItemProductQuantity>
    <ItemUnitPrice>0.12</ItemUnitPrice>
  </OrderItem>
  <OrderItem>
    <ProductNumberByMerchant>100-5021</ProductNumberByMerchant>
    <Description>Washer 8.4 DIN 125</Description>
    <ItemProductQuantity>250</ItemProductQuantity>
    <ItemUnitPrice>0.03</ItemUnitPrice>
  </OrderItem>
  <Status>NEW</Status>
</OrderRequest>
""".replace("\n", "\r\n")

CONFIRMATION = ("<?xml version='1.0' encoding='UTF-8'?>"
                "<OrderConfirmation><OrderNumberByNC>WS-2026-004711</OrderNumberByNC>"
                "<OrderNumberByBackend>4500017731</OrderNumberByBackend>"
                "<ItemNumberByBackend>10</ItemNumberByBackend><Quantity>250</Quantity>"
                "<ItemNumberByBackend>20</ItemNumberByBackend><Quantity>250</Quantity>"
                "<Status>CONFIRMED</Status></OrderConfirmation>")


def folder(text):
    """A name/value folder padded with blanks to a multiple of four bytes."""
    return text + " " * (-len(text) % 4)


def main():
    mf.write(os.path.join(HERE, "xml_order.qpk"),
             mf.mqmd(Format="MQSTR   ", PutApplName="webshop/orders", MsgSeqNumber=1),
             ORDER)
    folders = [
        folder("<mcd><Msd>xml</Msd><Type>OrderConfirmation</Type></mcd>"),
        folder("<jms><Dst>queue:///SHOP.ORDER.REPLY</Dst><Tms>1796651117000</Tms>"
               "<Cid>WS-2026-004711</Cid><Dlv>2</Dlv></jms>"),
        folder("<usr><Plant>1000</Plant><SalesOrg>DE01</SalesOrg></usr>"),
    ]
    mf.write(os.path.join(HERE, "rfh_v2_order.qpk"),
             mf.mqmd(Format="MQHRF2  ", PutApplName="sapgw01", PutApplType=6),
             mf.rfh_v2(folders, fmt="MQSTR"), CONFIRMATION)
    mf.write(os.path.join(HERE, "dead_letter_order.qpk"),
             mf.mqmd(Format="MQDEAD  ", Encoding=546, PutApplType=7, PutApplName="amqrmppa",
                      ReplyToQMgr="QMWH02", PutDate="20261207", PutTime="10302519"),
             mf.dlh(reason=2085, dest_q="SHOP.ORDERS.IN", dest_qmgr="QMWH02", encoding=546,
                     ccsid=1208, appl_type=7, appl_name="amqrmppa", date="20261207",
                     time="10302512"),
             ORDER)


if __name__ == "__main__":
    main()
