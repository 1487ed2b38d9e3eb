"""The game's voices, sounds and music, made with espeak-ng and sox from
texts and scores in this repository (tools/README.md lists the files)."""
