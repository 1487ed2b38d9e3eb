"""Every media task of the game. A later kind of media adds its module's
tasks here; the pipeline (pipeline.py) does the rest."""

from .characters import tasks as character_tasks


def all_tasks():
    return character_tasks.tasks()
