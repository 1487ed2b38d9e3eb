"""Material scripts for the fixed-function pipeline, which every render
system of the game runs without shader support."""


def textured(name, texture, ambient=(0.75, 0.75, 0.75), diffuse=(1.0, 1.0, 1.0),
             specular=(0.0, 0.0, 0.0), shininess=1.0, cull="clockwise", comment=None):
    if not name.startswith("KELVO/"):
        raise ValueError("the game's own material names start with KELVO/: %s" % name)
    lines = []
    if comment:
        lines.append("// " + comment)
    lines += [
        "material %s" % name,
        "{",
        "    technique",
        "    {",
        "        pass",
        "        {",
        "            ambient %.3f %.3f %.3f" % ambient,
        "            diffuse %.3f %.3f %.3f" % diffuse,
        "            specular %.3f %.3f %.3f %.1f" % (specular + (shininess,)),
        "            cull_hardware %s" % cull,
        "",
        "            texture_unit",
        "            {",
        "                texture %s" % texture,
        "                filtering trilinear",
        "                tex_address_mode clamp",
        "            }",
        "        }",
        "    }",
        "}",
        "",
    ]
    return "\n".join(lines)


def write(path, *materials):
    with open(path, "w") as f:
        f.write("\n".join(materials))
