"""Motion building blocks for the two-legged characters.

All angles follow the canonical rig (see rig.py): a negative turn about X
swings a hanging limb forward, a positive one bends a knee; a positive turn
about X leans the spine forward; a negative turn about Y brings the left hip
forward. Every periodic block takes the loop's length and whole numbers of
cycles, so a loop always ends in the pose it starts with.
"""

import math

from ..anim import ch


def gait(t, period, stride=28.0, knee_lift=45.0, arm_swing=22.0, bob=0.04, lean=3.0,
         hip_sway=5.0, elbow=18.0, elbow_swing=10.0, thigh_bias=0.0, crouch=0.0,
         drag=None, arms_forward=0.0, arm_spread=5.0, toe_off=18.0):
    """One stride cycle: the left leg passes under the body going forward at
    phase 0, the right at phase 0.5. drag ("L"/"R") shortens that leg's
    stride, stiffens its knee and keeps its toe down: a limp."""
    p = (t / period) % 1.0
    out = {}
    q0 = 2.0 * math.pi * p
    for side, phase in (("L", 0.0), ("R", 0.5)):
        q = q0 + 2.0 * math.pi * phase
        dragged = drag == side
        swing = math.sin(q)
        thigh = -((stride * (0.55 if dragged else 1.0)) * swing + thigh_bias)
        # the knee folds most just after the leg has passed under the body
        flex = max(0.0, math.cos(q - 0.35)) ** 1.5
        knee = (6.0 + crouch + knee_lift * (0.3 if dragged else 1.0) * flex
                + 8.0 * max(0.0, -math.cos(q)))
        # keep the sole near level (undo the shin's forward angle), then
        # roll off the toe as the leg trails
        shin_forward = -thigh - knee
        foot = shin_forward * 0.8 + toe_off * max(0.0, math.sin(q - 0.6)) * max(0.0, -swing)
        if dragged:
            foot += 20.0
        out["Thigh" + side] = ch(thigh, hip_sway * math.sin(q0), 0.0)
        out["Shin" + side] = ch(knee, 0.0, 0.0)
        out["Foot" + side] = ch(foot, 0.0, 0.0)
        spread = arm_spread if side == "L" else -arm_spread
        out["UpperArm" + side] = ch(arm_swing * swing - arms_forward, 0.0, spread)
        out["Forearm" + side] = ch(-(elbow + elbow_swing * max(0.0, -swing)), 0.0, 0.0)
    out["Hips"] = ch(lean * 0.3, -hip_sway * math.sin(q0), 1.5 * math.sin(q0),
                     0.0, bob * math.cos(2.0 * q0) - crouch * 0.004, 0.0)
    out["Spine"] = ch(lean * 0.4, hip_sway * 0.5 * math.sin(q0), -1.0 * math.sin(q0))
    out["Chest"] = ch(lean * 0.3 + 1.0 * math.cos(2.0 * q0), hip_sway * 0.5 * math.sin(q0), 0.0)
    out["Neck"] = ch(-lean * 0.4, 0.0, 0.0)
    out["Head"] = ch(-lean * 0.3 - 1.5 * math.cos(2.0 * q0), -hip_sway * 0.2 * math.sin(q0), 0.0)
    return out


def breathe(t, length, breaths=2, depth=1.5, sway=0.025, look=8.0, arm_rest=10.0):
    """Standing still: breathing, one slow shift of weight and a look to
    either side over the loop."""
    qb = 2.0 * math.pi * breaths * t / length
    q1 = 2.0 * math.pi * t / length
    b = math.sin(qb)
    return {
        "Hips": ch(0.0, 0.0, 1.2 * math.sin(q1), sway * math.sin(q1), 0.006 * b, 0.0),
        "Spine": ch(0.5 * depth * b, 0.0, -1.0 * math.sin(q1)),
        "Chest": ch(-depth * 0.6 * b, 0.0, 0.0),
        "Neck": ch(0.3 * depth * b, 0.0, 0.0),
        "Head": ch(2.0 * math.sin(2.0 * q1 + 1.0), look * math.sin(q1), 1.5 * math.sin(q1 + 0.5)),
        "UpperArmL": ch(1.5 * b, 0.0, 4.0 + 1.2 * b),
        "UpperArmR": ch(1.5 * b, 0.0, -4.0 - 1.2 * b),
        "ForearmL": ch(-arm_rest - 2.0 * b, 0.0, 0.0),
        "ForearmR": ch(-arm_rest - 2.0 * b, 0.0, 0.0),
        "ThighL": ch(0.0, 0.0, -1.2 * math.sin(q1)),
        "ThighR": ch(0.0, 0.0, -1.2 * math.sin(q1)),
    }


def jaw_talk(t, length, syllables=9, phrases=2, amount=12.0):
    """Syllables: an uneven open and close of the jaw, fading between phrases."""
    syll = abs(math.sin(math.pi * syllables * t / length))
    phrase = 0.55 + 0.45 * math.cos(2.0 * math.pi * phrases * t / length)
    return {"Jaw": ch(amount * syll * phrase, 0.0, 0.0)}
