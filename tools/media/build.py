"""Entry point of the media build; tools/make_media.sh runs it with Debian's
python3. See tools/README.md for the tasks and what they make."""

import os
import sys

# Run as a program, this file's folder is on the module path: the package
# kelvo_media beside it is found without help.
from kelvo_media import catalogue, pipeline

HERE = os.path.dirname(os.path.abspath(__file__))

if __name__ == "__main__":
    sys.exit(pipeline.main(sys.argv[1:], os.path.dirname(os.path.dirname(HERE)), catalogue.all_tasks))
