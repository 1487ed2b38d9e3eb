"""The ship: at dawn a ship waits at the jetty; the old man sees the
castaway off."""

from .. import shapes, style


def paint(pic, rng):
    horizon = 380
    pic.gradient([(0.0, "#2b3f6a"), (0.45, "#a7849a"), (0.8, "#f1b48c"), (1.0, "#f9d4a2")], 0, horizon)
    sun = pic.soft(110, opacity=0.75, compose="screen")
    sun.circle(260, horizon, 180, "#ffc68a")
    sky = pic.layer()
    clouds = pic.soft(1.0)
    sky.circle(260, horizon, 46, "#fff1d2")
    puffs = shapes.cloud_bank(rng, 150, size=30, x0=380, x1=1100)
    shapes.draw_puffs(clouds, puffs, "#f7c9ac", 0.8)
    shapes.draw_puffs(clouds, puffs, "#8e6f88", 0.8, dy=5)
    shapes.birds(sky, rng, 4, 420, 220, 80, "#3b2c3c", size=8)
    water = pic.layer()
    water.rect(0, horizon, 1024, 768, "#9a8aa0")
    shapes.sea(water, rng, horizon, 740, ["#b397a6", "#8c7b96", "#6a6282", "#4c4a68"], "#ffd9b0", rows=8,
               amplitude=(1, 6), wavelength=(30, 140), rim_opacity=0.5)
    glints = pic.layer()
    shapes.glints(glints, rng, 110, 140, 380, horizon + 4, 560, "#ffe6bf", (0.3, 0.8))
    land = pic.layer()
    shore = shapes.island_profile(rng, 640, 1064, horizon + 30, [(980, 260, 150, 1.3)], roughness=8)
    shapes.land(land, shore, 800, "#3a2b3e")
    for x in (760, 840, 930, 1000):
        shapes.palm(land, rng, x, min(shore, key=lambda p: abs(p[0] - x))[1] + 14, rng.uniform(90, 140),
                    rng.uniform(-0.3, -0.05), "#3a2b3e", fronds=7)
    shapes.hut(land, 900, horizon - 20, 80, "#3a2b3e", door_colour="#ffb55a")
    ship = pic.layer()
    shapes.ship(ship, 440, 520, 330, "#1f1826", sails="full", sail_colour="#e9d3c0", flag_colour="#b2473f")
    near = pic.layer()
    shapes.jetty(near, 560, 1040, 520, "#1f1826")
    shapes.old_man(near, 780, 514, 104, "#1f1826", flip=True)
    shapes.figure(near, 690, 514, 112, "#1f1826", pose="wave", flip=True)
    style.caption(pic, "Das Schiff", "Der Alte hält Wort: Am Steg liegt ein Schiff bereit, "
                  "das den Fremden nach Hause bringen soll.")
    style.finish(pic)
