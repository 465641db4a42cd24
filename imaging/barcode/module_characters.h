// Groups the elements of a walk into six-element symbol characters measured in modules, for the
// decoders without gaps between characters (Code 128, Code 93). An element wider than B_5 is a
// quiet zone or noise: it drops the group in progress, and counting starts again after it.
#pragma once

#include <cstdint>

#include "imaging/barcode/element_stream.h"
#include "imaging/barcode/module_counter.h"

namespace pixdoc::barcode {

inline constexpr int kModuleCharacterElements = 6;

class ModuleCharacters {
public:
    enum class Event {
        kNone,       // the element joined the character in progress
        kReset,      // a quiet zone: whatever the decoder holds is dropped
        kCharacter,  // six elements are complete: Widths() holds their module counts or -1
    };

    explicit ModuleCharacters(const ModuleCounter& counter) : counter_(counter) {}

    Event Feed(const Element& e) {
        if (counter_.IsQuietZone(e.width)) {
            count_ = 0;
            return Event::kReset;
        }
        if (count_ == 0) first_ = e;
        last_ = e;
        widths_[count_++] = e.width;
        if (count_ < kModuleCharacterElements) return Event::kNone;
        count_ = 0;
        return Event::kCharacter;
    }

    // Module counts of the completed character (first element in the top hexadecimal digit),
    // corrected for ink spread; -1 when they do not add up.
    int32_t Widths() const { return counter_.Character(widths_, kModuleCharacterElements, false); }

    const Element& first() const { return first_; }  // first element of the last character
    const Element& last() const { return last_; }    // sixth element of the last character

private:
    const ModuleCounter& counter_;
    int widths_[kModuleCharacterElements] = {};
    int count_ = 0;
    Element first_;
    Element last_;
};

}  // namespace pixdoc::barcode
