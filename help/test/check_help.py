#!/usr/bin/env python3
"""Checks the compiled help files as the build leaves them beside the executables:
each is unpacked with extract_chmLib; its start page, table of contents, index
and every link must lead to what is really inside, every page of the source
folder must be in it, and the two languages must have the same pages.

    check_help.py EXTRACT_CHMLIB HELP_SOURCE_FOLDER FOLDER_OF_THE_CHM_FILES
"""
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile

LANGUAGES = [("VandrelEnglish.chm", "en", 0x0409), ("VandrelGerman.chm", "de", 0x0407)]
SCREENSHOT = "images/main-window.png"
problems = []


def check(ok, what):
    if not ok:
        problems.append(what)


def system_info(data):
    """The settings the compiler keeps in #SYSTEM: contents, index, start page, title, language."""
    info, at = {}, 4
    while at + 4 <= len(data):
        code, length = int.from_bytes(data[at:at + 2], "little"), int.from_bytes(data[at + 2:at + 4], "little")
        value = data[at + 4:at + 4 + length]
        info[code] = int.from_bytes(value[:4], "little") if code == 4 else value.split(b"\0")[0].decode("latin-1")
        at += 4 + length
    return info


def sitemap(text):
    """(depth, name, page) of each entry of a table of contents or an index."""
    entries, depth = [], -1
    inside = False
    for m in re.finditer(r"<(/?)(ul|object)\b([^>]*)>|<param\s+name=\"(\w+)\"\s+value=\"([^\"]*)\"", text, re.I):
        if m.group(2) and m.group(2).lower() == "ul":
            depth += -1 if m.group(1) else 1
        elif m.group(2):
            inside = not m.group(1) and "text/sitemap" in m.group(3).lower()
            if inside:
                entries.append([depth, "", ""])
        elif m.group(4) and inside:
            slot = {"name": 1, "local": 2}.get(m.group(4).lower())
            if slot and not entries[-1][slot]:
                entries[-1][slot] = html.unescape(m.group(5))
    return entries


def main(extract, source, output):
    trees, roots = {}, []
    for chm_name, lang, lcid in LANGUAGES:
        chm = os.path.join(output, chm_name)
        root = tempfile.mkdtemp(prefix="vandrel-help-")
        roots.append(root)
        if not os.path.isfile(chm) or subprocess.run([extract, chm, root], capture_output=True).returncode != 0:
            problems.append("%s was not built or cannot be unpacked" % chm)
            continue
        with open(chm, "rb") as f:
            check(f.read(4) == b"ITSF", chm_name + " is no compiled help file")
        read = lambda name: open(os.path.join(root, name), "rb").read()
        files = sorted(os.path.relpath(os.path.join(d, n), root).replace(os.sep, "/")
                       for d, _, names in os.walk(root) for n in names)
        pages = [f for f in files if f.lower().endswith((".html", ".htm"))]
        info = system_info(read("#SYSTEM"))
        check(info.get(2) == "index.html" and "index.html" in files, chm_name + ": the start page is not index.html")
        check(info.get(4) == lcid and info.get(3), chm_name + ": language id or title")
        contents = sitemap(read(info[0]).decode("latin-1"))
        index = sitemap(read(info[1]).decode("latin-1"))
        trees[lang] = (pages, [(d, page) for d, _, page in contents])
        check(contents and contents[0][2] == "index.html", chm_name + ": the contents do not begin with the start page")
        listed = [page.partition("#")[0] for _, _, page in contents if page]
        check(len(listed) >= 10 and len(set(listed)) == len(listed), chm_name + ": pages missing or twice in the contents")
        check(len(index) >= 20, chm_name + ": an index of fewer than 20 entries")
        def leads_inside(page, link):
            target, _, anchor = html.unescape(link).partition("#")
            if re.match(r"[A-Za-z][-A-Za-z0-9+.]*:", target):
                return True  # a web address
            path = os.path.normpath(os.path.join(os.path.dirname(page), target)).replace(os.sep, "/") if target else page
            if path == SCREENSHOT and not os.path.exists(os.path.join(source, SCREENSHOT)):
                return True  # not made yet: the pages compile without it
            return path in files and (not anchor or re.search(r"\b(?:id|name)=\"%s\"" % re.escape(anchor),
                                                               read(path).decode("latin-1")) is not None)

        # A book of the contents may open no page; an index entry must.
        for entries, book in ((contents, True), (index, False)):
            for _, name, page in entries:
                check(name and (page and leads_inside("", page) or book and not page),
                      "%s: the entry %r opens %r" % (chm_name, name, page))
        titles = {page: name for _, name, page in contents if page}
        for page in pages:
            text = read(page).decode("ascii", "replace")
            check("\ufffd" not in text, "%s: %s has bytes beyond ASCII" % (chm_name, page))
            check(re.search(r"<html[^>]*\blang=\"%s\"" % lang, text),
                  "%s: %s is not marked lang=%s" % (chm_name, page, lang))
            title = re.search(r"<title>(.*?)</title>", text, re.S)
            check(title and html.unescape(title.group(1)) == titles.get(page), "%s: %s is not in the contents under its title"
                  % (chm_name, page))
            for link in re.findall(r"\b(?:href|src)=\"([^\"]*)\"", re.sub(r"<!--.*?-->", "", text, flags=re.S)):
                check(leads_inside(page, link), "%s: %s links to %r, which is not inside" % (chm_name, page, link))
        for name in os.listdir(os.path.join(source, lang)):
            check(not name.endswith(".html") or name in files, "%s: %s is not compiled in" % (chm_name, name))
        if os.path.exists(os.path.join(source, SCREENSHOT)):
            check(SCREENSHOT in files and read(SCREENSHOT) == open(os.path.join(source, SCREENSHOT), "rb").read(),
                  chm_name + " holds no or an old screenshot")
    check(len(trees) == 2 and trees["en"] == trees["de"], "English and German differ in pages or contents")
    for root in roots:
        shutil.rmtree(root, ignore_errors=True)
    print("\n".join(problems) or "both help files are whole")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
