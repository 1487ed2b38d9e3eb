"""The cave: eyes in the dark and the crowned shape of the spider queen."""

from .. import shapes, style


def paint(pic, rng):
    pic.gradient([(0.0, "#0b1220"), (0.6, "#1b2a38"), (1.0, "#26323a")], 0, 560)
    moon = pic.soft(60, opacity=0.6, compose="screen")
    moon.circle(860, 110, 90, "#9fb7cf")
    sky = pic.layer()
    sky.circle(860, 110, 30, "#e7eef5")
    shapes.stars(sky, rng, 90, 0, 0, 1024, 300)
    rocks = pic.layer()
    cliff = shapes.island_profile(rng, -40, 1064, 560, [(480, 640, 470, 1.3)], roughness=18)
    shapes.land(rocks, cliff, 800, "#1c2530")
    lit = pic.layer(opacity=0.6)
    lit.line([p for p in cliff if p[0] > 520], "#7d93aa", 2.5)
    mouth = pic.layer()
    shapes.cave_mouth(mouth, rng, 470, 560, 420, 300, "#030405")
    inside = pic.soft(60, opacity=0.5, compose="screen")
    inside.ellipse(470, 470, 150, 90, "#5a1a22")
    queen = pic.layer()
    shapes.spider(queen, rng, 470, 430, 250, "#000000", crown=True)
    webs = pic.layer(opacity=0.35)
    for k in range(9):
        a = -170 + k * 20
        webs.line(shapes.transform([(0, 0), (200, 0)], 470, 280, 1.0, a), "#b8c4d0", 1.0)
    for r in (60, 110, 160):
        webs.line([shapes.transform([(r, 0)], 470, 280, 1.0, -170 + k * 20)[0] for k in range(9)], "#b8c4d0", 0.9)
    eyes_glow = pic.soft(8, compose="screen")
    eyes = pic.layer()
    for x, y, s in ((470, 430, 250), (330, 500, 90), (610, 505, 100), (390, 540, 70), (560, 548, 60),
                    (280, 548, 50), (660, 540, 55)):
        shapes.spider_eyes(eyes_glow, x, y, s * 1.5, "#ff3b2f")
        shapes.spider_eyes(eyes, x, y, s, "#ffb09a")
    for x, y, s in ((330, 500, 90), (610, 505, 100), (390, 540, 70), (560, 548, 60)):
        shapes.spider(pic.layer(opacity=0.9), rng, x, y, s, "#000000")
    ground = pic.layer()
    ground.rect(-10, 556, 1034, 780, "#0c1016")
    style.caption(pic, "Die Höhle", "Noch ahnt er nicht, was tief in den Höhlen der Insel auf ihn lauert …")
    style.finish(pic)
