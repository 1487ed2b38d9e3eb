"""The smoke: from a rock above the beach the castaway sees smoke rising
over the trees."""

from .. import shapes, style


def paint(pic, rng):
    horizon = 330
    pic.gradient([(0.0, "#3d5d86"), (0.5, "#c58f6e"), (0.85, "#f0b070"), (1.0, "#f6c98a")], 0, horizon + 40)
    sun = pic.soft(100, opacity=0.7, compose="screen")
    sun.circle(860, 300, 160, "#ffc070")
    sky = pic.layer()
    clouds = pic.soft(1.0)
    sky.circle(860, 296, 40, "#fff0c8")
    puffs = shapes.cloud_bank(rng, 120, size=34, x0=-60, x1=600)
    shapes.draw_puffs(clouds, puffs, "#f6c7a0", 0.85)
    shapes.draw_puffs(clouds, puffs, "#9e7b86", 0.85, dy=5)
    hills = pic.layer()
    far = shapes.island_profile(rng, -20, 1044, horizon + 40, [(300, 330, 150, 1.4), (620, 260, 110, 1.6),
                                                                (120, 200, 90, 1.8)], roughness=8)
    shapes.land(hills, far, 800, "#8a6f78")
    haze = pic.soft(40, opacity=0.45)
    haze.rect(-50, horizon + 10, 1100, horizon + 80, "#f2b98a")
    column = pic.soft(10, opacity=0.85)
    shapes.smoke(column, rng, 430, horizon - 20, 250, "#d9d2d0", opacity=0.75, drift=0.45)
    mid = pic.layer()
    mid_line = shapes.island_profile(rng, -20, 1044, horizon + 110, [(380, 420, 90, 1.3), (820, 260, 60, 1.6)],
                                     roughness=8)
    shapes.land(mid, mid_line, 800, "#5b4652")
    for x in range(0, 1040, 26):
        y = min(mid_line, key=lambda p: abs(p[0] - x))[1]
        if rng.random() < 0.55:
            shapes.palm(mid, rng, x, y + 12, rng.uniform(40, 80), rng.uniform(-0.25, 0.25), "#5b4652", fronds=7)
    near = pic.layer()
    cliff = [(-20, 470), (180, 440), (330, 452), (420, 488), (470, 560), (-20, 560)]
    near.poly(shapes.chaikin(cliff, 2), "#2b1f26")
    shapes.figure(near, 260, 446, 130, "#2b1f26", pose="look")
    shapes.palm(near, rng, 60, 470, 360, 0.12, "#2b1f26")
    shapes.bush(near, rng, 420, 500, 140, 40, "#2b1f26")
    ground = pic.layer()
    ground.rect(-10, 540, 1034, 780, "#2b1f26")
    style.caption(pic, "Der Rauch", "Doch über den Bäumen steigt dünner Rauch auf. "
                  "Er ist nicht allein auf dieser Insel.")
    style.finish(pic)
