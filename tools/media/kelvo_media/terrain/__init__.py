"""The island's terrain: its heightmap (from tools/level/island.py) and the
three tileable ground textures the terrain paints with (sand, grass, rock)."""
