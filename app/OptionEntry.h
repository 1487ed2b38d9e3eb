#pragma once

#include <map>
#include <string>
#include <vector>

namespace Kelvo {

// One video setting of "options.cfg": the short key used in the file, the
// render system option it feeds, its value and the values it may take.
// The menu's option lists show the allowed values in this order.
struct OptionEntry {
    bool valid = false;
    std::string key;
    std::string engineName;
    std::string value;
    std::vector<std::string> allowedValues;

    // Takes the value only when it is one of the allowed values (exact,
    // case-sensitive); otherwise keeps the old one. Returns and records
    // whether the value was taken.
    bool assign(const std::string& newValue);
};

// The option table, ordered by key, owned by the Application.
using OptionTable = std::map<std::string, OptionEntry>;

} // namespace Kelvo
