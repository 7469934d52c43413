#!/usr/bin/env python3
"""Makes the site's media from data/catalogue.txt: the short WebM clips every
video shares (data/clips/clipN.webm) and one 130 x 97 JPEG preview picture per
video (data/pictures/ID.jpg), a coloured card with the title's initials.

Needs ffmpeg and ImageMagick (/usr/bin/convert); the build and the tests only
read the committed outputs. Run it again after make-catalogue.py.
"""

import pathlib
import shutil
import subprocess

HERE = pathlib.Path(__file__).resolve().parent
DATA = HERE / "data"
CONVERT = "/usr/bin/convert"

# One test pattern per clip; every clip is 3 seconds of 160 x 120 VP8 at 15 frames a second.
CLIP_SOURCES = [
    "testsrc=size=160x120:rate=15",
    "testsrc2=size=160x120:rate=15",
    "smptebars=size=160x120:rate=15",
    "rgbtestsrc=size=160x120:rate=15",
    "mandelbrot=size=160x120:rate=15",
    "life=size=160x120:rate=15:seed=7:mold=10:ratio=0.2:death_color=#203060:life_color=#f0c020",
    "cellauto=size=160x120:rate=15:rule=110:seed=7",
    "color=c=#3070c0:size=160x120:rate=15,hue=H=t*2",
]

# Card colour by a video's first tag, so a result page shows its topics at a glance.
CARD_COLOURS = {
    "katze": "#c0504d", "cat": "#d07040", "hund": "#8064a2", "dog": "#9070b0",
    "musik": "#4f81bd", "music": "#3a6fa8", "berlin": "#505050", "kochen": "#9bbb59",
    "cooking": "#7fa040", "fussball": "#2e8b57", "bahn": "#8b5a2b", "wetter": "#4bacc6",
    "travel": "#c08000", "österreich": "#a05070",
}


def run(args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_clips():
    folder = DATA / "clips"
    folder.mkdir(parents=True, exist_ok=True)
    for number, source in enumerate(CLIP_SOURCES):
        run(["ffmpeg", "-y", "-f", "lavfi", "-i", f"{source},format=yuv420p", "-t", "3",
             "-c:v", "libvpx", "-b:v", "120k", "-an", "-fflags", "+bitexact",
             str(folder / f"clip{number}.webm")])


def initials(title):
    words = [w for w in title.split() if w[0].isalnum()]
    return "".join(w[0].upper() for w in words[:2]) or "?"


def make_pictures():
    folder = DATA / "pictures"
    if folder.exists():
        shutil.rmtree(folder)
    folder.mkdir(parents=True)
    for line in (DATA / "catalogue.txt").read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("#"):
            continue
        vid, title, duration, _clip, tags, _description = line.split("|")
        colour = CARD_COLOURS.get(tags.split(",")[0], "#606060")
        run([CONVERT, "-size", "130x97", f"xc:{colour}",
             "-font", "DejaVu-Sans-Bold", "-fill", "white", "-gravity", "center",
             "-pointsize", "34", "-annotate", "+0-10", initials(title),
             "-font", "DejaVu-Sans", "-pointsize", "11", "-annotate", "+0+30", duration,
             "-strip", "-quality", "80", str(folder / f"{vid}.jpg")])


def make_stand_in():
    """The picture a video of a library gets when its file has no frame to show: a play sign."""
    shape = ("if(between(X,52,82)*lt(abs(Y-48),(82-X)*0.55),190,"
             "if(lt(abs(X-65),60)*lt(abs(Y-48),42)*gt(abs(X-65)+abs(Y-48),0),48,40))")
    run(["ffmpeg", "-y", "-f", "lavfi", "-i", "color=c=0x303030:s=130x97",
         "-vf", f"geq=lum='{shape}':cb=128:cr=128", "-frames:v", "1", "-q:v", "3",
         str(DATA / "stand-in.jpg")])


if __name__ == "__main__":
    make_clips()
    make_pictures()
    make_stand_in()
