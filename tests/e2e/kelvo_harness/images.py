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
