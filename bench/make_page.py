#!/usr/bin/env python3
"""Writes a real-looking page of about 1 MB to stdout: a style sheet, headings, paragraphs with bold,
italic and linked words, bulleted and numbered lists, definition lists and rules. The page benchmark reads
it; the words and structure are fixed by a seed, so every run measures the same page."""
import random
import sys

WORDS = ("the information window shows pages of results tournament winners statistics game season players "
         "team city final round score match record history rules archive table points goal league cup").split()
CYRILLIC = "турнир года победители статистика игры команда матч очки финал".split()


def sentence(rng, n):
    out = []
    for i in range(n):
        w = rng.choice(WORDS if rng.random() < 0.8 else CYRILLIC)
        r = rng.random()
        if r < 0.04:
            w = "<b>%s</b>" % w
        elif r < 0.07:
            w = "<i>%s</i>" % w
        elif r < 0.11:
            w = '<a href="page%d.htm">%s</a>' % (rng.randrange(1000), w)
        out.append(w)
    return " ".join(out).capitalize() + "."


def main():
    rng = random.Random(2006)
    parts = ["<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">",
             "<title>Benchmark page</title><style>",
             "body { font-family: Arial; font-size: 10pt } h1 { color: #336699 } h2 { margin-top: 18px }",
             "p { margin: 6px 0; text-align: justify } .note { color: #666666; font-style: italic }",
             "ul li { margin-bottom: 2px } a:hover { color: red }",
             "</style></head><body><h1>Season archive</h1>"]
    size = sum(len(p) for p in parts)
    chapter = 0
    while size < 1024 * 1024:
        chapter += 1
        block = ["<h2><a name=\"c%d\">Chapter %d</a></h2>" % (chapter, chapter)]
        for _ in range(rng.randrange(3, 7)):
            block.append("<p>%s</p>" % " ".join(sentence(rng, rng.randrange(8, 20)) for _ in range(rng.randrange(2, 6))))
        kind = rng.randrange(4)
        if kind == 0:
            block.append("<ul>" + "".join("<li>%s</li>" % sentence(rng, rng.randrange(4, 12)) for _ in range(rng.randrange(3, 9))) + "</ul>")
        elif kind == 1:
            block.append("<ol>" + "".join("<li>%s" % sentence(rng, rng.randrange(4, 12)) for _ in range(rng.randrange(3, 9))) + "</ol>")
        elif kind == 2:
            block.append("<dl>" + "".join("<dt>%s<dd>%s" % (rng.choice(WORDS), sentence(rng, 10)) for _ in range(4)) + "</dl>")
        else:
            block.append("<p class=note>%s</p><hr>" % sentence(rng, 25))
        text = "\n".join(block) + "\n"
        parts.append(text)
        size += len(text.encode("utf-8"))
    parts.append("</body></html>\n")
    sys.stdout.write("".join(parts))


if __name__ == "__main__":
    main()
