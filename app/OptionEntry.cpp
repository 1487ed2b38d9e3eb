#include "app/OptionEntry.h"

#include <algorithm>

namespace Kelvo {

bool OptionEntry::assign(const std::string& newValue)
{
    valid = std::find(allowedValues.begin(), allowedValues.end(), newValue) != allowedValues.end();
    if (valid) {
        value = newValue;
    }
    return valid;
}

} // namespace Kelvo
