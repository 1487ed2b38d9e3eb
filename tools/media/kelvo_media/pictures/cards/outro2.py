"""Home: the harbour town and its lighthouse at sunset."""

from .. import magick, shapes, style


def paint(pic, rng):
    horizon = 420
    pic.gradient([(0.0, "#1d2450"), (0.45, "#7a4a6e"), (0.8, "#e57f52"), (1.0, "#f7b86a")], 0, horizon)
    sun = pic.soft(100, opacity=0.8, compose="screen")
    sun.circle(560, horizon - 10, 170, "#ffaa55")
    sky = pic.layer()
    clouds = pic.soft(1.0)
    sky.circle(560, horizon - 6, 52, "#ffe3a8")
    shapes.stars(sky, rng, 40, 0, 0, 1024, 120, max_opacity=0.6)
    puffs = shapes.cloud_bank(rng, 230, size=22, x0=-60, x1=1100)
    shapes.draw_puffs(clouds, puffs, "#f49a6a", 0.7)
    shapes.draw_puffs(clouds, puffs, "#6a3e62", 0.7, dy=4)
    water = pic.layer()
    water.rect(0, horizon, 1024, 768, "#5b3a5a")
    shapes.sea(water, rng, horizon, 740, ["#8a5468", "#6a4560", "#4e3756", "#372a48"], "#ffbb77", rows=8,
               amplitude=(1, 7), wavelength=(30, 160), rim_opacity=0.55)
    glints = pic.layer()
    shapes.glints(glints, rng, 120, 460, 660, horizon + 4, 560, "#ffd28a", (0.3, 0.9))
    lights = magick.Layer(pic.width, pic.height)
    coast = pic.layer()
    headland = shapes.island_profile(rng, -30, 380, horizon + 16, [(120, 260, 80, 1.5)], roughness=5)
    shapes.land(coast, headland, 800, "#1f1426")
    shapes.town(coast, rng, 640, 1060, horizon + 16, "#1f1426", window_layer=lights, scale=1.1)
    coast.rect(600, horizon + 10, 1064, horizon + 34, "#1f1426")
    # the town's lights trembling on the water below it
    reflection = pic.layer(opacity=0.5)
    for _ in range(40):
        x = rng.uniform(640, 1020)
        y = horizon + 40 + rng.uniform(0, 70)
        reflection.line([(x, y), (x + rng.uniform(4, 14), y)], "#ffd27a", 2.0, 0.6)
    shapes.lighthouse(coast, 120, headland[40][1] + 8, 150, "#1f1426", stripe_colour="#2c1e33")
    beam = pic.soft(10, opacity=0.45, compose="screen")
    top = (120, headland[40][1] + 8 - 150 * 0.88)
    beam.poly([top, (420, top[1] - 40), (420, top[1] + 30)], "#ffe2a0", 0.6)
    beam.circle(top[0], top[1], 14, "#fff0c0")
    pic.place(lights)
    window_glow = pic.soft(6, opacity=0.9, compose="screen")
    for cmd in lights.commands:
        window_glow.commands.append(cmd)
    ship = pic.layer()
    shapes.ship(ship, 420, 560, 230, "#170f1d", angle=-2, sails="full", sail_colour="#2b1f31")
    style.caption(pic, "Die Heimat", "Nach vielen Tagen auf See taucht am Horizont endlich die Heimat auf.")
    style.finish(pic)
