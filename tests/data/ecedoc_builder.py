"""Builders for ECEDOC documents (used by the test-data and sample generators).

An ECEDOC document is a gap-free run of 8-byte opening tags, 9-byte closing tags and
fixed-width blank-padded records. The layouts below list every record's fields in order
with their lengths; record() fills a record from keyword values (missing fields are blank).
"""
from qpk import text


def layout(length, fields):
    assert sum(n for _, n in fields) == length, (length, fields)
    return length, fields


PROLOG = layout(22, [
    ("NC_MsgType", 10), ("NC_MsgVersion", 2), ("NC_RESERVED", 10),
])

HDR010_PQ = layout(96, [
    ("VersionNumber", 2), ("NC_ProductRefNumber", 10), ("NC_ProductQuanty", 10),
    ("NC_ProductNumber", 64), ("NC_MerchantRefNumber", 10),
])

HDR010_OS = layout(267, [
    ("VersionNumber", 2), ("NC_OrderRefNumber", 10), ("NC_CustomerOrderNumber", 64),
    ("NC_CurrencyType", 10), ("NC_TotalPrice", 16), ("NC_TotalTaxPrice", 16),
    ("NC_TotalShippingPrice", 16), ("NC_TotalTaxShippingPrice", 16), ("NC_ShopperLoginID", 31),
    ("NC_MerchantOrderNumber", 30), ("NC_OrderStatus", 32), ("NC_ScheduleShipDate", 8),
    ("NC_ActualShipDate", 8), ("NC_PlaceDate", 8),
])

HDR010_PP = layout(225, [
    ("VersionNumber", 2), ("NC_ProductRefNumber", 10), ("NC_ProductPrice", 16),
    ("NC_CurrencyType", 10), ("NC_ShopperGroup", 10), ("NC_Precedence", 10),
    ("NC_MerchantRefNumber", 10), ("NC_ProductNumber", 64), ("NC_ProductPriceRefNum", 10),
    ("NC_StartTimestamp", 26), ("NC_EndTimestamp", 26), ("NC_PriceCustomField1", 30),
    ("NC_PriceCustomField2", 1),
])

HDR010_NC = layout(2709, [
    ("VersionNumber", 2), ("NC_LoginId", 31), ("NC_Password", 12), ("NC_VerifyPassword", 12),
    ("NC_MerchantRefNumber", 10), ("NC_MethodComm", 2), ("NC_ChallengeQues", 250),
    ("NC_ChallengeAns", 250), ("NC_ShopperField1", 254), ("NC_ShopperField2", 254),
    ("NC_Title", 5), ("NC_LastName", 30), ("NC_FirstName", 30), ("NC_MiddleName", 30),
    ("NC_RepCompany", 80), ("NC_Phone1", 30), ("NC_Phone2", 30), ("NC_Fax", 30),
    ("NC_Addr1", 50), ("NC_Addr2", 50), ("NC_Addr3", 50), ("NC_City", 30), ("NC_State", 20),
    ("NC_Country", 30), ("NC_ZipCode", 20), ("NC_Email1", 254), ("NC_Email2", 254),
    ("NC_DayPhoneType", 3), ("NC_DayPhoneList", 1), ("NC_EveningPhoneType", 3),
    ("NC_EveningPhoneList", 1), ("NC_BestTimeToCall", 1), ("NC_PackageInsert", 1),
    ("NC_AddressOptField1", 3), ("NC_AddressOptField2", 1), ("NC_ShopperGender", 1),
    ("NC_ShopperAge", 10), ("NC_ShopperIncome", 10), ("NC_MaritalStatus", 1),
    ("NC_NumberofChildren", 10), ("NC_NumberInHouse", 10), ("NC_ShopperCompany", 30),
    ("NC_ShopperInterest", 254), ("NC_PreviousOrderFlag", 1), ("NC_DemogField1", 1),
    ("NC_DemogField2", 1), ("NC_DemogField3", 1), ("NC_DemogField4", 1),
    ("NC_DemogField5", 254), ("NC_DemogField6", 10),
])

HDR010_ON = layout(440, [
    ("VersionNumber", 2), ("NC_OrderRefNumber", 10), ("NC_OrderDate", 8), ("NC_OrderTime", 6),
    ("NC_CurrencyType", 10), ("NC_TotalPrice", 16), ("NC_TotalTaxPrice", 16),
    ("NC_TotalShippingPrice", 16), ("NC_TotalTaxShippingPrice", 16),
    ("NC_ShopperRefNumber", 10), ("NC_MerchantRefNumber", 10), ("NC_MerchantOrderNumber", 30),
    ("NC_BillToRefNumber", 10), ("NC_OrderCustField1", 10), ("NC_OrderCustField2", 16),
    ("NC_OrderCustField3", 254),
])

HDR020 = layout(1101, [
    ("VersionNumber", 2), ("NC_ShopperLoginID", 31), ("NC_PurchaserLastName", 30),
    ("NC_PurchaserMiddleName", 30), ("NC_PurchaserFirstName", 30), ("NC_PurchaserAddr1", 50),
    ("NC_PurchaserAddr2", 50), ("NC_PurchaserAddr3", 50), ("NC_PurchaserCity", 30),
    ("NC_PurchaserState", 20), ("NC_PurchaserCountry", 30), ("NC_PurchaserZipCode", 20),
    ("NC_PurchaserEmail1", 254), ("NC_PurchaserEmail2", 254), ("NC_PurchaserPhone1", 30),
    ("NC_PurchaserPhone2", 30), ("NC_PurchaserFax", 30), ("NC_PurchaserCompanyName", 80),
    ("NC_PurchaserShopperGroup", 50),
])

HDR030 = layout(940, [
    ("VersionNumber", 2), ("NC_BillToLastName", 30), ("NC_BillToMiddleName", 30),
    ("NC_BillToFirstName", 30), ("NC_BillToAddr1", 50), ("NC_BillToAddr2", 50),
    ("NC_BillToAddr3", 50), ("NC_BillToCity", 30), ("NC_BillToState", 20),
    ("NC_BillToCountry", 30), ("NC_BillToZipCode", 20), ("NC_BillToEmail1", 254),
    ("NC_BillToEmail2", 254), ("NC_BillToPhone1", 30), ("NC_BillToPhone2", 30),
    ("NC_BillToFax", 30),
])

HDR040 = layout(1050, [
    ("VersionNumber", 2), ("NC_SupplierName", 80), ("NC_SupplierAddr1", 50),
    ("NC_SupplierAddr2", 50), ("NC_SupplierAddr3", 50), ("NC_SupplierCity", 30),
    ("NC_SupplierState", 20), ("NC_SupplierCountry", 30), ("NC_SupplierZipCode", 20),
    ("NC_SupplierPhone1", 30), ("NC_SupplierContactLastName", 30),
    ("NC_SupplierContactMiddleName", 30), ("NC_SupplierContactFirstName", 30),
    ("NC_SupplierContactTitle", 30), ("NC_SupplierContactPhone1", 30),
    ("NC_SupplierContactPhone2", 30), ("NC_SupplierContactEmail1", 254),
    ("NC_SupplierContactEmail2", 254),
])

ITM010_OTHER = layout(488, [
    ("VersionNumber", 2), ("NC_OrderRefNumber", 10), ("NC_MerchantOrderNumber", 30),
    ("NC_ItemRefNumber", 10), ("NC_ItemMerchantOrderNumber", 30), ("NC_OrderItemStatus", 32),
    ("NC_ItemScheduleShipDate", 8), ("NC_ItemActualShipDate", 8), ("NC_ItemPlaceDate", 8),
    ("NC_ItemQuantity", 10), ("NC_ItemCurrencyType", 10), ("NC_ItemUnitPrice", 16),
    ("NC_ItemTotalPrice", 16), ("NC_ItemTotalTaxPrice", 16), ("NC_ItemTotalShippingPrice", 16),
    ("NC_ItemTotalTaxShippingPrice", 16), ("NC_ItemComment", 250),
])

ITM010_ON = layout(2044, [
    ("VersionNumber", 2), ("NC_ItemLineNumber", 3), ("NC_ItemRefNumber", 10),
    ("NC_ItemProductRefNumber", 10), ("NC_ItemProductNumber", 64),
    ("NC_ItemProductShortDesc", 254), ("NC_ItemUnitPrice", 16), ("NC_ItemCurrencyType", 10),
    ("NC_ItemProductQuantity", 10), ("NC_ItemShipToAddrRefNumber", 10),
    ("NC_ItemShipModeRefNumber", 10), ("NC_ItemStatus", 1), ("NC_ItemShipToLastName", 30),
    ("NC_ItemShipToMiddleName", 30), ("NC_ItemShipToFistName", 30), ("NC_ItemShipToAddr1", 50),
    ("NC_ItemShipToAddr2", 50), ("NC_ItemShipToAddr3", 50), ("NC_ItemShipToCity", 30),
    ("NC_ItemShipToState", 20), ("NC_ItemShipToCountry", 30), ("NC_ItemShipToZipCode", 20),
    ("NC_ItemShipToEmail1", 254), ("NC_ItemShipToEmail2", 254), ("NC_ItemShipToPhone1", 30),
    ("NC_ItemShipToPhone2", 30), ("NC_ItemShipToFax", 30), ("NC_ItemShippingCarrier", 30),
    ("NC_ItemShippingMethod", 30), ("NC_ItemShipToComement", 254),
    ("NC_ItemCreationTimestamp", 64), ("NC_ItemUpdateTimestamp", 64),
    ("NC_ItemCustField1", 10), ("NC_ItemCustField2", 254),
])


def record(lay, **values):
    """A fixed-width record; a value may be str or bytes, and is cut or padded to its field."""
    length, fields = lay
    names = {name for name, _ in fields}
    unknown = set(values) - names
    assert not unknown, unknown
    out = b"".join(text(values.get(name, ""), n) for name, n in fields)
    assert len(out) == length
    return out


def tag(name):
    return b"<" + name.encode() + b">"


def end(name):
    return b"</" + name.encode() + b">"


def element(name, *content):
    """An element: opening tag, its record or inner elements, closing tag."""
    return tag(name) + b"".join(content) + end(name)


def prolog(msg_type, version="01", reserved=""):
    return element("PROLOG", record(PROLOG, NC_MsgType=msg_type, NC_MsgVersion=version,
                                    NC_RESERVED=reserved))


def datusr(name, value, length_text=None):
    """A DATUSR record: FieldName (8), FieldLength (10, left-aligned decimal unless given
    as raw text), FieldValue."""
    v = value.encode("latin-1") if isinstance(value, str) else value
    if length_text is None:
        length_text = str(len(v))
    return text(name, 8) + text(length_text, 10) + v


def user_data(*pairs):
    """A USRLST of DATUSR elements from (name, value) pairs."""
    return element("USRLST", *(element("DATUSR", datusr(n, v)) for n, v in pairs))


def document(*content):
    return element("ECEDOC", *content)
