// One line of any bilevel coding: the dispatch over the compression code.
#include "imaging/decode/bilevel/line_codings.h"

#include "imaging/decode/bilevel/change_list.h"
#include "imaging/decode/bilevel/row_to_changes.h"

namespace pixdoc::bilevel {
namespace {

constexpr int32_t kFirstUnknownResult = 4;
constexpr int32_t kTaggedLines = 2;  // code 4 reads an EOL and tag on its first two lines

int32_t UnknownCoding(int32_t width) {
    return width > kFirstUnknownResult ? width : kFirstUnknownResult;
}

// Code 0: EOL, one-dimensional line; a damaged line is retried once from the next EOL.
int32_t GroupThreeOneD(BitReader& bits, int16_t* current, int32_t width) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (FindEol(bits, false) == kLineEnd) {
            ResetToEmptyLine(current, width);
            return kLineEnd;
        }
        const int32_t r = DecodeOneDLine(bits, current, width);
        if (r == kLineGood) return r;
    }
    return kLineDamaged;
}

// Code 2: EOL with tag bit; after a damaged line, skip to the next one-dimensional line.
int32_t GroupThreeTwoD(BitReader& bits, const int16_t* reference, int16_t* current, int32_t width) {
    int32_t tag = FindEol(bits, true);
    if (tag == kLineEnd) {
        ResetToEmptyLine(current, width);
        return kLineEnd;
    }
    int32_t r = tag ? DecodeOneDLine(bits, current, width)
                    : DecodeTwoDLine(bits, reference, current, width);
    if (r != kLineDamaged) return r;
    // Bound: every EOL search consumes input and ends at the data's end.
    do {
        tag = FindEol(bits, true);
        if (tag == kLineEnd) return kLineDamaged;
    } while (tag != 1);
    return DecodeOneDLine(bits, current, width);
}

// Code 4: two-dimensional lines without EOLs, except an EOL and tag on the first two lines.
int32_t TwoDNoEol(BitReader& bits, const int16_t* reference, int16_t* current, int32_t width,
                  int32_t line) {
    if (line < kTaggedLines) {
        const int32_t tag = FindEol(bits, true);
        if (tag == kLineEnd) {
            ResetToEmptyLine(current, width);
            return kLineEnd;
        }
        if (line == 0 && tag == 1) return DecodeOneDLine(bits, current, width);
    }
    return DecodeTwoDLine(bits, reference, current, width);
}

int32_t CcittLine(int32_t coding, const int16_t* reference, int16_t* current, int32_t width,
                  int32_t line, LineInput& input) {
    BitReader bits(input.data, input.limit, input.at);
    int32_t r = kLineDamaged;
    switch (coding) {
        case kGroup3OneD:
            r = GroupThreeOneD(bits, current, width);
            break;
        case kGroup4:
            r = DecodeTwoDLine(bits, reference, current, width);
            break;
        case kGroup3TwoD:
            r = GroupThreeTwoD(bits, reference, current, width);
            break;
        case kTwoDNoEol:
            r = TwoDNoEol(bits, reference, current, width, line);
            break;
        case kModifiedHuffman:
            r = DecodeOneDLine(bits, current, width);
            bits.AlignToByte();  // rows start on byte boundaries
            break;
    }
    input.at = bits.Save();
    return r;
}

int32_t ByteRow(int32_t coding, int16_t* current, int32_t width, LineInput& input,
                uint8_t* row_scratch) {
    // Byte codings start on a whole byte.
    input.at.bit_count = 0;
    input.at.accumulator = 0;
    const int32_t row_bytes = (width + 7) / 8;
    const uint8_t* row = row_scratch;
    int32_t r = kLineGood;
    if (coding == kUncompressed) {
        if (input.at.position < 0 || input.at.position + row_bytes > input.size) {
            r = kLineEnd;
        } else {
            row = input.data + input.at.position;
            input.at.position += row_bytes;
        }
    } else if (coding == kPcx) {
        r = ExpandPcxRow(input.data, input.size, input.at.position, row_scratch, width);
    } else {
        r = ExpandPackBitsRow(input.data, input.size, input.at.position, row_scratch, width);
    }
    if (r != kLineGood) {
        ResetToEmptyLine(current, width);
        return r;
    }
    RowToChanges(row, width, current);
    return kLineGood;
}

}  // namespace

bool IsKnownCoding(int32_t code) {
    switch (code) {
        case kGroup3OneD:
        case kGroup4:
        case kGroup3TwoD:
        case kUncompressed:
        case kTwoDNoEol:
        case kModifiedHuffman:
        case kPcx:
        case kPackBits:
            return true;
        default:
            return false;
    }
}

int32_t DecodeLine(int32_t code, const int16_t* reference, int16_t* current, int32_t width,
                   int32_t line, LineInput& input, uint8_t* row_scratch) {
    const int32_t coding = code & kCodingMask;
    if (!IsKnownCoding(coding) || width <= 0 || width > kMaxLineWidth) {
        if (width > 0 && width <= kMaxLineWidth) ResetToEmptyLine(current, width);
        return UnknownCoding(width);
    }
    if (input.at.position < 0 || input.at.position > input.limit) {
        ResetToEmptyLine(current, width);
        return kLineEnd;
    }
    switch (coding) {
        case kUncompressed:
        case kPcx:
        case kPackBits:
            return ByteRow(coding, current, width, input, row_scratch);
        default:
            return CcittLine(coding, reference, current, width, line, input);
    }
}

}  // namespace pixdoc::bilevel
