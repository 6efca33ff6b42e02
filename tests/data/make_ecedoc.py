#!/usr/bin/env python3
"""Writes the ECEDOC test messages into tests/data/ecedoc/ (deterministic).

One document of every type (PQ, OS, PP, NC, UC, ON), then documents that exercise the
walks' edge cases: line ends between tags, unknown tags, header records outside ON
documents, missing and later PROLOGs, the DATUSR length forms, and records cut short by
the end of the body.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from message_files import (HDR010_NC, HDR010_ON, HDR010_OS, HDR010_PP, HDR010_PQ,  # noqa: E402
                           HDR020, HDR030, HDR040, ITM010_ON, ITM010_OTHER, datusr, document,
                           element, mqmd, prolog, tag, user_data, write_into)
from message_files import ecedoc_record as record  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "ecedoc")


def md(appl="wcsbridge.exe"):
    return mqmd(PutApplName=appl, Format="MQSTR   ", PutDate="20261207", PutTime="09153382")


def items(*records):
    return element("ITMLST", element("ITMDAT", *(element("ITM010", r) for r in records)))


def header(*records):
    return element("HEADER", *records)


def hdr(name, rec):
    return element(name, rec)


# --- records ---------------------------------------------------------------------------

PQ_HDR = record(HDR010_PQ, VersionNumber="01", NC_ProductRefNumber="PR00048213",
                NC_ProductQuanty="25",
                NC_ProductNumber="TENT-2P-ALPINE-GREEN-2026-EDITION-WITH-FOOTPRINT-AND-RAINFLY",
                NC_MerchantRefNumber="MR00001")

OS_HDR = record(HDR010_OS, VersionNumber="01", NC_OrderRefNumber="0000412873",
                NC_CustomerOrderNumber="WEB-2026-1207-0099", NC_CurrencyType="USD",
                NC_TotalPrice="389.85", NC_TotalTaxPrice="31.19",
                NC_TotalShippingPrice="12.50", NC_TotalTaxShippingPrice="1.00",
                NC_ShopperLoginID="j.hartley@example.com",
                NC_MerchantOrderNumber="ACME-SO-77120",
                NC_OrderStatus="SHIPPED - PARTIAL", NC_ScheduleShipDate="20261209",
                NC_ActualShipDate="20261208", NC_PlaceDate="20261207")


def os_item(ref, mon, status, qty, price, total, comment):
    return record(ITM010_OTHER, VersionNumber="01", NC_OrderRefNumber="0000412873",
                  NC_MerchantOrderNumber="ACME-SO-77120", NC_ItemRefNumber=ref,
                  NC_ItemMerchantOrderNumber=mon, NC_OrderItemStatus=status,
                  NC_ItemScheduleShipDate="20261209", NC_ItemActualShipDate="",
                  NC_ItemPlaceDate="20261207", NC_ItemQuantity=qty,
                  NC_ItemCurrencyType="USD", NC_ItemUnitPrice=price,
                  NC_ItemTotalPrice=total, NC_ItemTotalTaxPrice="",
                  NC_ItemTotalShippingPrice="", NC_ItemTotalTaxShippingPrice="",
                  NC_ItemComment=comment)


# 70 characters: the summary shows the first 60, trimmed.
LONG_COMMENT = ("Backordered at DC-EAST-04; customer agreed to split shipment on 12/07 "
                "call")
OS_ITEMS = [
    os_item("IT00000001", "ACME-SO-77120-01", "SHIPPED", "2", "129.95", "259.90",
            "Gift wrap requested"),
    os_item("IT00000002", "ACME-SO-77120-02", "BACKORDERED", "1", "129.95", "129.95",
            LONG_COMMENT),
]

PP_HDR = record(HDR010_PP, VersionNumber="01", NC_ProductRefNumber="PR00091544",
                NC_ProductPrice="74.99", NC_CurrencyType="USD", NC_ShopperGroup="RETAIL",
                NC_Precedence="10", NC_MerchantRefNumber="MR00001",
                NC_ProductNumber="SKU-884120-BLK-XL", NC_ProductPriceRefNum="PRC0009915",
                NC_StartTimestamp="2026-12-01-00.00.00.000000",
                NC_EndTimestamp="2026-12-31-23.59.59.999999",
                NC_PriceCustomField1="WINTER PROMOTION", NC_PriceCustomField2="Y")


def nc_hdr(login, last, first, **more):
    values = dict(VersionNumber="01", NC_LoginId=login, NC_Password="s3cr3t!Pw",
                  NC_VerifyPassword="s3cr3t!Pw", NC_MerchantRefNumber="MR00001",
                  NC_MethodComm="EM", NC_ChallengeQues="Name of your first pet?",
                  NC_ChallengeAns="Biscuit", NC_Title="Ms.", NC_LastName=last,
                  NC_FirstName=first, NC_Phone1="+1 617 555 0142",
                  NC_Addr1="118 Beacon Street", NC_Addr2="Apt 4B", NC_City="Boston",
                  NC_State="MA", NC_Country="US", NC_ZipCode="02116",
                  NC_Email1=login, NC_DayPhoneType="WRK", NC_DayPhoneList="Y",
                  NC_EveningPhoneType="HOM", NC_EveningPhoneList="N", NC_BestTimeToCall="E",
                  NC_PackageInsert="Y", NC_ShopperGender="F", NC_ShopperAge="35-44",
                  NC_MaritalStatus="M", NC_NumberofChildren="2", NC_NumberInHouse="4",
                  NC_ShopperInterest="Hiking, camping, trail running", NC_PreviousOrderFlag="N",
                  NC_DemogField1="A")
    values.update(more)
    return record(HDR010_NC, **values)


ON_HDR = record(HDR010_ON, VersionNumber="01", NC_OrderRefNumber="0000415002",
                NC_OrderDate="20261207", NC_OrderTime="091522", NC_CurrencyType="USD",
                NC_TotalPrice="214.80", NC_TotalTaxPrice="17.18",
                NC_TotalShippingPrice="9.95", NC_TotalTaxShippingPrice="0.80",
                NC_ShopperRefNumber="SH00031877", NC_MerchantRefNumber="MR00001",
                NC_MerchantOrderNumber="ACME-SO-77305", NC_BillToRefNumber="BT00031877",
                NC_OrderCustField1="WEB", NC_OrderCustField2="PROMO-WINTER26",
                NC_OrderCustField3="Leave at the front desk if nobody answers")

ON_PURCHASER = record(HDR020, VersionNumber="01", NC_ShopperLoginID="m.okafor@example.net",
                      NC_PurchaserLastName="Okafor", NC_PurchaserFirstName="Michael",
                      NC_PurchaserAddr1="2200 Lakeshore Drive", NC_PurchaserCity="Chicago",
                      NC_PurchaserState="IL", NC_PurchaserCountry="US",
                      NC_PurchaserZipCode="60614", NC_PurchaserEmail1="m.okafor@example.net",
                      NC_PurchaserPhone1="+1 312 555 0178",
                      NC_PurchaserCompanyName="Okafor Design Studio LLC",
                      NC_PurchaserShopperGroup="RETAIL")
ON_BILLTO = record(HDR030, VersionNumber="01", NC_BillToLastName="Okafor",
                   NC_BillToFirstName="Michael", NC_BillToAddr1="2200 Lakeshore Drive",
                   NC_BillToAddr2="Suite 310", NC_BillToCity="Chicago", NC_BillToState="IL",
                   NC_BillToCountry="US", NC_BillToZipCode="60614",
                   NC_BillToEmail1="accounts@okafordesign.example",
                   NC_BillToPhone1="+1 312 555 0100")
ON_SUPPLIER = record(HDR040, VersionNumber="01", NC_SupplierName="Acme Outdoor Supply Co.",
                     NC_SupplierAddr1="45 Industrial Parkway", NC_SupplierCity="Reno",
                     NC_SupplierState="NV", NC_SupplierCountry="US",
                     NC_SupplierZipCode="89502", NC_SupplierPhone1="+1 775 555 0190",
                     NC_SupplierContactLastName="Reyes",
                     NC_SupplierContactFirstName="Dana",
                     NC_SupplierContactTitle="Fulfilment Manager",
                     NC_SupplierContactPhone1="+1 775 555 0191",
                     NC_SupplierContactEmail1="d.reyes@acme-outdoor.example")


def on_item(line, product, desc, qty, price, **more):
    values = dict(VersionNumber="01", NC_ItemLineNumber=line, NC_ItemRefNumber="IT0000" + line,
                  NC_ItemProductRefNumber="PR0" + line + "0091", NC_ItemProductNumber=product,
                  NC_ItemProductShortDesc=desc, NC_ItemUnitPrice=price,
                  NC_ItemCurrencyType="USD", NC_ItemProductQuantity=qty,
                  NC_ItemShipToAddrRefNumber="AD00031877", NC_ItemShipModeRefNumber="SM002",
                  NC_ItemStatus="O", NC_ItemShipToLastName="Okafor",
                  NC_ItemShipToFistName="Michael", NC_ItemShipToAddr1="2200 Lakeshore Drive",
                  NC_ItemShipToCity="Chicago", NC_ItemShipToState="IL",
                  NC_ItemShipToCountry="US", NC_ItemShipToZipCode="60614",
                  NC_ItemShippingCarrier="UPS", NC_ItemShippingMethod="GROUND",
                  NC_ItemCreationTimestamp="2026-12-07-09.15.22.104233",
                  NC_ItemUpdateTimestamp="2026-12-07-09.15.22.104233")
    values.update(more)
    return record(ITM010_ON, **values)


ON_ITEMS = [
    on_item("001", "SKU-884120-BLK-XL", "Insulated winter parka, black, XL", "1", "149.90"),
    # An item without a product number: its quantity continues the line before.
    on_item("002", "", "Gift card, printed", "1", "25.00",
            NC_ItemShipToComement="Print the gift message on the card"),
    on_item("003", "SKU-220315-NAT", "Merino wool hiking socks, 3 pack", "2", "19.95"),
]

USER_DATA = user_data(("CHANNEL", "WEB"), ("SESSION", "7f3a9c21e0b44d8a"),
                      ("AFFILID", "PARTNER-0042"))


# --- documents -------------------------------------------------------------------------

def pq_doc():
    return document(prolog("PQ"), header(hdr("HDR010", PQ_HDR)),
                    items(os_item("IT00000007", "ACME-INV-20261207", "RECOUNTED", "25", "", "",
                                  "Cycle count, aisle 14 bay C")),
                    user_data(("WAREHSE", "DC-EAST-04"), ("BATCH", "B20261207-0412")))


def os_doc(hdr010=OS_HDR):
    return document(prolog("OS"), header(hdr("HDR010", hdr010)), items(*OS_ITEMS), USER_DATA)


def pp_doc():
    return document(prolog("PP"), header(hdr("HDR010", PP_HDR)),
                    items(os_item("IT00000011", "ACME-PRC-0009915", "ACTIVE", "1", "74.99",
                                  "74.99", "Price change approved by category manager")),
                    user_data(("APPROVER", "lwong")))


def nc_doc(code="NC"):
    if code == "NC":
        rec = nc_hdr("r.castillo@example.org", "Castillo", "Rosa")
    else:
        rec = nc_hdr("r.castillo@example.org", "Castillo-Marin", "Rosa",
                     NC_Password="n3wPass#26", NC_VerifyPassword="n3wPass#26",
                     NC_Addr1="9 Harbor View Road", NC_Addr2="", NC_City="Portland",
                     NC_State="ME", NC_ZipCode="04101")
    return document(prolog(code), header(hdr("HDR010", rec)),
                    items(os_item("IT00000021", "ACME-REG-" + code, "REGISTERED", "", "", "",
                                  "Newsletter opt-in from checkout page")),
                    user_data(("SOURCE", "CHECKOUT"), ("LOCALE", "en_US")))


def on_doc():
    return document(prolog("ON"),
                    header(hdr("HDR010", ON_HDR), hdr("HDR020", ON_PURCHASER),
                           hdr("HDR030", ON_BILLTO), hdr("HDR040", ON_SUPPLIER)),
                    items(*ON_ITEMS), USER_DATA)


def files():
    f = {}
    f["pq"] = md() + pq_doc()
    f["os"] = md() + os_doc()
    f["pp"] = md() + pp_doc()
    f["nc"] = md() + nc_doc("NC")
    f["uc"] = md() + nc_doc("UC")
    f["on"] = md() + on_doc()

    # An OS document whose order number and status are blank.
    blank = record(HDR010_OS, VersionNumber="01", NC_CustomerOrderNumber="WEB-2026-1207-0101",
                   NC_CurrencyType="USD", NC_TotalPrice="0.00")
    f["os_blank_keys"] = document(prolog("OS"), header(hdr("HDR010", blank)),
                                  items(OS_ITEMS[0]))

    # Line ends between tags.
    on = on_doc()
    cut = on.index(b"<HEADER>")
    f["crlf"] = on[:cut] + b"\r\n" + on[cut:]
    f["trailing_lf"] = pq_doc() + b"\n"
    f["trailing_crlf"] = pq_doc() + b"\r\n"

    # Unknown tags: a long one with zero bytes inside, and one cut by the end of the body.
    doc = os_doc()
    cut = doc.index(b"<USRLST>")
    f["unknown_tag"] = (doc[:cut] + b"<TRAILR>\0\0END OF DOCUMENT 0000412873 CHECKSUM 0041"
                        + doc[cut:])
    f["unknown_short"] = b"<ECEDOC><EOD>"

    # HDR020, HDR030 and HDR040 in documents other than ON: the summary steps over their
    # records, the detailed report stops at them.
    f["hdr020_os"] = document(prolog("OS"),
                              header(hdr("HDR010", OS_HDR), hdr("HDR020", ON_PURCHASER)),
                              items(*OS_ITEMS))
    f["hdr030_pq"] = document(prolog("PQ"),
                              header(hdr("HDR010", PQ_HDR), hdr("HDR030", ON_BILLTO)),
                              items(OS_ITEMS[0]))
    f["hdr040_pp"] = document(prolog("PP"),
                              header(hdr("HDR010", PP_HDR), hdr("HDR040", ON_SUPPLIER)),
                              items(OS_ITEMS[0]))

    # No PROLOG: items use the 488-byte layout; an HDR010 record is not read.
    f["no_prolog_items"] = document(items(*OS_ITEMS), USER_DATA)
    f["no_prolog_hdr010"] = document(header(hdr("HDR010", OS_HDR)), items(*OS_ITEMS))

    # No PROLOG, header records only: the summary steps over HDR020
    # (writing its C tag) and HDR030 in a document of type none, the detailed report
    # stops at HDR020.
    f["no_prolog_headers"] = document(
        header(hdr("HDR020", ON_PURCHASER), hdr("HDR030", ON_BILLTO)), items(*OS_ITEMS))

    # A later PROLOG replaces the document type.
    f["later_prolog"] = document(prolog("PQ"), header(hdr("HDR010", PQ_HDR)), prolog("ON"),
                                 header(hdr("HDR010", ON_HDR)), items(ON_ITEMS[0]))

    # Unknown type codes: other letters, and lower-case letters.
    f["type_xy"] = document(prolog("XY"), items(OS_ITEMS[0]), header(hdr("HDR010", OS_HDR)))
    f["type_lower"] = document(prolog("on"), items(OS_ITEMS[0]), header(hdr("HDR010", ON_HDR)))

    # The FieldLength forms; every value is as long as the number the walk reads, and an
    # item follows, so the item line shows that every step landed on the next tag.
    forms = [
        ("LEFT", "12", b"LEFT-ALIGNED"),            # 12 then blanks: 12
        ("RIGHT", "        12", b"R"),              # tenth character not read: 1
        ("BLANKS", "", b""),                        # 0
        ("LETTERS", "TWELVE", b""),                 # 0
        ("TENDIGIT", "0000000012", b"T"),           # nine digits 000000001: 1
        ("TAB", "\t7", b"TABBED!"),                 # leading white space skipped: 7
        ("PLUS", "+5", b"PLUS5"),                   # sign: 5
        ("LONG", "20", b"ABCDEFGHIJKLMNOPQRST"),    # shows 15 characters
    ]
    f["datusr_forms"] = document(
        prolog("OS"),
        element("USRLST", *(element("DATUSR", datusr(n, v, lt)) for n, lt, v in forms)),
        items(OS_ITEMS[0]))
    # A right-aligned length as a producer would mean it: the walk reads 1, not 12.
    f["datusr_right_aligned"] = document(
        prolog("OS"), element("USRLST", element("DATUSR", datusr("CHANNEL", "RIGHTALIGNED",
                                                                "        12"))),
        items(OS_ITEMS[0]))
    # Negative lengths are stepped over as 0.
    f["datusr_negative"] = document(
        prolog("OS"),
        element("USRLST", element("DATUSR", datusr("NEG", b"", "-5")),
                element("DATUSR", datusr("NEGBLANK", b"", "   -123")),
                element("DATUSR", datusr("AFTER", b"OK"))),
        items(OS_ITEMS[0]))
    # Huge lengths move past the end of the body and end the walk.
    f["datusr_huge"] = document(
        prolog("OS"), element("USRLST", element("DATUSR", datusr("HUGE", b"", "999999999"))),
        items(OS_ITEMS[0]))
    f["datusr_ten_digits"] = document(
        prolog("OS"), element("USRLST", element("DATUSR", datusr("TEN", b"", "1234567890"))),
        items(OS_ITEMS[0]))

    # Records cut short by the end of the body.
    on = on_doc()
    start = on.index(b"<ITM010>") + 8
    f["past_end_record"] = on[:start + 120]
    f["past_end_datusr_length"] = document(prolog("OS")) + tag("DATUSR") + b"CHANNEL 12"
    f["past_end_datusr_value"] = (document(prolog("OS")) + tag("DATUSR")
                                  + datusr("SESSION", b"7f3a9c", "40"))
    f["past_end_prolog"] = b"<ECEDOC><PROLOG>ON"
    return f


def main():
    for name, data in files().items():
        write_into(OUT, name + ".qpk", data)


if __name__ == "__main__":
    main()
