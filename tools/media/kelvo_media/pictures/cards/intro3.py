"""Waking on the beach: morning light, driftwood, a lone figure in the sand."""

from .. import shapes, style


def paint(pic, rng):
    horizon = 300
    pic.gradient([(0.0, "#6f9cc0"), (0.55, "#c9c8c0"), (0.85, "#f1c9a0"), (1.0, "#f7d7b0")], 0, horizon)
    sun = pic.soft(90, opacity=0.8, compose="screen")
    sun.circle(250, 275, 150, "#ffd9a0")
    sky = pic.layer()
    clouds = pic.soft(1.0)
    sky.circle(250, 268, 34, "#fff1d6")
    for y, size in ((110, 40), (190, 30)):
        puffs = shapes.cloud_bank(rng, y, size=size, x0=420, x1=1124)
        shapes.draw_puffs(clouds, puffs, "#fbe7d2", 0.8)
        shapes.draw_puffs(clouds, puffs, "#d8c3bd", 0.8, dy=size * 0.14)
    shapes.birds(sky, rng, 5, 640, 150, 110, "#3a4250", size=10)
    water = pic.layer()
    water.rect(0, horizon, 1024, 460, "#7aa6b8")
    shapes.sea(water, rng, horizon, 420, ["#86afbf", "#77a4b6", "#6b9cae"], "#e9f1f0", rows=6,
               amplitude=(1, 5), wavelength=(30, 120), rim_opacity=0.5)
    glints = pic.layer()
    shapes.glints(glints, rng, 90, 150, 360, horizon + 4, 420, "#fff4dc", (0.3, 0.8))
    sand = pic.layer()
    shore = shapes.ridge(rng, -20, 1044, 0, 12, 0.55, 6)
    shore = [(x, 425 + 0.04 * (x - 500) + y) for x, y in shore]
    shapes.land(sand, [(x, y - 8) for x, y in shore], 800, "#f4f1e6", 0.8)   # the last wave's foam
    shapes.land(sand, shore, 800, "#c9a77f")
    shapes.land(sand, [(x, y + 26) for x, y in shore], 800, "#dcbc8f")
    pic.gradient([(0.0, "#e8cfa6", 0.0), (1.0, "#b58c60", 0.6)], 470, 768)
    things = pic.layer()
    shapes.figure(things, 540, 520, 160, "#3a2a22", pose="lie")
    for x, y, a, n in ((330, 500, -8, 1.6), (760, 478, 12, 1.2), (840, 540, -3, 2.0), (400, 548, 20, 1.0)):
        things.line(shapes.transform([(-30, 0), (30, 0)], x, y, n, a), "#5b4232", 8)
    shapes.rock(things, rng, 110, 520, 180, 80, "#6e5a4a")
    shade = pic.layer()
    shapes.palm(shade, rng, 990, 640, 420, -0.32, "#2f2a26")
    shapes.palm(shade, rng, 1070, 700, 520, -0.45, "#2b2622")
    style.caption(pic, "Am Strand", "Als er erwacht, liegt er allein an einem fremden Strand. "
                  "Vom Schiff ist nur Treibholz geblieben.", band=0.7)
    style.finish(pic, vignette=0.35)
