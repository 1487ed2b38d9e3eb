"""Silhouettes for the story pictures: land, sea, sky and the people and
things of the story, each drawn into a Layer in one colour (the pictures'
style is flat, layered cut-outs; light comes from the layers' order, from
haze between them and from glows). Every random choice comes from the rng
the caller passes, so a picture is the same on every run."""

import math


# --- geometry -------------------------------------------------------------------

def transform(points, dx=0.0, dy=0.0, scale=1.0, angle=0.0, flip=False):
    """Scales (mirrored in x when flip), rotates by angle degrees (clockwise on
    screen), then moves by (dx, dy)."""
    c = math.cos(math.radians(angle))
    s = math.sin(math.radians(angle))
    out = []
    for x, y in points:
        x *= -scale if flip else scale
        y *= scale
        out.append((dx + x * c - y * s, dy + x * s + y * c))
    return out


def chaikin(points, rounds=2, closed=False):
    """Corner cutting: turns a jagged outline into a smooth one."""
    for _ in range(rounds):
        out = []
        n = len(points)
        last = n if closed else n - 1
        if not closed:
            out.append(points[0])
        for i in range(last):
            (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
            out.append((0.75 * x0 + 0.25 * x1, 0.75 * y0 + 0.25 * y1))
            out.append((0.25 * x0 + 0.75 * x1, 0.25 * y0 + 0.75 * y1))
        if not closed:
            out.append(points[-1])
        points = out
    return points


def ridge(rng, x0, x1, y, amplitude, roughness=0.55, depth=7, ends=(0.0, 0.0)):
    """A horizon line by midpoint displacement: a list of (x, y) from x0 to x1."""
    heights = [ends[0], ends[1]]
    spread = amplitude
    for _ in range(depth):
        nxt = []
        for a, b in zip(heights, heights[1:]):
            nxt += [a, (a + b) / 2 + rng.uniform(-spread, spread)]
        nxt.append(heights[-1])
        heights = nxt
        spread *= roughness
    n = len(heights) - 1
    return [(x0 + (x1 - x0) * i / n, y + h) for i, h in enumerate(heights)]


def hill(x, centre, half_width, height, sharpness=1.6):
    """Height of a rounded peak at x (0 outside it)."""
    d = abs(x - centre) / half_width
    if d >= 1:
        return 0.0
    return height * (1 - d ** sharpness) ** 1.5


def land(layer, profile, bottom, colour, opacity=1.0):
    """Fills below a profile line down to y = bottom."""
    pts = list(profile) + [(profile[-1][0], bottom), (profile[0][0], bottom)]
    layer.poly(pts, colour, opacity)


def island_profile(rng, x0, x1, sea_y, peaks, roughness=6.0, steps=120):
    """A skyline of hills: peaks are (centre, half width, height, sharpness)."""
    line = ridge(rng, x0, x1, 0.0, roughness, 0.6, 7)
    out = []
    for i in range(steps + 1):
        x = x0 + (x1 - x0) * i / steps
        h = 0.0
        for peak in peaks:
            h = max(h, hill(x, *peak))
        j = min(len(line) - 1, int(round((x - x0) / (x1 - x0) * (len(line) - 1))))
        wobble = line[j][1] * min(1.0, h / 30.0)
        out.append((x, sea_y - h + wobble))
    return out


# --- sky --------------------------------------------------------------------------

def cloud(rng, cx, cy, width, height, puffs=9):
    """A heaped cloud with a flat base centred on (cx, cy), as a list of
    puffs (x, y, rx, ry)."""
    out = []
    for i in range(puffs):
        t = (i + 0.5) / puffs
        x = cx - width / 2 + width * t + rng.uniform(-0.04, 0.04) * width
        lift = math.sin(math.pi * t) ** 0.8
        r = height * (0.35 + 0.45 * lift) * rng.uniform(0.8, 1.15)
        out.append((x, cy - r * 0.55 * lift, r, r))
    out.append((cx, cy, width * 0.55, height * 0.28))
    return out


def cloud_bank(rng, y, x0=-100, x1=1124, size=60):
    puffs = []
    x = x0
    while x < x1:
        w = size * rng.uniform(2.0, 4.0)
        puffs += cloud(rng, x + w / 2, y + rng.uniform(-size * 0.3, size * 0.3), w, size * rng.uniform(0.7, 1.3))
        x += w * rng.uniform(0.5, 0.8)
    return puffs


def draw_puffs(layer, puffs, colour, opacity=1.0, dx=0.0, dy=0.0, grow=0.0):
    """Draws cloud puffs; drawing them lit first and again dark a little
    lower leaves a rim of light along their tops. Hundreds of big ellipses
    are the slowest thing in a picture: draw them into a soft layer (half
    size), where their edges may blur anyway."""
    for x, y, rx, ry in puffs:
        layer.ellipse(x + dx, y + dy, rx + grow, ry + grow, colour, opacity)


def stars(layer, rng, count, x0, y0, x1, y1, colour="#ffffff", max_opacity=0.9):
    for _ in range(count):
        r = rng.choice((0.6, 0.7, 0.8, 1.0, 1.0, 1.3, 1.7))
        layer.circle(rng.uniform(x0, x1), rng.uniform(y0, y1), r, colour, rng.uniform(0.25, max_opacity))


def lightning(rng, x0, y0, x1, y1, jag=22.0, branches=3):
    """A forked bolt as polylines: the trunk first, then its branches."""
    def bolt(xa, ya, xb, yb, steps, jitter):
        pts = [(xa, ya)]
        for i in range(1, steps):
            t = i / steps
            pts.append((xa + (xb - xa) * t + rng.uniform(-jitter, jitter), ya + (yb - ya) * t
                        + rng.uniform(-jitter * 0.3, jitter * 0.3)))
        pts.append((xb, yb))
        return pts
    trunk = bolt(x0, y0, x1, y1, 14, jag)
    out = [trunk]
    for _ in range(branches):
        i = rng.randrange(3, len(trunk) - 4)
        bx, by = trunk[i]
        length = rng.uniform(0.15, 0.3) * math.hypot(x1 - x0, y1 - y0)
        ang = math.atan2(y1 - y0, x1 - x0) + rng.choice((-1, 1)) * rng.uniform(0.4, 0.9)
        out.append(bolt(bx, by, bx + length * math.cos(ang), by + length * math.sin(ang), 6, jag * 0.6))
    return out


def rain(layer, rng, count, colour, slant=0.35, length=(18, 40), opacity=(0.08, 0.25), area=(0, 0, 1024, 768)):
    x0, y0, x1, y1 = area
    for _ in range(count):
        x = rng.uniform(x0 - 100, x1)
        y = rng.uniform(y0, y1)
        n = rng.uniform(*length)
        layer.line([(x, y), (x + n * slant, y + n)], colour, rng.uniform(0.8, 1.6), rng.uniform(*opacity))


def birds(layer, rng, count, cx, cy, spread, colour, size=9.0, opacity=1.0):
    for _ in range(count):
        x = cx + rng.uniform(-spread, spread)
        y = cy + rng.uniform(-spread * 0.35, spread * 0.35)
        s = size * rng.uniform(0.6, 1.2)
        lift = rng.uniform(0.2, 0.6)
        layer.line([(x - s, y - s * lift), (x - s * 0.45, y - s * 0.35), (x, y + s * 0.12),
                    (x + s * 0.45, y - s * 0.35), (x + s, y - s * lift)], colour, max(1.2, s * 0.2), opacity)


# --- sea --------------------------------------------------------------------------

def wave_line(rng, y, amplitude, wavelength, x0=-40, x1=1064, phase=None, sharp=0.75, step=6.0):
    """A trochoid: round troughs, pointed crests, as on a real swell."""
    phase = rng.uniform(0, math.tau) if phase is None else phase
    pts = []
    k = math.tau / wavelength
    r = amplitude * sharp
    theta = 0.0
    x_guess = x0
    while x_guess <= x1 + wavelength:
        theta = k * x_guess + phase
        x = x_guess - r * math.sin(theta)
        wobble = amplitude * 0.25 * math.sin(0.37 * k * x_guess + phase * 1.7)
        pts.append((x, y - amplitude * math.cos(theta) - wobble))
        x_guess += step
    return pts


def crests(points, amplitude, y):
    """The points of a wave line near its crests, in runs."""
    runs, run = [], []
    for x, py in points:
        if py < y - amplitude * 0.55:
            run.append((x, py))
        elif run:
            runs.append(run)
            run = []
    if run:
        runs.append(run)
    return [r for r in runs if len(r) > 1]


def sea(layer, rng, top, bottom, colours, rim, rows=7, amplitude=(3, 30), wavelength=(50, 320), sharp=0.8,
        rim_opacity=0.5, foam=None, foam_opacity=0.0):
    """Rows of waves from the horizon (top) to the bottom edge, growing as
    they come nearer; each row's crest catches a rim of light. colours run
    from far to near. Returns the nearest row's line."""
    line = None
    ys = [top + (bottom - top) * ((i / max(1, rows - 1)) ** 1.35) for i in range(rows)]
    for i in range(rows):
        t = i / max(1, rows - 1)
        y = ys[i]
        amp = amplitude[0] + (amplitude[1] - amplitude[0]) * t
        length = wavelength[0] + (wavelength[1] - wavelength[0]) * t
        colour = colours[min(len(colours) - 1, int(t * (len(colours) - 1) + 0.5))]
        line = wave_line(rng, y, amp, length, sharp=sharp, step=max(3.0, length / 24))
        # each row only has to reach below the next one: a band, not a fill to the
        # bottom edge (a polygon's cost grows with the area it covers)
        depth = (ys[i + 1] - y + amp * 2.5 + 6) if i + 1 < rows else 900
        band(layer, line, depth, rim, rim_opacity if i else rim_opacity * 0.5)
        band(layer, [(x, py + max(1.5, amp * 0.22)) for x, py in line], depth, colour)
        if foam and i > 0:
            for run in crests(line, amp, y):
                layer.line(run, foam, max(1.0, amp * 0.12), foam_opacity)
    return line


def band(layer, line, depth, colour, opacity=1.0):
    """The strip between a line and the same line `depth` pixels lower."""
    layer.poly(list(line) + [(x, y + depth) for x, y in reversed(line)], colour, opacity)


def glints(layer, rng, count, x0, x1, y0, y1, colour, opacity=(0.15, 0.6), length=(6, 30)):
    """Short horizontal sparkles on water under a light."""
    for _ in range(count):
        y = rng.uniform(y0, y1)
        depth = (y - y0) / max(1.0, y1 - y0)
        n = rng.uniform(*length) * (0.4 + depth)
        x = rng.uniform(x0, x1)
        layer.line([(x - n / 2, y), (x + n / 2, y)], colour, 1.0 + depth * 1.5, rng.uniform(*opacity))


# --- things -----------------------------------------------------------------------

def palm(layer, rng, x, y, height, lean, colour, fronds=8, opacity=1.0):
    """A palm with a curved trunk leaning by `lean` (fraction of its height)."""
    top = (x + lean * height, y - height)
    mid = (x + lean * height * 0.2, y - height * 0.55)
    spine = []
    for i in range(13):
        t = i / 12
        a = (1 - t) ** 2
        b = 2 * (1 - t) * t
        c = t * t
        spine.append((a * x + b * mid[0] + c * top[0], a * y + b * mid[1] + c * top[1]))
    left, right = [], []
    for i, (px, py) in enumerate(spine):
        t = i / (len(spine) - 1)
        w = height * (0.035 - 0.017 * t) * (1.0 + 0.15 * (i % 2))
        left.append((px - w, py))
        right.append((px + w, py))
    layer.poly(left + right[::-1], colour, opacity)
    for f in range(fronds):
        base = -math.pi / 2 + (f - (fronds - 1) / 2) * (math.pi * 1.05 / fronds) + rng.uniform(-0.15, 0.15)
        frond(layer, rng, top[0], top[1], base, height * rng.uniform(0.38, 0.5), colour, opacity)
    layer.circle(top[0], top[1] + height * 0.02, height * 0.035, colour, opacity)


def frond(layer, rng, x, y, angle, length, colour, opacity=1.0, droop=1.1, leaflets=14):
    """A palm leaf: a drooping spine with saw-toothed leaflets."""
    spine = []
    for i in range(leaflets + 1):
        t = i / leaflets
        a = angle + droop * t * t * (1 if math.cos(angle) >= 0 else -1)
        if i == 0:
            px, py = x, y
        else:
            px = spine[-1][0] + math.cos(a) * length / leaflets
            py = spine[-1][1] + math.sin(a) * length / leaflets
        spine.append((px, py))
    upper, lower = [], []
    for i in range(1, len(spine)):
        (ax, ay), (bx, by) = spine[i - 1], spine[i]
        dx, dy = bx - ax, by - ay
        n = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / n, dx / n
        t = i / leaflets
        w = length * 0.16 * math.sin(math.pi * min(1.0, t * 1.1)) + 1.0
        tip = 1.6 + 0.2 * rng.random()
        upper += [(ax + nx * w * 0.25, ay + ny * w * 0.25), (bx + nx * w * tip + dx * 0.6, by + ny * w * tip + dy * 0.6)]
        lower += [(ax - nx * w * 0.25, ay - ny * w * 0.25), (bx - nx * w * tip + dx * 0.6, by - ny * w * tip + dy * 0.6)]
    layer.poly([spine[0]] + upper + [spine[-1]] + lower[::-1], colour, opacity)


def bush(layer, rng, x, y, width, height, colour, opacity=1.0):
    for i in range(7):
        t = (i + 0.5) / 7
        r = height * (0.4 + 0.35 * math.sin(math.pi * t)) * rng.uniform(0.8, 1.1)
        layer.circle(x - width / 2 + width * t, y - r * 0.6, r, colour, opacity)
    layer.rect(x - width / 2, y - height * 0.3, x + width / 2, y + 2, colour, opacity)


def rock(layer, rng, x, y, width, height, colour, opacity=1.0, corners=9):
    pts = []
    for i in range(corners):
        a = math.pi + math.pi * i / (corners - 1)
        r = rng.uniform(0.75, 1.0)
        pts.append((x + math.cos(a) * width / 2 * r, y + math.sin(a) * height * r))
    pts = chaikin(pts + [(x + width / 2, y + 3), (x - width / 2, y + 3)], 1, closed=True)
    layer.poly(pts, colour, opacity)


def ship_parts(sails="full", length=220.0):
    """A two-masted sailing ship, waterline at y = 0, bow to the right, in
    units of its length. Returns (hull polygon, sail polygons, spar and
    rigging lines as (points, width))."""
    s = length / 200.0
    hull = [(-100, -34), (-88, -36), (-82, -26), (-40, -22), (20, -21), (70, -24), (98, -32), (132, -44),
            (134, -41), (100, -26), (92, -10), (78, 2), (40, 8), (-40, 8), (-80, 4), (-96, -12)]
    hull = [(x * s, y * s) for x, y in hull]
    masts = [(-28, 178), (38, 196)]
    sail_polys, lines = [], []
    for mx, h in masts:
        lines.append(([(mx * s, -22 * s), (mx * s, -h * s)], 4.0 * s))
        if sails == "none":
            continue
        levels = [(0.22, 0.5, 52), (0.52, 0.78, 44), (0.8, 0.97, 34)]
        if sails == "torn":
            levels = levels[:2]
        for lo, hi, half in levels:
            y0 = -h * hi * s
            y1 = -h * lo * s
            w0 = half * 0.85 * s
            w1 = half * s
            belly = (y1 - y0) * 0.12 * s
            if sails == "torn":
                poly = [(mx * s - w0, y0), (mx * s + w0, y0), (mx * s + w1 * 0.7, y1 - belly * 3),
                        (mx * s + w1 * 0.2, y1 - (y1 - y0) * 0.5), (mx * s - w1 * 0.1, y1 - belly * 2),
                        (mx * s - w1 * 0.6, y1 - (y1 - y0) * 0.35), (mx * s - w1, y1 - belly)]
            else:
                poly = [(mx * s - w0, y0), (mx * s + w0, y0), (mx * s + w1 + belly, (y0 + y1) / 2),
                        (mx * s + w1, y1), (mx * s, y1 + belly), (mx * s - w1, y1),
                        (mx * s - w1 - belly, (y0 + y1) / 2)]
            sail_polys.append(poly)
            lines.append(([(mx * s - w0 * 1.05, y0), (mx * s + w0 * 1.05, y0)], 2.5 * s))
    if sails == "full":
        sail_polys.append([(134 * s, -44 * s), (38 * s, -190 * s), (60 * s, -60 * s)])
    lines.append(([(134 * s, -44 * s), (38 * s, -196 * s), (-28 * s, -178 * s), (-100 * s, -36 * s)], 1.2 * s))
    lines.append(([(-100 * s, -36 * s), (-112 * s, -70 * s)], 2.0 * s))  # flag staff
    return hull, sail_polys, lines


def ship(layer, x, y, length, colour, angle=0.0, sails="full", sail_colour=None, flip=False, opacity=1.0,
         flag_colour=None):
    hull, sail_polys, lines = ship_parts(sails, length)
    for points, width in lines:
        layer.line(transform(points, x, y, 1.0, angle, flip), colour, width, opacity)
    for poly in sail_polys:
        # a thin seam in the hull's colour keeps neighbouring sails apart
        layer.poly(transform(poly, x, y, 1.0, angle, flip), sail_colour or colour, opacity,
                   stroke=colour, stroke_width=max(1.0, length / 160.0))
    layer.poly(transform(hull, x, y, 1.0, angle, flip), colour, opacity)
    if flag_colour:
        s = length / 200.0
        flag = [(-112 * s, -70 * s), (-136 * s, -64 * s), (-112 * s, -58 * s)]
        layer.poly(transform(flag, x, y, 1.0, angle, flip), flag_colour, opacity)


def wreck(layer, rng, x, y, length, colour, angle=-14.0, opacity=1.0):
    """A broken hull stuck on rocks: the bow raised, masts snapped."""
    s = length / 200.0
    hull = [(-60, -20), (-30, -22), (20, -21), (70, -24), (98, -32), (132, -44), (134, -41), (100, -26), (92, -10),
            (78, 2), (40, 8), (-20, 8), (-34, 0), (-48, 10), (-58, -4), (-70, 6), (-66, -12)]
    layer.poly(transform([(px * s, py * s) for px, py in hull], x, y, 1.0, angle), colour, opacity)
    # ribs where the stern broke away
    for rx in (-56, -46, -36):
        layer.line(transform([(rx * s, -16 * s), (rx * s - 6 * s, -40 * s)], x, y, 1.0, angle), colour, 3 * s, opacity)
    layer.line(transform([(38 * s, -21 * s), (44 * s, -120 * s)], x, y, 1.0, angle), colour, 5 * s, opacity)
    layer.line(transform([(44 * s, -120 * s), (80 * s, -150 * s)], x, y, 1.0, angle), colour, 4 * s, opacity)
    layer.line(transform([(-10 * s, -21 * s), (-14 * s, -70 * s)], x, y, 1.0, angle), colour, 5 * s, opacity)
    layer.line(transform([(134 * s, -44 * s), (44 * s, -120 * s)], x, y, 1.0, angle), colour, 1.2 * s, opacity)
    rag = [(44 * s, -112 * s), (70 * s, -104 * s), (62 * s, -80 * s), (54 * s, -92 * s), (46 * s, -76 * s)]
    layer.poly(transform(rag, x, y, 1.0, angle), colour, opacity * 0.9)


def figure(layer, x, y, height, colour, pose="stand", flip=False, opacity=1.0, angle=0.0):
    """A person in silhouette, feet at (x, y), `height` tall. Poses: stand,
    walk, lie (washed ashore), wave, helm (hands on a wheel), look (hand
    shading the eyes), fallen."""
    u = height / 100.0
    limbs = {
        # (hip, knee, foot) per leg, (shoulder, elbow, hand) per arm, in units of height/100, y up negative
        "stand": ([(-4, -50), (-5, -26), (-6, 0)], [(4, -50), (5, -26), (6, 0)],
                  [(-9, -80), (-12, -62), (-12, -46)], [(9, -80), (12, -62), (13, -46)]),
        "walk": ([(-3, -50), (-11, -27), (-17, -2)], [(3, -50), (9, -25), (8, 0)],
                 [(-8, -80), (-14, -64), (-13, -50)], [(8, -80), (13, -64), (20, -52)]),
        "wave": ([(-4, -50), (-5, -26), (-7, 0)], [(4, -50), (5, -26), (7, 0)],
                 [(-9, -80), (-12, -62), (-12, -46)], [(9, -80), (20, -92), (24, -112)]),
        "look": ([(-4, -50), (-6, -26), (-9, 0)], [(4, -50), (6, -26), (8, 0)],
                 [(-9, -80), (-11, -62), (-10, -47)], [(9, -80), (15, -84), (5, -91)]),
        "helm": ([(-5, -50), (-10, -26), (-14, 0)], [(5, -50), (8, -26), (12, 0)],
                 [(-8, -80), (4, -70), (16, -72)], [(8, -80), (14, -66), (18, -64)]),
    }
    if pose in ("lie", "fallen"):
        # face down along the ground, head to the left (right when flipped):
        # one arm reaching ahead, one knee drawn up, so it reads as a person
        def put(points):
            return transform([(px * u, py * u) for px, py in points], x, y, 1.0, angle, flip)
        torso = [(-34, -15), (-10, -17), (14, -14), (22, -10), (22, -1), (-10, -1), (-34, -2)]
        layer.poly(put(torso), colour, opacity)
        layer.line(put([(18, -7), (36, -15), (52, -4)]), colour, 8.0 * u, opacity)   # bent leg
        layer.line(put([(18, -4), (40, -3), (58, -3)]), colour, 8.0 * u, opacity)    # straight leg
        layer.line(put([(56, -3), (62, -8)]), colour, 5.0 * u, opacity)              # foot
        hx, hy = put([(-44, -10)])[0]
        layer.circle(hx, hy, 8.0 * u, colour, opacity)
        layer.poly(put([(-50, -15), (-45, -20), (-38, -18), (-36, -12), (-42, -15)]), colour, opacity)  # hair
        arm = [(-30, -12), (-46, -2), (-66, -1)] if pose == "lie" else [(-30, -12), (-20, -1), (-4, 0)]
        layer.line(put(arm), colour, 5.5 * u, opacity)
        layer.line(put([(-20, -14), (-12, -24), (2, -22)]), colour, 5.5 * u, opacity)  # the other arm, bent
        return
    leg_l, leg_r, arm_l, arm_r = limbs[pose]
    def put(points):
        return transform([(px * u, py * u) for px, py in points], x, y, 1.0, angle, flip)
    for leg in (leg_l, leg_r):
        layer.line(put(leg), colour, 8.5 * u, opacity)
    torso = [(-10, -82), (10, -82), (8, -62), (9, -48), (-9, -48), (-8, -62)]
    layer.poly(put(torso), colour, opacity)
    for arm in (arm_l, arm_r):
        layer.line(put(arm), colour, 6.0 * u, opacity)
    hx, hy = put([(0, -91)])[0]
    layer.circle(hx, hy, 8.0 * u, colour, opacity)
    # a shock of hair and a neckerchief end: a young sailor, not a stick figure
    layer.poly(put([(-8, -94), (-3, -101), (2, -100), (9, -96), (11, -90), (4, -96)]), colour, opacity)
    layer.poly(put([(-2, -84), (-9, -76), (-13, -77), (-5, -85)]), colour, opacity)


def old_man(layer, x, y, height, colour, flip=False, opacity=1.0):
    u = height / 100.0
    def put(points):
        return transform([(px * u, py * u) for px, py in points], x, y, 1.0, 0.0, flip)
    robe = [(-12, -78), (8, -80), (14, -60), (17, -20), (21, 0), (-19, 0), (-16, -24), (-15, -58)]
    layer.poly(put(robe), colour, opacity)
    hx, hy = put([(2, -86)])[0]
    layer.circle(hx, hy, 8.0 * u, colour, opacity)
    layer.poly(put([(-3, -84), (10, -82), (7, -64), (3, -70)]), colour, opacity)  # beard
    layer.poly(put([(-8, -90), (-4, -98), (8, -99), (12, -90)]), colour, opacity)  # hood
    layer.line(put([(10, -76), (22, -62), (27, -56)]), colour, 5.5 * u, opacity)
    layer.line(put([(28, -108), (30, 0)]), colour, 3.2 * u, opacity)  # staff
    layer.circle(*put([(28, -108)])[0], 3.0 * u, colour, opacity)


def zombie(layer, rng, x, y, height, colour, flip=False, opacity=1.0):
    u = height / 100.0
    def put(points):
        return transform([(px * u, py * u) for px, py in points], x, y, 1.0, 0.0, flip)
    layer.line(put([(-4, -48), (-7, -25), (-12, 0)]), colour, 8 * u, opacity)
    layer.line(put([(4, -48), (10, -24), (9, 0)]), colour, 8 * u, opacity)
    # hunched: the back rounds forward and the head hangs in front of the chest
    torso = [(-10, -70), (-4, -80), (8, -84), (16, -78), (13, -62), (10, -44), (-8, -42), (-11, -56)]
    layer.poly(put(torso), colour, opacity)
    layer.line(put([(12, -78), (28, -72), (42, -70), (47, -63)]), colour, 6 * u, opacity)
    layer.line(put([(4, -76), (20, -66), (36, -63), (41, -56)]), colour, 6 * u, opacity)
    hx, hy = put([(17, -87)])[0]
    layer.circle(hx, hy, 7.5 * u, colour, opacity)
    for i in range(4):  # rags
        rx = -8 + i * 5 + rng.uniform(-1, 1)
        layer.poly(put([(rx, -44), (rx + 4, -44), (rx + 2, -34 - rng.uniform(0, 6))]), colour, opacity)


def zombie_eyes(layer, x, y, height, colour, flip=False, opacity=1.0):
    u = height / 100.0
    for dx in (16, 21):
        ex, ey = transform([(dx * u, -88 * u)], x, y, 1.0, 0.0, flip)[0]
        layer.circle(ex, ey, 1.1 * u, colour, opacity)


def spider(layer, rng, x, y, size, colour, opacity=1.0, crown=False):
    """A spider seen from the front-side, body at (x, y), `size` across its legs."""
    u = size / 100.0
    for side in (-1, 1):
        for i in range(4):
            spread = 0.55 + i * 0.16
            hip = (x + side * 6 * u, y - 2 * u + i * 2 * u)
            knee = (x + side * (18 + i * 6) * u * (1 + spread * 0.6), y - (26 - i * 3) * u)
            foot = (x + side * (30 + i * 7) * u * (1 + spread * 0.5), y + (20 + i * 2) * u)
            layer.line([hip, knee, foot], colour, (4.0 - i * 0.4) * u, opacity)
    layer.ellipse(x, y - 4 * u, 16 * u, 12 * u, colour, opacity)       # abdomen behind
    layer.ellipse(x, y + 4 * u, 10 * u, 8 * u, colour, opacity)        # head
    if crown:
        for k in range(-2, 3):
            layer.poly([(x + k * 5 * u - 2.5 * u, y - 12 * u), (x + k * 5 * u, y - (26 - abs(k) * 4) * u),
                        (x + k * 5 * u + 2.5 * u, y - 12 * u)], colour, opacity)


def spider_eyes(layer, x, y, size, colour, opacity=1.0):
    u = size / 100.0
    for dx, dy, r in ((-3.5, 3, 1.6), (3.5, 3, 1.6), (-7, 1.5, 1.1), (7, 1.5, 1.1)):
        layer.circle(x + dx * u, y + dy * u, r * u, colour, opacity)


def hut(layer, x, y, width, colour, door_colour=None, opacity=1.0):
    """An island hut on short stilts, ground at y, centred on x."""
    w = width
    h = width * 0.5
    for sx in (-0.42, -0.1, 0.22, 0.42):
        layer.line([(x + sx * w, y), (x + sx * w, y - h * 0.25)], colour, w * 0.03, opacity)
    layer.rect(x - w * 0.44, y - h * 0.95, x + w * 0.44, y - h * 0.22, colour, opacity)
    roof = [(x - w * 0.6, y - h * 0.8), (x - w * 0.05, y - h * 1.75), (x + w * 0.05, y - h * 1.78),
            (x + w * 0.62, y - h * 0.78)]
    # thatch hangs in uneven tufts along the eaves
    fringe = []
    for i in range(13):
        t = i / 12
        fringe.append((x + w * 0.62 - w * 1.22 * t, y - h * (0.78 + 0.02 * t) + (w * 0.04 if i % 2 else 0)))
    layer.poly(roof + fringe, colour, opacity)
    if door_colour:
        layer.rect(x + w * 0.08, y - h * 0.72, x + w * 0.26, y - h * 0.24, door_colour, opacity)
        layer.rect(x - w * 0.3, y - h * 0.7, x - w * 0.14, y - h * 0.52, door_colour, opacity)
    layer.line([(x - w * 0.5, y - h * 0.2), (x + w * 0.5, y - h * 0.2)], colour, w * 0.03, opacity)


def smoke(layer, rng, x, y, height, colour, opacity=0.5, drift=0.35, puffs=16):
    """A rising column that widens and leans with the wind."""
    for i in range(puffs):
        t = i / (puffs - 1)
        px = x + drift * height * t * t + rng.uniform(-4, 4) * (1 + t * 4)
        py = y - height * t
        r = height * (0.025 + 0.09 * t) * rng.uniform(0.85, 1.15)
        layer.circle(px, py, r, colour, opacity * (1.0 - 0.75 * t))


def lighthouse(layer, x, y, height, colour, stripe_colour=None, opacity=1.0):
    w0 = height * 0.16
    w1 = height * 0.1
    layer.poly([(x - w0 / 2, y), (x - w1 / 2, y - height * 0.8), (x + w1 / 2, y - height * 0.8), (x + w0 / 2, y)],
               colour, opacity)
    if stripe_colour:
        for k in (0.2, 0.5):
            a = k + 0.12
            wa = w0 + (w1 - w0) * k
            wb = w0 + (w1 - w0) * a
            layer.poly([(x - wa / 2, y - height * k), (x - wb / 2, y - height * a), (x + wb / 2, y - height * a),
                        (x + wa / 2, y - height * k)], stripe_colour, opacity)
    layer.rect(x - w1 * 0.7, y - height * 0.83, x + w1 * 0.7, y - height * 0.79, colour, opacity)
    layer.rect(x - w1 * 0.38, y - height * 0.93, x + w1 * 0.38, y - height * 0.83, colour, opacity * 0.55)
    layer.poly([(x - w1 * 0.5, y - height * 0.93), (x, y - height), (x + w1 * 0.5, y - height * 0.93)], colour, opacity)


def town(layer, rng, x0, x1, y, colour, window_layer=None, window_colour="#ffd27a", scale=1.0, opacity=1.0):
    """A harbour town's roofline along y, with a church tower and lit windows."""
    x = x0
    tower_at = x0 + (x1 - x0) * 0.62
    while x < x1:
        w = rng.uniform(26, 48) * scale
        h = rng.uniform(26, 50) * scale
        roof = rng.uniform(0.35, 0.6) * w
        layer.poly([(x, y), (x, y - h), (x + w / 2, y - h - roof), (x + w, y - h), (x + w, y)], colour, opacity)
        if window_layer is not None:
            for _ in range(rng.randrange(0, 3)):
                wx = x + rng.uniform(0.15, 0.7) * w
                wy = y - rng.uniform(0.3, 0.8) * h
                window_layer.rect(wx, wy, wx + 4 * scale, wy + 5 * scale, window_colour, 0.9)
        if x <= tower_at < x + w:
            th = 110 * scale
            layer.rect(x + w * 0.2, y - th, x + w * 0.8, y, colour, opacity)
            layer.poly([(x + w * 0.14, y - th), (x + w * 0.5, y - th - 50 * scale), (x + w * 0.86, y - th)],
                       colour, opacity)
        x += w * rng.uniform(0.85, 1.0)


def cave_mouth(layer, rng, cx, cy, width, height, colour, opacity=1.0):
    """A dark opening with hanging teeth of rock; cy is its floor."""
    pts = []
    for i in range(25):
        a = math.pi + math.pi * i / 24
        r = rng.uniform(0.9, 1.05)
        pts.append((cx + math.cos(a) * width / 2 * r, cy + math.sin(a) * height * r))
    layer.poly(chaikin(pts, 1) + [(cx + width / 2, cy + 4), (cx - width / 2, cy + 4)], colour, opacity)


def stalactites(layer, rng, cx, cy, width, height, colour, count=9, opacity=1.0):
    for _ in range(count):
        x = cx + rng.uniform(-0.4, 0.4) * width
        top = cy - height * (0.85 - 0.5 * (abs(x - cx) / width) ** 2)
        w = rng.uniform(6, 16)
        layer.poly([(x - w, top - 10), (x + w, top - 10), (x + rng.uniform(-2, 2), top + rng.uniform(20, 60))],
                   colour, opacity)


def grave_cross(layer, x, y, size, colour, tilt=0.0, opacity=1.0):
    pts_v = [(0, 0), (0, -size)]
    pts_h = [(-size * 0.32, -size * 0.72), (size * 0.32, -size * 0.72)]
    layer.line(transform(pts_v, x, y, 1.0, tilt), colour, size * 0.1, opacity)
    layer.line(transform(pts_h, x, y, 1.0, tilt), colour, size * 0.09, opacity)


def dead_tree(layer, rng, x, y, height, colour, opacity=1.0):
    def branch(bx, by, length, angle, width, depth):
        ex = bx + math.cos(angle) * length
        ey = by + math.sin(angle) * length
        layer.line([(bx, by), (ex, ey)], colour, width, opacity)
        if depth > 0:
            for turn in (-0.5, 0.45):
                branch(ex, ey, length * rng.uniform(0.55, 0.75), angle + turn + rng.uniform(-0.2, 0.2),
                       width * 0.62, depth - 1)
    branch(x, y, height * 0.42, -math.pi / 2 + rng.uniform(-0.1, 0.1), height * 0.06, 4)


def jetty(layer, x0, x1, y, colour, opacity=1.0):
    layer.rect(x0, y - 6, x1, y, colour, opacity)
    x = x0 + 6
    while x < x1:
        layer.line([(x, y), (x, y + 26)], colour, 5, opacity)
        x += 34
