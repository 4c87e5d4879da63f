#!/usr/bin/env python3
"""Fails when a source file includes a header from a folder it may not use.

    check_layers.py TABLE SOURCE_DIR [STAMP]
    check_layers.py --dot TABLE SOURCE_DIR    the picture, in graphviz's dot

TABLE names, for every folder of SOURCE_DIR, the folders it may include
directly ("world: map script"); a folder may also include whatever those
may, so each line names only the next step down. Lines
"except FILE -> HEADER" let one include stand against the direction while
it is being cut. The table itself must hold no circle, or the direction
would mean nothing. On success the STAMP file is touched, so that the build
runs the check again only when a source or the table changes.
"""

import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cpp")


class Table:
    def __init__(self):
        self.allowed = {}  # folder -> set of folders it names
        self.lines = {}  # folder -> line of the table naming it
        self.exceptions = {}  # (file, header) -> line of the table


def read_table(path, errors):
    table = Table()
    try:
        with open(path, encoding="utf-8") as stream:
            rows = stream.read().splitlines()
    except OSError as error:
        errors.append(f"{path}: cannot be read ({error.strerror})")
        return table
    for number, row in enumerate(rows, 1):
        text = row.split("#", 1)[0].strip()
        if not text:
            continue
        where = f"{path}:{number}"
        if text.startswith("except "):
            parts = text[len("except "):].split("->")
            if len(parts) != 2 or not parts[0].strip() or not parts[1].strip():
                errors.append(f"{where}: an exception reads 'except FILE -> HEADER', not '{text}'")
                continue
            table.exceptions[(parts[0].strip(), parts[1].strip())] = number
            continue
        if ":" not in text:
            errors.append(f"{where}: a rule reads 'folder: folders it may include', not '{text}'")
            continue
        folder, below = text.split(":", 1)
        folder = folder.strip()
        if not folder or " " in folder:
            errors.append(f"{where}: '{folder}' is no folder name")
            continue
        if folder in table.allowed:
            errors.append(f"{where}: folder '{folder}' is listed twice (first on line {table.lines[folder]})")
            continue
        table.allowed[folder] = set(below.split())
        table.lines[folder] = number
    for folder, below in table.allowed.items():
        for name in sorted(below):
            if name not in table.allowed:
                errors.append(f"{path}:{table.lines[folder]}: '{folder}' names '{name}', which has no line of its own")
            elif name == folder:
                errors.append(f"{path}:{table.lines[folder]}: '{folder}' names itself")
    return table


def find_cycle(allowed):
    """A list of folders running in a circle through the table, or None."""
    state = {}
    trail = []

    def visit(folder):
        state[folder] = "open"
        trail.append(folder)
        for name in sorted(allowed.get(folder, ())):
            if name == folder or name not in allowed:
                continue
            if state.get(name) == "open":
                return trail[trail.index(name):] + [name]
            if name not in state:
                found = visit(name)
                if found:
                    return found
        trail.pop()
        state[folder] = "done"
        return None

    for folder in sorted(allowed):
        if folder not in state:
            found = visit(folder)
            if found:
                return found
    return None


def reachable(allowed):
    """For each folder, every folder it may include: its own names and theirs."""
    closure = {}
    for folder in allowed:
        seen = set()
        todo = list(allowed[folder])
        while todo:
            name = todo.pop()
            if name in seen or name not in allowed:
                continue
            seen.add(name)
            todo.extend(allowed[name])
        closure[folder] = seen
    return closure


def source_files(source_dir):
    for top, folders, files in os.walk(source_dir):
        folders.sort()
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(top, name)


def folder_of(source_dir, path):
    relative = os.path.relpath(path, source_dir).replace(os.sep, "/")
    return relative.split("/", 1)[0] if "/" in relative else None


def check_includes(source_dir, table, table_path, errors, warnings):
    closure = reachable(table.allowed)
    used = set()
    seen_folders = set()
    for path in source_files(source_dir):
        relative = os.path.relpath(path, source_dir).replace(os.sep, "/")
        folder = folder_of(source_dir, path)
        if folder is None:
            continue
        if folder not in table.allowed:
            if folder not in seen_folders:
                errors.append(f"{table_path}: folder '{folder}' of {source_dir} has no line in the table")
            seen_folders.add(folder)
            continue
        try:
            with open(path, encoding="utf-8", errors="replace") as stream:
                rows = stream.read().splitlines()
        except OSError as error:
            errors.append(f"{path}: cannot be read ({error.strerror})")
            continue
        for number, row in enumerate(rows, 1):
            match = INCLUDE.match(row)
            if not match:
                continue
            header = match.group(1)
            beside = os.path.normpath(os.path.join(os.path.dirname(path), header))
            if os.path.isfile(beside):
                target = folder_of(source_dir, beside)
            elif os.path.isfile(os.path.join(source_dir, header)):
                target = folder_of(source_dir, os.path.join(source_dir, header))
            else:
                continue  # a system or generated header
            if target is None or target == folder or target in closure[folder]:
                continue
            key = (relative, header)
            if key in table.exceptions:
                used.add(key)
                continue
            errors.append(f"{path}:{number}: {folder} -> {target} runs against the direction in {table_path} "
                          f"(#include \"{header}\")")
    for key, number in sorted(table.exceptions.items(), key=lambda item: item[1]):
        if key not in used:
            warnings.append(f"{table_path}:{number}: the exception {key[0]} -> {key[1]} is no longer needed")


def dot_graph(table, source_dir):
    """The table's arrows, and in red those the remaining exceptions add."""
    lines = ["digraph layers {", '    node [shape=box, fontname="sans-serif"];', '    edge [color="#404040"];']
    for folder in sorted(table.allowed):
        lines.append(f'    "{folder}";')
    for folder in sorted(table.allowed):
        for name in sorted(table.allowed[folder]):
            lines.append(f'    "{folder}" -> "{name}";')
    against = {}
    for (path, header) in table.exceptions:
        pair = (path.split("/", 1)[0], header.split("/", 1)[0])
        against[pair] = against.get(pair, 0) + 1
    for (folder, target), count in sorted(against.items()):
        label = f"{count} include" + ("s" if count > 1 else "")
        lines.append(f'    "{folder}" -> "{target}" [color=red, fontcolor=red, style=dashed, '
                     f'constraint=false, label="{label}"];')
    lines.append("}")
    return "\n".join(lines) + "\n"


def main(arguments):
    if arguments[:1] == ["--dot"] and len(arguments) == 3:
        errors = []
        table = read_table(arguments[1], errors)
        for error in errors:
            print(f"layers: error: {error}", file=sys.stderr)
        if errors:
            return 1
        sys.stdout.write(dot_graph(table, arguments[2]))
        return 0
    if len(arguments) not in (2, 3):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    table_path, source_dir = arguments[0], arguments[1]
    errors, warnings = [], []
    if not os.path.isdir(source_dir):
        errors.append(f"{source_dir}: no such folder")
    table = read_table(table_path, errors)
    cycle = find_cycle(table.allowed)
    if cycle:
        errors.append(f"{table_path}: the folders run in a circle: {' -> '.join(cycle)}")
    if not errors:
        check_includes(source_dir, table, table_path, errors, warnings)
    for warning in warnings:
        print(f"layers: warning: {warning}", file=sys.stderr)
    for error in errors:
        print(f"layers: error: {error}", file=sys.stderr)
    if errors:
        return 1
    if len(arguments) == 3:
        with open(arguments[2], "w", encoding="utf-8") as stamp:
            stamp.write("passed\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
