#!/usr/bin/env python3
"""Writes the site's video catalogue, data/catalogue.txt.

The catalogue is made from word lists with a fixed seed, so running this again
gives the same file. One video per line, fields joined by "|":
    id|title|duration|clip|tags|description
Titles never hold a straight single or double quote, "<", ">", "&" or "|": the
result pages carry the title between single quotes. Descriptions may hold
"<br/>" and tab characters, as uploaders' texts did.
"""

import pathlib
import random

SEED = 1905
CLIPS = 8
ID_ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"

# topic: (count, tags, subjects, actions, description sentences)
TOPICS = {
    "katze": (52, ["katze", "cat", "tiere", "lustig"],
              ["Katze", "Kätzchen", "Kater Fritz", "Die Katze der Nachbarin", "Unsere Katze Mütze",
               "Müde Katze", "Freche Katze", "Katzenmama"],
              ["gegen Gurke", "im Schnee", "spielt mit Wolle", "schläft auf der Heizung",
               "öffnet die Tür", "jagt den Laserpunkt", "fällt vom Sofa", "im Karton",
               "begrüßt den Postboten", "trinkt aus dem Wasserhahn", "und der Staubsauger",
               "auf dem Kratzbaum", "beim Tierarzt", "träumt", "gähnt"],
              ["Unsere Katze wieder in Höchstform.", "Gefilmt im Wohnzimmer in Köln.",
               "Sie macht das jeden Morgen um sechs.", "Keine Katze wurde verletzt.",
               "Wer hat die Gurke hingelegt?", "Mehr Katzenvideos auf meinem Kanal.",
               "Ton an für das Schnurren!", "Zum Glück war der Teller leer."]),
    "cat": (40, ["cat", "katze", "pets", "funny"],
            ["Cat", "Kitten", "My cat Oscar", "Grumpy cat", "Sleepy kitten", "The neighbour’s cat",
             "Tiny kitten"],
            ["vs. cucumber", "meets a hedgehog", "opens the fridge", "learns to swim",
             "hates Mondays", "steals the sandwich", "in a paper bag", "chases its tail",
             "sings along", "watches birds"],
            ["Filmed in our kitchen last weekend.", "She does this every single day.",
             "No cats were harmed.", "Sound on for the purring!", "Part of my cat collection.",
             "Please subscribe for more cat videos."]),
    "hund": (30, ["hund", "dog", "tiere"],
             ["Hund", "Welpe", "Dackel Waldi", "Unser Schäferhund", "Kleiner Mops"],
             ["fängt Frisbee", "im Schwimmbad", "gegen Katze", "lernt Sitz", "im Laub",
              "holt die Zeitung", "am Strand von Rügen", "singt"],
             ["Waldi ist zwölf Jahre alt.", "Gefilmt am Ostseestrand.",
              "Er wollte einfach nicht aufhören.", "Schöne Grüße an alle Hundefreunde!"]),
    "dog": (20, ["dog", "hund", "pets"],
            ["Dog", "Puppy", "Our beagle", "Husky"],
            ["catches a frisbee", "meets snow", "howls at sirens", "at the beach", "learns a trick"],
            ["Best dog ever.", "Filmed at the park.", "He was so proud of himself."]),
    "musik": (48, ["musik", "music", "live"],
              ["Straßenmusik", "Akkordeon", "Gitarrenstunde", "Blaskapelle", "Chorprobe",
               "Klavierkonzert", "Schlagzeugsolo", "Geige"],
              ["in Köln", "am Bahnhof", "für Anfänger", "in der Fußgängerzone", "beim Stadtfest",
               "im Treppenhaus", "mit Oma", "auf dem Dach", "im Regen", "in München"],
              ["Musik von der Straße, live aufgenommen.", "Das Lied heißt „Über den Wolken“.",
               "Gespielt auf einer alten Gitarre.", "Aufgenommen mit dem Handy.",
               "Die Akustik im Treppenhaus ist großartig.", "Noten gibt es auf Anfrage."]),
    "music": (30, ["music", "musik", "live"],
              ["Street music", "Guitar lesson", "Piano cover", "Drum solo", "Choir rehearsal",
               "Ukulele song"],
              ["in London", "for beginners", "at the station", "on the rooftop", "in the rain",
               "part 2"],
              ["Recorded live on my phone.", "Song written by my brother.",
               "Tabs in the description soon.", "Thanks for listening!"]),
    "berlin": (46, ["berlin", "stadt", "city", "reise"],
               ["Berlin", "Spaziergang durch Kreuzberg", "Brandenburger Tor", "Fernsehturm",
                "Alexanderplatz", "Spreefahrt", "Mauerpark", "Berliner U-Bahn"],
               ["bei Nacht", "im Winter", "im Zeitraffer", "am Sonntag", "von oben",
                "im Nebel", "zur Silvesternacht", "im Frühling"],
               ["Berlin, wie wir es lieben.", "Gefilmt vom Fernsehturm aus.",
                "Die Musik ist selbst gemacht.", "Grüße aus der Hauptstadt!",
                "Aufgenommen im März."]),
    "kochen": (30, ["kochen", "essen", "rezept"],
               ["Apfelstrudel", "Käsespätzle", "Kartoffelsalat", "Brezeln", "Rührei",
                "Schwäbische Maultaschen", "Sauerbraten"],
               ["wie bei Oma", "in 10 Minuten", "für Studenten", "ganz einfach", "ohne Backofen"],
               ["Das Rezept steht unten.", "Zutaten für vier Personen.",
                "Guten Appetit und viel Spaß beim Nachkochen!", "Dauert nur eine Viertelstunde."]),
    "cooking": (16, ["cooking", "food", "recipe"],
                ["Pancakes", "Tomato soup", "Banana bread", "Fried rice"],
                ["in 5 minutes", "for students", "the easy way", "without an oven"],
                ["Recipe below.", "Serves four.", "Enjoy your meal!"]),
    "fussball": (26, ["fussball", "fußball", "sport"],
                 ["Fußball", "Elfmeterschießen", "Traumtor", "Kreisliga", "Torwart"],
                 ["im Hinterhof", "im Schnee", "der Woche", "verrückt", "aus 40 Metern"],
                 ["Kreisliga, aber mit Herz.", "Das Tor fiel in der letzten Minute.",
                  "Gefilmt vom Spielfeldrand."]),
    "bahn": (22, ["bahn", "zug", "eisenbahn"],
             ["Dampflok", "ICE", "Güterzug", "Straßenbahn", "Modelleisenbahn"],
             ["im Schwarzwald", "bei Tempo 300", "über die Brücke", "im Schneesturm",
              "im Keller"],
             ["Gefilmt am Bahnübergang.", "Die Lok ist über hundert Jahre alt.",
              "Für alle Eisenbahnfreunde."]),
    "wetter": (20, ["wetter", "natur"],
               ["Gewitter", "Hagel", "Sonnenuntergang", "Nordlicht", "Schneesturm"],
               ["über dem Bodensee", "in Hamburg", "im Zeitraffer", "über den Alpen"],
               ["Aufgenommen vom Balkon.", "So etwas habe ich noch nie gesehen.",
                "Zum Glück waren alle im Haus."]),
    "travel": (20, ["travel", "reise", "city"],
               ["Road trip", "Island hopping", "Night train", "Hiking"],
               ["through Norway", "in Greece", "to Vienna", "across the Alps", "in Berlin"],
               ["Three weeks, one backpack.", "Filmed with a cheap camera.",
                "Next stop: Munich."]),
    "alpen": (10, ["österreich", "reise", "alpen"],
              ["Ötztal", "Österreichs Alpen", "Äußerst steile Passstraße", "Ötscher"],
              ["im Sommer", "von oben", "mit dem Rad", "bei Sonnenaufgang"],
              ["Urlaub in Österreich.", "Äußerst empfehlenswert!", "Gefilmt mit einer Drohne."]),
}

ENGLISH_TOPICS = {"cat", "dog", "music", "cooking", "travel"}
ACCENTS = {
    "de": ["", "", "", " – Teil 2", " (HD)", " – Teil 3", " (Original)", "!"],
    "en": ["", "", "", " – part 2", " (HD)", " – part 3", " (original)", "!"],
}


def make_id(rng, taken):
    while True:
        first = rng.choice(ID_ALPHABET[:62])
        vid = first + "".join(rng.choice(ID_ALPHABET) for _ in range(10))
        if vid.lower() not in taken:
            taken.add(vid.lower())
            return vid


def make_title(rng, subjects, actions, accents, titles):
    for _ in range(1000):
        title = f"{rng.choice(subjects)} {rng.choice(actions)}{rng.choice(accents)}"
        if title not in titles:
            titles.add(title)
            return title
    raise SystemExit("word lists too small for unique titles")


def make_description(rng, sentences):
    parts = rng.sample(sentences, k=min(len(sentences), rng.randint(1, 3)))
    style = rng.randrange(4)
    if style == 0:
        return "<br/>".join(parts)
    if style == 1:
        return "\t".join(parts)
    if style == 2:
        return parts[0] + "<br/><br/>\t" + " ".join(parts[1:]) if len(parts) > 1 else parts[0]
    return " ".join(parts)


def make_duration(rng):
    seconds = rng.choice([rng.randint(15, 240), rng.randint(60, 600), rng.randint(600, 1500)])
    return f"{seconds // 60}:{seconds % 60:02d}"


def main():
    rng = random.Random(SEED)
    taken, titles, rows = set(), set(), []
    for topic, (count, tags, subjects, actions, sentences) in TOPICS.items():
        accents = ACCENTS["en" if topic in ENGLISH_TOPICS else "de"]
        for _ in range(count):
            fields = [
                make_id(rng, taken),
                make_title(rng, subjects, actions, accents, titles),
                make_duration(rng),
                str(rng.randrange(CLIPS)),
                ",".join(tags + ["klipfang"]),
                make_description(rng, sentences),
            ]
            rows.append("|".join(fields))
    rng.shuffle(rows)
    out = pathlib.Path(__file__).resolve().parent / "data" / "catalogue.txt"
    header = ("# Klipfang site catalogue, written by make-catalogue.py: "
              "id|title|duration|clip|tags|description\n")
    out.write_text(header + "\n".join(rows) + "\n", encoding="utf-8")
    print(f"{len(rows)} videos written to {out}")


if __name__ == "__main__":
    main()
