"""KELVO's media generators: everything the game loads by name that is not
program code is made here from sources in the repository."""
