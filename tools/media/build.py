"""Entry point of the media build; tools/make_media.sh runs it with Debian's
python3. See tools/README.md for the tasks and what they make."""

import os
import sys

# Run as a program, this file's folder is on the module path: the package
# kelvo_media beside it is found without help.
from kelvo_media import catalogue, definitions, pipeline
from kelvo_media.effects import scripts

HERE = os.path.dirname(os.path.abspath(__file__))


def names_defined_twice(out_dir):
    """The game's "General" group reads the generated media and the
    hand-written scripts together: a name may be defined only once in all."""
    return definitions.duplicates([out_dir, scripts.SCRIPTS])


if __name__ == "__main__":
    sys.exit(pipeline.main(sys.argv[1:], os.path.dirname(os.path.dirname(HERE)), catalogue.all_tasks,
                           final_check=names_defined_twice))
