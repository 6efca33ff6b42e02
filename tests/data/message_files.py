"""Builders of qpeek message files, used by every test-data and sample generator.

A message file is an optional 364-byte MQMD followed by the body. Integers are 32-bit
little-endian unless a header announces the other byte order. Sections: writing files; the
descriptor; the queue headers (MQRFH, MQIIH, MQCIH, MQDLH, MQXQH, MQMDE, MQSAPH); IDoc
records; ECEDOC documents; point-of-sale lines; IMS and CICS records.
"""
import os
import struct

DATA_DIR = os.path.dirname(os.path.abspath(__file__))  # tests/data: the test messages' folders


# ---- writing files

def write(path, *parts):
    """Writes a message file from its parts (str as Latin-1, or bytes)."""
    with open(path, "wb") as f:
        for p in parts:
            f.write(p.encode("latin-1") if isinstance(p, str) else p)


def write_into(folder, name, *parts):
    """Writes folder/name from its parts, creating the folder (and those above it)."""
    path = os.path.join(folder, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    write(path, *parts)


# ---- the descriptor

MQMD_FIELDS = [  # name, offset, length, kind ('i' integer, 'c' characters/bytes)
    ("StrucId", 0, 4, "c"), ("Version", 4, 4, "i"), ("Report", 8, 4, "i"),
    ("MsgType", 12, 4, "i"), ("Expiry", 16, 4, "i"), ("Feedback", 20, 4, "i"),
    ("Encoding", 24, 4, "i"), ("CodedCharSetId", 28, 4, "i"), ("Format", 32, 8, "c"),
    ("Priority", 40, 4, "i"), ("Persistence", 44, 4, "i"), ("MsgId", 48, 24, "c"),
    ("CorrelId", 72, 24, "c"), ("BackoutCount", 96, 4, "i"), ("ReplyToQ", 100, 48, "c"),
    ("ReplyToQMgr", 148, 48, "c"), ("UserIdentifier", 196, 12, "c"),
    ("AccountingToken", 208, 32, "c"), ("ApplIdentityData", 240, 32, "c"),
    ("PutApplType", 272, 4, "i"), ("PutApplName", 276, 28, "c"), ("PutDate", 304, 8, "c"),
    ("PutTime", 312, 8, "c"), ("ApplOriginData", 320, 4, "c"), ("GroupId", 324, 24, "c"),
    ("MsgSeqNumber", 348, 4, "i"), ("Offset", 352, 4, "i"), ("MsgFlags", 356, 4, "i"),
    ("OriginalLength", 360, 4, "i"),
]


def i32(v, big=False):
    return struct.pack(">i" if big else "<i", v)


def f64(v):
    return struct.pack("<d", v)


def text(s, n, pad=b" "):
    """A fixed-width field: s (str or bytes) cut or padded to n bytes."""
    b = s.encode("latin-1") if isinstance(s, str) else s
    return b[:n].ljust(n, pad)


def mqmd(**fields):
    """A full MQMD; fields not given get realistic values of a put message."""
    values = dict(StrucId="MD  ", Version=2, Report=0, MsgType=8, Expiry=-1, Feedback=0,
                  Encoding=273, CodedCharSetId=819, Format="MQSTR   ", Priority=0,
                  Persistence=1, MsgId=b"AMQ QM1         \x9c\x01\x02\x03\x04\x05\x06\x07",
                  CorrelId=b"\0" * 24, BackoutCount=0, ReplyToQ="", ReplyToQMgr="QM1",
                  UserIdentifier="mqm", AccountingToken=b"\x16\x01\x05\x15" + b"\0" * 28,
                  ApplIdentityData="", PutApplType=11, PutApplName="orders.exe",
                  PutDate="20261207", PutTime="13450217", ApplOriginData="",
                  GroupId=b"\0" * 24, MsgSeqNumber=1, Offset=0, MsgFlags=0,
                  OriginalLength=-1)
    values.update(fields)
    return pack_mqmd(values)


def pack_mqmd(values):
    """The 364 bytes of a descriptor from a value for every field: integers as i32, str
    blank-padded, bytes zero-padded."""
    out = bytearray(364)
    for name, off, n, kind in MQMD_FIELDS:
        v = values[name]
        if kind == "i":
            out[off:off + 4] = i32(v)
        else:
            out[off:off + n] = text(v, n, b"\0" if isinstance(v, bytes) else b" ")
    return bytes(out)


# ---- queue headers

def rfh_v1(name_values, encoding=273, fmt="MQSTR", big=False, struc_length=None):
    """An MQRFH of version 1 with a blank-separated name/value string."""
    nv = text(name_values, (len(name_values) + 3) // 4 * 4)
    length = 32 + len(nv) if struc_length is None else struc_length
    return (b"RFH " + i32(1, big) + i32(length, big) + i32(encoding) + i32(819) +
            text(fmt, 8) + i32(0)) + nv


def rfh_v2(blocks, encoding=273, fmt="MQSTR", big=False, struc_length=None):
    """An MQRFH of version 2; blocks is a list of NameValueData (str or bytes)."""
    data = b""
    for b in blocks:
        b = b.encode("latin-1") if isinstance(b, str) else b
        data += i32(len(b), big) + b
    length = 36 + len(data) if struc_length is None else struc_length
    if big:
        encoding |= 0x10000000
    return (b"RFH " + i32(2, big) + i32(length, big) + i32(encoding) + i32(1208) +
            text(fmt, 8) + i32(0) + i32(1208)) + data


def iih(version=1, struc_length=84, big=False, fmt="MQIMSVS", tran_state=b"C",
        commit=b"0", security=b"C", tran_id=b"\0" * 16, **fields):
    """An MQIIH (84 bytes)."""
    return (b"IIH " + i32(version, big) + i32(struc_length, big) + i32(273) + i32(819) +
            text(fmt, 8) + i32(0) + text(fields.get("lterm", ""), 8) +
            text(fields.get("mfsmap", ""), 8) + text(fields.get("replyfmt", "MQIMSVS"), 8) +
            text(fields.get("auth", ""), 8) + text(tran_id, 16, b"\0") + tran_state +
            commit + security + b" ")


def cih(message):
    """An MQCIH: 180 header bytes (text after the header starts at offset 180)."""
    head = b"CIH " + i32(2) + i32(180) + i32(273) + i32(819) + text("MQCICS", 8)
    return head.ljust(180, b"\0") + (message.encode("latin-1") if isinstance(message, str) else message)


def dlh(reason=2085, dest_q="DEST.Q", dest_qmgr="QM2", encoding=546, ccsid=819, fmt="MQSTR",
        appl_type=6, appl_name="amqrmppa", date="20261207", time="10302512", big=False,
        version=1):
    """An MQDLH (172 bytes); encoding, ccsid and fmt describe what follows it."""
    return (b"DLH " + i32(version, big) + i32(reason, big) + text(dest_q, 48) +
            text(dest_qmgr, 48) + i32(encoding, big) + i32(ccsid, big) + text(fmt, 8) +
            i32(appl_type, big) + text(appl_name, 28) + text(date, 8) + text(time, 8))


def xqh(remote_q="REMOTE.Q", remote_qmgr="QM3", big=False, version=1, **md_fields):
    """An MQXQH (428 bytes): the remote queue, then the original message's descriptor
    (MQMD version 1, 324 bytes) whose Encoding and Format describe what follows."""
    desc = bytearray(mqmd(Version=1, **md_fields)[:324])
    if big:
        for name, off, n, kind in MQMD_FIELDS[:24]:
            if kind == "i":
                desc[off:off + 4] = desc[off:off + 4][::-1]
    return (b"XQH " + i32(version, big) + text(remote_q, 48) + text(remote_qmgr, 48) +
            bytes(desc))


def mde(encoding=546, ccsid=819, fmt="MQSTR", flags=0, group_id=b"\0" * 24, seq=1, offset=0,
        msg_flags=0, original_length=-1, big=False, version=2, struc_length=72):
    """An MQMDE (72 bytes, padded to struc_length when that is longer)."""
    h = (b"MDE " + i32(version, big) + i32(struc_length, big) + i32(encoding, big) +
         i32(ccsid, big) + text(fmt, 8) + i32(flags, big) + text(group_id, 24, b"\0") +
         i32(seq, big) + i32(offset, big) + i32(msg_flags, big) + i32(original_length, big))
    return h.ljust(struc_length, b"\0")


def saph(version=1, length=108, encoding=273, ccsid=819, fmt="MQSTR", flags=0, client="100",
         language="E", host="sapprd01.plant.example.com", user="MQLINK", password="S3cretPw",
         sysno="00", host_pad=b"\0", reserved=b"\0\0"):
    """An MQSAPH header of 108 bytes (the structure length field may say otherwise); the host
    name is padded with host_pad, and the two reserved bytes at the end are `reserved`."""
    return (b"SAPH" + i32(version) + i32(length) + i32(encoding) + i32(ccsid) + text(fmt, 8) +
            i32(flags) + text(client, 3) + text(language, 1) + text(host, 48, host_pad) +
            text(user, 12) + text(password, 8) + text(sysno, 2) + reserved)


# ---- IDoc records
#
# SAP IDoc record layouts of the shipped parser definitions (Resources/qpeek.parser and
# Resources/ORDERS05.parser), and builders for IDoc bodies: control records and data records
# (the MQSAPH header is among the queue headers above).
#
# Each layout is a list of (field name, length, description). The shipped definition file
# lists the same fields in the same order; offsets follow from the order.

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


def idoc_record(layout, values):
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
    return idoc_record(layout, v)


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
        data = idoc_record(layout, values).ljust(1000, b" ")[:area_length]
        self.records.append(idoc_record(self.header, head)[:layout_length(self.header)] + data)
        assert len(text(name, name_length)) == name_length
        return self.segnum

    def body(self):
        return b"".join(self.records)


def segment_key(name):
    for key in SEGMENTS:
        if name == key or key.startswith(name) or name.startswith(key):
            return key
    raise KeyError(name)


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


# ---- ECEDOC documents
#
# An ECEDOC document is a gap-free run of 8-byte opening tags, 9-byte closing tags and
# fixed-width blank-padded records. The layouts below list every record's fields in order
# with their lengths; ecedoc_record() fills a record from keyword values (missing fields are
# blank).


def ecedoc_layout(length, fields):
    assert sum(n for _, n in fields) == length, (length, fields)
    return length, fields


PROLOG = ecedoc_layout(22, [
    ("NC_MsgType", 10), ("NC_MsgVersion", 2), ("NC_RESERVED", 10),
])

HDR010_PQ = ecedoc_layout(96, [
    ("VersionNumber", 2), ("NC_ProductRefNumber", 10), ("NC_ProductQuanty", 10),
    ("NC_ProductNumber", 64), ("NC_MerchantRefNumber", 10),
])

HDR010_OS = ecedoc_layout(267, [
    ("VersionNumber", 2), ("NC_OrderRefNumber", 10), ("NC_CustomerOrderNumber", 64),
    ("NC_CurrencyType", 10), ("NC_TotalPrice", 16), ("NC_TotalTaxPrice", 16),
    ("NC_TotalShippingPrice", 16), ("NC_TotalTaxShippingPrice", 16), ("NC_ShopperLoginID", 31),
    ("NC_MerchantOrderNumber", 30), ("NC_OrderStatus", 32), ("NC_ScheduleShipDate", 8),
    ("NC_ActualShipDate", 8), ("NC_PlaceDate", 8),
])

HDR010_PP = ecedoc_layout(225, [
    ("VersionNumber", 2), ("NC_ProductRefNumber", 10), ("NC_ProductPrice", 16),
    ("NC_CurrencyType", 10), ("NC_ShopperGroup", 10), ("NC_Precedence", 10),
    ("NC_MerchantRefNumber", 10), ("NC_ProductNumber", 64), ("NC_ProductPriceRefNum", 10),
    ("NC_StartTimestamp", 26), ("NC_EndTimestamp", 26), ("NC_PriceCustomField1", 30),
    ("NC_PriceCustomField2", 1),
])

HDR010_NC = ecedoc_layout(2709, [
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

HDR010_ON = ecedoc_layout(440, [
    ("VersionNumber", 2), ("NC_OrderRefNumber", 10), ("NC_OrderDate", 8), ("NC_OrderTime", 6),
    ("NC_CurrencyType", 10), ("NC_TotalPrice", 16), ("NC_TotalTaxPrice", 16),
    ("NC_TotalShippingPrice", 16), ("NC_TotalTaxShippingPrice", 16),
    ("NC_ShopperRefNumber", 10), ("NC_MerchantRefNumber", 10), ("NC_MerchantOrderNumber", 30),
    ("NC_BillToRefNumber", 10), ("NC_OrderCustField1", 10), ("NC_OrderCustField2", 16),
    ("NC_OrderCustField3", 254),
])

HDR020 = ecedoc_layout(1101, [
    ("VersionNumber", 2), ("NC_ShopperLoginID", 31), ("NC_PurchaserLastName", 30),
    ("NC_PurchaserMiddleName", 30), ("NC_PurchaserFirstName", 30), ("NC_PurchaserAddr1", 50),
    ("NC_PurchaserAddr2", 50), ("NC_PurchaserAddr3", 50), ("NC_PurchaserCity", 30),
    ("NC_PurchaserState", 20), ("NC_PurchaserCountry", 30), ("NC_PurchaserZipCode", 20),
    ("NC_PurchaserEmail1", 254), ("NC_PurchaserEmail2", 254), ("NC_PurchaserPhone1", 30),
    ("NC_PurchaserPhone2", 30), ("NC_PurchaserFax", 30), ("NC_PurchaserCompanyName", 80),
    ("NC_PurchaserShopperGroup", 50),
])

HDR030 = ecedoc_layout(940, [
    ("VersionNumber", 2), ("NC_BillToLastName", 30), ("NC_BillToMiddleName", 30),
    ("NC_BillToFirstName", 30), ("NC_BillToAddr1", 50), ("NC_BillToAddr2", 50),
    ("NC_BillToAddr3", 50), ("NC_BillToCity", 30), ("NC_BillToState", 20),
    ("NC_BillToCountry", 30), ("NC_BillToZipCode", 20), ("NC_BillToEmail1", 254),
    ("NC_BillToEmail2", 254), ("NC_BillToPhone1", 30), ("NC_BillToPhone2", 30),
    ("NC_BillToFax", 30),
])

HDR040 = ecedoc_layout(1050, [
    ("VersionNumber", 2), ("NC_SupplierName", 80), ("NC_SupplierAddr1", 50),
    ("NC_SupplierAddr2", 50), ("NC_SupplierAddr3", 50), ("NC_SupplierCity", 30),
    ("NC_SupplierState", 20), ("NC_SupplierCountry", 30), ("NC_SupplierZipCode", 20),
    ("NC_SupplierPhone1", 30), ("NC_SupplierContactLastName", 30),
    ("NC_SupplierContactMiddleName", 30), ("NC_SupplierContactFirstName", 30),
    ("NC_SupplierContactTitle", 30), ("NC_SupplierContactPhone1", 30),
    ("NC_SupplierContactPhone2", 30), ("NC_SupplierContactEmail1", 254),
    ("NC_SupplierContactEmail2", 254),
])

ITM010_OTHER = ecedoc_layout(488, [
    ("VersionNumber", 2), ("NC_OrderRefNumber", 10), ("NC_MerchantOrderNumber", 30),
    ("NC_ItemRefNumber", 10), ("NC_ItemMerchantOrderNumber", 30), ("NC_OrderItemStatus", 32),
    ("NC_ItemScheduleShipDate", 8), ("NC_ItemActualShipDate", 8), ("NC_ItemPlaceDate", 8),
    ("NC_ItemQuantity", 10), ("NC_ItemCurrencyType", 10), ("NC_ItemUnitPrice", 16),
    ("NC_ItemTotalPrice", 16), ("NC_ItemTotalTaxPrice", 16), ("NC_ItemTotalShippingPrice", 16),
    ("NC_ItemTotalTaxShippingPrice", 16), ("NC_ItemComment", 250),
])

ITM010_ON = ecedoc_layout(2044, [
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


def ecedoc_record(lay, **values):
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
    return element("PROLOG", ecedoc_record(PROLOG, NC_MsgType=msg_type, NC_MsgVersion=version,
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


# ---- point-of-sale lines

def packed(digits, n):
    """Packed decimal without sign: two digits per byte, n bytes, left-padded with zeros."""
    digits = digits.rjust(2 * n, "0")
    return bytes(int(digits[i]) << 4 | int(digits[i + 1]) for i in range(0, 2 * n, 2))


def pos_record(rtype, *fields):
    """A point-of-sale record: its type byte, then each field closed by ":"."""
    return bytes([rtype]) + b":" + b"".join(f + b":" for f in fields)


def pos_line(*records):
    """One log line: quoted records separated by quote-comma-quote, ended by quote CR LF."""
    return b'"' + b'","'.join(records) + b'"\r\n'


# ---- IMS and CICS records

def ims_update(liefer=42, liefsnr=-1, llmenge=2.5, blanks=False):
    """An IMS_UPDATEDELIVERY record (473 bytes)."""
    t = (lambda s, n: text("", n)) if blanks else text
    r = (t("U", 1) + t("LIEFUPD", 8) + t("0001", 4) + i32(liefer) + i32(liefsnr) +
         t("EU", 4) + t("MAT", 4) + t("4711-0815-A", 15) + t("K", 1) + t("20261215", 8) +
         t("WE01", 8) + t("KG", 3) + f64(llmenge) + t("+", 1) + t("01", 2) + f64(19.95) +
         t("EUR", 3) + f64(49.875) + t("+", 1) + i32(1) + f64(2.0) + i32(14) + t("01", 2) +
         t("L0100", 5) + t("A0200", 5) + t("DE0001", 6) + t("20261207", 8) + t("01", 2) +
         t("S", 1) + f64(3.0) + i32(4500123) + t("NB", 4) + t("", 4) + t("", 8) +
         t("20261201", 8) + t("P", 1) + t("DE", 3) + t("84713", 5) + t("20261231", 8) +
         i32(10) + t("PALETTE", 8) + t("Z1", 2) + t("FH", 2) + t("V1", 2) + t("N", 1) +
         t("", 15) + t("MRV-2026-0042", 15) + t("N", 1) + t("", 20) + t("20261207", 8) +
         t("NORMAL", 8) + t("LKW", 4) + t("DHL", 9) + t("HUETTE01", 9) + t("SPED-NORD", 9) +
         t("4000-100-200", 40) + t("J", 1) + t("VST19", 8) + t("4006381333931", 16) +
         t("DE123456789", 15) + t("N", 1) + t("PB-77812", 15) + t("A", 1) + t("QS", 4) +
         t("20261206", 8) + t("L", 1) + t("W01", 3) + t("WE", 3) + t("", 1) + t("", 6) +
         t("Lieferschein 88123", 20) + t("20261207", 8) + t("13450217", 8) + t("0001", 4))
    assert len(r) == 473, len(r)
    return r


def ims_confirm():
    r = (text("00000042", 8) + text("00000000017", 11) + text("4711-0815-A", 15) +
         text("4500123", 15) + text("20261215", 8) + text("LV-88123", 8) + text("BL-55001", 8) +
         text("", 8) + text("AV-00017", 8) + text("30T", 8))
    assert len(r) == 97, len(r)
    return r


def cics_area(material="MAT-4711-0815-AB18", date="20261207"):
    a = (text("TESTABR ", 8) + text("1", 1) + text("S", 1) + text("0", 1) + text("R", 1) +
         text("TABR", 4) + text("TESTABRP", 8) + text("M000123456", 10) + text(material, 18) +
         text("00025", 5) + text("A", 1) + text(date, 8) + text("134502", 6))
    assert len(a) == 72, len(a)
    return a
