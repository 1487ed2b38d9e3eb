"""Measurements on screenshots, through ImageMagick."""

import re
import subprocess


class ImageError(AssertionError):
    pass


def image_statistics(path, crop=None):
    """Mean and standard deviation of the picture's grey level (0..1), of the
    whole picture or of a crop given as ImageMagick geometry (WxH+X+Y)."""
    command = ["convert", path]
    if crop:
        command += ["-crop", crop, "+repage"]
    command += ["-colorspace", "Gray", "-format", "%[fx:mean] %[fx:standard_deviation]", "info:"]
    output = subprocess.run(command, check=True, stdout=subprocess.PIPE, text=True).stdout.split()
    return float(output[0]), float(output[1])


def channel_means(path, crop):
    """Mean red, green and blue (0..1) of a crop (WxH+X+Y)."""
    output = subprocess.run(["convert", path, "-crop", crop, "+repage", "-format",
                             "%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]", "info:"],
                            check=True, stdout=subprocess.PIPE, text=True).stdout.split()
    return [float(value) for value in output]


def image_difference(path_a, path_b, crop=None):
    """Root-mean-square difference (0..1) of two pictures, both shrunk to
    128 x 96 grey; crop (WxH+X+Y) applies to both before shrinking."""
    shrunk = []
    for index, path in enumerate((path_a, path_b)):
        target = "%s.cmp%d.png" % (path_a, index)
        command = ["convert", path]
        if crop:
            command += ["-crop", crop, "+repage"]
        command += ["-resize", "128x96!", "-colorspace", "Gray", target]
        subprocess.run(command, check=True)
        shrunk.append(target)
    result = subprocess.run(["compare", "-metric", "RMSE", shrunk[0], shrunk[1], "null:"],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    match = re.search(r"\(([0-9.eE+-]+)\)", result.stderr)
    if not match:
        raise ImageError("compare gave no difference: %s" % result.stderr)
    return float(match.group(1))


def changed_share(path_a, path_b, crop=None, fuzz_percent=15):
    """Share (0..1) of the pixels whose colour differs by more than
    fuzz_percent between two pictures of one size, at full resolution: a
    small object that one picture has and the other lacks shows, where the
    shrunk image_difference averages it away. crop (WxH+X+Y) applies to both."""
    cropped = []
    for index, path in enumerate((path_a, path_b)):
        target = "%s.share%d.png" % (path_a, index)
        command = ["convert", path]
        if crop:
            command += ["-crop", crop, "+repage"]
        subprocess.run(command + [target], check=True)
        cropped.append(target)
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", "%d%%" % fuzz_percent, cropped[0], cropped[1],
                             "null:"], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    match = re.match(r"\s*([0-9.eE+-]+)", result.stderr)
    if not match:
        raise ImageError("compare gave no pixel count: %s" % result.stderr)
    size = subprocess.run(["identify", "-format", "%w %h", cropped[0]], check=True, stdout=subprocess.PIPE,
                          text=True).stdout.split()
    return float(match.group(1)) / (int(size[0]) * int(size[1]))


def red_arrow_grip(path, row):
    """A point on the editor gizmo's X arrow head, drawn red to the right of
    the picked object: the rightmost red pixels of a band around the
    object's row (in a 1024-wide screenshot)."""
    band = "512x120+512+%d" % (row - 60)
    dump = subprocess.run(["convert", path, "-crop", band, "+repage", "-depth", "8", "txt:-"],
                          check=True, stdout=subprocess.PIPE, text=True).stdout
    red = []
    for match in re.finditer(r"^(\d+),(\d+): \((\d+),(\d+),(\d+)", dump, re.M):
        x, y, r, g, b = (int(value) for value in match.groups())
        if r > 150 and g < 70 and b < 70:
            red.append((x + 512, y + row - 60))
    if not red:
        raise ImageError("no red X arrow right of the picked object in %s" % path)
    tip = max(x for x, _ in red)
    near_tip = [y for x, y in red if x >= tip - 4]
    return tip - 4, sorted(near_tip)[len(near_tip) // 2]


def _pixels(path, band_top, band_height):
    """(x, y) -> (r, g, b) of a full-width band of a screenshot."""
    dump = subprocess.run(["convert", path, "-crop", "1024x%d+0+%d" % (band_height, band_top), "+repage",
                           "-depth", "8", "txt:-"], check=True, stdout=subprocess.PIPE, text=True).stdout
    pixels = {}
    for match in re.finditer(r"^(\d+),(\d+): \((\d+),(\d+),(\d+)", dump, re.M):
        x, y, r, g, b = (int(value) for value in match.groups())
        pixels[(x, y + band_top)] = (r, g, b)
    return pixels


def green_ring_grip(before, after, row):
    """A point on the editor gizmo's green Y ring, right of the picked
    object: the rightmost pixel, in a band around the object's row, that is
    strongly green in the screenshot `after` (rotate mode) and was not in
    `before` (move mode), so green ground does not count. Returns the point
    and the row of the ring's middle there."""
    def green(rgb):
        r, g, b = rgb
        return g > 120 and g > r + 50 and g > b + 50

    top = max(0, row - 150)
    old = _pixels(before, top, 300)
    new = _pixels(after, top, 300)
    ring = [xy for xy, rgb in new.items() if xy[0] > 512 and green(rgb) and not green(old.get(xy, (0, 0, 0)))]
    if not ring:
        raise ImageError("no green ring right of the picked object in %s" % after)
    right = max(x for x, _ in ring)
    near = sorted(y for x, y in ring if x >= right - 3)
    return (right - 2, near[len(near) // 2])
