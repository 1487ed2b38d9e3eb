"""How the bot steers the hero with the keys: which way to turn towards the
next waypoint, when a waypoint counts as reached, and when the hero is
stuck. Pure arithmetic on the logged positions, so it can be checked
without the game.

Headings are the game's: degrees, 0 = east (+x), growing as the hero turns
left (A), 90 = north (-z)."""

import math

# Farther off than this, the hero stops and turns on the spot (A or D
# alone): running turns only 10 degrees a second, a circle of some 100 units.
TURN_ON_SPOT_DEGREES = 30.0
# A turn on the spot ends this close (the next position line comes 5 degrees
# later at most, a frame or two more before the key is up).
FACING_DEGREES = 8.0
# Running, he is steered back with A or D while this far off.
RUN_STEER_DEGREES = 6.0

# Position lines come at least once a game second and every 4 units walked:
# running (18.75 units a second) he covers several units between two lines.
STUCK_SAMPLES = 4
STUCK_DISTANCE = 2.0

# Detours tried one after the other when he is stuck: turn by so much from
# the way ahead, then run for so many position lines.
DETOURS = [(70.0, 3), (-70.0, 3), (120.0, 4), (-120.0, 4), (180.0, 5)]


def heading_to(start, target):
    """The heading from start to target, both (x, z) on the ground."""
    return math.degrees(math.atan2(-(target[1] - start[1]), target[0] - start[0]))


def turn_needed(current, wanted):
    """Degrees to turn from the current heading to the wanted one, in
    (-180, 180]: positive is a left turn (A), negative a right turn (D)."""
    difference = (wanted - current) % 360.0
    return difference - 360.0 if difference > 180.0 else difference


def turn_key(degrees):
    return "a" if degrees > 0 else "d"


class Waypoints:
    """The way ahead: a list of (x, z) points with an arrival radius. A point
    is reached when the hero comes within the radius, or when he has gone
    past it along the leg towards it (positions come several units apart
    at a run, so he can pass a point between two lines)."""

    def __init__(self, points, radius=8.0):
        self.points = list(points)
        self.radius = radius
        self.reached = 0
        self.leg_start = None

    def done(self):
        return self.reached >= len(self.points)

    def target(self):
        return None if self.done() else self.points[self.reached]

    def update(self, position):
        """Marks every point now reached; returns the point to steer to."""
        if self.leg_start is None:
            self.leg_start = position
        while not self.done():
            point = self.points[self.reached]
            if math.dist(position, point) <= self.radius or self._passed(position, point):
                self.leg_start = point
                self.reached += 1
            else:
                break
        return self.target()

    def _passed(self, position, point):
        ax, az = self.leg_start
        lx, lz = point[0] - ax, point[1] - az
        length = math.hypot(lx, lz)
        if length < 1e-6:
            return True
        along = ((position[0] - ax) * lx + (position[1] - az) * lz) / length
        across = abs((position[0] - ax) * lz - (position[1] - az) * lx) / length
        # Past the end, but not far off to the side (that is a wrong way).
        return along >= length and across <= 3.0 * self.radius


class Steering:
    """The keys to hold for the next position line: ("turn", key) turns on
    the spot, ("run", key or None) runs with a correction or straight."""

    def __init__(self):
        self.turning = None

    def decide(self, heading, wanted):
        error = turn_needed(heading, wanted)
        if self.turning is not None:
            if abs(error) <= FACING_DEGREES:
                self.turning = None
            elif turn_key(error) != self.turning and abs(error) < 150.0:
                # Swung past: decide afresh. Near 180 degrees he keeps his
                # way round, or he would swing back and forth.
                self.turning = None
            else:
                return ("turn", self.turning)
        if abs(error) > TURN_ON_SPOT_DEGREES:
            self.turning = turn_key(error)
            return ("turn", self.turning)
        if abs(error) > RUN_STEER_DEGREES:
            return ("run", turn_key(error))
        return ("run", None)


class StuckWatch:
    """Stuck: over the last few position lines taken while he meant to run,
    he has not got anywhere (a rock, a wall, a lock pushing him back)."""

    def __init__(self, samples=STUCK_SAMPLES, distance=STUCK_DISTANCE):
        self.samples = samples
        self.distance = distance
        self.positions = []

    def reset(self):
        self.positions = []

    def running_at(self, position):
        self.positions.append(position)
        del self.positions[:-self.samples]

    def stuck(self):
        if len(self.positions) < self.samples:
            return False
        return all(math.dist(self.positions[0], p) < self.distance for p in self.positions[1:])


class Detours:
    """The detours for one stuck place, in turn; a new place starts over."""

    def __init__(self, plan=DETOURS):
        self.plan = plan
        self.tried = 0

    def next(self):
        """(degrees to turn from the way ahead, position lines to run), or
        None when every detour has been tried."""
        if self.tried >= len(self.plan):
            return None
        detour = self.plan[self.tried]
        self.tried += 1
        return detour

    def reset(self):
        self.tried = 0
