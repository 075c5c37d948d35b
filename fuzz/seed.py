#!/usr/bin/env python3
"""Seeds a fuzz target's corpus on its first run, and writes the dictionary of the HTML and sheet targets.

    fuzz/seed.py TARGET CORPUS_DIR DICT_FILE

document, scanner: the hostile seed pages, the shipped pages, the crashers and the HTML written in the tests.
sheet_parser: the shipped sheets, STYLE elements of those pages, and the sheets written in the tests.
gif, png: every picture of the test data (both decoders get both kinds, so each also meets foreign input).
The dictionary holds the tag, attribute and style property names the engine knows, and a few tokens of markup.
"""
import hashlib
import pathlib
import re
import sys
import warnings

warnings.filterwarnings("ignore", category=DeprecationWarning)

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "tests" / "data"


def files(folder, *suffixes):
    return sorted(p for p in folder.rglob("*") if p.is_file() and p.suffix.lower() in suffixes)


def literals_in_tests():
    """String literals of the test sources, raw ones whole and plain ones joined per statement."""
    out = []
    for src in files(ROOT / "tests", ".cpp", ".h"):
        text = src.read_text(encoding="utf-8", errors="replace")
        out += re.findall(r'R"\((.*?)\)"', text, re.S)
        out += [bytes(s, "utf-8").decode("unicode_escape", errors="ignore")
                for s in re.findall(r'"((?:[^"\\\n]|\\.)*)"', text)]
    return out


def html_seeds():
    for p in files(DATA / "html-seeds", ".html") + files(DATA / "crashers", ".html") + \
             files(ROOT / "content", ".html", ".htm"):
        yield p.read_bytes()
    for s in literals_in_tests():
        if "<" in s and len(s) > 3:
            yield s.encode("cp1251", errors="ignore")


def sheet_seeds():
    for p in files(ROOT / "content", ".css"):
        yield p.read_bytes()
    for page in files(ROOT / "content", ".html", ".htm") + files(DATA / "html-seeds", ".html"):
        for sheet in re.findall(rb"<style[^>]*>(.*?)</style", page.read_bytes(), re.S | re.I):
            yield sheet
    for s in literals_in_tests():
        if "{" in s and ":" in s:
            yield s.encode("cp1251", errors="ignore")


def picture_seeds():
    for p in files(DATA, ".gif", ".png", ".jpg", ".bmp"):
        yield p.read_bytes()


def dictionary():
    words = set()
    symbols = (ROOT / "core" / "symbols.cpp").read_text()
    for name in re.findall(r'\{"([A-Z][A-Z0-9-]*)"', symbols):
        words.update({"<" + name, "</" + name + ">", name + "="})
    props = (ROOT / "style" / "properties.cpp").read_text()
    for name in re.findall(r'"([a-z][a-z-]+)"', props):
        words.update({name + ":", name})
    words.update({"<!--", "-->", "<!DOCTYPE html>", "&nbsp;", "&#x", "&#", "=\"", "'", "/>", "{", "}", ";",
                  "@import", "@media", "url(", "rgb(", "!important", "px", "em", "%", "#"})
    return sorted(words)


def main():
    target, corpus, dict_file = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    sources = {"document": html_seeds, "scanner": html_seeds, "frameset": html_seeds, "sheet_parser": sheet_seeds,
               "gif": picture_seeds, "png": picture_seeds}
    corpus.mkdir(parents=True, exist_ok=True)
    if not any(corpus.iterdir()) and target in sources:
        count = 0
        for data in sources[target]():
            if data and len(data) <= 200000:
                (corpus / hashlib.sha1(data).hexdigest()).write_bytes(data)
                count += 1
        print(f"seeded {corpus} with {count} inputs")
    with open(dict_file, "w") as out:
        for word in dictionary():
            out.write('"' + word.replace("\\", "\\\\").replace('"', '\\"') + '"\n')


if __name__ == "__main__":
    main()
