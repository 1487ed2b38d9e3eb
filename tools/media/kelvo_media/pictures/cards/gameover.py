"""Game over: the castaway has fallen; what lives on the island closes in."""

from .. import shapes, style


def paint(pic, rng):
    pic.gradient([(0.0, "#12070a"), (0.5, "#3d1216"), (0.85, "#7a2a20"), (1.0, "#a8462a")], 0, 520)
    glow = pic.soft(120, opacity=0.6, compose="screen")
    glow.ellipse(512, 520, 420, 160, "#c2542e")
    back = pic.layer()
    hills = shapes.island_profile(rng, -30, 1054, 520, [(240, 300, 120, 1.5), (820, 320, 150, 1.4)], roughness=10)
    shapes.land(back, hills, 800, "#4a1a1a")
    for x in (140, 300, 760, 900):
        shapes.dead_tree(back, rng, x, min(hills, key=lambda p: abs(p[0] - x))[1] + 8, rng.uniform(120, 180),
                         "#4a1a1a")
    front = pic.layer()
    ground = shapes.ridge(rng, -20, 1044, 540, 8, 0.5, 6)
    shapes.land(front, ground, 800, "#0b0406")
    # the fallen castaway keeps a rim of the red light, or the ground would swallow him
    shapes.figure(front, 512, 544, 160, "#8a3424", pose="fallen")
    shapes.figure(front, 512, 547, 160, "#0b0406", pose="fallen")
    for x, s, flip in ((170, 140, False), (860, 160, True)):
        shapes.spider(front, rng, x, 520, s, "#0b0406")
    for x, h, flip in ((300, 170, False), (720, 180, True)):
        shapes.zombie(front, rng, x, 550, h, "#0b0406", flip=flip)
    eyes = pic.soft(3, compose="screen")
    for x, s in ((170, 140), (860, 160)):
        shapes.spider_eyes(eyes, x, 520, s * 1.4, "#ff5a3a")
    sharp = pic.layer()
    for x, h, flip in ((300, 170, False), (720, 180, True)):
        shapes.zombie_eyes(eyes, x, 550, h, "#d8ff9a")
        shapes.zombie_eyes(sharp, x, 550, h, "#f0ffd8")
    style.title(pic, "Spiel vorbei", 250, 96, colour="#e9c48a", glow="#ff7a4a", glow_opacity=0.5, kerning=2)
    line = pic.layer()
    style.ornament(line, 512, 290, 200)
    style.caption(pic, "Das Ende der Reise", "Die Insel behält ihre Geheimnisse – vorerst.")
    style.finish(pic, vignette=0.6)
