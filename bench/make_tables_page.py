#!/usr/bin/env python3
"""Writes a table-heavy page of about 1 MB to stdout: about 2,000 tables of 5 to 20 rows, some nested three
deep, with column and row spans, percentage and pixel widths, borders, captions and text in every cell.
The table benchmark reads it; a fixed seed makes every run measure the same page.

With --rows N it writes one plain table of N rows instead (the benchmark's linear-growth check)."""
import random
import sys

WORDS = ("score round final match team city player points season record game cup league history goal "
         "winner table archive rules").split()
CYRILLIC = "турнир года победители статистика игры команда матч очки финал".split()


def words(rng, lo, hi):
    out = []
    for _ in range(rng.randint(lo, hi)):
        w = rng.choice(WORDS if rng.random() < 0.8 else CYRILLIC)
        r = rng.random()
        if r < 0.05:
            w = "<b>%s</b>" % w
        elif r < 0.08:
            w = '<a href="page%d.htm">%s</a>' % (rng.randrange(1000), w)
        out.append(w)
    return " ".join(out)


def table(rng, depth):
    cols = rng.randint(2, 3)
    rows = rng.randint(5, 9) if rng.random() < 0.85 else rng.randint(10, 20)
    attrs = ' border="%d" cellspacing="%d" cellpadding="%d"' % (rng.choice((0, 1, 1, 2)), rng.choice((0, 1, 2)),
                                                               rng.choice((1, 2, 3)))
    r = rng.random()
    if r < 0.3:
        attrs += ' width="%d%%"' % rng.choice((50, 80, 90, 100))
    elif r < 0.45:
        attrs += ' width="%d"' % rng.choice((300, 400, 500))
    if rng.random() < 0.1:
        attrs += ' align="%s"' % rng.choice(("center", "right", "left"))
    out = ["<table%s>" % attrs]
    if rng.random() < 0.2:
        out.append("<caption>%s</caption>" % words(rng, 2, 5))
    out.append("<tr>" + "".join("<th>%s</th>" % words(rng, 1, 1) for _ in range(cols)) + "</tr>")
    covered = {}  # (row, col) taken by a row span from above
    nested_left = 1 if depth < 2 and rng.random() < 0.3 else 0
    for i in range(rows - 1):
        cells = []
        c = 0
        while c < cols:
            if covered.get((i, c)):
                c += 1
                continue
            a = ""
            span = 1
            if c + 1 < cols and rng.random() < 0.08:
                span = rng.randint(2, cols - c)
                a += ' colspan="%d"' % span
            if i + 1 < rows - 1 and rng.random() < 0.05:
                rs = rng.randint(2, min(4, rows - 1 - i))
                a += ' rowspan="%d"' % rs
                for k in range(1, rs):
                    for s in range(span):
                        covered[(i + k, c + s)] = True
            if i == 0 and rng.random() < 0.3:
                a += ' width="%s"' % rng.choice(("20%", "30%", "60", "100"))
            if rng.random() < 0.1:
                a += ' bgcolor="#%06x"' % rng.randrange(0xFFFFFF)
            if rng.random() < 0.15:
                a += ' align="right"'
            if nested_left and rng.random() < 0.15:
                nested_left = 0
                body = table(rng, depth + 1)
            else:
                body = words(rng, 1, 1)
            cells.append("<td%s>%s</td>" % (a, body))
            c += span
        out.append("<tr>%s</tr>" % "".join(cells))
    out.append("</table>")
    return "\n".join(out)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--rows":
        n = int(sys.argv[2])
        rows = "".join("<tr><td>%d</td><td>row text %d</td><td align=right>%d</td></tr>\n" % (i, i, i * 7)
                       for i in range(n))
        sys.stdout.write("<html><body><table border=1>%s</table></body></html>" % rows)
        return
    rng = random.Random(2006)
    parts = ["<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">",
             "<style>table.r{border-collapse:collapse} th{background:#eee} td.n{text-align:right}</style>",
             "</head><body>"]
    size = 0
    n = 0
    while size < 1000000:
        if n % 25 == 0:
            h = "<h2>%s</h2>\n<p>%s</p>\n" % (words(rng, 2, 4), words(rng, 10, 30))
            parts.append(h)
            size += len(h.encode("utf-8"))
        t = table(rng, 0) + "\n"
        parts.append(t)
        size += len(t.encode("utf-8"))
        n += 1
    parts.append("</body></html>\n")
    sys.stdout.write("".join(parts))


if __name__ == "__main__":
    main()
