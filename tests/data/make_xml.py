#!/usr/bin/env python3
"""Writes the XML and MQRFH test messages of tests/data/xml/ (deterministic)."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import message_files as mf  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xml")

DECL = "<?xml version='1.0'?>"
ORDER = (DECL + "<Order><OrderNumberByMerchant>4711</OrderNumberByMerchant>"
         "<Status>OK</Status></Order>")


def body(name, *parts):
    mf.write_into(OUT, name + ".qpk", *parts)


def pretty_printer_cases():
    # The five-line example.
    body("example", DECL + "<order><item>A1</item><item id='7'/></order>")
    # Line ends inside content and attribute values are dropped; the source's own
    # indentation blanks and tabs stay, at the end of the previous output line.
    body("line_ends", DECL + "\r\n<order>\r\n  <item no='1\n2'>A\nB</item>\n"
         "\t<empty></empty>\n</order>\r\n")
    # The first-word rule: </itemList> stays after <item id='7'> but not after <item>;
    # <xitem> stays after <item>.
    body("first_word", "<list><item id='7'></itemList><item></itemList>"
         "<item><xitem>v</xitem></item></list>")
    # More closing tags than opening ones: depth zero and below.
    body("negative_depth", "<a></a></b></c></d><e>x</e></f><g/>")
    # Comments, a document type declaration and processing instructions keep the depth.
    body("comments", DECL + "<!DOCTYPE order><order><!-- first --><item>A1</item>"
         "<?app hint?><!-- second --><item>B2</item></order><!-- after -->")
    # A "<" among the last bytes of the text; a ">" outside any tag.
    body("last_bytes", "<a>1 > 0</a><")
    body("last_bytes_2", "<a>x</a><b")


def order_summary_cases():
    body("order", ORDER)
    body("order_items", DECL +
         "<OrderRequest><OrderNumberByMerchant>PO-88213</OrderNumberByMerchant>"
         "<RequisitionerID type=\"logon\">jsmith</RequisitionerID>"
         "<Item><ProductNumberByMerchant>MAT-100</ProductNumberByMerchant>"
         "<ItemProductQuantity>12</ItemProductQuantity></Item>"
         "<Item><ProductNumberByMerchant>MAT-200</ProductNumberByMerchant>"
         "<ItemProductQuantity>3</ItemProductQuantity></Item>"
         "<OrderNumberByBackend>4500017731</OrderNumberByBackend>"
         "<ItemNumberByBackend>10</ItemNumberByBackend>"
         "<ItemUnitPrice>19.90</ItemUnitPrice><Quantity>2</Quantity>"
         "<Status>ACCEPTED</Status></OrderRequest>")
    # Empty content: the closing tag stands in for the value; a blank content is empty.
    body("order_empty", DECL + "<Order><Status></Status><Note/>"
         "<Status> </Status><Status></Status></Order>")
    # Leading blanks are skipped; leading tabs and line feeds stay.
    body("order_blanks", DECL + "<Order><OrderNumberByNC>   NC-7</OrderNumberByNC>"
         "<Status>\tOPEN </Status><Quantity>\n5</Quantity></Order>")
    # Start tags with other attributes, a namespace prefix or a longer name do not match.
    body("order_unmatched", DECL + "<ord:Order xmlns:ord='urn:orders'>"
         "<RequisitionerID type=\"email\">a@b</RequisitionerID>"
         "<ord:Status>X</ord:Status><StatusCode>7</StatusCode>"
         "<Status id='1'>Y</Status><Status>Z</Status></ord:Order>")
    # A comment between the root start tag and its first child stands in for the root.
    body("order_comment", DECL + "<Order><!-- from web shop --><Status>OK</Status></Order>")
    # A root without child elements writes no root tag.
    body("order_no_children", DECL + "<Order>4711</Order>")
    # A value that begins with several "<": they stay, and the cut falls at the next "<".
    body("order_leading_lt", DECL + "<Order><Status><<a<b</Status></Order>")
    # A stray closing tag before the root lowers the depth: the entry begins with the tag
    # open when the depth first reaches 2 again, here the root's first child.
    body("order_depth_closing", DECL + "</Envelope><Order><Body><Status>OK</Status>"
         "</Body></Order>")

    # The body ends inside the content of an element: it is not written.
    body("order_cut", DECL + "<Order><Status>OK</Status><Quantity>5")


def rfh_cases():
    md = mf.mqmd(Format="MQHRF   ")
    md2 = mf.mqmd(Format="MQHRF2  ")
    # Version 1: pairs, and an odd count whose last name has no value.
    body("rfh_v1_pairs", md, mf.rfh_v1("OPT1 A OPT2 B"), "PAYLOAD")
    body("rfh_v1_odd", md, mf.rfh_v1("  OPT1   A OPT2 B  LAST"), "PAYLOAD")
    # Version 1 with a StrucLength below 32: an empty name/value string; the header is
    # not stepped over.
    body("rfh_v1_short", mf.rfh_v1("OPT1 A", struc_length=20))
    # Version 2: an XML block (a short element and two blanks), a block that is not XML,
    # then an XML order body; native and opposite byte order.
    blocks = ["<ab>x</ab>  ", "<mcd><Msd>jms_text</Msd></mcd>", "jms_text=yes"]
    order = DECL + "<order><item>A1</item></order>"
    body("rfh_v2_native", md2, mf.rfh_v2(blocks, fmt="MQSTR"), order)
    # A sender of the other byte order stores Encoding 273 as the bytes 00 00 01 11.
    body("rfh_v2_reversed", md2, mf.rfh_v2(blocks, encoding=0x11010000, fmt="MQSTR", big=True),
         order)
    # A block length beyond the header: the block's data ends with the header.
    hdr = bytearray(mf.rfh_v2(["<usr><k>v</k></usr>"]))
    hdr[36:40] = mf.i32(400)
    body("rfh_v2_overlong", bytes(hdr), "BODY")


def main():
    os.makedirs(OUT, exist_ok=True)
    pretty_printer_cases()
    order_summary_cases()
    rfh_cases()


if __name__ == "__main__":
    main()
