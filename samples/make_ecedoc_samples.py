#!/usr/bin/env python3
"""Writes the shipped ECEDOC sample messages samples/ecedoc_*.qpk (deterministic).

One message of every document type, as the storefront bridge puts them on its queues:
a product quantity (PQ), an order status (OS), a product price (PP), a new shopper (NC),
a shopper update (UC) and a new order (ON), each with items and user data.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "data"))
from message_files import (HDR010_NC, HDR010_ON, HDR010_OS, HDR010_PP, HDR010_PQ,  # noqa: E402
                           HDR020, HDR030, HDR040, ITM010_ON, ITM010_OTHER, document, element,
                           mqmd, prolog, user_data, write)
from message_files import ecedoc_record as record  # noqa: E402


def md(queue_time, appl="ncbridge.exe", seq=1):
    return mqmd(PutApplName=appl, Format="MQSTR   ", PutDate="20261204", PutTime=queue_time,
                MsgSeqNumber=seq, ReplyToQ="NC.REPLY.QUEUE", UserIdentifier="ncadmin")


def items(*records):
    return element("ITMLST", element("ITMDAT", *(element("ITM010", r) for r in records)))


def status_item(order, mon, ref, item_mon, status, qty, price, total, comment, **more):
    values = dict(VersionNumber="01", NC_OrderRefNumber=order, NC_MerchantOrderNumber=mon,
                  NC_ItemRefNumber=ref, NC_ItemMerchantOrderNumber=item_mon,
                  NC_OrderItemStatus=status, NC_ItemQuantity=qty, NC_ItemCurrencyType="EUR",
                  NC_ItemUnitPrice=price, NC_ItemTotalPrice=total, NC_ItemComment=comment)
    values.update(more)
    return record(ITM010_OTHER, **values)


def product_quantity():
    hdr = record(HDR010_PQ, VersionNumber="01", NC_ProductRefNumber="PR00120077",
                 NC_ProductQuanty="140", NC_ProductNumber="ESPRESSO-BEANS-1KG-DARK-ROAST",
                 NC_MerchantRefNumber="MR00007")
    item = status_item("", "", "IT00120077", "STOCK-20261204-ROT", "IN STOCK", "140", "", "",
                       "Goods receipt from roaster, pallet 3 of 4",
                       NC_ItemPlaceDate="20261204")
    return document(prolog("PQ"), element("HEADER", element("HDR010", hdr)), items(item),
                    user_data(("WAREHSE", "ROTTERDAM-2"), ("GRNUMBER", "GR-5500187213")))


def order_status():
    hdr = record(HDR010_OS, VersionNumber="01", NC_OrderRefNumber="0000208841",
                 NC_CustomerOrderNumber="NL-2026-000318", NC_CurrencyType="EUR",
                 NC_TotalPrice="212.40", NC_TotalTaxPrice="36.86",
                 NC_TotalShippingPrice="6.95", NC_TotalTaxShippingPrice="1.46",
                 NC_ShopperLoginID="p.dekker@example.nl",
                 NC_MerchantOrderNumber="CAFE-SO-30418", NC_OrderStatus="IN TRANSIT",
                 NC_ScheduleShipDate="20261204", NC_ActualShipDate="20261204",
                 NC_PlaceDate="20261203")
    lines = [
        status_item("0000208841", "CAFE-SO-30418", "IT00000001", "CAFE-SO-30418-01",
                    "SHIPPED", "1", "189.00", "189.00",
                    "Dual boiler machine shipped with DHL parcel JD014600006811254402",
                    NC_ItemScheduleShipDate="20261204", NC_ItemActualShipDate="20261204",
                    NC_ItemPlaceDate="20261203", NC_ItemTotalTaxPrice="32.80"),
        status_item("0000208841", "CAFE-SO-30418", "IT00000002", "CAFE-SO-30418-02",
                    "SHIPPED", "2", "11.70", "23.40", "Descaler tablets",
                    NC_ItemScheduleShipDate="20261204", NC_ItemActualShipDate="20261204",
                    NC_ItemPlaceDate="20261203", NC_ItemTotalTaxPrice="4.06"),
    ]
    return document(prolog("OS"), element("HEADER", element("HDR010", hdr)), items(*lines),
                    user_data(("CARRIER", "DHL"), ("TRACKURL", "https://track.example/JD0146")))


def product_price():
    hdr = record(HDR010_PP, VersionNumber="01", NC_ProductRefNumber="PR00120077",
                 NC_ProductPrice="24.50", NC_CurrencyType="EUR", NC_ShopperGroup="WHOLESALE",
                 NC_Precedence="20", NC_MerchantRefNumber="MR00007",
                 NC_ProductNumber="ESPRESSO-BEANS-1KG-DARK-ROAST",
                 NC_ProductPriceRefNum="PRC0044120",
                 NC_StartTimestamp="2027-01-01-00.00.00.000000",
                 NC_EndTimestamp="2027-03-31-23.59.59.999999",
                 NC_PriceCustomField1="Q1 WHOLESALE LIST", NC_PriceCustomField2="N")
    item = status_item("", "", "IT00120077", "PRICE-Q1-2027", "SCHEDULED", "1", "24.50",
                       "24.50", "Wholesale list price for the first quarter, 10 bags minimum")
    return document(prolog("PP"), element("HEADER", element("HDR010", hdr)), items(item),
                    user_data(("APPROVER", "m.jansen"), ("MINQTY", "10")))


def shopper(code, **more):
    values = dict(VersionNumber="01", NC_LoginId="s.vermeulen@example.be",
                  NC_Password="Kof13Bon!", NC_VerifyPassword="Kof13Bon!",
                  NC_MerchantRefNumber="MR00007", NC_MethodComm="EM",
                  NC_ChallengeQues="City where you were born?", NC_ChallengeAns="Gent",
                  NC_Title="Mr.", NC_LastName="Vermeulen", NC_FirstName="Stijn",
                  NC_RepCompany="Vermeulen Koffiebar BVBA", NC_Phone1="+32 9 555 01 77",
                  NC_Addr1="Korenmarkt 12", NC_City="Gent", NC_State="OVL",
                  NC_Country="BE", NC_ZipCode="9000", NC_Email1="s.vermeulen@example.be",
                  NC_DayPhoneType="WRK", NC_DayPhoneList="Y", NC_EveningPhoneType="MOB",
                  NC_EveningPhoneList="N", NC_BestTimeToCall="M", NC_PackageInsert="N",
                  NC_ShopperGender="M", NC_ShopperAge="25-34", NC_MaritalStatus="S",
                  NC_NumberofChildren="0", NC_NumberInHouse="1",
                  NC_ShopperCompany="Vermeulen Koffiebar",
                  NC_ShopperInterest="Specialty coffee, latte art, barista courses",
                  NC_PreviousOrderFlag="Y" if code == "UC" else "N")
    values.update(more)
    hdr = record(HDR010_NC, **values)
    item = status_item("", "", "IT00000000", "REG-" + code + "-20261204",
                       "ACTIVE" if code == "UC" else "REGISTERED", "", "", "",
                       "Shopper " + ("profile updated" if code == "UC" else "registered")
                       + " from the account page")
    return document(prolog(code), element("HEADER", element("HDR010", hdr)), items(item),
                    user_data(("SOURCE", "MYACCOUNT" if code == "UC" else "SIGNUP"),
                              ("LOCALE", "nl_BE")))


def new_order():
    hdr = record(HDR010_ON, VersionNumber="01", NC_OrderRefNumber="0000208907",
                 NC_OrderDate="20261204", NC_OrderTime="141733", NC_CurrencyType="EUR",
                 NC_TotalPrice="71.40", NC_TotalTaxPrice="6.43", NC_TotalShippingPrice="4.95",
                 NC_TotalTaxShippingPrice="0.45", NC_ShopperRefNumber="SH00004411",
                 NC_MerchantRefNumber="MR00007", NC_MerchantOrderNumber="CAFE-SO-30477",
                 NC_BillToRefNumber="BT00004411", NC_OrderCustField1="WEB",
                 NC_OrderCustField2="NEWSLETTER-DEC",
                 NC_OrderCustField3="Deliver to the side entrance, cafe opens at 08:00")
    purchaser = record(HDR020, VersionNumber="01", NC_ShopperLoginID="s.vermeulen@example.be",
                       NC_PurchaserLastName="Vermeulen", NC_PurchaserFirstName="Stijn",
                       NC_PurchaserAddr1="Korenmarkt 12", NC_PurchaserCity="Gent",
                       NC_PurchaserState="OVL", NC_PurchaserCountry="BE",
                       NC_PurchaserZipCode="9000", NC_PurchaserEmail1="s.vermeulen@example.be",
                       NC_PurchaserPhone1="+32 9 555 01 77",
                       NC_PurchaserCompanyName="Vermeulen Koffiebar BVBA",
                       NC_PurchaserShopperGroup="WHOLESALE")
    billto = record(HDR030, VersionNumber="01", NC_BillToLastName="Vermeulen",
                    NC_BillToFirstName="Stijn", NC_BillToAddr1="Vermeulen Koffiebar BVBA",
                    NC_BillToAddr2="Korenmarkt 12", NC_BillToCity="Gent", NC_BillToState="OVL",
                    NC_BillToCountry="BE", NC_BillToZipCode="9000",
                    NC_BillToEmail1="boekhouding@koffiebar.example",
                    NC_BillToPhone1="+32 9 555 01 70")
    supplier = record(HDR040, VersionNumber="01", NC_SupplierName="Cafe Supplies Europe B.V.",
                      NC_SupplierAddr1="Waalhaven Zuidzijde 21", NC_SupplierCity="Rotterdam",
                      NC_SupplierState="ZH", NC_SupplierCountry="NL",
                      NC_SupplierZipCode="3089 JH", NC_SupplierPhone1="+31 10 555 4400",
                      NC_SupplierContactLastName="de Boer",
                      NC_SupplierContactFirstName="Anouk",
                      NC_SupplierContactTitle="Order Desk Lead",
                      NC_SupplierContactPhone1="+31 10 555 4412",
                      NC_SupplierContactEmail1="orders@cafesupplies.example")

    def line(no, product, desc, qty, price, **more):
        values = dict(VersionNumber="01", NC_ItemLineNumber=no, NC_ItemRefNumber="IT0000" + no,
                      NC_ItemProductRefNumber="PR00120" + no, NC_ItemProductNumber=product,
                      NC_ItemProductShortDesc=desc, NC_ItemUnitPrice=price,
                      NC_ItemCurrencyType="EUR", NC_ItemProductQuantity=qty,
                      NC_ItemShipToAddrRefNumber="AD00004411", NC_ItemShipModeRefNumber="SM001",
                      NC_ItemStatus="N", NC_ItemShipToLastName="Vermeulen",
                      NC_ItemShipToFistName="Stijn", NC_ItemShipToAddr1="Korenmarkt 12",
                      NC_ItemShipToCity="Gent", NC_ItemShipToState="OVL",
                      NC_ItemShipToCountry="BE", NC_ItemShipToZipCode="9000",
                      NC_ItemShipToPhone1="+32 9 555 01 77", NC_ItemShippingCarrier="BPOST",
                      NC_ItemShippingMethod="STANDARD",
                      NC_ItemCreationTimestamp="2026-12-04-14.17.33.512006",
                      NC_ItemUpdateTimestamp="2026-12-04-14.17.33.512006")
        values.update(more)
        return record(ITM010_ON, **values)

    lines = [
        line("001", "ESPRESSO-BEANS-1KG-DARK-ROAST", "Espresso beans, dark roast, 1 kg", "2",
             "24.50"),
        line("002", "MILK-JUG-600ML-STEEL", "Stainless milk jug, 600 ml", "1", "17.45"),
        line("003", "", "Sample pack: seasonal single origin", "1", "0.00",
             NC_ItemShipToComement="Free sample, pack with line 001"),
    ]
    return document(prolog("ON"),
                    element("HEADER", element("HDR010", hdr), element("HDR020", purchaser),
                            element("HDR030", billto), element("HDR040", supplier)),
                    items(*lines), user_data(("CHANNEL", "WEB"), ("COUPON", "WELCOME10")))


SAMPLES = [
    ("ecedoc_pq_stock_level.qpk", "08011264", product_quantity),
    ("ecedoc_os_order_shipped.qpk", "10224081", order_status),
    ("ecedoc_pp_wholesale_price.qpk", "11300517", product_price),
    ("ecedoc_nc_new_shopper.qpk", "12055902", lambda: shopper("NC")),
    ("ecedoc_uc_shopper_update.qpk", "13410036",
     lambda: shopper("UC", NC_Password="Kof13Bon!26", NC_VerifyPassword="Kof13Bon!26",
                     NC_Phone2="+32 470 55 01 77", NC_ShopperAge="35-44")),
    ("ecedoc_on_new_order.qpk", "14173351", new_order),
]


def main():
    for seq, (name, time, build) in enumerate(SAMPLES, 1):
        write(os.path.join(HERE, name), md(time, seq=seq), build())


if __name__ == "__main__":
    main()
