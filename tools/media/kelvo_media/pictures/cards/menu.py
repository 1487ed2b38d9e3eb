"""The main menu's background: the island at dusk from the sea. The left
part stays open, dark and quiet: the menu's buttons stand there."""

from .. import shapes, style


def paint(pic, rng):
    horizon = 500
    pic.gradient([(0.0, "#050a1a"), (0.5, "#1a2450"), (0.82, "#6a4a6e"), (1.0, "#c07a6a")], 0, horizon)
    sky = pic.layer()
    shapes.stars(sky, rng, 130, 0, 0, 1024, 380, max_opacity=0.8)
    moon_glow = pic.soft(90, opacity=0.55, compose="screen")
    moon_glow.circle(860, 150, 130, "#b7b6d8")
    moon = pic.layer()
    moon.circle(860, 150, 44, "#f3ecdc")
    moon.circle(846, 140, 8, "#dcd2c2", 0.6)
    clouds = pic.soft(1.0)
    puffs = shapes.cloud_bank(rng, 420, size=24, x0=420, x1=1100)
    shapes.draw_puffs(clouds, puffs, "#8c6a88", 0.8)
    shapes.draw_puffs(clouds, puffs, "#34305a", 0.8, dy=4)
    water = pic.layer()
    water.rect(0, horizon, 1024, 768, "#151b3a")
    shapes.sea(water, rng, horizon, 768, ["#2a2f5a", "#20264c", "#171d3e", "#101530"], "#d49a8a", rows=9,
               amplitude=(1, 9), wavelength=(30, 200), rim_opacity=0.45)
    glints = pic.layer()
    shapes.glints(glints, rng, 90, 790, 930, horizon + 4, 720, "#f3ecdc", (0.25, 0.8))
    island = pic.layer()
    profile = shapes.island_profile(rng, 430, 1064, horizon + 8, [(760, 260, 200, 1.3), (560, 140, 80, 1.8),
                                                                 (960, 160, 100, 1.7)], roughness=8)
    shapes.land(island, profile, horizon + 8, "#0a0d1e")
    for x in range(460, 1040, 24):
        if rng.random() < 0.55:
            y = min(profile, key=lambda p: abs(p[0] - x))[1]
            shapes.palm(island, rng, x, y + 10, rng.uniform(40, 75), rng.uniform(-0.25, 0.25), "#0a0d1e", fronds=7)
    shapes.hut(island, 640, min(profile, key=lambda p: abs(p[0] - 640))[1] + 8, 50, "#0a0d1e",
               door_colour="#ffb55a")
    hut_glow = pic.soft(8, opacity=0.8, compose="screen")
    hut_glow.circle(647, min(profile, key=lambda p: abs(p[0] - 640))[1] - 14, 12, "#ffb55a")
    smoke = pic.soft(8, opacity=0.55)
    shapes.smoke(smoke, rng, 640, min(profile, key=lambda p: abs(p[0] - 640))[1] - 40, 150, "#8a86a8",
                 opacity=0.6, drift=0.5)
    rocks = pic.layer()
    for x, w, h in ((980, 120, 40), (900, 70, 26)):
        shapes.rock(rocks, rng, x, horizon + 24, w, h, "#080a18")
    shapes.wreck(rocks, rng, 950, horizon + 14, 110, "#080a18", angle=-16)
    # the buttons' side: a soft dark veil over the left, no detail to fight the labels
    veil = pic.soft(160, opacity=0.7)
    veil.rect(-300, -100, 330, 900, style.INK)
    style.finish(pic, vignette=0.45)
