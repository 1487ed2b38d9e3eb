"""The title: the island on the horizon under a rising moon, the name of
the game above it."""

from .. import shapes, style


def paint(pic, rng):
    horizon = 470
    pic.gradient([(0.0, "#050a18"), (0.45, "#15264a"), (0.8, "#4a4670"), (1.0, "#a0708a")], 0, horizon)
    sky = pic.layer()
    shapes.stars(sky, rng, 160, 0, 0, 1024, 330)
    moon_glow = pic.soft(110, opacity=0.6, compose="screen")
    moon_glow.circle(700, 380, 170, "#c8b8d8")
    moon = pic.layer()
    moon.circle(700, 380, 78, "#f2ead8")
    moon.circle(676, 360, 14, "#dcd2c2", 0.6)
    moon.circle(726, 398, 10, "#dcd2c2", 0.6)
    clouds = pic.soft(1.0)
    puffs = shapes.cloud_bank(rng, 400, size=26, x0=-80, x1=1100)
    shapes.draw_puffs(clouds, puffs, "#6b6a92", 0.8)
    shapes.draw_puffs(clouds, puffs, "#2a2f55", 0.8, dy=4)
    water = pic.layer()
    water.rect(0, horizon, 1024, 768, "#1c2344")
    shapes.sea(water, rng, horizon, 760, ["#2d3560", "#232b52", "#1a2146", "#121838"], "#c9bfe0", rows=8,
               amplitude=(1, 8), wavelength=(30, 180), rim_opacity=0.45)
    glints = pic.layer()
    shapes.glints(glints, rng, 110, 630, 770, horizon + 4, 700, "#f2ead8", (0.3, 0.85))
    land = pic.layer()
    island = shapes.island_profile(rng, 40, 560, horizon + 4, [(300, 220, 150, 1.3), (150, 120, 70, 1.8),
                                                               (450, 110, 60, 1.8)], roughness=6)
    shapes.land(land, island, horizon + 4, "#0b0f22")
    for x in range(70, 540, 22):
        if rng.random() < 0.5:
            y = min(island, key=lambda p: abs(p[0] - x))[1]
            shapes.palm(land, rng, x, y + 10, rng.uniform(36, 60), rng.uniform(-0.25, 0.25), "#0b0f22", fronds=7)
    smoke = pic.soft(8, opacity=0.6)
    shapes.smoke(smoke, rng, 330, horizon - 60, 120, "#8a8fb0", opacity=0.6, drift=0.6)
    shapes.ship(pic.layer(), 860, horizon + 6, 90, "#0b0f22", sails="full", sail_colour="#171c36")
    style.title(pic, "KELVO", 215, 170, colour="#e9c878", kerning=24, glow_opacity=0.5)
    shadows, line = style.text_block(pic)
    style.ornament(line, 512, 262, 250, gap=130)
    style.text_line(pic, line, 512, 271, "Ein Inselabenteuer", 30, style.PAPER, shadow_layer=shadows)
    style.finish(pic, vignette=0.5)
