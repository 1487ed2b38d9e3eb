"""The island's terrain: its heightmap (from tools/level/island.py) and the
four tileable ground textures the terrain paints with (sand, dirt, grass,
rock)."""
