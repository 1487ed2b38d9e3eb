"""Props: the shared atlases, then one task per family of meshes, so that
editing the ships does not remake the trees."""

from ..pipeline import Task

KIT = "tools/media/kelvo_media/"
TEXTURE_KIT = [KIT + f for f in ("png.py", "texkit.py", "props/layout.py")]
MESH_KIT = [KIT + f for f in ("vecmath.py", "meshkit.py", "rig.py", "props/layout.py", "props/shapes.py")]

SCENERY = ["palm.mesh", "palm_tall.mesh", "tree_broadleaf.mesh", "tree_fir.mesh", "bush.mesh", "grass_tuft.mesh",
           "fern.mesh", "flowers.mesh", "rock_large.mesh", "rock_small.mesh", "rock_tall.mesh", "rock_pile.mesh",
           "cave_entrance.mesh"]
BUILDINGS = ["hut.mesh", "well.mesh", "fence.mesh", "jetty.mesh", "barrel.mesh", "crate.mesh", "campfire.mesh"]
SHIPS = ["ship.mesh", "shipwreck.mesh"]
SPECIAL = ["pfeil_schaft.mesh", "pfeil_spitze.mesh", "torus.mesh", "arrow.mesh", "box.mesh", "SkyDome.mesh",
           "water_plane.mesh"]


def _meshes(name, outputs, module):
    return Task(name, outputs, MESH_KIT + [KIT + "props/%s.py" % module], "kelvo_media.props.%s:build" % module)


def tasks():
    return [
        Task("props_atlas", ["props_atlas.png", "foliage_atlas.png", "props.material"],
             TEXTURE_KIT + [KIT + "props/atlas.py"], "kelvo_media.props.atlas:build"),
        _meshes("scenery", SCENERY, "scenery"),
        _meshes("buildings", BUILDINGS, "buildings"),
        _meshes("ships", SHIPS, "ships"),
        _meshes("special_meshes", SPECIAL, "engine_meshes"),
    ]
