#include "acquisition/scanner/imaging_control.h"

namespace scantora {

std::string_view DescribeStatus(ImagingStatus status) {
    switch (status) {
        case ImagingStatus::kOk:
            return "success";
        case ImagingStatus::kUnsupported:
            return "operation not supported by the device";
        case ImagingStatus::kCancelled:
            return "cancelled";
        case ImagingStatus::kDeviceBusy:
            return "device busy";
        case ImagingStatus::kInvalid:
            return "value refused, or device not found";
        case ImagingStatus::kJammed:
            return "document feeder jammed";
        case ImagingStatus::kNoDocuments:
            return "document feeder empty";
        case ImagingStatus::kCoverOpen:
            return "scanner cover open";
        case ImagingStatus::kIoError:
            return "device input/output error";
        case ImagingStatus::kNoMemory:
            return "out of memory";
        case ImagingStatus::kAccessDenied:
            return "access to the device denied";
        case ImagingStatus::kNoSource:
            return "no scanner source selected";
        case ImagingStatus::kBadFrame:
            return "image data from the device not understood";
        case ImagingStatus::kUnreadableInput:
            return "feeder folder: unreadable image file";
        case ImagingStatus::kFolderUnavailable:
            return "feeder folder cannot be read";
        case ImagingStatus::kInputNotMoved:
            return "feeder folder: fed file not moved to done";
        case ImagingStatus::kFileNotFound:
            return "file not found";
        case ImagingStatus::kNotAnImage:
            return "not an image file the control reads";
        case ImagingStatus::kNoSuchPage:
            return "no such page in the file";
        case ImagingStatus::kWriteFailed:
            return "file could not be written";
        case ImagingStatus::kDiskFull:
            return "disk full";
        case ImagingStatus::kBadArgument:
            return "format, mode or depth not offered";
        case ImagingStatus::kDamagedFile:
            return "damaged TIFF file";
    }
    return "unknown status";
}

}  // namespace scantora
