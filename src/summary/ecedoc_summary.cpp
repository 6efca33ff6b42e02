// ECEDOC summary entry: document type, header keys and item lines as tags.
#include "summary/ecedoc_summary.h"

#include "report/field_lines.h"
#include "report/summary_tags.h"

namespace qpeek {

namespace {

constexpr EcedocSummaryTag kHdr010PQTags[] = {
    {"NC_ProductNumber", 22, 64, tag("M"), true},
    {"NC_ProductQuanty", 12, 10, tag("Q"), true},
};
constexpr EcedocSummaryTag kHdr010OSTags[] = {
    {"NC_OrderRefNumber", 2, 10, tag("PO"), false},
    {"NC_OrderStatus", 211, 32, tag("S"), true},
};
constexpr EcedocSummaryTag kHdr010PPTags[] = {
    {"NC_ProductNumber", 68, 10, tag("M"), true}, // its first 10 of 64 characters
    {"NC_ProductPrice", 12, 16, tag("P"), true},
};
constexpr EcedocSummaryTag kHdr010NCTags[] = {
    {"NC_LoginId", 2, 31, tag("C"), true},
    {"NC_Password", 33, 12, tag("PW"), true},
    {"NC_LastName", 1082, 30, tag("N"), true},
};
constexpr EcedocSummaryTag kHdr010ONTags[] = {
    {"NC_OrderRefNumber", 2, 10, tag("PO"), true},
};
// Written for an HDR020 in every document type.
constexpr EcedocSummaryTag kHdr020Tags[] = {
    {"NC_ShopperLoginID", 2, 31, tag("C"), true},
};
// An ON item starts a new line only when it has a product number; without one its
// quantity continues the current line.
constexpr EcedocSummaryTag kItm010ONTags[] = {
    {"NC_ItemProductNumber", 25, 64, itemTag("M"), false},
    {"NC_ItemProductQuantity", 369, 10, tag("Q"), true},
};
constexpr EcedocSummaryTag kItm010OtherTags[] = {
    {"NC_ItemComment", 238, 60, itemTag("D"), true}, // its first 60 of 250 characters
    {"NC_MerchantOrderNumber", 12, 30, tag("O"), true},
    {"NC_OrderItemStatus", 82, 32, tag("IS"), true},
};

constexpr size_t kValueSize = 64 + 1; // the longest value read, and its zero

template <size_t N> constexpr EcedocSummaryTags tagsOf(const EcedocSummaryTag (&tags)[N]) {
    return EcedocSummaryTags{tags, N};
}

void writeTags(OutputSink &out, EcedocSummaryTags tags, ByteView record) {
    char value[kValueSize];
    for (size_t i = 0; i < tags.count; ++i) {
        const EcedocSummaryTag &tag = tags.tags[i];
        copyTrimmed(value, sizeof value, record.from(tag.offset), tag.length);
        if (tag.always || value[0])
            writeTag(out, tag.form, value);
    }
}

} // namespace

EcedocSummaryTags ecedocSummaryTags(EcedocRecord record) {
    switch (record) {
    case EcedocRecord::HDR010PQ:
        return tagsOf(kHdr010PQTags);
    case EcedocRecord::HDR010OS:
        return tagsOf(kHdr010OSTags);
    case EcedocRecord::HDR010PP:
        return tagsOf(kHdr010PPTags);
    case EcedocRecord::HDR010NC:
        return tagsOf(kHdr010NCTags);
    case EcedocRecord::HDR010ON:
        return tagsOf(kHdr010ONTags);
    case EcedocRecord::HDR020:
        return tagsOf(kHdr020Tags);
    case EcedocRecord::ITM010ON:
        return tagsOf(kItm010ONTags);
    case EcedocRecord::ITM010Other:
        return tagsOf(kItm010OtherTags);
    default:
        return EcedocSummaryTags{nullptr, 0};
    }
}

void writeECEDOCSummary(OutputSink &out, const Mqmd &md, ByteView body) {
    (void)md;
    EcedocType type = EcedocType::None;
    int64_t position = 0;
    while (ecedocWalkGoesOn(body, position)) {
        EcedocStep step;
        if (!readEcedocStep(body, position, type, EcedocHeaderRecords::EveryDocument, step)) {
            writeUnknownEcedocTag(out, body.from(position));
            return;
        }
        if (step.record == EcedocRecord::PROLOG) {
            type = ecedocDocumentType(step.body);
            // The first two characters as they are, untrimmed, whatever the type.
            char code[3] = {0, 0, 0};
            step.body.copyOut(0, 2, code, 2);
            writeTag(out, "Type", code);
        } else {
            writeTags(out, ecedocSummaryTags(step.record), step.body);
        }
        position = step.next;
    }
}

} // namespace qpeek
