"""The site's own directives: shell sessions quoted from the orvex tool's transcripts, tables
quoted from Markdown files of the repository, and the Python reference when the module is built.

Each one reads a file of the repository when the page is built, so a page cannot drift from
what the tests check or the benchmarks measured; a session or table that is not found fails
the build.
"""
import os
import re

from docutils import nodes
from docutils.parsers.rst import directives
from docutils.statemachine import StringList
from sphinx.util import logging
from sphinx.util.docutils import SphinxDirective

logger = logging.getLogger(__name__)

TRANSCRIPTS = os.path.join("tests", "data", "transcripts", "cli")


def read_sessions(path):
    """The sessions of a transcript: (command, [(stream, line), ...]) in file order.

    A session starts with "$ orvex ..."; "! " lines are stderr, "[exit N]" the status and
    "+ " lines the test's checks of the files written, which a reader does not see.
    """
    sessions = []
    with open(path, encoding="utf-8", errors="surrogateescape") as transcript:
        for raw in transcript.read().split("\n"):
            if raw.startswith("$ "):
                sessions.append((raw[2:], [], None))
            elif not sessions:
                continue
            elif raw.startswith("[exit ") and raw.endswith("]"):
                command, lines, _ = sessions[-1]
                sessions[-1] = (command, lines, int(raw[6:-1]))
            elif raw.startswith("+ ") or sessions[-1][2] is not None:
                continue
            elif raw.startswith("! "):
                sessions[-1][1].append(("stderr", raw[2:]))
            elif raw == "!":
                sessions[-1][1].append(("stderr", ""))
            else:
                sessions[-1][1].append(("stdout", raw))
    return sessions


class OrvexSession(SphinxDirective):
    """Quotes sessions of tests/data/transcripts/cli/FILE as a console block.

    ``:start:`` selects the first session whose command begins with the text (default: the
    first of the file), ``:count:`` how many sessions follow it (default 1). The transcripts'
    placeholders become paths a reader recognises: ``DATA/`` the repository's
    ``tests/data/``, ``TMP/`` the working folder, or ``:tmp:`` when given.
    """

    required_arguments = 1
    option_spec = {
        "start": directives.unchanged_required,
        "count": directives.positive_int,
        "tmp": directives.unchanged,
        "no-stderr": directives.flag,
        "caption": directives.unchanged,
    }

    def run(self):
        root = self.config.orvex_root
        path = os.path.join(root, TRANSCRIPTS, self.arguments[0])
        if not os.path.isfile(path):
            raise self.error(f"no transcript {path}")
        self.env.note_dependency(path)
        sessions = read_sessions(path)
        start = self.options.get("start")
        first = 0
        if start is not None:
            matches = [i for i, s in enumerate(sessions) if s[0].startswith(start)]
            if not matches:
                raise self.error(f"{self.arguments[0]} has no session beginning {start!r}")
            first = matches[0]
        count = self.options.get("count", 1)
        chosen = sessions[first:first + count]
        if len(chosen) != count:
            raise self.error(f"{self.arguments[0]} has fewer than {count} sessions from {start!r}")
        tmp = self.options.get("tmp", "")

        def place(text):
            return text.replace("DATA/", "tests/data/").replace("TMP/", tmp)

        shown = []
        for command, lines, status in chosen:
            shown.append("$ " + place(command))
            for stream, line in lines:
                if stream == "stderr" and "no-stderr" in self.options:
                    continue
                shown.append(place(line))
            if status:
                shown.append(f"[exit status {status}]")
        text = "\n".join(shown).encode("utf-8", "surrogateescape").decode("utf-8", "replace")
        block = nodes.literal_block(text, text, orvex_session=path)
        block["language"] = "console"
        self.set_source_info(block)
        if "caption" in self.options:
            container = nodes.container("", literal_block=True, classes=["literal-block-wrapper"])
            caption = nodes.caption(self.options["caption"], self.options["caption"])
            container += caption
            container += block
            return [container]
        return [block]


EXPECTED_OUTPUT = re.compile(r'orvex_expect_output\(\s*(\S+)\s+((?:"(?:[^"\\]|\\.)*"\s*)+)\)')


class OrvexExpectedOutput(SphinxDirective):
    """Quotes the output a test of examples/CMakeLists.txt expects of an example host: the
    lines of its ``orvex_expect_output(TEST ...)``."""

    required_arguments = 1

    def run(self):
        path = os.path.join(self.config.orvex_root, "examples", "CMakeLists.txt")
        self.env.note_dependency(path)
        with open(path, encoding="utf-8") as listing:
            found = [m for m in EXPECTED_OUTPUT.finditer(listing.read())
                     if m.group(1) == self.arguments[0]]
        if not found:
            raise self.error(f"examples/CMakeLists.txt expects no output of {self.arguments[0]}")
        lines = re.findall(r'"((?:[^"\\]|\\.)*)"', found[0].group(2))
        text = "\n".join(re.sub(r"\\(.)", r"\1", line) for line in lines)
        block = nodes.literal_block(text, text, orvex_session=path)
        self.set_source_info(block)
        return [block]


HEADING = re.compile(r"^(#+)\s+(.*?)\s*$")


def markdown_inline(text):
    """Markdown's inline code to reStructuredText's; everything else is taken as it is."""
    escaped = re.sub(r"([*_|\\])", r"\\\1", text)
    return re.sub(r"`([^`]+)`", lambda m: "``" + m.group(1).replace("\\", "") + "``", escaped)


class OrvexMarkdownTable(SphinxDirective):
    """Quotes a pipe table of a Markdown file of the repository.

    The argument is the file, relative to the repository's root; ``:section:`` is the text of
    the heading the table follows, ``:index:`` which table of that section (default 0).
    """

    required_arguments = 1
    option_spec = {
        "section": directives.unchanged_required,
        "index": directives.nonnegative_int,
    }

    def run(self):
        path = os.path.join(self.config.orvex_root, self.arguments[0])
        if not os.path.isfile(path):
            raise self.error(f"no file {path}")
        self.env.note_dependency(path)
        section = self.options["section"]
        wanted = self.options.get("index", 0)
        tables, inside, current = [], False, None
        with open(path, encoding="utf-8") as markdown:
            for line in markdown.read().split("\n"):
                heading = HEADING.match(line)
                if heading:
                    inside = heading.group(2) == section
                    current = None
                    continue
                if not inside:
                    continue
                if line.startswith("|"):
                    if current is None:
                        current = []
                        tables.append(current)
                    current.append(line)
                else:
                    current = None
        if len(tables) <= wanted:
            raise self.error(f"{self.arguments[0]}: section {section!r} has no table {wanted}")
        rows = []
        for line in tables[wanted]:
            cells = [c.strip() for c in line.strip().strip("|").split("|")]
            if all(re.fullmatch(r":?-+:?", c) for c in cells):
                continue
            rows.append(cells)
        width = len(rows[0])
        rst = [".. list-table::", "   :header-rows: 1", ""]
        for cells in rows:
            if len(cells) != width:
                raise self.error(f"{self.arguments[0]}: a row of {len(cells)} cells, {width} expected")
            for k, cell in enumerate(cells):
                rst.append(("   * - " if k == 0 else "     - ") + (markdown_inline(cell) or r"\ "))
        container = nodes.container()
        self.state.nested_parse(StringList(rst, source=path), self.content_offset, container)
        return container.children


def python_module_found():
    try:
        import orvex  # noqa: F401  (the module built by the project, found through conf.py)
    except ImportError:
        return False
    return True


class OrvexPythonReference(SphinxDirective):
    """The module's reference by autodoc when the module is importable; otherwise a note, so
    that a build without the module still builds the rest of the site."""

    has_content = True

    def run(self):
        if python_module_found():
            lines = list(self.content)
        else:
            lines = [".. note::", "",
                     "   The Python module was not built in this build folder, so its "
                     "reference is missing here. ``scripts/docs.sh`` builds it first."]
        container = nodes.container()
        self.state.nested_parse(StringList(lines, source=self.get_source_info()[0]),
                                self.content_offset, container)
        return container.children


def check_code_blocks(app, doctree):
    """Warns of every code block that nothing runs or compiles: the site's code is quoted from
    files the tests build or replay (literalinclude, orvex-session) or run by the doctest
    builder."""
    for block in doctree.findall(nodes.literal_block):
        if block.get("source") or block.get("orvex_session") or block.get("testnodetype"):
            continue
        logger.warning("a code block that nothing runs or compiles: quote it with "
                       "literalinclude, orvex-session or a doctest", location=block)


def setup(app):
    app.connect("doctree-read", check_code_blocks)
    app.add_config_value("orvex_root", None, "env")
    app.add_directive("orvex-session", OrvexSession)
    app.add_directive("orvex-markdown-table", OrvexMarkdownTable)
    app.add_directive("orvex-expected-output", OrvexExpectedOutput)
    app.add_directive("orvex-python-reference", OrvexPythonReference)
    return {"version": "1", "parallel_read_safe": True, "parallel_write_safe": True}
