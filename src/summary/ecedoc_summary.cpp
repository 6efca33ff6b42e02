// ECEDOC summary entry: document type, header keys and item lines as tags.
#include "summary/ecedoc_summary.h"

#include "report/field_lines.h"
#include "report/summary_tags.h"

namespace qpeek {

namespace {

constexpr EcedocSummaryTag kHdr010PQTags[] = {
    {"NC_ProductNumber", 0, tag("M"), true},
    {"NC_ProductQuanty", 0, tag("Q"), true},
};
constexpr EcedocSummaryTag kHdr010OSTags[] = {
    {"NC_OrderRefNumber", 0, tag("PO"), false},
    {"NC_OrderStatus", 0, tag("S"), true},
};
constexpr EcedocSummaryTag kHdr010PPTags[] = {
    {"NC_ProductNumber", 10, tag("M"), true}, // its first 10 of 64 characters
    {"NC_ProductPrice", 0, tag("P"), true},
};
constexpr EcedocSummaryTag kHdr010NCTags[] = {
    {"NC_LoginId", 0, tag("C"), true},
    {"NC_Password", 0, tag("PW"), true},
    {"NC_LastName", 0, tag("N"), true},
};
constexpr EcedocSummaryTag kHdr010ONTags[] = {
    {"NC_OrderRefNumber", 0, tag("PO"), true},
};
// Written for an HDR020 in every document type.
constexpr EcedocSummaryTag kHdr020Tags[] = {
    {"NC_ShopperLoginID", 0, tag("C"), true},
};
// An ON item starts a new line only when it has a product number; without one its
// quantity continues the current line.
constexpr EcedocSummaryTag kItm010ONTags[] = {
    {"NC_ItemProductNumber", 0, itemTag("M"), false},
    {"NC_ItemProductQuantity", 0, tag("Q"), true},
};
constexpr EcedocSummaryTag kItm010OtherTags[] = {
    {"NC_ItemComment", 60, itemTag("D"), true}, // its first 60 of 250 characters
    {"NC_MerchantOrderNumber", 0, tag("O"), true},
    {"NC_OrderItemStatus", 0, tag("IS"), true},
};

constexpr size_t kValueSize = 64 + 1; // the longest value read, and its zero

template <size_t N> constexpr EcedocSummaryTags tagsOf(const EcedocSummaryTag (&tags)[N]) {
    return EcedocSummaryTags{tags, N};
}

// The tags of a record, each reading the field of its name in the record's layout.
void writeTags(OutputSink &out, const RecordLayout &layout, EcedocSummaryTags tags,
               ByteView record) {
    char value[kValueSize];
    for (size_t i = 0; i < tags.count; ++i) {
        const EcedocSummaryTag &tag = tags.tags[i];
        const FieldLayout *field = fieldNamed(layout, tag.field);
        if (!field)
            continue;
        copyTrimmed(value, sizeof value, record.from(field->offset),
                    tag.length > 0 ? tag.length : field->length);
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
            if (const RecordLayout *layout = ecedocLayout(step.record))
                writeTags(out, *layout, ecedocSummaryTags(step.record), step.body);
        }
        position = step.next;
    }
}

} // namespace qpeek
