"""The open sea: full sail in the morning, the island small behind."""

from .. import shapes, style


def paint(pic, rng):
    horizon = 400
    pic.gradient([(0.0, "#2f6fa8"), (0.6, "#8ec0dc"), (1.0, "#f3e6c6")], 0, horizon)
    sun = pic.soft(90, opacity=0.6, compose="screen")
    sun.circle(820, 180, 130, "#fff0c0")
    sky = pic.layer()
    clouds = pic.soft(1.0)
    sky.circle(820, 180, 36, "#fffbea")
    for y, size, x0, x1 in ((110, 36, -80, 520), (260, 26, 300, 1100)):
        puffs = shapes.cloud_bank(rng, y, size=size, x0=x0, x1=x1)
        shapes.draw_puffs(clouds, puffs, "#ffffff", 0.95)
        shapes.draw_puffs(clouds, puffs, "#cddde8", 0.95, dy=size * 0.15)
    shapes.birds(sky, rng, 6, 560, 170, 120, "#2d3a48", size=11)
    water = pic.layer()
    water.rect(0, horizon, 1024, 768, "#1f6f95")
    back = shapes.island_profile(rng, 40, 240, horizon + 2, [(130, 90, 40, 1.4)], roughness=3)
    shapes.land(water, back, horizon + 2, "#6c98a8")
    shapes.sea(water, rng, horizon, 760, ["#3a8db0", "#2a7ca3", "#1d6b92", "#145c82"], "#e6f4f8", rows=9,
               amplitude=(1, 14), wavelength=(30, 240), rim_opacity=0.55)
    glints = pic.layer()
    shapes.glints(glints, rng, 120, 700, 940, horizon + 4, 560, "#fffbe6", (0.3, 0.9))
    ship = pic.layer()
    shapes.ship(ship, 500, 500, 360, "#1d2530", angle=-3, sails="full", sail_colour="#f5efe2",
                flag_colour="#c0463e")
    wake = pic.soft(6, opacity=0.8)
    for k in range(14):
        wake.ellipse(500 - 180 - k * 26, 506 + k * 3, 30 + k * 3, 4, "#f4fbff", 0.5 - k * 0.03)
    wake.ellipse(690, 498, 30, 8, "#f4fbff", 0.7)
    style.caption(pic, "Das offene Meer", "Mit vollen Segeln geht es hinaus auf das offene Meer, "
                  "der Heimat entgegen.", band=0.72)
    style.finish(pic, vignette=0.4)
