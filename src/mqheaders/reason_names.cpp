// The reason codes (MQRC_) and feedback codes (MQFB_) that explain why a message was put on
// the dead-letter queue, as one table sorted by value.
#include "mqheaders/reason_names.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace qpeek {

namespace {

struct ReasonName {
    int32_t value;
    const char *name;
};

// Sorted by value. Feedback codes lie below 1000, reason codes from 2000 on. Values inside
// the IMS sense-code range (302 to 398), the IMS NACK range (600 to 855) and application
// feedback (65536 on) have no name of their own.
constexpr ReasonName kReasonNames[] = {
    {0, "MQFB_NONE"},
    {256, "MQFB_QUIT"},
    {258, "MQFB_EXPIRATION"},
    {259, "MQFB_COA"},
    {260, "MQFB_COD"},
    {262, "MQFB_CHANNEL_COMPLETED"},
    {263, "MQFB_CHANNEL_FAIL_RETRY"},
    {264, "MQFB_CHANNEL_FAIL"},
    {265, "MQFB_APPL_CANNOT_BE_STARTED"},
    {266, "MQFB_TM_ERROR"},
    {267, "MQFB_APPL_TYPE_ERROR"},
    {268, "MQFB_STOPPED_BY_MSG_EXIT"},
    {269, "MQFB_ACTIVITY"},
    {271, "MQFB_XMIT_Q_MSG_ERROR"},
    {275, "MQFB_PAN"},
    {276, "MQFB_NAN"},
    {277, "MQFB_STOPPED_BY_CHAD_EXIT"},
    {279, "MQFB_STOPPED_BY_PUBSUB_EXIT"},
    {280, "MQFB_NOT_A_REPOSITORY_MSG"},
    {281, "MQFB_BIND_OPEN_CLUSRCVR_DEL"},
    {282, "MQFB_MAX_ACTIVITIES"},
    {283, "MQFB_NOT_FORWARDED"},
    {284, "MQFB_NOT_DELIVERED"},
    {285, "MQFB_UNSUPPORTED_FORWARDING"},
    {286, "MQFB_UNSUPPORTED_DELIVERY"},
    {291, "MQFB_DATA_LENGTH_ZERO"},
    {292, "MQFB_DATA_LENGTH_NEGATIVE"},
    {293, "MQFB_DATA_LENGTH_TOO_BIG"},
    {294, "MQFB_BUFFER_OVERFLOW"},
    {295, "MQFB_LENGTH_OFF_BY_ONE"},
    {296, "MQFB_IIH_ERROR"},
    {298, "MQFB_NOT_AUTHORIZED_FOR_IMS"},
    {300, "MQFB_IMS_ERROR"},
    {301, "MQFB_IMS_FIRST"},
    {399, "MQFB_IMS_LAST"},
    {401, "MQFB_CICS_INTERNAL_ERROR"},
    {402, "MQFB_CICS_NOT_AUTHORIZED"},
    {403, "MQFB_CICS_BRIDGE_FAILURE"},
    {404, "MQFB_CICS_CORREL_ID_ERROR"},
    {405, "MQFB_CICS_CCSID_ERROR"},
    {406, "MQFB_CICS_ENCODING_ERROR"},
    {407, "MQFB_CICS_CIH_ERROR"},
    {408, "MQFB_CICS_UOW_ERROR"},
    {409, "MQFB_CICS_COMMAREA_ERROR"},
    {410, "MQFB_CICS_APPL_NOT_STARTED"},
    {411, "MQFB_CICS_APPL_ABENDED"},
    {412, "MQFB_CICS_DLQ_ERROR"},
    {413, "MQFB_CICS_UOW_BACKED_OUT"},
    {2003, "MQRC_BACKED_OUT"},
    {2024, "MQRC_SYNCPOINT_LIMIT_REACHED"},
    {2030, "MQRC_MSG_TOO_BIG_FOR_Q"},
    {2031, "MQRC_MSG_TOO_BIG_FOR_Q_MGR"},
    {2035, "MQRC_NOT_AUTHORIZED"},
    {2048, "MQRC_PERSISTENT_NOT_ALLOWED"},
    {2051, "MQRC_PUT_INHIBITED"},
    {2052, "MQRC_Q_DELETED"},
    {2053, "MQRC_Q_FULL"},
    {2056, "MQRC_Q_SPACE_NOT_AVAILABLE"},
    {2057, "MQRC_Q_TYPE_ERROR"},
    {2059, "MQRC_Q_MGR_NOT_AVAILABLE"},
    {2063, "MQRC_SECURITY_ERROR"},
    {2082, "MQRC_UNKNOWN_ALIAS_BASE_Q"},
    {2085, "MQRC_UNKNOWN_OBJECT_NAME"},
    {2086, "MQRC_UNKNOWN_OBJECT_Q_MGR"},
    {2087, "MQRC_UNKNOWN_REMOTE_Q_MGR"},
    {2091, "MQRC_XMIT_Q_TYPE_ERROR"},
    {2092, "MQRC_XMIT_Q_USAGE_ERROR"},
    {2110, "MQRC_FORMAT_ERROR"},
    {2111, "MQRC_SOURCE_CCSID_ERROR"},
    {2115, "MQRC_TARGET_CCSID_ERROR"},
    {2119, "MQRC_NOT_CONVERTED"},
    {2120, "MQRC_CONVERTED_MSG_TOO_BIG"}, // also known as MQRC_TRUNCATED
    {2141, "MQRC_DLH_ERROR"},
    {2148, "MQRC_IIH_ERROR"},
    {2189, "MQRC_CLUSTER_RESOLUTION_ERROR"},
    {2196, "MQRC_UNKNOWN_XMIT_Q"},
    {2197, "MQRC_UNKNOWN_DEF_XMIT_Q"},
    {2198, "MQRC_DEF_XMIT_Q_TYPE_ERROR"},
    {2199, "MQRC_DEF_XMIT_Q_USAGE_ERROR"},
    {2248, "MQRC_MDE_ERROR"},
    {2260, "MQRC_XQH_ERROR"},
    {2334, "MQRC_RFH_ERROR"},
    {2479, "MQRC_PUT_NOT_RETAINED"},
    {2485, "MQRC_MAX_MSG_LENGTH_ERROR"},
    {2502, "MQRC_PUBLICATION_FAILURE"},
};

constexpr bool sortedByValue() {
    for (size_t i = 1; i < sizeof kReasonNames / sizeof kReasonNames[0]; ++i)
        if (kReasonNames[i - 1].value >= kReasonNames[i].value)
            return false;
    return true;
}
static_assert(sortedByValue(), "the names are looked up by binary search");

} // namespace

const char *reasonName(int32_t reason) {
    const ReasonName *end = std::end(kReasonNames);
    const ReasonName *found = std::lower_bound(
        std::begin(kReasonNames), end, reason,
        [](const ReasonName &entry, int32_t value) { return entry.value < value; });
    return found != end && found->value == reason ? found->name : nullptr;
}

} // namespace qpeek
