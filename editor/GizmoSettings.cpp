#include "editor/GizmoSettings.h"

#include <cmath>
#include <cstdlib>

namespace Kelvo {

const char* gizmoModeName(GizmoMode mode)
{
    switch (mode) {
    case GizmoMode::kRotate:
        return "rotate";
    case GizmoMode::kScale:
        return "scale";
    case GizmoMode::kMove:
        break;
    }
    return "move";
}

const char* SnapSettings::stepName(Step which)
{
    return which == kMoveStep ? "grid" : which == kRotateStep ? "angle" : "scale";
}

bool SnapSettings::setStep(Step which, const std::string& text, std::string& refusal)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    // Blanks around the number are fine; anything else after it is not.
    while (end && *end == ' ') {
        ++end;
    }
    if (end == begin || !end || *end != '\0' || text.find_first_not_of(' ') == std::string::npos) {
        refusal = "'" + text + "' is not a number";
        return false;
    }
    if (!std::isfinite(value) || value <= 0) {
        refusal = "the step must be more than 0, not " + text;
        return false;
    }
    steps[which] = static_cast<float>(value);
    return true;
}

float SnapSettings::snap(float value, float step)
{
    if (step <= 0) {
        return value;
    }
    return static_cast<float>(std::round(static_cast<double>(value) / step) * step);
}

} // namespace Kelvo
