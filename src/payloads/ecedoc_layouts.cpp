// ECEDOC documents: element tags, document type, record layouts, the DATUSR value length
// and the tag walk step shared by the summary and the detailed report.
#include "payloads/ecedoc_layouts.h"

#include "report/unknown_message.h"

namespace qpeek {

namespace {

// Every field is fixed-width text, back to back; the last ends at the record's length.

// PROLOG record (22 bytes)
constexpr FieldLayout kPrologFields[] = {
    {"NC_MsgType", 0, 10, FieldKind::Text},
    {"NC_MsgVersion", 10, 2, FieldKind::Text},
    {"NC_RESERVED", 12, 10, FieldKind::Text},
};

// HDR010 record of a PQ document (96 bytes)
constexpr FieldLayout kHdr010PQFields[] = {
    {"VersionNumber", 0, 2, FieldKind::Text},
    {"NC_ProductRefNumber", 2, 10, FieldKind::Text},
    {"NC_ProductQuanty", 12, 10, FieldKind::Text},
    {"NC_ProductNumber", 22, 64, FieldKind::Text},
    {"NC_MerchantRefNumber", 86, 10, FieldKind::Text},
};

// HDR010 record of an OS document (267 bytes)
constexpr FieldLayout kHdr010OSFields[] = {
    {"VersionNumber", 0, 2, FieldKind::Text},
    {"NC_OrderRefNumber", 2, 10, FieldKind::Text},
    {"NC_CustomerOrderNumber", 12, 64, FieldKind::Text},
    {"NC_CurrencyType", 76, 10, FieldKind::Text},
    {"NC_TotalPrice", 86, 16, FieldKind::Text},
    {"NC_TotalTaxPrice", 102, 16, FieldKind::Text},
    {"NC_TotalShippingPrice", 118, 16, FieldKind::Text},
    {"NC_TotalTaxShippingPrice", 134, 16, FieldKind::Text},
    {"NC_ShopperLoginID", 150, 31, FieldKind::Text},
    {"NC_MerchantOrderNumber", 181, 30, FieldKind::Text},
    {"NC_OrderStatus", 211, 32, FieldKind::Text},
    {"NC_ScheduleShipDate", 243, 8, FieldKind::Text},
    {"NC_ActualShipDate", 251, 8, FieldKind::Text},
    {"NC_PlaceDate", 259, 8, FieldKind::Text},
};

// HDR010 record of a PP document (225 bytes)
constexpr FieldLayout kHdr010PPFields[] = {
    {"VersionNumber", 0, 2, FieldKind::Text},
    {"NC_ProductRefNumber", 2, 10, FieldKind::Text},
    {"NC_ProductPrice", 12, 16, FieldKind::Text},
    {"NC_CurrencyType", 28, 10, FieldKind::Text},
    {"NC_ShopperGroup", 38, 10, FieldKind::Text},
    {"NC_Precedence", 48, 10, FieldKind::Text},
    {"NC_MerchantRefNumber", 58, 10, FieldKind::Text},
    {"NC_ProductNumber", 68, 64, FieldKind::Text},
    {"NC_ProductPriceRefNum", 132, 10, FieldKind::Text},
    {"NC_StartTimestamp", 142, 26, FieldKind::Text},
    {"NC_EndTimestamp", 168, 26, FieldKind::Text},
    {"NC_PriceCustomField1", 194, 30, FieldKind::Text},
    {"NC_PriceCustomField2", 224, 1, FieldKind::Text},
};

// HDR010 record of an NC document (also UC) (2709 bytes)
constexpr FieldLayout kHdr010NCFields[] = {
    {"VersionNumber", 0, 2, FieldKind::Text},
    {"NC_LoginId", 2, 31, FieldKind::Text},
    {"NC_Password", 33, 12, FieldKind::Text},
    {"NC_VerifyPassword", 45, 12, FieldKind::Text},
    {"NC_MerchantRefNumber", 57, 10, FieldKind::Text},
    {"NC_MethodComm", 67, 2, FieldKind::Text},
    {"NC_ChallengeQues", 69, 250, FieldKind::Text},
    {"NC_ChallengeAns", 319, 250, FieldKind::Text},
    {"NC_ShopperField1", 569, 254, FieldKind::Text},
    {"NC_ShopperField2", 823, 254, FieldKind::Text},
    {"NC_Title", 1077, 5, FieldKind::Text},
    {"NC_LastName", 1082, 30, FieldKind::Text},
    {"NC_FirstName", 1112, 30, FieldKind::Text},
    {"NC_MiddleName", 1142, 30, FieldKind::Text},
    {"NC_RepCompany", 1172, 80, FieldKind::Text},
    {"NC_Phone1", 1252, 30, FieldKind::Text},
    {"NC_Phone2", 1282, 30, FieldKind::Text},
    {"NC_Fax", 1312, 30, FieldKind::Text},
    {"NC_Addr1", 1342, 50, FieldKind::Text},
    {"NC_Addr2", 1392, 50, FieldKind::Text},
    {"NC_Addr3", 1442, 50, FieldKind::Text},
    {"NC_City", 1492, 30, FieldKind::Text},
    {"NC_State", 1522, 20, FieldKind::Text},
    {"NC_Country", 1542, 30, FieldKind::Text},
    {"NC_ZipCode", 1572, 20, FieldKind::Text},
    {"NC_Email1", 1592, 254, FieldKind::Text},
    {"NC_Email2", 1846, 254, FieldKind::Text},
    {"NC_DayPhoneType", 2100, 3, FieldKind::Text},
    {"NC_DayPhoneList", 2103, 1, FieldKind::Text},
    {"NC_EveningPhoneType", 2104, 3, FieldKind::Text},
    {"NC_EveningPhoneList", 2107, 1, FieldKind::Text},
    {"NC_BestTimeToCall", 2108, 1, FieldKind::Text},
    {"NC_PackageInsert", 2109, 1, FieldKind::Text},
    {"NC_AddressOptField1", 2110, 3, FieldKind::Text},
    {"NC_AddressOptField2", 2113, 1, FieldKind::Text},
    {"NC_ShopperGender", 2114, 1, FieldKind::Text},
    {"NC_ShopperAge", 2115, 10, FieldKind::Text},
    {"NC_ShopperIncome", 2125, 10, FieldKind::Text},
    {"NC_MaritalStatus", 2135, 1, FieldKind::Text},
    {"NC_NumberofChildren", 2136, 10, FieldKind::Text},
    {"NC_NumberInHouse", 2146, 10, FieldKind::Text},
    {"NC_ShopperCompany", 2156, 30, FieldKind::Text},
    {"NC_ShopperInterest", 2186, 254, FieldKind::Text},
    {"NC_PreviousOrderFlag", 2440, 1, FieldKind::Text},
    {"NC_DemogField1", 2441, 1, FieldKind::Text},
    {"NC_DemogField2", 2442, 1, FieldKind::Text},
    {"NC_DemogField3", 2443, 1, FieldKind::Text},
    {"NC_DemogField4", 2444, 1, FieldKind::Text},
    {"NC_DemogField5", 2445, 254, FieldKind::Text},
    {"NC_DemogField6", 2699, 10, FieldKind::Text},
};

// HDR010 record of an ON document (440 bytes)
constexpr FieldLayout kHdr010ONFields[] = {
    {"VersionNumber", 0, 2, FieldKind::Text},
    {"NC_OrderRefNumber", 2, 10, FieldKind::Text},
    {"NC_OrderDate", 12, 8, FieldKind::Text},
    {"NC_OrderTime", 20, 6, FieldKind::Text},
    {"NC_CurrencyType", 26, 10, FieldKind::Text},
    {"NC_TotalPrice", 36, 16, FieldKind::Text},
    {"NC_TotalTaxPrice", 52, 16, FieldKind::Text},
    {"NC_TotalShippingPrice", 68, 16, FieldKind::Text},
    {"NC_TotalTaxShippingPrice", 84, 16, FieldKind::Text},
    {"NC_ShopperRefNumber", 100, 10, FieldKind::Text},
    {"NC_MerchantRefNumber", 110, 10, FieldKind::Text},
    {"NC_MerchantOrderNumber", 120, 30, FieldKind::Text},
    {"NC_BillToRefNumber", 150, 10, FieldKind::Text},
    {"NC_OrderCustField1", 160, 10, FieldKind::Text},
    {"NC_OrderCustField2", 170, 16, FieldKind::Text},
    {"NC_OrderCustField3", 186, 254, FieldKind::Text},
};

// HDR020 record (1101 bytes)
constexpr FieldLayout kHdr020Fields[] = {
    {"VersionNumber", 0, 2, FieldKind::Text},
    {"NC_ShopperLoginID", 2, 31, FieldKind::Text},
    {"NC_PurchaserLastName", 33, 30, FieldKind::Text},
    {"NC_PurchaserMiddleName", 63, 30, FieldKind::Text},
    {"NC_PurchaserFirstName", 93, 30, FieldKind::Text},
    {"NC_PurchaserAddr1", 123, 50, FieldKind::Text},
    {"NC_PurchaserAddr2", 173, 50, FieldKind::Text},
    {"NC_PurchaserAddr3", 223, 50, FieldKind::Text},
    {"NC_PurchaserCity", 273, 30, FieldKind::Text},
    {"NC_PurchaserState", 303, 20, FieldKind::Text},
    {"NC_PurchaserCountry", 323, 30, FieldKind::Text},
    {"NC_PurchaserZipCode", 353, 20, FieldKind::Text},
    {"NC_PurchaserEmail1", 373, 254, FieldKind::Text},
    {"NC_PurchaserEmail2", 627, 254, FieldKind::Text},
    {"NC_PurchaserPhone1", 881, 30, FieldKind::Text},
    {"NC_PurchaserPhone2", 911, 30, FieldKind::Text},
    {"NC_PurchaserFax", 941, 30, FieldKind::Text},
    {"NC_PurchaserCompanyName", 971, 80, FieldKind::Text},
    {"NC_PurchaserShopperGroup", 1051, 50, FieldKind::Text},
};

// HDR030 record (940 bytes)
constexpr FieldLayout kHdr030Fields[] = {
    {"VersionNumber", 0, 2, FieldKind::Text},
    {"NC_BillToLastName", 2, 30, FieldKind::Text},
    {"NC_BillToMiddleName", 32, 30, FieldKind::Text},
    {"NC_BillToFirstName", 62, 30, FieldKind::Text},
    {"NC_BillToAddr1", 92, 50, FieldKind::Text},
    {"NC_BillToAddr2", 142, 50, FieldKind::Text},
    {"NC_BillToAddr3", 192, 50, FieldKind::Text},
    {"NC_BillToCity", 242, 30, FieldKind::Text},
    {"NC_BillToState", 272, 20, FieldKind::Text},
    {"NC_BillToCountry", 292, 30, FieldKind::Text},
    {"NC_BillToZipCode", 322, 20, FieldKind::Text},
    {"NC_BillToEmail1", 342, 254, FieldKind::Text},
    {"NC_BillToEmail2", 596, 254, FieldKind::Text},
    {"NC_BillToPhone1", 850, 30, FieldKind::Text},
    {"NC_BillToPhone2", 880, 30, FieldKind::Text},
    {"NC_BillToFax", 910, 30, FieldKind::Text},
};

// HDR040 record (1050 bytes)
constexpr FieldLayout kHdr040Fields[] = {
    {"VersionNumber", 0, 2, FieldKind::Text},
    {"NC_SupplierName", 2, 80, FieldKind::Text},
    {"NC_SupplierAddr1", 82, 50, FieldKind::Text},
    {"NC_SupplierAddr2", 132, 50, FieldKind::Text},
    {"NC_SupplierAddr3", 182, 50, FieldKind::Text},
    {"NC_SupplierCity", 232, 30, FieldKind::Text},
    {"NC_SupplierState", 262, 20, FieldKind::Text},
    {"NC_SupplierCountry", 282, 30, FieldKind::Text},
    {"NC_SupplierZipCode", 312, 20, FieldKind::Text},
    {"NC_SupplierPhone1", 332, 30, FieldKind::Text},
    {"NC_SupplierContactLastName", 362, 30, FieldKind::Text},
    {"NC_SupplierContactMiddleName", 392, 30, FieldKind::Text},
    {"NC_SupplierContactFirstName", 422, 30, FieldKind::Text},
    {"NC_SupplierContactTitle", 452, 30, FieldKind::Text},
    {"NC_SupplierContactPhone1", 482, 30, FieldKind::Text},
    {"NC_SupplierContactPhone2", 512, 30, FieldKind::Text},
    {"NC_SupplierContactEmail1", 542, 254, FieldKind::Text},
    {"NC_SupplierContactEmail2", 796, 254, FieldKind::Text},
};

// ITM010 record of any document other than ON (488 bytes)
constexpr FieldLayout kItm010OtherFields[] = {
    {"VersionNumber", 0, 2, FieldKind::Text},
    {"NC_OrderRefNumber", 2, 10, FieldKind::Text},
    {"NC_MerchantOrderNumber", 12, 30, FieldKind::Text},
    {"NC_ItemRefNumber", 42, 10, FieldKind::Text},
    {"NC_ItemMerchantOrderNumber", 52, 30, FieldKind::Text},
    {"NC_OrderItemStatus", 82, 32, FieldKind::Text},
    {"NC_ItemScheduleShipDate", 114, 8, FieldKind::Text},
    {"NC_ItemActualShipDate", 122, 8, FieldKind::Text},
    {"NC_ItemPlaceDate", 130, 8, FieldKind::Text},
    {"NC_ItemQuantity", 138, 10, FieldKind::Text},
    {"NC_ItemCurrencyType", 148, 10, FieldKind::Text},
    {"NC_ItemUnitPrice", 158, 16, FieldKind::Text},
    {"NC_ItemTotalPrice", 174, 16, FieldKind::Text},
    {"NC_ItemTotalTaxPrice", 190, 16, FieldKind::Text},
    {"NC_ItemTotalShippingPrice", 206, 16, FieldKind::Text},
    {"NC_ItemTotalTaxShippingPrice", 222, 16, FieldKind::Text},
    {"NC_ItemComment", 238, 250, FieldKind::Text},
};

// ITM010 record of an ON document (2044 bytes)
constexpr FieldLayout kItm010ONFields[] = {
    {"VersionNumber", 0, 2, FieldKind::Text},
    {"NC_ItemLineNumber", 2, 3, FieldKind::Text},
    {"NC_ItemRefNumber", 5, 10, FieldKind::Text},
    {"NC_ItemProductRefNumber", 15, 10, FieldKind::Text},
    {"NC_ItemProductNumber", 25, 64, FieldKind::Text},
    {"NC_ItemProductShortDesc", 89, 254, FieldKind::Text},
    {"NC_ItemUnitPrice", 343, 16, FieldKind::Text},
    {"NC_ItemCurrencyType", 359, 10, FieldKind::Text},
    {"NC_ItemProductQuantity", 369, 10, FieldKind::Text},
    {"NC_ItemShipToAddrRefNumber", 379, 10, FieldKind::Text},
    {"NC_ItemShipModeRefNumber", 389, 10, FieldKind::Text},
    {"NC_ItemStatus", 399, 1, FieldKind::Text},
    {"NC_ItemShipToLastName", 400, 30, FieldKind::Text},
    {"NC_ItemShipToMiddleName", 430, 30, FieldKind::Text},
    {"NC_ItemShipToFistName", 460, 30, FieldKind::Text},
    {"NC_ItemShipToAddr1", 490, 50, FieldKind::Text},
    {"NC_ItemShipToAddr2", 540, 50, FieldKind::Text},
    {"NC_ItemShipToAddr3", 590, 50, FieldKind::Text},
    {"NC_ItemShipToCity", 640, 30, FieldKind::Text},
    {"NC_ItemShipToState", 670, 20, FieldKind::Text},
    {"NC_ItemShipToCountry", 690, 30, FieldKind::Text},
    {"NC_ItemShipToZipCode", 720, 20, FieldKind::Text},
    {"NC_ItemShipToEmail1", 740, 254, FieldKind::Text},
    {"NC_ItemShipToEmail2", 994, 254, FieldKind::Text},
    {"NC_ItemShipToPhone1", 1248, 30, FieldKind::Text},
    {"NC_ItemShipToPhone2", 1278, 30, FieldKind::Text},
    {"NC_ItemShipToFax", 1308, 30, FieldKind::Text},
    {"NC_ItemShippingCarrier", 1338, 30, FieldKind::Text},
    {"NC_ItemShippingMethod", 1368, 30, FieldKind::Text},
    {"NC_ItemShipToComement", 1398, 254, FieldKind::Text},
    {"NC_ItemCreationTimestamp", 1652, 64, FieldKind::Text},
    {"NC_ItemUpdateTimestamp", 1716, 64, FieldKind::Text},
    {"NC_ItemCustField1", 1780, 10, FieldKind::Text},
    {"NC_ItemCustField2", 1790, 254, FieldKind::Text},
};

// DATUSR record (18 bytes)
constexpr FieldLayout kDatusrFields[] = {
    {"FieldName", 0, 8, FieldKind::Text},
    {"FieldLength", 8, 10, FieldKind::Text},
    {"FieldValue", 18, 0, FieldKind::Text}, // n bytes, n read from FieldLength
};

static_assert(fieldsBackToBack(kPrologFields), "kPrologFields: fields back to back");
static_assert(fieldsBackToBack(kHdr010PQFields), "kHdr010PQFields: fields back to back");
static_assert(fieldsBackToBack(kHdr010OSFields), "kHdr010OSFields: fields back to back");
static_assert(fieldsBackToBack(kHdr010PPFields), "kHdr010PPFields: fields back to back");
static_assert(fieldsBackToBack(kHdr010NCFields), "kHdr010NCFields: fields back to back");
static_assert(fieldsBackToBack(kHdr010ONFields), "kHdr010ONFields: fields back to back");
static_assert(fieldsBackToBack(kHdr020Fields), "kHdr020Fields: fields back to back");
static_assert(fieldsBackToBack(kHdr030Fields), "kHdr030Fields: fields back to back");
static_assert(fieldsBackToBack(kHdr040Fields), "kHdr040Fields: fields back to back");
static_assert(fieldsBackToBack(kItm010OtherFields), "kItm010OtherFields: fields back to back");
static_assert(fieldsBackToBack(kItm010ONFields), "kItm010ONFields: fields back to back");
static_assert(fieldsBackToBack(kDatusrFields), "kDatusrFields: fields back to back");

// The heading of each record is the tag its report prints above the fields; DATUSR records
// print under "<DATUSR>OS" whatever the document type. A record's length is where its
// last field ends; DATUSR's value follows with the length the record holds.
constexpr RecordLayout kLayouts[kEcedocRecordCount] = {
    makeLayout("PROLOG", "<PROLOG>", "", LineStyle::LongName, "", kPrologFields),
    makeLayout("HDR010 PQ", "<HDR010>PQ", "", LineStyle::LongName, "", kHdr010PQFields),
    makeLayout("HDR010 OS", "<HDR010>OS", "", LineStyle::LongName, "", kHdr010OSFields),
    makeLayout("HDR010 PP", "<HDR010>PP", "", LineStyle::LongName, "", kHdr010PPFields),
    makeLayout("HDR010 NC", "<HDR010>NC", "", LineStyle::LongName, "", kHdr010NCFields),
    makeLayout("HDR010 ON", "<HDR010>ON", "", LineStyle::LongName, "", kHdr010ONFields),
    makeLayout("HDR020", "<HDR020>ON", "", LineStyle::LongName, "", kHdr020Fields),
    makeLayout("HDR030", "<HDR030>ON", "", LineStyle::LongName, "", kHdr030Fields),
    makeLayout("HDR040", "<HDR040>ON", "", LineStyle::LongName, "", kHdr040Fields),
    makeLayout("ITM010 ON", "<ITM010>ON", "", LineStyle::LongName, "", kItm010ONFields),
    makeLayout("ITM010", "<ITM010>OS", "", LineStyle::LongName, "", kItm010OtherFields),
    makeLayout("DATUSR", "<DATUSR>OS", "", LineStyle::LongName, "", kDatusrFields),
};

struct TagText {
    EcedocElement element;
    const char *opening;
    const char *closing;
};

// Tested in this order; every tag is compared over its full length.
constexpr TagText kTags[kEcedocElementCount] = {
    {EcedocElement::ECEDOC, "<ECEDOC>", "</ECEDOC>"},
    {EcedocElement::PROLOG, "<PROLOG>", "</PROLOG>"},
    {EcedocElement::HEADER, "<HEADER>", "</HEADER>"},
    {EcedocElement::HDR010, "<HDR010>", "</HDR010>"},
    {EcedocElement::HDR020, "<HDR020>", "</HDR020>"},
    {EcedocElement::HDR030, "<HDR030>", "</HDR030>"},
    {EcedocElement::HDR040, "<HDR040>", "</HDR040>"},
    {EcedocElement::ITMLST, "<ITMLST>", "</ITMLST>"},
    {EcedocElement::ITMDAT, "<ITMDAT>", "</ITMDAT>"},
    {EcedocElement::USRLST, "<USRLST>", "</USRLST>"},
    {EcedocElement::DATUSR, "<DATUSR>", "</DATUSR>"},
    {EcedocElement::ITM010, "<ITM010>", "</ITM010>"},
};

struct TypeCode {
    const char *code;
    EcedocType type;
};

constexpr TypeCode kTypeCodes[] = {
    {"PQ", EcedocType::PQ}, {"OS", EcedocType::OS}, {"PP", EcedocType::PP},
    {"NC", EcedocType::NC}, {"UC", EcedocType::NC}, {"ON", EcedocType::ON},
};

constexpr int kUnknownTagTextLimit = 40;

EcedocRecord hdr010Record(EcedocType type) {
    switch (type) {
    case EcedocType::PQ:
        return EcedocRecord::HDR010PQ;
    case EcedocType::OS:
        return EcedocRecord::HDR010OS;
    case EcedocType::PP:
        return EcedocRecord::HDR010PP;
    case EcedocType::NC:
        return EcedocRecord::HDR010NC;
    case EcedocType::ON:
        return EcedocRecord::HDR010ON;
    case EcedocType::None:
        break;
    }
    return EcedocRecord::None; // no HDR010 record is read without a known type
}

// The record read after an opening tag of the element in a document of the type.
EcedocRecord recordAfter(EcedocElement element, EcedocType type, EcedocHeaderRecords headers) {
    bool headerRecords = headers == EcedocHeaderRecords::EveryDocument || type == EcedocType::ON;
    switch (element) {
    case EcedocElement::PROLOG:
        return EcedocRecord::PROLOG;
    case EcedocElement::HDR010:
        return hdr010Record(type);
    case EcedocElement::HDR020:
        return headerRecords ? EcedocRecord::HDR020 : EcedocRecord::None;
    case EcedocElement::HDR030:
        return headerRecords ? EcedocRecord::HDR030 : EcedocRecord::None;
    case EcedocElement::HDR040:
        return headerRecords ? EcedocRecord::HDR040 : EcedocRecord::None;
    case EcedocElement::ITM010:
        return type == EcedocType::ON ? EcedocRecord::ITM010ON : EcedocRecord::ITM010Other;
    case EcedocElement::DATUSR:
        return EcedocRecord::DATUSR;
    default:
        return EcedocRecord::None; // containers: the next tag follows at once
    }
}

bool isAtoiSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

const RecordLayout *ecedocLayout(EcedocRecord record) {
    if (record == EcedocRecord::None)
        return nullptr;
    return &kLayouts[static_cast<int>(record) - 1];
}

const char *ecedocTagText(EcedocElement element, bool closing) {
    for (const TagText &t : kTags)
        if (t.element == element)
            return closing ? t.closing : t.opening;
    return "";
}

EcedocType ecedocDocumentType(ByteView prolog) {
    for (const TypeCode &t : kTypeCodes)
        if (prolog.startsWith(t.code))
            return t.type;
    return EcedocType::None;
}

int32_t datusrValueLength(ByteView record) {
    // The tenth character of FieldLength is overwritten, so only nine are ever read.
    record.setByte(kDatusrLengthEnd, 0);
    int64_t i = kDatusrFieldLengthOffset;
    while (isAtoiSpace(record.at(i)))
        ++i;
    bool negative = false;
    if (record.at(i) == '+' || record.at(i) == '-') {
        negative = record.at(i) == '-';
        ++i;
    }
    // The zero byte at offset 17 (or the end of the body) bounds the digits to nine.
    int64_t n = 0;
    for (; i < kDatusrLengthEnd && record.at(i) >= '0' && record.at(i) <= '9'; ++i)
        n = n * 10 + (record.at(i) - '0');
    return static_cast<int32_t>(negative ? -n : n);
}

bool readEcedocStep(ByteView body, int64_t position, EcedocType type, EcedocHeaderRecords headers,
                    EcedocStep &step) {
    for (const TagText &t : kTags) {
        bool closing;
        if (body.startsWith(t.opening, position))
            closing = false;
        else if (body.startsWith(t.closing, position))
            closing = true;
        else
            continue;
        int64_t tagLength = closing ? kEcedocClosingTagLength : kEcedocOpeningTagLength;
        step.element = t.element;
        step.closing = closing;
        step.body = body.from(position + tagLength);
        step.record = closing ? EcedocRecord::None : recordAfter(t.element, type, headers);
        step.valueLength = 0;
        int64_t recordLength = 0;
        if (step.record == EcedocRecord::DATUSR) {
            step.valueLength = datusrValueLength(step.body);
            // A negative length is stepped over as 0: the walk never moves backwards.
            recordLength = kDatusrValueOffset + (step.valueLength > 0 ? step.valueLength : 0);
        } else if (step.record != EcedocRecord::None) {
            recordLength = ecedocLayout(step.record)->length;
        }
        step.next = position + tagLength + recordLength;
        return true;
    }
    return false;
}

void writeUnknownEcedocTag(OutputSink &out, ByteView at) {
    char text[kUnknownTagTextLimit + 1];
    previewText(text, at, kUnknownTagTextLimit);
    writeFormatted(out, "Unknown Tag (%.40s)\n", text);
}

} // namespace qpeek
