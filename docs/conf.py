# Sphinx settings of the documentation site; scripts/docs.sh builds it. The build folder of
# the project (ORVEX_BUILD_DIR, else ./build) supplies Doxygen's XML for the C and C++
# reference and the Python module for the Python pages.
import os
import sys

docs = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(docs)
build = os.environ.get("ORVEX_BUILD_DIR", os.path.join(root, "build"))
sys.path.insert(0, os.path.join(docs, "_ext"))
sys.path.insert(0, os.path.join(build, "python"))

project = "Orvex"
author = "the Orvex developers"
copyright = "the Orvex developers"


def _project_version():
    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as cmake:
        for line in cmake:
            if line.startswith("project(orvex VERSION "):
                return line.split()[2]
    raise RuntimeError("CMakeLists.txt names no version")


release = version = _project_version()

extensions = [
    "sphinx.ext.autodoc",
    "sphinx.ext.doctest",
    "breathe",
    "orvex_docs",
]

exclude_patterns = ["_build", "build.sh", "Doxyfile.in", "CMakeLists.txt"]
templates_path = []
html_theme = "alabaster"
html_title = f"Orvex {release}"
html_theme_options = {"description": "TIFF scanlines with named extra channels"}
html_static_path = []
# Shell sessions are quoted as they are; a bare block is plain text, not Python.
highlight_language = "none"

breathe_projects = {"orvex": os.path.join(build, "docs", "xml")}
breathe_default_project = "orvex"
breathe_domain_by_extension = {"h": "cpp"}
breathe_default_members = ()

autodoc_member_order = "bysource"

# The doctests of a page run in a folder of their own, removed when they are done.
doctest_global_setup = """
import os, shutil, tempfile
_orvex_home = os.getcwd()
_orvex_folder = tempfile.mkdtemp(prefix="orvex-doctest-")
os.chdir(_orvex_folder)
import numpy as np
import orvex
"""
doctest_global_cleanup = """
os.chdir(_orvex_home)
shutil.rmtree(_orvex_folder)
"""

orvex_root = root
