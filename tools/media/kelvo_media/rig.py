"""Skeletons, sampled animations and the export of skinned meshes to the
engine's binary formats (through Ogre XML and OgreXMLConverter).

Characters are modelled and animated in one canonical space (+Y up, +Z
forward, +X the character's left). A Convention says how the game's scripts
hold the model, and the exporter bakes it into the root bone and the
vertices, so the animation code never has to think about it:

* HERO: +Y up, facing +Z. The player script turns the entity's node by 180
  degrees and then points the body's -Z along the walking direction, which
  makes a +Z-facing model face where it walks. Birds and the old man use it
  too.
* ENEMY: +Z up, facing +Y. The enemy walker multiplies its heading by a
  rotation of -90 degrees about X times 180 degrees about Z; that rotation
  carries +Y to the heading and +Z to world up.

Bones bind with the identity orientation unless a character gives one (a
spider's legs point their own Z outward), so a keyframe's rotation about X,
Y or Z reads as the canonical axes: negative X swings a hanging limb forward.
"""

import math
import os
import struct
import subprocess

from . import vecmath as vm


class Convention:
    def __init__(self, name, root_orientation, to_model):
        self.name = name
        self.root_orientation = root_orientation
        self.to_model = to_model


HERO = Convention("hero: +Y up, faces +Z", vm.IDENTITY, lambda p: p)
# 180 degrees about (0, 1, 1): (x, y, z) -> (-x, z, y), the enemy walker's
# model correction, which is its own inverse.
ENEMY = Convention("enemy: +Z up, faces +Y",
                   (0.0, 0.0, math.sqrt(0.5), math.sqrt(0.5)),
                   lambda p: (-p[0], p[2], p[1]))


class Bone:
    """head: joint position; orientation: bind orientation; both canonical."""

    def __init__(self, name, parent, head, orientation=vm.IDENTITY):
        self.name = name
        self.parent = parent
        self.head = head
        self.orientation = orientation


class Skeleton:
    """Bones by their joint position in canonical space, parents first."""

    def __init__(self, convention):
        self.convention = convention
        self.bones = [Bone("Root", None, (0.0, 0.0, 0.0))]
        self.by_name = {"Root": self.bones[0]}

    def add(self, name, parent, head, orientation=vm.IDENTITY):
        if name in self.by_name:
            raise ValueError("bone %s defined twice" % name)
        if parent not in self.by_name:
            raise ValueError("bone %s: parent %s is not defined yet" % (name, parent))
        bone = Bone(name, parent, head, vm.quat_normalize(orientation))
        self.bones.append(bone)
        self.by_name[name] = bone
        return bone

    def head(self, name):
        return self.by_name[name].head

    def index(self, name):
        for i, bone in enumerate(self.bones):
            if bone.name == name:
                return i
        raise KeyError("no bone named %s" % name)

    def local_position(self, bone):
        if bone.parent is None:
            return bone.head
        parent = self.by_name[bone.parent]
        return vm.quat_rotate(vm.quat_conj(parent.orientation), vm.sub(bone.head, parent.head))

    def local_orientation(self, bone):
        if bone.parent is None:
            return bone.orientation
        return vm.quat_mul(vm.quat_conj(self.by_name[bone.parent].orientation), bone.orientation)

    def pose_world(self, pose):
        """Canonical world (orientation, position) of each bone for a pose
        {bone: (rotation, translation)}; the root's convention is left out.
        As in the engine, a key turns a bone in its own bind frame and moves
        it in its parent's frame."""
        world = {}
        for bone in self.bones:
            rot, trans = pose.get(bone.name, (vm.IDENTITY, (0.0, 0.0, 0.0)))
            local_pos = vm.add(self.local_position(bone), trans)
            local_rot = vm.quat_mul(self.local_orientation(bone), rot)
            if bone.parent is None:
                world[bone.name] = (local_rot, local_pos)
            else:
                prot, ppos = world[bone.parent]
                world[bone.name] = (vm.quat_mul(prot, local_rot), vm.add(ppos, vm.quat_rotate(prot, local_pos)))
        return world


class Animation:
    """pose(t) returns {bone: (quaternion, translation)} relative to the bind
    pose; it is sampled `fps` times a second. Looping animations must end in
    the pose they start with."""

    def __init__(self, name, length, pose, loop=True, fps=24):
        self.name = name
        self.length = float(length)
        self.pose = pose
        self.loop = loop
        self.fps = fps

    def times(self):
        count = max(2, int(math.ceil(self.length * self.fps)))
        return [self.length * k / count for k in range(count + 1)]


def rot(x=0.0, y=0.0, z=0.0):
    """Shorthand for pose tables: Euler degrees about the parent's axes."""
    return vm.quat_euler_deg(x, y, z)


def pose_entry(rx=0.0, ry=0.0, rz=0.0, t=(0.0, 0.0, 0.0)):
    return (rot(rx, ry, rz), t)


def _f(x):
    text = "%.6f" % x
    return "0.000000" if text == "-0.000000" else text


def check_loops(skeleton, animations, tolerance=1e-3):
    for anim in animations:
        if not anim.loop:
            continue
        start = anim.pose(0.0)
        end = anim.pose(anim.length)
        for bone in skeleton.bones:
            r0, t0 = start.get(bone.name, (vm.IDENTITY, (0, 0, 0)))
            r1, t1 = end.get(bone.name, (vm.IDENTITY, (0, 0, 0)))
            if abs(abs(sum(a * b for a, b in zip(r0, r1))) - 1.0) > tolerance or \
                    vm.length(vm.sub(t0, t1)) > tolerance:
                raise ValueError("looping animation %s does not end where it starts (bone %s)"
                                 % (anim.name, bone.name))


def skeleton_xml(skeleton, animations):
    conv = skeleton.convention
    out = ['<skeleton>', '  <bones>']
    for i, bone in enumerate(skeleton.bones):
        pos = skeleton.local_position(bone)
        orientation = conv.root_orientation if bone.parent is None else skeleton.local_orientation(bone)
        angle, axis = vm.quat_to_axis_angle(orientation)
        out.append('    <bone id="%d" name="%s">' % (i, bone.name))
        out.append('      <position x="%s" y="%s" z="%s"/>' % tuple(_f(c) for c in pos))
        out.append('      <rotation angle="%s"><axis x="%s" y="%s" z="%s"/></rotation>'
                   % ((_f(angle),) + tuple(_f(c) for c in axis)))
        out.append('    </bone>')
    out.append('  </bones>')
    out.append('  <bonehierarchy>')
    for bone in skeleton.bones[1:]:
        out.append('    <boneparent bone="%s" parent="%s"/>' % (bone.name, bone.parent))
    out.append('  </bonehierarchy>')
    out.append('  <animations>')
    for anim in animations:
        times = anim.times()
        samples = [anim.pose(t) for t in times]
        animated = [b.name for b in skeleton.bones if any(b.name in s for s in samples)]
        out.append('    <animation name="%s" length="%s">' % (anim.name, _f(anim.length)))
        out.append('      <tracks>')
        for name in animated:
            out.append('        <track bone="%s">' % name)
            out.append('          <keyframes>')
            for t, sample in zip(times, samples):
                r, tr = sample.get(name, (vm.IDENTITY, (0.0, 0.0, 0.0)))
                angle, axis = vm.quat_to_axis_angle(r)
                out.append('            <keyframe time="%s">' % _f(t))
                out.append('              <translate x="%s" y="%s" z="%s"/>' % tuple(_f(c) for c in tr))
                out.append('              <rotate angle="%s"><axis x="%s" y="%s" z="%s"/></rotate>'
                           % ((_f(angle),) + tuple(_f(c) for c in axis)))
                out.append('            </keyframe>')
            out.append('          </keyframes>')
            out.append('        </track>')
        out.append('      </tracks>')
        out.append('    </animation>')
    out.append('  </animations>')
    out.append('</skeleton>')
    return "\n".join(out) + "\n"


def mesh_xml(meshes, skeleton, skeleton_file):
    conv = skeleton.convention
    out = ['<mesh>', '  <submeshes>']
    for mesh in meshes:
        normals = mesh.normals()
        out.append('    <submesh material="%s" usesharedvertices="false" use32bitindexes="%s" '
                   'operationtype="triangle_list">' % (mesh.material,
                                                       "true" if len(mesh.positions) > 65535 else "false"))
        out.append('      <faces count="%d">' % len(mesh.triangles))
        for a, b, c in mesh.triangles:
            out.append('        <face v1="%d" v2="%d" v3="%d"/>' % (a, b, c))
        out.append('      </faces>')
        out.append('      <geometry vertexcount="%d">' % len(mesh.positions))
        # positions and normals in a buffer of their own: software skinning
        # swaps that buffer for its blended copy, and anything sharing it
        # (texture coordinates) would then be read from the wrong place
        out.append('        <vertexbuffer positions="true" normals="true">')
        for p, n in zip(mesh.positions, normals):
            p = conv.to_model(p)
            n = conv.to_model(n)
            out.append('          <vertex><position x="%s" y="%s" z="%s"/><normal x="%s" y="%s" z="%s"/></vertex>'
                       % (tuple(_f(c) for c in p) + tuple(_f(c) for c in n)))
        out.append('        </vertexbuffer>')
        out.append('        <vertexbuffer texture_coords="1" texture_coord_dimensions_0="2">')
        for uv in mesh.uvs:
            out.append('          <vertex><texcoord u="%s" v="%s"/></vertex>' % (_f(uv[0]), _f(uv[1])))
        out.append('        </vertexbuffer>')
        out.append('      </geometry>')
        out.append('      <boneassignments>')
        for i, weights in enumerate(mesh.weights):
            for bone, w in weights:
                out.append('        <vertexboneassignment vertexindex="%d" boneindex="%d" weight="%s"/>'
                           % (i, skeleton.index(bone), _f(w)))
        out.append('      </boneassignments>')
        out.append('    </submesh>')
    out.append('  </submeshes>')
    out.append('  <skeletonlink name="%s"/>' % skeleton_file)
    out.append('</mesh>')
    return "\n".join(out) + "\n"


def animated_bounds(meshes, skeleton, animations):
    """Model-space box and radius that hold every pose of every animation.
    Each bone sweeps a sphere as large as its farthest weighted vertex, which
    errs on the large side, as culling bounds should."""
    reach = {b.name: 0.0 for b in skeleton.bones}
    lo = [1e30] * 3
    hi = [-1e30] * 3
    for mesh in meshes:
        for p, weights in zip(mesh.positions, mesh.weights):
            for bone, _ in weights:
                d = vm.length(vm.sub(p, skeleton.head(bone)))
                reach[bone] = max(reach[bone], d)
            q = skeleton.convention.to_model(p)
            for k in range(3):
                lo[k] = min(lo[k], q[k])
                hi[k] = max(hi[k], q[k])
    for anim in animations:
        for t in anim.times()[::2]:
            world = skeleton.pose_world(anim.pose(t))
            for name, (_, pos) in world.items():
                r = reach[name]
                if r <= 0.0:
                    continue
                q = skeleton.convention.to_model(pos)
                for k in range(3):
                    lo[k] = min(lo[k], q[k] - r)
                    hi[k] = max(hi[k], q[k] + r)
    radius = max(math.sqrt(sum(c * c for c in corner))
                 for corner in ((lo[0], lo[1], lo[2]), (hi[0], hi[1], hi[2]),
                                (lo[0], hi[1], lo[2]), (hi[0], lo[1], hi[2]),
                                (lo[0], lo[1], hi[2]), (hi[0], hi[1], lo[2]),
                                (lo[0], hi[1], hi[2]), (hi[0], lo[1], lo[2])))
    return tuple(lo), tuple(hi), radius


_M_HEADER = 0x1000
_M_MESH = 0x3000
_M_MESH_BOUNDS = 0x9000


def patch_mesh_bounds(path, lo, hi, radius):
    """The converter bounds a mesh by its bind pose; a lunging spider would
    then be culled while still on screen. Rewrites the bounds chunk."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    (header_id,) = struct.unpack_from("<H", data, 0)
    if header_id != _M_HEADER:
        raise ValueError("%s: not a binary mesh (or not little-endian)" % path)
    pos = data.index(b"\n", 2) + 1
    (chunk_id, chunk_len) = struct.unpack_from("<HI", data, pos)
    if chunk_id != _M_MESH:
        raise ValueError("%s: mesh chunk not found after the header" % path)
    end = pos + chunk_len
    pos += 6 + 1  # chunk header and the skeletally-animated flag
    while pos + 6 <= end:
        (chunk_id, chunk_len) = struct.unpack_from("<HI", data, pos)
        if chunk_len < 6:
            break
        if chunk_id == _M_MESH_BOUNDS:
            struct.pack_into("<7f", data, pos + 6, lo[0], lo[1], lo[2], hi[0], hi[1], hi[2], radius)
            with open(path, "wb") as f:
                f.write(data)
            return
        pos += chunk_len
    raise ValueError("%s: no bounds chunk found" % path)


def convert(xml_path, out_path, work_dir):
    """Runs OgreXMLConverter; its log stays in the work directory."""
    log = os.path.join(work_dir, "OgreXMLConverter.log")
    result = subprocess.run(["OgreXMLConverter", "-q", "-log", log, xml_path, out_path],
                            cwd=work_dir, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0 or not os.path.exists(out_path):
        tail = ""
        if os.path.exists(log):
            with open(log, errors="replace") as f:
                tail = "".join(f.readlines()[-15:])
        raise RuntimeError("OgreXMLConverter failed on %s:\n%s%s" % (os.path.basename(xml_path),
                                                                    result.stdout, tail))


def export_character(work_dir, out_dir, base, meshes, skeleton, animations):
    """Writes base.mesh and base.skeleton into out_dir; returns a summary."""
    check_loops(skeleton, animations)
    names = [a.name for a in animations]
    if len(set(names)) != len(names):
        raise ValueError("%s: animation names repeat: %s" % (base, names))
    skel_file = base + ".skeleton"
    mesh_file = base + ".mesh"
    skel_xml = os.path.join(work_dir, base + ".skeleton.xml")
    mesh_xml_path = os.path.join(work_dir, base + ".mesh.xml")
    with open(skel_xml, "w") as f:
        f.write(skeleton_xml(skeleton, animations))
    with open(mesh_xml_path, "w") as f:
        f.write(mesh_xml(meshes, skeleton, skel_file))
    convert(skel_xml, os.path.join(out_dir, skel_file), work_dir)
    convert(mesh_xml_path, os.path.join(out_dir, mesh_file), work_dir)
    lo, hi, radius = animated_bounds(meshes, skeleton, animations)
    patch_mesh_bounds(os.path.join(out_dir, mesh_file), lo, hi, radius)
    triangles = sum(len(m.triangles) for m in meshes)
    vertices = sum(len(m.positions) for m in meshes)
    return "%s: %d triangles, %d vertices, %d bones, animations %s" % (
        mesh_file, triangles, vertices, len(skeleton.bones), ", ".join(names))
