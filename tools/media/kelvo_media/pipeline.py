"""The media build: tasks, stamps and the parallel runner.

A task makes a fixed list of files from a fixed list of source files (the
generator modules and any hand-written media sources). Its stamp is a hash
of those sources' contents; a task whose stamp matches and whose outputs are
all in place is skipped. Tasks run in worker processes, each in a private
work folder, and their outputs are moved into the output folder only when
the whole task has succeeded, so an interrupted build never leaves a
half-written mesh behind a valid stamp.
"""

import concurrent.futures
import fcntl
import hashlib
import importlib
import json
import os
import shutil
import subprocess
import sys
import time
import traceback

# Bump when the meaning of a stamp changes, to rebuild everything once.
STAMP_FORMAT = 1
STATE_DIR = ".pipeline"


class Task:
    """name: short unique name shown in the progress lines.
    outputs: file names the task writes into the output folder.
    sources: repository paths whose contents decide the outputs.
    builder: "module:function"; called as function(out_dir, work_dir) and
    returns a list of lines describing what it made."""

    def __init__(self, name, outputs, sources, builder):
        self.name = name
        self.outputs = list(outputs)
        self.sources = list(sources)
        self.builder = builder

    def digest(self, root):
        h = hashlib.sha256()
        h.update(("%d|%s|%s|%s" % (STAMP_FORMAT, self.name, self.builder, ",".join(self.outputs))).encode())
        for rel in sorted(set(self.sources)):
            path = os.path.join(root, rel)
            if not os.path.isfile(path):
                raise FileNotFoundError("task %s: source %s does not exist" % (self.name, rel))
            h.update(rel.encode())
            with open(path, "rb") as f:
                h.update(hashlib.sha256(f.read()).digest())
        return h.hexdigest()


def _stamp_path(out_dir, task):
    return os.path.join(out_dir, STATE_DIR, "stamps", task.name + ".json")


def is_up_to_date(out_dir, task, digest):
    try:
        with open(_stamp_path(out_dir, task)) as f:
            stamp = json.load(f)
    except (OSError, ValueError):
        return False
    if stamp.get("digest") != digest:
        return False
    sizes = stamp.get("outputs", {})
    for name in task.outputs:
        path = os.path.join(out_dir, name)
        if not os.path.isfile(path) or os.path.getsize(path) != sizes.get(name):
            return False
    return True


def _run_task(root, out_dir, task_name, builder, outputs):
    """Runs in a worker process. Returns (name, ok, seconds, lines)."""
    start = time.monotonic()
    work = os.path.join(out_dir, STATE_DIR, "work", task_name)
    shutil.rmtree(work, ignore_errors=True)
    staged = os.path.join(work, "out")
    os.makedirs(staged)
    try:
        module_name, func_name = builder.split(":")
        func = getattr(importlib.import_module(module_name), func_name)
        lines = func(staged, work) or []
        made = sorted(os.listdir(staged))
        missing = sorted(set(outputs) - set(made))
        extra = sorted(set(made) - set(outputs))
        if missing or extra:
            raise RuntimeError("task %s did not make what it declares: missing %s, undeclared %s"
                               % (task_name, missing or "none", extra or "none"))
        for name in outputs:
            os.replace(os.path.join(staged, name), os.path.join(out_dir, name))
        shutil.rmtree(work, ignore_errors=True)
        return task_name, True, time.monotonic() - start, lines
    except Exception as exc:  # reported by the parent, which goes on with the other tasks
        detail = "".join(traceback.format_exception_only(type(exc), exc)).strip()
        if not isinstance(exc, (RuntimeError, ValueError, FileNotFoundError)):
            detail = traceback.format_exc()
        return task_name, False, time.monotonic() - start, [detail]


def tracked_outputs(root, out_dir, names):
    """Output names that git tracks inside out_dir (never to be overwritten)."""
    try:
        rel = os.path.relpath(out_dir, root)
        result = subprocess.run(["git", "-C", root, "ls-files", "--", rel],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    except OSError:
        return []
    if result.returncode != 0:
        return []
    tracked = {os.path.basename(line) for line in result.stdout.splitlines()
               if os.path.dirname(os.path.join(root, line)) == os.path.abspath(out_dir)}
    return sorted(tracked & set(names))


class Lock:
    def __init__(self, path):
        self.path = path
        self.file = None

    def __enter__(self):
        self.file = open(self.path, "w")
        try:
            fcntl.flock(self.file, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except BlockingIOError:
            print("media: another media build is running here; waiting for it", flush=True)
            fcntl.flock(self.file, fcntl.LOCK_EX)
        return self

    def __exit__(self, *exc):
        fcntl.flock(self.file, fcntl.LOCK_UN)
        self.file.close()


def build(root, out_dir, tasks, jobs=2, force=False, only=None, log=print):
    """Makes every stale task; returns 0 when all is in place, 1 otherwise."""
    names = [t.name for t in tasks]
    if len(set(names)) != len(names):
        raise ValueError("task names repeat: %s" % names)
    seen = {}
    for task in tasks:
        for output in task.outputs:
            if output in seen:
                raise ValueError("%s is made by both %s and %s" % (output, seen[output], task.name))
            if os.sep in output or output.startswith("."):
                raise ValueError("task %s: output %s must be a plain file name" % (task.name, output))
            seen[output] = task.name
    if only:
        unknown = sorted(set(only) - set(names))
        if unknown:
            log("media: no such task: %s (tasks: %s)" % (", ".join(unknown), ", ".join(names)))
            return 1
        tasks = [t for t in tasks if t.name in only]

    os.makedirs(os.path.join(out_dir, STATE_DIR, "stamps"), exist_ok=True)
    with Lock(os.path.join(out_dir, STATE_DIR, "lock")):
        clash = tracked_outputs(root, out_dir, seen.keys())
        if clash:
            log("media: refusing to overwrite tracked files in %s: %s" % (out_dir, ", ".join(clash)))
            return 1
        started = time.monotonic()
        try:
            digests = {t.name: t.digest(root) for t in tasks}
        except FileNotFoundError as exc:
            log("media: %s" % exc)
            return 1
        stale = [t for t in tasks if force or not is_up_to_date(out_dir, t, digests[t.name])]
        if not stale:
            log("media: all %d tasks up to date in %s" % (len(tasks), out_dir))
            if not only:
                _prune(out_dir, seen, log)
            return 0
        log("media: making %d of %d tasks (%s) with %d workers"
            % (len(stale), len(tasks), ", ".join(t.name for t in stale), jobs))
        failed = []
        done = 0
        by_name = {t.name: t for t in stale}
        with concurrent.futures.ProcessPoolExecutor(max_workers=max(1, jobs)) as pool:
            futures = [pool.submit(_run_task, root, out_dir, t.name, t.builder, t.outputs) for t in stale]
            for future in concurrent.futures.as_completed(futures):
                name, ok, seconds, lines = future.result()
                done += 1
                task = by_name[name]
                if ok:
                    _write_stamp(out_dir, task, digests[name])
                    log("media: [%d/%d] %s (%.1f s)" % (done, len(stale), name, seconds))
                    for line in lines:
                        log("media:     " + line)
                else:
                    failed.append(name)
                    log("media: [%d/%d] %s FAILED after %.1f s:" % (done, len(stale), name, seconds))
                    for line in lines:
                        log("media:     " + line.replace("\n", "\nmedia:     "))
        if failed:
            log("media: %d task(s) failed: %s" % (len(failed), ", ".join(sorted(failed))))
            return 1
        if not only:
            _prune(out_dir, seen, log)
        log("media: done in %.1f s" % (time.monotonic() - started))
        return 0


def _write_stamp(out_dir, task, digest):
    sizes = {name: os.path.getsize(os.path.join(out_dir, name)) for name in task.outputs}
    path = _stamp_path(out_dir, task)
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        json.dump({"digest": digest, "outputs": sizes}, f, indent=1, sort_keys=True)
    os.replace(tmp, path)


def _prune(out_dir, current, log):
    """Removes files an earlier build made that no task makes any more, and
    records the current list. Only files listed by an earlier build go."""
    manifest = os.path.join(out_dir, STATE_DIR, "manifest.txt")
    previous = set()
    if os.path.exists(manifest):
        with open(manifest) as f:
            previous = {line.strip() for line in f if line.strip()}
    for name in sorted(previous - set(current)):
        path = os.path.join(out_dir, name)
        if os.path.isfile(path):
            os.remove(path)
            log("media: removed %s (no longer made)" % name)
    with open(manifest + ".tmp", "w") as f:
        f.write("".join(name + "\n" for name in sorted(current)))
    os.replace(manifest + ".tmp", manifest)


def main(argv, root, tasks_fn, final_check=None):
    """The command line of the media build. final_check(out_dir), when
    given, runs after a whole build and returns the problems it found in the
    finished folder (each one an error)."""
    import argparse
    parser = argparse.ArgumentParser(description="Makes the game's generated media.")
    parser.add_argument("--out", default=os.path.join(root, "media", "generated"),
                        help="output folder (default: media/generated)")
    parser.add_argument("--force", action="store_true", help="remake every task")
    parser.add_argument("--jobs", type=int, default=min(2, os.cpu_count() or 1),
                        help="worker processes (default: 2 or fewer)")
    parser.add_argument("--list", action="store_true", help="list tasks and their outputs, then stop")
    parser.add_argument("only", nargs="*", help="make only these tasks")
    args = parser.parse_args(argv)
    tasks = tasks_fn()
    if args.list:
        for task in tasks:
            print("%s: %s" % (task.name, " ".join(task.outputs)))
        return 0
    if args.jobs < 1:
        print("media: --jobs must be at least 1", file=sys.stderr)
        return 2
    out_dir = os.path.abspath(args.out)
    os.makedirs(out_dir, exist_ok=True)
    try:
        result = build(root, out_dir, tasks, jobs=args.jobs, force=args.force, only=args.only, log=_print)
    except ValueError as exc:  # a catalogue that contradicts itself
        print("media: %s" % exc, file=sys.stderr)
        return 1
    if result == 0 and final_check and not args.only:
        problems = final_check(out_dir)
        for problem in problems:
            print("media: %s" % problem, file=sys.stderr)
        if problems:
            return 1
    return result


def _print(line):
    """Progress to stdout; a reader that went away (| head) must not stop the
    build halfway."""
    try:
        print(line, flush=True)
    except BrokenPipeError:
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, sys.stdout.fileno())


if __name__ == "__main__":
    sys.exit("run tools/make_media.sh")
