// Entropy decoding of one block: the sequential process (T.81 F.2.2) and the four progressive
// scan kinds (T.81 G.2: DC first and refinement, AC first and refinement with end-of-band
// runs). Each returns 0 or a colour error code for a code the tables do not hold (34) or a
// coefficient index past the band (35); coefficients are in natural order.
#pragma once

#include <cstdint>

#include "imaging/decode/jpeg/jpeg_huffman.h"

namespace pixdoc::jpeg {

struct BlockContext {
    BitReader& bits;
    Input& input;
    int ss, se, al;
    int& eob_run;
};

int DecodeBlockSequential(BlockContext& ctx, const HuffmanTable& dc, const HuffmanTable& ac,
                          int& predictor, int16_t* block);
int DecodeDcFirst(BlockContext& ctx, const HuffmanTable& dc, int& predictor, int16_t* block);
int DecodeDcRefine(BlockContext& ctx, int16_t* block);
int DecodeAcFirst(BlockContext& ctx, const HuffmanTable& ac, int16_t* block);
int DecodeAcRefine(BlockContext& ctx, const HuffmanTable& ac, int16_t* block);

}  // namespace pixdoc::jpeg
