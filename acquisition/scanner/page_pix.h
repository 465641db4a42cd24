// The Leptonica image behind a Page, for the control's own files.
#pragma once

#include <leptonica/allheaders.h>

#include <cstdint>
#include <memory>

#include "acquisition/scanner/imaging_control.h"

namespace scantora {

using PixPtr = std::unique_ptr<PIX, PixRelease>;

struct PageAccess {
    static Page Adopt(PixPtr pix) {
        Page page;
        page.pix_ = std::move(pix);
        return page;
    }
    static PIX* Pix(const Page& page) { return page.pix_.get(); }
    static void Replace(Page& page, PixPtr pix) { page.pix_ = std::move(pix); }
    static void SetPhotometric(Page& page, int value) { page.photometric_ = value; }
    static void MarkSaved(Page& page) { page.saved_ = true; }
};

// `pix` as 1 (1 black), 8 (grey) or 32 bpp (RGB) without a colour map, its resolution kept;
// null when Leptonica cannot convert it.
PixPtr NormalisePix(PixPtr pix);

// `pix` converted to the depth a caller asks for (1 or 2 bilevel, 3..8 grey, above 8 colour,
// 0 or less as it is); null on failure.
PixPtr PixAtDepth(PIX* pix, int bits_per_pixel);

// Rows of 1 and 8 bpp images are packed bytes in big-endian 32-bit words.
void PackWords(const l_uint32* words, int bytes, std::uint8_t* out);
void UnpackWords(const std::uint8_t* bytes, int count, l_uint32* words);

}  // namespace scantora
