// IMS delivery record reports: delivery update and delivery confirmation.
//
// Both records are packed layouts of text, little-endian int32 and binary64 fields. A
// record shorter than its layout reads as zero bytes past the body, so missing text
// fields print empty, integers 0 and doubles 0.000000.
#include "payloads/ims_delivery.h"

#include "report/record_report.h"

namespace qpeek {

namespace {

constexpr FieldKind T = FieldKind::Text;
constexpr FieldKind I = FieldKind::Decimal;
constexpr FieldKind D = FieldKind::Double;

constexpr FieldLayout kUpdateDeliveryFields[] = {
    {"FUNKTION", 0, 1, T},    {"SATZART", 1, 8, T},     {"FIRMNR", 9, 4, T},
    {"LIEFER", 13, 4, I},     {"LIEFSNR", 17, 4, I},    {"LIEFHERK", 21, 4, T},
    {"OBJTYP", 25, 4, T},     {"OBJEKTNR", 29, 15, T},  {"KONSVKZ", 44, 1, T},
    {"FAELLIGK", 45, 8, T},   {"BUCHVORG", 53, 8, T},   {"MENGENEH", 61, 3, T},
    {"LLMENGE", 64, 8, D},    {"LLMENGE_VZ", 72, 1, T}, {"PREISEH", 73, 2, T},
    {"LLPREIS", 75, 8, D},    {"WAEHRUNG", 83, 3, T},   {"WLWERT", 86, 8, D},
    {"WLWERT_VZ", 94, 1, T},  {"KURS", 95, 4, I},       {"SKTOSATZ", 99, 8, D},
    {"SKTOFRIS", 107, 4, I},  {"LIEFIND", 111, 2, T},   {"LAGER", 113, 5, T},
    {"ABLSTLAG", 118, 5, T},  {"UNTERN", 123, 6, T},    {"LBUCHDAT", 129, 8, T},
    {"WERK", 137, 2, T},      {"PREISTYP", 139, 1, T},  {"SKTOSATZ_2", 140, 8, D},
    {"BESTNR", 148, 4, I},    {"BESTTYP", 152, 4, T},   {"LFEHLCDE", 156, 4, T},
    {"LFEHLDAT", 160, 8, T},  {"PREISDAT", 168, 8, T},  {"PREISKZ", 176, 1, T},
    {"LANDSCHL", 177, 3, T},  {"WSTGRU", 180, 5, T},    {"VALUTDAT", 185, 8, T},
    {"VERPEINH", 193, 4, I},  {"VERPTYP", 197, 8, T},   {"ZAHLBED", 205, 2, T},
    {"LIEFBED", 207, 2, T},   {"VERPBED", 209, 2, T},   {"VERTRBKZ", 211, 1, T},
    {"KONSVNR", 212, 15, T},  {"MRVSNR", 227, 15, T},   {"ZOLLKZ", 242, 1, T},
    {"ZOLLDATA", 243, 20, T}, {"LLDATUM", 263, 8, T},   {"LIEFSART", 271, 8, T},
    {"VERSANDA", 279, 4, T},  {"DIENSTL", 283, 9, T},   {"HUETTE", 292, 9, T},
    {"SPEDITEU", 301, 9, T},  {"KONTIER", 310, 40, T},  {"BUCHPEKZ", 350, 1, T},
    {"USTTYP", 351, 8, T},    {"BARCODE", 359, 16, T},  {"USTID", 375, 15, T},
    {"UMLAUFKZ", 390, 1, T},  {"PRUFBNR", 391, 15, T},  {"PRUFBNRZ", 406, 1, T},
    {"PRUFHERK", 407, 4, T},  {"PBDATUM", 411, 8, T},   {"LOGKOSKZ", 419, 1, T},
    {"WERKVERW", 420, 3, T},  {"BELARTUK", 423, 3, T},  {"LFEHLTYP", 426, 1, T},
    {"LFEHLREF", 427, 6, T},  {"BELDATA", 433, 20, T},  {"BELDATUM", 453, 8, T},
    {"BELZEIT", 461, 8, T},   {"SATZNR", 469, 4, T},
};

constexpr FieldLayout kConfirmFields[] = {
    {"LIEFER", 0, 8, T},    {"LIEFSNR", 8, 11, T},  {"OBJEKTNR", 19, 15, T}, {"BESTNR", 34, 15, T},
    {"FAELLIGK", 49, 8, T}, {"LIEFVNR", 57, 8, T},  {"BELEGNR", 65, 8, T},   {"ZAHLNR", 73, 8, T},
    {"AVISNR", 81, 8, T},   {"ZAHLTERM", 89, 8, T},
};

} // namespace

static_assert(fieldsBackToBack(kUpdateDeliveryFields), "fields back to back");
static_assert(fieldsBackToBack(kConfirmFields), "fields back to back");

// The title line, then one line per field; numbers are always shown, text fields of
// blanks only with -d.
const RecordLayout kImsUpdateDeliveryLayout = makeLayout(
    "IMS_UPDATEDELIVERY", "IMS_UPDATEDELIVERY", "", LineStyle::Field, " ", kUpdateDeliveryFields);
const RecordLayout kImsConfirmLayout =
    makeLayout("IMS_CONFIRM", "IMS_CONFIRM", "", LineStyle::Field, " ", kConfirmFields);

void writeImsConfirm(OutputSink &out, ByteView record) {
    writeRecord(out, kImsConfirmLayout, record);
}

void writeImsUpdateDelivery(OutputSink &out, ByteView record) {
    writeRecord(out, kImsUpdateDeliveryLayout, record);
}

} // namespace qpeek
