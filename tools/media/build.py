"""Entry point of the media build; tools/make_media.sh runs it with Debian's
python3. See tools/README.md for the tasks and what they make."""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from kelvo_media import catalogue, pipeline  # noqa: E402

if __name__ == "__main__":
    sys.exit(pipeline.main(sys.argv[1:], os.path.dirname(os.path.dirname(HERE)), catalogue.all_tasks))
