#include "acquisition/scanner/sane_status.h"

namespace scantora {
namespace {

constexpr bool SameNumber(ImagingStatus ours, SANE_Status theirs) {
    return static_cast<int>(ours) == static_cast<int>(theirs);
}
static_assert(SameNumber(ImagingStatus::kUnsupported, SANE_STATUS_UNSUPPORTED));
static_assert(SameNumber(ImagingStatus::kCancelled, SANE_STATUS_CANCELLED));
static_assert(SameNumber(ImagingStatus::kDeviceBusy, SANE_STATUS_DEVICE_BUSY));
static_assert(SameNumber(ImagingStatus::kInvalid, SANE_STATUS_INVAL));
static_assert(SameNumber(ImagingStatus::kJammed, SANE_STATUS_JAMMED));
static_assert(SameNumber(ImagingStatus::kNoDocuments, SANE_STATUS_NO_DOCS));
static_assert(SameNumber(ImagingStatus::kCoverOpen, SANE_STATUS_COVER_OPEN));
static_assert(SameNumber(ImagingStatus::kIoError, SANE_STATUS_IO_ERROR));
static_assert(SameNumber(ImagingStatus::kNoMemory, SANE_STATUS_NO_MEM));
static_assert(SameNumber(ImagingStatus::kAccessDenied, SANE_STATUS_ACCESS_DENIED));

}  // namespace

ImagingStatus FromSaneStatus(SANE_Status status) {
    switch (status) {
        case SANE_STATUS_GOOD:
            return ImagingStatus::kOk;
        case SANE_STATUS_UNSUPPORTED:
        case SANE_STATUS_CANCELLED:
        case SANE_STATUS_DEVICE_BUSY:
        case SANE_STATUS_INVAL:
        case SANE_STATUS_JAMMED:
        case SANE_STATUS_NO_DOCS:
        case SANE_STATUS_COVER_OPEN:
        case SANE_STATUS_IO_ERROR:
        case SANE_STATUS_NO_MEM:
        case SANE_STATUS_ACCESS_DENIED:
            return static_cast<ImagingStatus>(status);
        default:
            return ImagingStatus::kIoError;
    }
}

}  // namespace scantora
