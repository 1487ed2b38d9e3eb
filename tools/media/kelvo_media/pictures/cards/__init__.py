"""One module per picture: changing one picture remakes only that one."""
