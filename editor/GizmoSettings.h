#pragma once

#include <string>

namespace Kelvo {

// What the gizmo's handles do: move (arrows), rotate (one ring per axis) or
// scale (a bar per axis and a cube for all three).
enum class GizmoMode { kMove, kRotate, kScale };

// "move", "rotate", "scale": the words of the log and of the toolbar.
const char* gizmoModeName(GizmoMode mode);

// Snapping of gizmo drags: positions to a grid, angles and scale factors to
// steps. Every step stays a positive number: a new one is taken only from
// text that reads as one, so a typing slip never leaves a step that would
// snap everything to zero (or divide by it).
struct SnapSettings {
    enum Step { kMoveStep, kRotateStep, kScaleStep };
    static constexpr float kDefaultMoveStep = 1.0f;
    static constexpr float kDefaultRotateStep = 15.0f;
    static constexpr float kDefaultScaleStep = 0.1f;

    bool on = false;
    float steps[3] = {kDefaultMoveStep, kDefaultRotateStep, kDefaultScaleStep};

    float step(Step which) const { return steps[which]; }
    // Takes the text as the step; false (the step kept, why in `refusal`)
    // when it is empty, not a number, zero or negative.
    bool setStep(Step which, const std::string& text, std::string& refusal);
    static const char* stepName(Step which);

    // The multiple of the step nearest to the value.
    static float snap(float value, float step);
};

// The picking script's gizmo choices, shown by the toolbar.
struct GizmoSettings {
    GizmoMode mode = GizmoMode::kMove;
    // Handles and drag axes along the selection's own axes, not the world's.
    bool localAxes = false;
    SnapSettings snap;
};

} // namespace Kelvo
