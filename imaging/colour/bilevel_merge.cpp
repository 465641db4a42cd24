// The bilevel path of a merge. Until the bilevel decoder is linked in, bilevel pages are not
// merged and the merge says so.
#include "imaging/colour/colour_merge.h"

namespace pixdoc {

int32_t MergeBilevelPage(ColourEditState& edit, const char* name, const EditRect& source,
                         const EditRect& destination) {
    return kMergeNotRecognised;
}

}  // namespace pixdoc
