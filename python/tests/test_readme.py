"""The README's Python example runs as written and prints what its comments say."""
import contextlib
import io
import pathlib
import re

README = pathlib.Path(__file__).parents[2] / "README.md"


def test_the_readme_example_prints_its_comments(tmp_path, monkeypatch):
    example = re.search(r"```python\n(.*?)```", README.read_text(encoding="utf-8"), re.S).group(1)
    said = [line.split("#", 1)[1].strip() for line in example.splitlines()
            if line.lstrip().startswith("print(")]
    monkeypatch.chdir(tmp_path)
    printed = io.StringIO()
    with contextlib.redirect_stdout(printed):
        exec(compile(example, str(README), "exec"), {})  # pylint: disable=exec-used
    assert printed.getvalue().splitlines() == said
