"""Reads the bounding box an Ogre binary mesh file records for itself, so the
level generator takes the scenery's sizes from the meshes the media tools
made rather than from a copied table.

A mesh file is a header chunk (id 0x1000, then the version text up to a
newline) followed by chunks of (uint16 id, uint32 length including these six
bytes, body). The mesh chunk (0x3000) starts with one byte (skeletally
animated or not) and holds sub-chunks; the bounds chunk (0x9000) is six
floats (minimum x y z, maximum x y z) and the radius. Little-endian, as the
media tools write it on this machine.
"""

import struct

HEADER = 0x1000
MESH = 0x3000
BOUNDS = 0x9000
CHUNK_HEADER = 6


class MeshFileError(ValueError):
    pass


def read_bounds(path):
    """((min x, min y, min z), (max x, max y, max z)) of the mesh file."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 2 or struct.unpack_from("<H", data, 0)[0] != HEADER:
        raise MeshFileError("%s is not an Ogre binary mesh" % path)
    at = data.find(b"\n", 2)
    if at < 0:
        raise MeshFileError("%s has no version line" % path)
    at += 1
    while at + CHUNK_HEADER <= len(data):
        chunk, length = struct.unpack_from("<HI", data, at)
        if length < CHUNK_HEADER:
            raise MeshFileError("%s: chunk 0x%04x at %d has a broken length" % (path, chunk, at))
        if chunk == MESH:
            # into the mesh chunk: past its header and the animated flag
            at += CHUNK_HEADER + 1
            continue
        if chunk == BOUNDS:
            if at + CHUNK_HEADER + 24 > len(data):
                raise MeshFileError("%s: the bounds chunk is cut short" % path)
            values = struct.unpack_from("<6f", data, at + CHUNK_HEADER)
            return values[0:3], values[3:6]
        at += length
    raise MeshFileError("%s records no bounds" % path)
