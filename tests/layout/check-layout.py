#!/usr/bin/env python3
"""Checks the layering of source/.

- A folder includes only from itself and from the folders below it in LAYERS.
- Every file of morvalen_core and morvalen_pictures (as their folders' CMakeLists list them)
  includes neither a Qt Widgets header nor a file of the widgets library.
- Each folder's CMakeLists lists its own files and only those.

Usage: check-layout.py SOURCE_DIR [QT_WIDGETS_INCLUDE_DIRS]
"""
import os
import re
import sys

# Bottom up: a folder may use only the folders before it.
LAYERS = [
    "common", "platform", "pictures", "markup", "menus", "progressbar", "panels", "details",
    "stores", "settings", "catalog", "dialogs", "catalogviews", "sites", "browser", "notify",
    "mainwindow", "app",
]
# Qt Widgets headers, for a build that was configured without Qt Widgets.
KNOWN_WIDGET_HEADERS = {
    "QWidget", "QApplication", "QDialog", "QLabel", "QPushButton", "QMainWindow", "QMenu",
    "QAction", "QScrollArea", "QStyle", "QAbstractButton", "QLineEdit", "QComboBox",
    "QMessageBox", "QTabWidget", "QSystemTrayIcon", "QLayout", "QBoxLayout",
}

INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^">]+)[">]', re.M)
TARGET_SOURCES = re.compile(r"target_sources\(\s*(\w+)\s+PRIVATE\s+([^)]*)\)", re.S)


def main():
    source = os.path.abspath(sys.argv[1])
    widget_headers = set(KNOWN_WIDGET_HEADERS)
    for folder in (sys.argv[2].split(";") if len(sys.argv) > 2 else []):
        if os.path.basename(folder.rstrip("/")) == "QtWidgets" and os.path.isdir(folder):
            widget_headers |= set(os.listdir(folder))

    faults = []
    rank = {name: i for i, name in enumerate(LAYERS)}
    folders = sorted(d for d in os.listdir(source) if os.path.isdir(os.path.join(source, d)))
    for folder in folders:
        if folder not in rank:
            faults.append(f"source/{folder}/ is not in the layer list of {sys.argv[0]}")

    # Which library each file belongs to, from its folder's CMakeLists.
    library_of = {}
    for folder in folders:
        path = os.path.join(source, folder, "CMakeLists.txt")
        listed = set()
        if os.path.exists(path):
            for target, body in TARGET_SOURCES.findall(open(path, encoding="utf-8").read()):
                for name in body.split():
                    if name.startswith("#"):
                        continue
                    if "/" in name:
                        faults.append(f"source/{folder}/CMakeLists.txt lists {name} of another folder")
                    listed.add(name)
                    library_of[f"{folder}/{name}"] = target
        present = {f for f in os.listdir(os.path.join(source, folder)) if f.endswith((".h", ".cpp"))}
        app_entry = {"main.cpp"} if folder == "app" else set()
        for name in sorted(present - listed - app_entry):
            faults.append(f"source/{folder}/{name} is not listed in its folder's CMakeLists.txt")

    for folder in folders:
        for name in sorted(os.listdir(os.path.join(source, folder))):
            if not name.endswith((".h", ".cpp")):
                continue
            here = f"{folder}/{name}"
            text = open(os.path.join(source, here), encoding="utf-8").read()
            core = library_of.get(here) in ("morvalen_core", "morvalen_pictures")
            for kind, target in INCLUDE.findall(text):
                if kind == "<":
                    header = target.split("/")[-1]
                    if core and (target.startswith("QtWidgets/") or header in widget_headers):
                        faults.append(f"{here}: a core file includes the widget header <{target}>")
                    continue
                if "/" in target:
                    other = target.split("/")[0]
                    resolved = target
                else:
                    other = folder
                    resolved = f"{folder}/{target}"
                if other in rank and folder in rank and rank[other] > rank[folder]:
                    faults.append(f"{here}: includes {target} from {other}/, a higher folder than {folder}/")
                if core and library_of.get(resolved) == "morvalen_gui":
                    faults.append(f"{here}: a core file includes {target} of the widgets library")

    for fault in faults:
        print(fault)
    print(f"{len(folders)} folders checked, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
