"""Setting out: the castaway walks into the jungle towards the smoke."""

from .. import shapes, style


def paint(pic, rng):
    pic.gradient([(0.0, "#7fb2cf"), (0.6, "#d7e2c4"), (1.0, "#eed9a4")], 0, 520)
    smoke = pic.soft(10, opacity=0.8)
    shapes.smoke(smoke, rng, 600, 330, 230, "#f4f1ea", opacity=0.8, drift=0.5)
    far = pic.layer()
    hills = shapes.island_profile(rng, -20, 1044, 380, [(640, 380, 130, 1.4), (200, 260, 80, 1.7)], roughness=8)
    shapes.land(far, hills, 800, "#9bb39a")
    mid = pic.layer()
    canopy = shapes.ridge(rng, -20, 1044, 400, 30, 0.6, 7)
    shapes.land(mid, canopy, 800, "#5f8262")
    for x in range(0, 1040, 30):
        if rng.random() < 0.5:
            shapes.palm(mid, rng, x, 430, rng.uniform(90, 150), rng.uniform(-0.2, 0.2), "#5f8262", fronds=7)
    path = pic.layer()
    path.poly([(380, 800), (640, 800), (560, 470), (520, 440)], "#d8bf8c")
    near = pic.layer()
    shapes.figure(near, 530, 540, 150, "#22301f", pose="walk", flip=True)
    shapes.bush(near, rng, 160, 560, 360, 90, "#22301f")
    shapes.bush(near, rng, 880, 560, 380, 100, "#22301f")
    shapes.palm(near, rng, 110, 570, 520, 0.2, "#162314")
    shapes.palm(near, rng, 930, 570, 480, -0.25, "#162314")
    frame = pic.layer()
    shapes.frond(frame, rng, -40, 760, -0.5, 420, "#0d160c", droop=-0.9)
    shapes.frond(frame, rng, 1064, 760, 3.64, 420, "#0d160c", droop=0.9)
    style.caption(pic, "Der Weg", "Er folgt dem Rauch.", band=0.75)
    style.finish(pic, vignette=0.45)
