"""The storm: the little ship climbing a mountain of sea under lightning."""

from .. import shapes, style


def paint(pic, rng):
    horizon = 380
    pic.gradient([(0.0, "#070b10"), (0.5, "#17242b"), (0.85, "#2c3f45"), (1.0, "#3c5357")], 0, horizon + 30)
    for y, size, lit, dark in ((300, 60, "#4b6670", "#26363d"), (190, 80, "#3e5661", "#1a262d"),
                               (50, 110, "#2d414b", "#0c1318")):
        puffs = shapes.cloud_bank(rng, y, size=size)
        clouds = pic.soft(1.0)
        shapes.draw_puffs(clouds, puffs, lit)
        shapes.draw_puffs(clouds, puffs, dark, dy=size * 0.12)
    flash = pic.soft(140, opacity=0.45, compose="screen")
    flash.circle(270, 190, 230, "#a9c8dc")
    bolt_glow = pic.soft(10, compose="screen")
    bolt = pic.layer()
    for i, pts in enumerate(shapes.lightning(rng, 300, 90, 210, horizon + 2)):
        bolt_glow.line(pts, "#a8d4ff", 16 if i == 0 else 9, 0.9)
        bolt.line(pts, "#f4fbff", 3.2 if i == 0 else 1.7, 1.0)
    water = pic.layer()
    shapes.sea(water, rng, horizon, 700, ["#23363c", "#1a2a30", "#132126", "#0d181c"], "#6d8b90", rows=8,
               amplitude=(2, 22), wavelength=(40, 260), rim_opacity=0.45)
    # the swell the ship rides, rising out of the rows
    swell = []
    for i in range(0, 1100, 12):
        d = (i - 540) / 360.0
        swell.append((i, 500 - 95 * max(0.0, 1 - d * d) ** 1.8))
    swell = shapes.chaikin(swell, 2)
    shapes.land(water, swell, 800, "#7a979b", 0.35)
    shapes.land(water, [(x, y + 5) for x, y in swell], 800, "#111d21")
    ship = pic.layer()
    shapes.ship(ship, 548, 418, 250, "#05080b", angle=-13, sails="full", sail_colour="#0b1115")
    lamp = pic.soft(16, compose="screen")
    lamp.circle(438, 392, 20, "#ffae45")
    ship.circle(438, 392, 3.2, "#ffe0a0")
    front = pic.layer()
    wave = shapes.wave_line(rng, 640, 60, 520, sharp=0.98, step=4, phase=2.2)
    shapes.land(front, wave, 800, "#86a2a6", 0.5)
    shapes.land(front, [(x, y + 7) for x, y in wave], 800, "#081013")
    spray = pic.soft(9, opacity=0.7)
    for run in shapes.crests(wave, 60, 640) + shapes.crests(swell, 70, 500):
        for x, y in run[::3]:
            spray.circle(x + rng.uniform(-6, 6), y - rng.uniform(0, 16), rng.uniform(5, 13), "#b7cbcf", 0.35)
    wet = pic.layer()
    shapes.rain(wet, rng, 650, "#b8c8d0", slant=0.32)
    style.caption(pic, "Der Sturm", "Auf der Heimfahrt gerät das kleine Schiff in einen gewaltigen Sturm. "
                  "Drei Tage lang schlagen die Wellen über das Deck.")
    style.finish(pic)
