// The options of an open SANE device by their names, read and written with the bounds that
// the device's descriptors and values are checked against: option counts, value sizes and
// constraint lists are capped, strings are ended, numbers are snapped to the constraint.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "acquisition/scanner/sane_device.h"

namespace scantora {

struct SaneOption {
    SANE_Int index = 0;
    std::string name;
    SANE_Value_Type type = SANE_TYPE_INT;
    SANE_Unit unit = SANE_UNIT_NONE;
    SANE_Int size = 0;  // bytes of the value
    bool settable = false;
    SANE_Constraint_Type constraint = SANE_CONSTRAINT_NONE;
    double min = 0, max = 0, quant = 0;  // range constraint, fixed-point values unfixed
    std::vector<double> words;           // word list constraint
    std::vector<std::string> strings;    // string list constraint
};

struct NumericBounds {
    double min;
    double max;
};

class SaneOptions {
public:
    explicit SaneOptions(SaneDevice& device);

    // Reads the descriptors again (the device asked for it after a change).
    void Reload();

    // The active option called `name`.
    const SaneOption* Find(std::string_view name) const;
    bool Has(std::string_view name) const { return Find(name) != nullptr; }

    // The first element of a BOOL, INT or FIXED option.
    std::optional<double> GetNumber(std::string_view name);
    std::optional<std::string> GetString(std::string_view name);
    // Sets a one-element INT, FIXED or BOOL option to the constraint's value nearest `value`.
    SANE_Status SetNumber(std::string_view name, double value);
    // Sets a string option; with a string list, to the entry equal to `value` ignoring case.
    SANE_Status SetString(std::string_view name, std::string_view value);

    // The range, or the extremes of the word list, of a numeric option.
    std::optional<NumericBounds> Bounds(std::string_view name) const;
    // The string list of a string option (empty without one).
    std::vector<std::string> Choices(std::string_view name) const;
    // The word list of a numeric option (empty without one).
    std::vector<double> Words(std::string_view name) const;

    const std::vector<SaneOption>& all() const { return options_; }

private:
    std::optional<std::vector<SANE_Word>> GetWords(const SaneOption& option);
    SANE_Status Write(const SaneOption& option, void* value);

    SaneDevice& device_;
    std::vector<SaneOption> options_;
};

// The value in `option`'s constraint nearest `value` (itself without a constraint).
double SnapToConstraint(const SaneOption& option, double value);

}  // namespace scantora
