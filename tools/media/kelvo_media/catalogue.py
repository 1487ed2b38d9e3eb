"""Every media task of the game. A later kind of media adds its module's
tasks here; the pipeline (pipeline.py) does the rest."""

from .characters import tasks as character_tasks
from .effects import scripts as effect_scripts
from .effects import tasks as effect_tasks
from .pictures import tasks as picture_tasks
from .props import tasks as prop_tasks
from .sounds import tasks as sound_tasks
from .terrain import tasks as terrain_tasks


def all_tasks():
    tasks = (character_tasks.tasks() + prop_tasks.tasks() + effect_tasks.tasks() + picture_tasks.tasks()
             + sound_tasks.tasks() + terrain_tasks.tasks())
    # The hand-written scripts may name only what some task makes.
    effect_scripts.check_against([name for task in tasks for name in task.outputs])
    return tasks
