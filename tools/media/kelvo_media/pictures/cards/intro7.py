"""The dead: shapes among crooked crosses under the moon."""

from .. import shapes, style


def paint(pic, rng):
    pic.gradient([(0.0, "#0a1418"), (0.55, "#1e3a3a"), (1.0, "#4a6a5c")], 0, 560)
    glow = pic.soft(90, opacity=0.65, compose="screen")
    glow.circle(300, 200, 170, "#b8d8c0")
    sky = pic.layer()
    sky.circle(300, 200, 62, "#eef5e6")
    sky.circle(285, 190, 10, "#d5e2cf", 0.6)
    sky.circle(318, 214, 7, "#d5e2cf", 0.6)
    shapes.stars(sky, rng, 60, 500, 0, 1024, 260)
    back = pic.layer()
    hill = shapes.island_profile(rng, -40, 1064, 520, [(700, 500, 120, 1.5), (150, 300, 70, 1.8)], roughness=8)
    shapes.land(back, hill, 800, "#243a36")
    for x in (120, 820, 930):
        shapes.dead_tree(back, rng, x, min(hill, key=lambda p: abs(p[0] - x))[1] + 6, rng.uniform(150, 220),
                         "#243a36")
    mist = pic.soft(30, opacity=0.5)
    for _ in range(12):
        mist.ellipse(rng.uniform(0, 1024), rng.uniform(470, 540), rng.uniform(80, 200), rng.uniform(14, 26),
                     "#9fc0ae", 0.5)
    front = pic.layer()
    ground = shapes.ridge(rng, -20, 1044, 548, 10, 0.5, 6)
    shapes.land(front, ground, 800, "#0b1413")
    for x, size, tilt in ((180, 70, -8), (260, 60, 6), (650, 64, -12), (780, 76, 9), (880, 58, -4), (420, 50, 14)):
        shapes.grave_cross(front, x, 552, size, "#0b1413", tilt)
    walkers = ((360, 170, False), (520, 190, True), (610, 150, False), (960, 160, True))
    for x, h, flip in walkers:
        shapes.zombie(front, rng, x, 556, h, "#0b1413", flip=flip)
    eyes = pic.soft(3, compose="screen")
    sharp = pic.layer()
    for x, h, flip in walkers:
        shapes.zombie_eyes(eyes, x, 556, h, "#c8ff9a")
        shapes.zombie_eyes(sharp, x, 556, h, "#eaffd0")
    near_mist = pic.soft(24, opacity=0.45)
    for _ in range(10):
        near_mist.ellipse(rng.uniform(0, 1024), rng.uniform(540, 580), rng.uniform(120, 260), 20, "#9fc0ae", 0.5)
    style.caption(pic, "Die Toten", "… und wer dort nachts zwischen den Gräbern umgeht.")
    style.finish(pic)
