"""SAP IDoc record layouts of the shipped parser definitions (Resources/qpeek.parser and
Resources/ORDERS05.parser), and builders for IDoc bodies: control records, data records and
the MQSAPH header.

Each layout is a list of (field name, length, description). The shipped definition file
lists the same fields in the same order; offsets follow from the order.
"""
import struct

EDI_DC40 = [
    ("TABNAM", 10, "Name of table structure"), ("MANDT", 3, "Client"),
    ("DOCNUM", 16, "IDoc number"), ("DOCREL", 4, "SAP release for IDoc"),
    ("STATUS", 2, "Status of IDoc"), ("DIRECT", 1, "Direction"),
    ("OUTMOD", 1, "Output mode"), ("EXPRSS", 1, "Overriding in inbound processing"),
    ("TEST", 1, "Test flag"), ("IDOCTYP", 30, "Name of basic type"),
    ("CIMTYP", 30, "Extension"), ("MESTYP", 30, "Message type"),
    ("MESCOD", 3, "Message code"), ("MESFCT", 3, "Message function"),
    ("STD", 1, "EDI standard, flag"), ("STDVRS", 6, "EDI standard, version and release"),
    ("STDMES", 6, "EDI message type"), ("SNDPOR", 10, "Sender port"),
    ("SNDPRT", 2, "Partner type of sender"), ("SNDPFC", 2, "Partner function of sender"),
    ("SNDPRN", 10, "Partner number of sender"), ("SNDSAD", 21, "Sender address (SADR)"),
    ("SNDLAD", 70, "Logical address of sender"), ("RCVPOR", 10, "Receiver port"),
    ("RCVPRT", 2, "Partner type of receiver"), ("RCVPFC", 2, "Partner function of recipient"),
    ("RCVPRN", 10, "Partner number of receiver"), ("RCVSAD", 21, "Recipient address (SADR)"),
    ("RCVLAD", 70, "Logical address of recipient"), ("CREDAT", 8, "Created on"),
    ("CRETIM", 6, "Created at"), ("REFINT", 14, "Transmission file (EDI Interchange)"),
    ("REFGRP", 14, "Message group (EDI Message Group)"), ("REFMES", 14, "Message (EDI Message)"),
    ("ARCKEY", 70, "Key for external message archive"), ("SERIAL", 20, "Serialization"),
]

# The older control record: IDOCTYP at offset 423.
EDI_DC = [
    ("TABNAM", 10, "Name of table structure"), ("MANDT", 3, "Client"),
    ("DOCNUM", 16, "IDoc number"), ("DOCREL", 4, "SAP release for IDoc"),
    ("STATUS", 2, "Status of IDoc"), ("DOCTYP", 8, "IDoc type"), ("DIRECT", 1, "Direction"),
    ("RCVPOR", 10, "Receiver port"), ("RCVPRT", 2, "Partner type of receiver"),
    ("RCVPRN", 10, "Partner number of receiver"), ("RCVSAD", 21, "Recipient address (SADR)"),
    ("RCVLAD", 70, "Logical address of recipient"), ("STD", 1, "EDI standard, flag"),
    ("STDVRS", 6, "EDI standard, version and release"), ("STDMES", 6, "EDI message type"),
    ("MESCOD", 3, "Message code"), ("MESFCT", 3, "Message function"),
    ("OUTMOD", 1, "Output mode"), ("TEST", 1, "Test flag"), ("SNDPOR", 10, "Sender port"),
    ("SNDPRT", 2, "Partner type of sender"), ("SNDPRN", 10, "Partner number of sender"),
    ("SNDSAD", 21, "Sender address (SADR)"), ("SNDLAD", 70, "Logical address of sender"),
    ("REFINT", 14, "Transmission file (EDI Interchange)"),
    ("REFGRP", 14, "Message group (EDI Message Group)"), ("REFMES", 14, "Message (EDI Message)"),
    ("ARCKEY", 70, "Key for external message archive"), ("CREDAT", 8, "Created on"),
    ("CRETIM", 6, "Created at"), ("MESTYP", 6, "Message type"),
    ("IDOCTYP", 30, "Name of basic type"), ("CIMTYP", 11, "Extension"),
]

EDI_DD40 = [
    ("SEGNAM", 30, "Segment (external name)"), ("MANDT", 3, "Client"),
    ("DOCNUM", 16, "IDoc number"), ("SEGNUM", 6, "Number of SAP segment"),
    ("PSGNUM", 6, "Number of superior parent segment"), ("HLEVEL", 2, "Hierarchy level"),
]
ICI_DD40 = [("SEGNAM", 30, "Segment (external name)")]
EDI_DD = [
    ("SEGNAM", 10, "Segment name"), ("MANDT", 3, "Client"), ("DOCNUM", 16, "IDoc number"),
    ("SEGNUM", 6, "Number of SAP segment"), ("PSGNUM", 6, "Number of superior parent segment"),
    ("HLEVEL", 2, "Hierarchy level"), ("PSGNAM", 10, "Name of superior parent segment"),
    ("DTINT2", 2, "Reserved"),
]
ICI_DD = [("SEGNAM", 10, "Segment name")]

# Segment layouts of the order IDoc type ORDERS05.
SEGMENTS = {
    "E2EDK01005": [
        ("ACTION", 3, "Action code for the whole EDI message"), ("KZABS", 1, "Order acknowledgment"),
        ("CURCY", 3, "Currency"), ("HWAER", 3, "EDI local currency"),
        ("WKURS", 12, "Exchange rate"), ("ZTERM", 17, "Terms of payment key"),
        ("KUNDEUINR", 20, "VAT registration number"), ("EIGENUINR", 20, "VAT registration number"),
        ("BSART", 4, "Document type"), ("BELNR", 35, "IDOC document number"),
        ("NTGEW", 18, "Net weight"), ("BRGEW", 18, "Total weight"), ("GEWEI", 3, "Weight unit"),
        ("FKART_RL", 4, "Invoice list type"), ("ABLAD", 25, "Unloading point"),
        ("BSTZD", 4, "Purchase order number supplement"), ("VSART", 2, "Shipping conditions"),
        ("VSART_BEZ", 20, "Description of the shipping type"),
        ("RECIPNT_NO", 10, "Number of recipient"), ("KZAZU", 1, "Order combination indicator"),
        ("AUTLF", 1, "Complete delivery defined for each sales order?"),
        ("AUGRU", 3, "Order reason"), ("AUGRU_BEZ", 40, "Description"),
        ("ABRVW", 3, "Usage indicator"), ("ABRVW_BEZ", 20, "Description"),
        ("FKTYP", 1, "Billing category"), ("LIFSK", 2, "Delivery block"),
        ("LIFSK_BEZ", 20, "Description"), ("EMPST", 25, "Receiving point"),
        ("ABTNR", 4, "Department number"), ("DELCO", 3, "Agreed delivery time"),
        ("WKURS_M", 12, "Indirectly quoted exchange rate"),
    ],
    "E2EDK14003": [("QUALF", 3, "Qualifier organization"), ("ORGID", 35, "IDOC organization")],
    "E2EDK03001": [("IDDAT", 3, "Qualifier for IDOC date segment"), ("DATUM", 8, "Date"),
                ("UZEIT", 6, "Time")],
    "E2EDKA1003": [
        ("PARVW", 3, "Partner function"), ("PARTN", 17, "Partner number"),
        ("LIFNR", 17, "Vendor number at customer location"), ("NAME1", 35, "Name 1"),
        ("NAME2", 35, "Name 2"), ("NAME3", 35, "Name 3"), ("NAME4", 35, "Name 4"),
        ("STRAS", 35, "Street and house number 1"), ("STRS2", 35, "Street and house number 2"),
        ("PFACH", 35, "PO Box"), ("ORT01", 35, "City"), ("COUNC", 9, "County code"),
        ("PSTLZ", 9, "Postal code"), ("PSTL2", 9, "P.O. Box postal code"),
        ("LAND1", 3, "Country key"), ("ABLAD", 35, "Unloading point"),
        ("PERNR", 30, "Contact person's personnel number"), ("PARNR", 30, "Contact person number"),
        ("TELF1", 25, "1st telephone number"), ("TELF2", 25, "2nd telephone number"),
        ("TELBX", 25, "Telebox number"), ("TELFX", 25, "Fax number"),
        ("TELTX", 25, "Teletex number"), ("TELX1", 25, "Telex number"),
        ("SPRAS", 1, "Language key"), ("ANRED", 15, "Form of address"),
        ("ORT02", 35, "District"), ("HAUSN", 6, "House number"), ("STOCK", 6, "Floor"),
        ("REGIO", 3, "Region"), ("PARGE", 1, "Partner's gender"), ("ISOAL", 2, "Country ISO code"),
        ("ISONU", 2, "Country ISO code"), ("FCODE", 20, "Company key (France)"),
        ("IHREZ", 30, "Your reference (Partner)"), ("BNAME", 35, "IDOC user name"),
        ("PAORG", 30, "IDOC organization code"), ("ORGTX", 35, "IDoc organization code text"),
        ("PAGRU", 30, "IDoc group code"),
    ],
    "E2EDKA3001": [("QUALP", 3, "IDOC Partner identification (e.g.Dun&Bradstreet number)"),
                ("STDPN", 70, "Character field of length 70")],
    "E2EDK02001": [("QUALF", 3, "IDOC qualifier reference document"),
                ("BELNR", 35, "IDOC document number"), ("POSNR", 6, "Item number"),
                ("DATUM", 8, "IDOC: Date"), ("UZEIT", 6, "IDOC: Time")],
    "E2EDKT1002": [("TDID", 4, "Text ID"), ("TSSPRAS", 3, "Language Key"),
                   ("TSSPRAS_ISO", 2, "Language according to ISO 639"),
                   ("TDOBJECT", 10, "Texts: application object"),
                   ("TDOBDES", 40, "Short text"), ("TDSPRAS", 3, "Language Key"),
                   ("TDSPRASISO", 2, "Language according to ISO 639")],
    "E2EDKT2001": [("TDLINE", 70, "Text line"), ("TDFORMAT", 2, "Tag column")],
    "E2EDP01006": [
        ("POSEX", 6, "Item number"), ("ACTION", 3, "Action code for the item"),
        ("PSTYP", 1, "Item category"), ("KZABS", 1, "Flag: order acknowledgment required"),
        ("MENGE", 15, "Quantity"), ("MENEE", 3, "Unit of measure"),
        ("BMNG2", 15, "Quantity in price unit"), ("PMENE", 3, "Price unit of measure"),
        ("ABFTZ", 7, "Agreed cumulative quantity"), ("VPREI", 15, "Price (net)"),
        ("PEINH", 9, "Price unit"), ("NETWR", 18, "Item value (net)"),
        ("ANETW", 18, "Absolute net value of item"), ("SKFBP", 18, "Amount qualifying for cash discount"),
        ("NTGEW", 18, "Net weight"), ("GEWEI", 3, "Weight unit"),
        ("EINKZ", 1, "Flag: More than one schedule line for the item"),
        ("CURCY", 3, "Currency"), ("PREIS", 18, "Gross price"), ("MATKL", 9, "IDOC material class"),
        ("UEPOS", 6, "Higher-level item in BOM structures"),
        ("GRKOR", 3, "Delivery group (items delivered together)"),
        ("EVERS", 7, "Shipping instructions"), ("BPUMN", 6, "Denominator for conv. of order price unit"),
        ("BPUMZ", 6, "Numerator for conversion of order price unit"),
        ("ABGRU", 2, "Reason for rejection of quotations and sales orders"),
        ("ABGRT", 40, "Description"), ("ANTLF", 1, "Maximum number of partial deliveries"),
        ("FIXMG", 1, "Delivery date and quantity fixed"), ("KZAZU", 1, "Order combination indicator"),
        ("BRGEW", 18, "Total weight"), ("PSTYV", 4, "Sales document item category"),
        ("EMPST", 25, "Receiving point"), ("ABTNR", 4, "Department number"),
        ("ABRVW", 3, "Usage indicator"), ("WERKS", 4, "Plant"), ("LPRIO", 2, "Delivery priority"),
        ("LPRIO_BEZ", 20, "Description"), ("ROUTE", 6, "Route"), ("ROUTE_BEZ", 40, "Description"),
        ("LGORT", 4, "Storage location"), ("VSTEL", 4, "Shipping point/receiving point"),
        ("DELCO", 3, "Agreed delivery time"), ("MATNR", 35, "Material number"),
    ],
    "E2EDP02001": [("QUALF", 3, "IDOC qualifier reference document"),
                   ("BELNR", 35, "IDOC document number"), ("ZEILE", 6, "Item number"),
                   ("DATUM", 8, "IDOC: Date"), ("UZEIT", 6, "IDOC: Time"),
                   ("BSARK", 35, "IDOC organization"), ("IHREZ", 30, "Your reference")],
    "E2EDP03001": [("IDDAT", 3, "Qualifier for IDOC date segment"), ("DATUM", 8, "Date"),
                ("UZEIT", 6, "Time")],
    "E2EDP20001": [("WMENG", 15, "Scheduled quantity"), ("AMENG", 15, "Previous scheduled quantity"),
                ("EDATU", 8, "IDOC: Date"), ("EZEIT", 6, "IDOC: Time")],
    "E2EDP19002": [("QUALF", 3, "IDOC object identification such as material no.,customer"),
                   ("IDTNR", 35, "IDOC material ID"), ("KTEXT", 70, "IDOC short text"),
                   ("MFRPN", 42, "Manufacturer part number"), ("MFRNR", 10, "Manufacturer")],
    "E2EDPT1001": [("TDID", 4, "Text ID"), ("TSSPRAS", 3, "Language Key"),
                   ("TSSPRAS_ISO", 2, "Language according to ISO 639")],
    "E2EDPT2001": [("TDLINE", 70, "Text line"), ("TDFORMAT", 2, "Tag column")],
    "E2EDS01001": [("SUMID", 3, "Qualifier for totals segment for shipping notification"),
                ("SUMME", 18, "Total value of sum segment"), ("SUNIT", 3, "Currency"),
                ("WAERQ", 3, "Currency")],
}


def text(s, n):
    b = s.encode("latin-1") if isinstance(s, str) else s
    return b[:n].ljust(n, b" ")


def record(layout, values):
    """The bytes of a record of this layout; fields not given are blank."""
    out = b""
    for name, n, _ in layout:
        out += text(values.get(name, ""), n)
    return out


def layout_length(layout):
    return sum(n for _, n, _ in layout)


def control_record(form="EDI_DC40", **values):
    """A control record: form "EDI_DC40" (524 bytes) or "EDI_DC" (464 bytes)."""
    layout = EDI_DC40 if form == "EDI_DC40" else EDI_DC
    v = dict(TABNAM=form, MANDT="100", DOCREL="740", STATUS="30", DIRECT="1", OUTMOD="2",
             MESTYP="ORDERS", SNDPOR="SAPPRD", SNDPRT="LS", SNDPRN="PRDCLNT100",
             RCVPOR="A000000022", RCVPRT="LS", RCVPRN="MQLINK01", CREDAT="20261207",
             CRETIM="134502")
    v.update(values)
    return record(layout, v)


class IdocWriter:
    """Data records of one IDoc: header form by control record and MQSAPH, 1000-byte areas."""

    def __init__(self, form="EDI_DC40", saph=False, docnum="0000000004711001", layouts=None):
        self.form, self.saph, self.docnum = form, saph, docnum
        self.layouts = SEGMENTS if layouts is None else layouts
        if form == "EDI_DC40":
            self.header = EDI_DD40 if saph else ICI_DD40
        else:
            self.header = EDI_DD if saph else ICI_DD
        self.records = []
        self.segnum = 0

    def segment(self, name, parent=0, level=2, area_length=1000, **values):
        self.segnum += 1
        name_length = self.header[0][1]
        head = dict(SEGNAM=name, MANDT="100", DOCNUM=self.docnum, SEGNUM="%06d" % self.segnum,
                    PSGNUM="%06d" % parent if parent else "", HLEVEL="%02d" % level)
        layout = self.layouts[name] if name in self.layouts else SEGMENTS[segment_key(name)]
        data = record(layout, values).ljust(1000, b" ")[:area_length]
        self.records.append(record(self.header, head)[:layout_length(self.header)] + data)
        assert len(text(name, name_length)) == name_length
        return self.segnum

    def body(self):
        return b"".join(self.records)


def segment_key(name):
    for key in SEGMENTS:
        if name == key or key.startswith(name) or name.startswith(key):
            return key
    raise KeyError(name)


def saph(version=1, length=108, encoding=273, ccsid=819, fmt="MQSTR", flags=0, client="100",
         language="E", host="sapprd01.plant.example.com", user="MQLINK", password="S3cretPw",
         sysno="00"):
    """An MQSAPH header of 108 bytes (the structure length field may say otherwise)."""
    return (b"SAPH" + struct.pack("<iiii", version, length, encoding, ccsid) + text(fmt, 8) +
            struct.pack("<i", flags) + text(client, 3) + text(language, 1) +
            host.encode().ljust(48, b"\0") + text(user, 12) + text(password, 8) + text(sysno, 2) +
            b"\0\0")


ITEMS = [  # item number, quantity, unit, material, short text, price
    ("000010", "12.000", "PCE", "FLOUR-T55-25KG", "Wheat flour T55 25 kg", "18.40"),
    ("000020", "4.000", "PCE", "YEAST-DRY-500G", "Dry yeast 500 g", "3.95"),
    ("000030", "250.000", "KGM", "SUGAR-FINE-BULK", "Fine sugar, bulk", "0.89"),
    ("000040", "6.000", "PCE", "SALT-SEA-10KG", "Sea salt 10 kg", "7.20"),
]


def order_segments(items=3, po="PO7781", item_texts=False):
    """The segments of a realistic order, as (name, values) pairs in message order."""
    segs = [
        ("E2EDK01005", dict(ACTION="000", CURCY="EUR", HWAER="EUR", WKURS="1.00000",
                            ZTERM="ZB30", BSART="TA", BELNR="4500012345", NTGEW="912.500",
                            BRGEW="948.000", GEWEI="KGM", VSART="01", RECIPNT_NO="100234")),
        ("E2EDK14003", dict(QUALF="008", ORGID="1000")),
        ("E2EDK14003", dict(QUALF="007", ORGID="10")),
        ("E2EDK14003", dict(QUALF="006", ORGID="00")),
        ("E2EDK03001", dict(IDDAT="002", DATUM="20261214")),
        ("E2EDK03001", dict(IDDAT="012", DATUM="20261207", UZEIT="134500")),
        ("E2EDKA1003", dict(PARVW="AG", PARTN="0000100234", NAME1="Hansen Bakeries Ltd",
                            STRAS="Mill Lane 4", ORT01="Lakeside", PSTLZ="4021", LAND1="GB",
                            TELF1="+44 1632 960345", SPRAS="E")),
        ("E2EDKA3001", dict(QUALP="003", STDPN="5012345000017")),
        ("E2EDKA1003", dict(PARVW="WE", PARTN="0000100235", NAME1="Hansen Bakeries Depot",
                            STRAS="Harbour Road 17", ORT01="Lakeside", PSTLZ="4023", LAND1="GB")),
        ("E2EDK02001", dict(QUALF="001", BELNR=po, DATUM="20261205", UZEIT="091500")),
        ("E2EDKT1002", dict(TDID="0001", TSSPRAS="E", TSSPRAS_ISO="EN")),
        ("E2EDKT2001", dict(TDLINE="Deliver to the rear gate between 6 and 8 am.", TDFORMAT="*")),
    ]
    for posex, qty, unit, material, short, price in ITEMS[:items]:
        segs += [
            ("E2EDP01006", dict(POSEX=posex, ACTION="001", MENGE=qty, MENEE=unit, VPREI=price,
                                PEINH="1", CURCY="EUR", WERKS="1000", MATNR=material)),
            ("E2EDP02001", dict(QUALF="001", BELNR=po, ZEILE=posex, DATUM="20261205")),
            ("E2EDP03001", dict(IDDAT="002", DATUM="20261214")),
            ("E2EDP03001", dict(IDDAT="029", DATUM="20261213")),
            ("E2EDP20001", dict(WMENG=qty, EDATU="20261214")),
            ("E2EDP19002", dict(QUALF="002", IDTNR=material, KTEXT=short)),
        ]
        if item_texts:
            segs += [
                ("E2EDPT1001", dict(TDID="0001", TSSPRAS="E", TSSPRAS_ISO="EN")),
                ("E2EDPT2001", dict(TDLINE="Keep dry, store off the floor.", TDFORMAT="*")),
                ("E2EDPT1001", dict(TDID="0002", TSSPRAS="E", TSSPRAS_ISO="EN")),
                ("E2EDPT2001", dict(TDLINE="Pallets must not exceed 1.2 m.", TDFORMAT="*")),
            ]
    segs.append(("E2EDS01001", dict(SUMID="002", SUMME=str(items), SUNIT="EUR")))
    return segs


def order_body(form="EDI_DC40", with_saph=False, segs=None, idoctyp="ORDERS05",
               docnum="0000000004711001", saph_args=None, cut=None, layouts=None, **control):
    """A whole IDoc body: optional MQSAPH, control record, data records (cut to `cut` bytes)."""
    segs = order_segments() if segs is None else segs
    w = IdocWriter(form, with_saph, docnum, layouts)
    for name, values in segs:
        w.segment(name, **values)
    body = control_record(form, DOCNUM=docnum, IDOCTYP=idoctyp, **control) + w.body()
    if with_saph:
        body = saph(**(saph_args or {})) + body
    return body if cut is None else body[:cut]


# A delivery schedule type DELFOR02 as one site's system exports it (German texts): the first
# version of a segment is named without a version number (E2EDK10, E2EDP10, E2EDP14,
# E2EDP15), next to versioned ones (E2EDK09003, E2EDKA1003, E2EDP16002), and the site adds
# the extension segment Z2DFABR001. Each node: a segment (name, segment type, text, status,
# loop minimum, loop maximum, fields) or a group ("GROUP", number, status, loop minimum, loop
# maximum, members). Fields are (name, length, text).
DELFOR02_SEGMENTS = {
    "E2EDK09003": [
        ("VTRNR", 35, "Nummer des Lieferplans"), ("BSTDK", 8, "Belegdatum"),
        ("LABNK", 35, "Nummer des Lieferabrufs beim Kunden"), ("ABNRA", 35, "Letzte Abrufnummer"),
        ("ABNRD", 8, "Datum der letzten Abrufnummer"), ("KTEXT_V", 40, "Bezeichnung des Vertrags"),
        ("USR01", 35, "Zusätzliche Daten des Kunden")],
    "E2EDK10": [("QUALF", 3, "Qualifier Referenzbeleg"), ("BELNR", 35, "Belegnummer"),
                ("DATUM", 8, "Datum")],
    "E2EDKA1003": [
        ("PARVW", 3, "Partnerrolle"), ("PARTN", 17, "Partnernummer"),
        ("LIFNR", 17, "Lieferantennummer beim Kunden"), ("NAME1", 35, "Name 1"),
        ("STRAS", 35, "Straße und Hausnummer"), ("ORT01", 35, "Ort"),
        ("PSTLZ", 9, "Postleitzahl"), ("LAND1", 3, "Länderschlüssel")],
    "E2EDP10": [
        ("IDNKD", 35, "Materialnummer des Kunden"), ("ARKTX", 40, "Kurztext zur Position"),
        ("KWERK", 35, "Werk des Kunden"), ("VRKME", 3, "Verkaufsmengeneinheit"),
        ("ABLAD", 25, "Abladestelle"), ("FZABR", 15, "Fortschrittszahl Abruf")],
    "E2EDP14": [("PACKM", 35, "Packmittel des Kunden"), ("MENGE", 15, "Füllmenge"),
                ("MEINS", 3, "Mengeneinheit")],
    "E2EDP15": [("BELNR", 35, "Lieferscheinnummer der letzten Lieferung"),
                ("LFIMG", 15, "Gelieferte Menge"), ("LIDAT", 8, "Lieferdatum")],
    "E2EDP16002": [
        ("ETTYP", 1, "Verbindlichkeit der Einteilung"),
        ("PRGRS", 1, "Datumsart (Tag, Woche, Monat)"), ("EDATUV", 8, "Einteilungsdatum von"),
        ("EZEIT", 6, "Uhrzeit"), ("EDATUB", 8, "Einteilungsdatum bis"),
        ("WMENG", 15, "Einteilungsmenge"), ("FZEIN", 15, "Fortschrittszahl Einteilung")],
    "Z2DFABR001": [("TOR", 10, "Anliefertor"), ("ZEITF", 11, "Zeitfenster der Anlieferung"),
                   ("ZKOMM", 40, "Bemerkung des Disponenten (Kundenerweiterung)")],
}

DELFOR02 = [
    ("GROUP", "01", "MANDATORY", 1, 1, [
        ("E2EDK09003", "E1EDK09", "Lieferabruf: Kopfdaten", "MANDATORY", 1, 1),
        ("E2EDK10", "E1EDK10", "Lieferabruf: Referenzdaten", "OPTIONAL", 0, 9),
        ("GROUP", "02", "OPTIONAL", 0, 99, [
            ("E2EDKA1003", "E1EDKA1", "Belegkopf Partnerinformationen", "MANDATORY", 1, 1),
        ]),
        ("GROUP", "03", "MANDATORY", 1, 9999, [
            ("E2EDP10", "E1EDP10", "Lieferabruf: Positionsdaten", "MANDATORY", 1, 1),
            ("E2EDP14", "E1EDP14", "Lieferabruf: Verpackungsdaten", "OPTIONAL", 0, 99),
            ("E2EDP15", "E1EDP15", "Lieferabruf: Eingang der letzten Lieferung", "OPTIONAL", 0, 9),
            ("E2EDP16002", "E1EDP16", "Lieferabruf: Einteilungsdaten", "MANDATORY", 1, 9999),
            ("Z2DFABR001", "Z1DFABR", "Abrufdaten des Werks", "OPTIONAL", 0, 99),
        ]),
    ]),
]

# The status record, listed in the record section of an export.
EDI_DS40 = [
    ("TABNAM", 10, "Name der Tabellenstruktur"), ("MANDT", 3, "Mandant"),
    ("DOCNUM", 16, "IDoc-Nummer"), ("LOGDAT", 8, "Datum des Statusfehlers"),
    ("LOGTIM", 6, "Uhrzeit des Statusfehlers"), ("STATUS", 2, "Status des IDocs"),
    ("REPID", 30, "Programmname"), ("ROUTID", 30, "Name des Funktionsbausteins"),
    ("STACOD", 8, "Statuscode"), ("STATXT", 70, "Text zum Statuscode"),
    ("SEGNUM", 6, "Nummer des SAP-Segments"), ("SEGFLD", 30, "Feldname im SAP-Segment"),
    ("UNAME", 12, "Name des Benutzers"), ("STATYP", 1, "Art der Systemmeldung"),
]


def _export_fields(lines, layout, first):
    """A fields block of an export; first is the record position of the first field."""
    lines.append("BEGIN_FIELDS")
    for pos, (name, n, description) in enumerate(layout, 1):
        lines += ["NAME                %s" % name, "TEXT                %s" % description,
                  "TYPE                CHARACTER", "LENGTH              %06d" % n,
                  "FIELD_POS           %04d" % pos, "CHARACTER_FIRST     %06d" % first,
                  "CHARACTER_LAST      %06d" % (first + n - 1)]
        first += n
    lines.append("END_FIELDS")


def _export_node(lines, node, level, layouts):
    if node[0] == "GROUP":
        _, number, status, loopmin, loopmax, members = node
        lines += ["BEGIN_GROUP         %s" % number, "LEVEL               %02d" % level,
                  "STATUS              %s" % status, "LOOPMIN             %010d" % loopmin,
                  "LOOPMAX             %010d" % loopmax]
        for member in members:
            _export_node(lines, member, level + 1, layouts)
        lines.append("END_GROUP")
        return
    name, segment_type, description, status, loopmin, loopmax = node
    lines += ["BEGIN_SEGMENT       %s" % name, "SEGMENTTYPE         %s" % segment_type,
              "QUALIFIED", "LEVEL               %02d" % level,
              "STATUS              %s" % status, "LOOPMIN             %010d" % loopmin,
              "LOOPMAX             %010d" % loopmax, "TEXT                %s" % description]
    _export_fields(lines, layouts[name], 64)
    lines.append("END_SEGMENT")


def export(idoc_type, tree, layouts, extension=None):
    """A parser-definition file as the exporters write it: a record section with the
    control, data and status record layouts, then the segment section; CR LF line ends,
    texts in Latin-1."""
    data_record = EDI_DD40 + [("SDATA", 1000, "Anwendungsdaten")]
    lines = ["BEGIN_RECORD_SECTION", "BEGIN_CONTROL_RECORD"]
    _export_fields(lines, EDI_DC40, 1)
    lines += ["END_CONTROL_RECORD", "BEGIN_DATA_RECORD"]
    _export_fields(lines, data_record, 1)
    lines += ["END_DATA_RECORD", "BEGIN_STATUS_RECORD"]
    _export_fields(lines, EDI_DS40, 1)
    lines += ["END_STATUS_RECORD", "END_RECORD_SECTION", "", "BEGIN_SEGMENT_SECTION",
              "BEGIN_IDOC          %s" % idoc_type]
    if extension:
        lines.append("EXTENSION           %s" % extension)
    for node in tree:
        _export_node(lines, node, 2, layouts)
    lines += ["END_IDOC", "END_SEGMENT_SECTION", ""]
    return "\r\n".join(lines).encode("latin-1")


def delivery_schedule_segments(items=2, packaging=(0,), references=True):
    """The segments of a realistic delivery schedule (DELFOR02), as (name, values) pairs in
    message order: items listed in `packaging` carry packaging data and the last delivery
    before their schedule lines, the others go straight to their schedule lines."""
    segs = [("E2EDK09003", dict(VTRNR="5500001234", BSTDK="20261207", LABNK="LAB-2026-1207",
                                ABNRA="0147", ABNRD="20261130", KTEXT_V="Rahmenvertrag Getriebe",
                                USR01="Abruf über EDI"))]
    if references:
        segs += [("E2EDK10", dict(QUALF="001", BELNR="4711-0815", DATUM="20261201")),
                 ("E2EDK10", dict(QUALF="002", BELNR="KV-2026-07", DATUM="20260105"))]
    segs += [
        ("E2EDKA1003", dict(PARVW="AG", PARTN="0000300123", LIFNR="V-88123",
                            NAME1="Müller Präzisionsteile GmbH", STRAS="Hauptstraße 12",
                            ORT01="München", PSTLZ="80331", LAND1="DE")),
        ("E2EDKA1003", dict(PARVW="WE", PARTN="0000300124", NAME1="Werk Süd, Tor 3",
                            STRAS="Industriestraße 40", ORT01="Ingolstadt", PSTLZ="85049",
                            LAND1="DE")),
    ]
    for i in range(items):
        n = i + 1
        segs.append(("E2EDP10", dict(IDNKD="GTR-%04d-A" % (4410 + n),
                                     ARKTX="Getriebegehäuse Größe %d" % n, KWERK="1000",
                                     VRKME="ST", ABLAD="Halle 7", FZABR="%d" % (1200 * n))))
        if i in packaging:
            segs += [("E2EDP14", dict(PACKM="GITTERBOX-KLT", MENGE="40", MEINS="ST")),
                     ("E2EDP14", dict(PACKM="PALETTE-EURO", MENGE="160", MEINS="ST")),
                     ("E2EDP15", dict(BELNR="LS-80012", LFIMG="160", LIDAT="20261204"))]
        for week, date in enumerate(("20261214", "20261221", "20261228")):
            segs.append(("E2EDP16002", dict(ETTYP="1" if week == 0 else "4", PRGRS="W",
                                            EDATUV=date, WMENG="%d" % (80 * n + 40 * week),
                                            FZEIN="%d" % (1200 * n + 80 * (week + 1)))))
        if i == 0:
            segs.append(("Z2DFABR001", dict(TOR="TOR-03", ZEITF="06:00-08:00",
                                            ZKOMM="Anlieferung nur werktags, bitte avisieren")))
    return segs
