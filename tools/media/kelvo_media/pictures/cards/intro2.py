"""The shipwreck: the ship broken on the cliffs of an unknown coast."""

from .. import shapes, style


def paint(pic, rng):
    horizon = 400
    pic.gradient([(0.0, "#05080c"), (0.55, "#121d24"), (1.0, "#2a3b41")], 0, horizon + 20)
    for y, size, lit, dark in ((320, 60, "#3a515a", "#1c2a31"), (140, 110, "#2a3d47", "#0a1116")):
        puffs = shapes.cloud_bank(rng, y, size=size)
        clouds = pic.soft(1.0)
        shapes.draw_puffs(clouds, puffs, lit)
        shapes.draw_puffs(clouds, puffs, dark, dy=size * 0.12)
    flash = pic.soft(120, opacity=0.5, compose="screen")
    flash.circle(820, 120, 200, "#b8d2e4")
    bolt_glow = pic.soft(10, compose="screen")
    bolt = pic.layer()
    for i, pts in enumerate(shapes.lightning(rng, 840, 40, 900, 300, branches=2)):
        bolt_glow.line(pts, "#a8d4ff", 14 if i == 0 else 8, 0.9)
        bolt.line(pts, "#f4fbff", 2.8 if i == 0 else 1.5, 1.0)
    water = pic.layer()
    shapes.sea(water, rng, horizon, 720, ["#1f3137", "#15242a", "#0e1a1e"], "#6b8a8f", rows=7,
               amplitude=(2, 18), wavelength=(40, 220), rim_opacity=0.4)
    cliffs = pic.layer()
    profile = shapes.island_profile(rng, 600, 1100, horizon + 150, [(820, 190, 330, 1.2), (1000, 160, 250, 1.5)],
                                    roughness=14)
    shapes.land(cliffs, profile, 800, "#0b1216")
    rim = pic.layer(opacity=0.55)
    rim.line(profile[10:70], "#8fb0b8", 2.0)
    wreck = pic.layer()
    shapes.ship(wreck, 610, 515, 260, "#04070a", angle=22, sails="torn", sail_colour="#0a1014")
    for x, y, w, h in ((520, 560, 120, 50), (690, 545, 90, 40), (440, 585, 70, 26)):
        shapes.rock(wreck, rng, x, y, w, h, "#070c0f")
    surf = pic.soft(12, opacity=0.8)
    for _ in range(60):
        x = rng.uniform(470, 760)
        surf.circle(x, 540 - rng.uniform(0, 90) * (1 - abs(x - 620) / 200), rng.uniform(6, 18), "#c8dadd", 0.4)
    debris = pic.layer()
    for _ in range(9):
        x, y = rng.uniform(150, 560), rng.uniform(560, 640)
        a = rng.uniform(-25, 25)
        debris.line(shapes.transform([(-22, 0), (22, 0)], x, y, rng.uniform(0.6, 1.3), a), "#0a0f12", 5)
    wet = pic.layer()
    shapes.rain(wet, rng, 500, "#b8c8d0", slant=0.45)
    style.caption(pic, "Der Schiffbruch", "In der dritten Nacht zerschellt das Schiff an den Klippen "
                  "einer unbekannten Küste. Nur einer überlebt.")
    style.finish(pic)
