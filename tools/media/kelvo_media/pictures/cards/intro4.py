"""The island seen whole: jungle hills, the volcano, no sail anywhere."""

from .. import shapes, style


def paint(pic, rng):
    horizon = 420
    pic.gradient([(0.0, "#3f7fb4"), (0.6, "#9cc6dc"), (1.0, "#e4ecd8")], 0, horizon)
    sky = pic.layer()
    clouds = pic.soft(1.0)
    for y, size, x0, x1 in ((120, 34, -50, 400), (190, 28, 600, 1100)):
        puffs = shapes.cloud_bank(rng, y, size=size, x0=x0, x1=x1)
        shapes.draw_puffs(clouds, puffs, "#ffffff", 0.9)
        shapes.draw_puffs(clouds, puffs, "#d5e3ec", 0.9, dy=size * 0.16)
    shapes.birds(sky, rng, 4, 300, 230, 90, "#2e3c4a", size=8)
    water = pic.layer()
    water.rect(0, horizon, 1024, 768, "#2f8ca0")
    shapes.sea(water, rng, horizon, 760, ["#3a98ab", "#2d8a9e", "#227c90"], "#bfe6ea", rows=7,
               amplitude=(1, 7), wavelength=(30, 160), rim_opacity=0.45)
    island = pic.layer()
    far = shapes.island_profile(rng, 120, 1000, horizon + 6, [(600, 260, 250, 1.3), (380, 240, 120, 1.8),
                                                               (820, 200, 110, 1.7)], roughness=8)
    shapes.land(island, far, horizon + 6, "#4f7f72")
    smoke_top = min(far, key=lambda p: p[1])
    pic_haze = pic.soft(30, opacity=0.35)
    pic_haze.ellipse(600, horizon - 40, 420, 60, "#dbe9e0")
    near = pic.layer()
    jungle = shapes.island_profile(rng, 140, 980, horizon + 56, [(560, 400, 116, 1.4), (300, 180, 86, 2.0),
                                                                  (830, 170, 80, 2.0)], roughness=10)
    shapes.land(near, jungle, horizon + 56, "#2f5d49")
    for x in range(180, 960, 38):
        y = min((p for p in jungle), key=lambda p: abs(p[0] - x))[1]
        if rng.random() < 0.6:
            shapes.palm(near, rng, x, y + 18, rng.uniform(40, 70), rng.uniform(-0.2, 0.2), "#24493a", fronds=7)
    beach = pic.layer()
    beach.ellipse(560, horizon + 58, 430, 18, "#efe0b8")
    beach.ellipse(560, horizon + 64, 440, 10, "#f8f4e6", 0.8)
    shapes.wreck(beach, rng, 860, horizon + 66, 60, "#3b3430", angle=-12)
    summit = pic.layer()
    summit.poly([(smoke_top[0] - 30, smoke_top[1] + 20), (smoke_top[0], smoke_top[1] - 4),
                 (smoke_top[0] + 34, smoke_top[1] + 22)], "#3f6a5e")
    frame = pic.layer()
    shapes.frond(frame, rng, -30, 40, 0.35, 360, "#14291f", droop=0.9)
    shapes.frond(frame, rng, -30, 150, 0.05, 300, "#1a3326", droop=0.9)
    shapes.frond(frame, rng, 1060, 30, 2.75, 340, "#14291f", droop=-0.9)
    style.caption(pic, "Die Insel", "Eine Insel, fern aller Seewege. Kein Segel am Horizont, kein Weg zurück.",
                  band=0.7)
    style.finish(pic, vignette=0.4)
