#!/usr/bin/env python3
"""Writes samples/competition/: the interchange files of a two-day meet.

A weekend meet in a 50 m pool as the competition software exports it after
the last race: header, programme, age categories, clubs, licences (with one
swimmer entered by a selection and the relay pseudo-licences), relay
compositions, results and entries. About 150 swimmers from thirteen clubs
swim individual events with heats and finals, and relays for women, men and
a mixed one. Some lines carry what real files carry: blank times, status
codes (90 and above), a missing split, blank points (the points component
fills them on import), apostrophes, and accented letters in the DOS code
page in the files the importer converts (club, licence, categories).

The output is deterministic; run it again after changing it and commit the
files it writes:

    python3 tools/make_sample_meet.py [OUTPUT_DIR]
"""

import math
import random
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BASE_TIMES = ROOT / "src" / "points" / "base_times.txt"

MEET_NUMBER = "042"
DAYS = ["21112026", "22112026"]  # Saturday, Sunday
SEASON_START = "16092026"
LANES = [4, 5, 3, 6, 2, 7, 1, 8]  # fastest entry in the middle lane
CATEGORIES = [  # number, first birth year, last birth year, label
    (1, 2013, 2014, "Benjamins"),
    (2, 2011, 2012, "Minimes"),
    (3, 2009, 2010, "Cadets"),
    (4, 2007, 2008, "Juniors"),
    (5, 1992, 2006, "Seniors"),
    (6, 1940, 1991, "Maîtres (catégorie d'âge 25+)"),
]

# ---------------------------------------------------------------------------
# Encodings: Windows-1252 everywhere; in the files the importer passes through
# its DOS accent conversion, the accented letters use the DOS code page.

DOS_LETTERS = {"ü": 129, "é": 130, "â": 131, "ä": 132, "à": 133, "ç": 135, "ê": 136, "ë": 137,
               "è": 138, "ï": 139, "î": 140, "ô": 147, "ö": 148, "û": 150, "ù": 151}


def cp1252(text):
    return text.encode("cp1252")


def dos(text):
    out = bytearray()
    for ch in text:
        if ch in DOS_LETTERS:
            out.append(DOS_LETTERS[ch])
        else:
            byte = ch.encode("cp1252")
            # The conversion would turn these bytes into letters too.
            assert not 0x80 <= byte[0] < 0xA0, ch
            out += byte
    return bytes(out)


def record(fields, encode=cp1252):
    """Fixed-width record from (text, width[, 'right']) fields."""
    parts = []
    for field in fields:
        text, width = str(field[0]), field[1]
        assert len(text) <= width, (text, width)
        parts.append(text.rjust(width) if len(field) > 2 else text.ljust(width))
    return encode("".join(parts))


def write_file(folder, name, lines, length=None):
    for line in lines:
        assert length is None or len(line) == length, (name, len(line), line)
    (folder / name).write_bytes(b"".join(line + b"\r\n" for line in lines))


# ---------------------------------------------------------------------------
# Times in hundredths of a second, written m.sscc.

def msscc(hundredths, minute_digits=2):
    """m.sscc text: the results file writes two minute digits (01.0523),
    the entries file as few as needed (1.0523)."""
    minutes, rest = divmod(hundredths, 6000)
    return f"{minutes:0{minute_digits}d}.{rest:04d}"


def read_base_times():
    table = {}
    for line in BASE_TIMES.read_text(encoding="utf-8").splitlines():
        words = line.split()
        if words and not words[0].startswith("#"):
            minutes, _, sscc = words[1].partition(".")
            table[int(words[0])] = int(minutes) * 6000 + int(sscc)
    return table


BASE = read_base_times()


def points_of(code, hundredths):
    return 1000 * BASE[code] ** 3 // hundredths ** 3


def swim_time(code, level, rng):
    """A time for a swimmer of `level` points, give or take a little."""
    return round(BASE[code] * (1000 / level) ** (1 / 3) * rng.uniform(0.985, 1.02))


# ---------------------------------------------------------------------------
# Events: code -> (distance per swimmer, swimmers). Men's codes are the
# women's + 50; the mixed relays exist once.

EVENTS = {1: (50, 1), 2: (100, 1), 3: (200, 1), 5: (800, 1), 6: (1500, 1), 13: (200, 1),
          21: (50, 1), 22: (100, 1), 32: (100, 1), 41: (200, 1), 42: (400, 1),
          43: (100, 4), 46: (100, 4), 35: (50, 4)}
for code in list(EVENTS):
    if code != 35:
        EVENTS[code + 50] = EVENTS[code]

# The results software keeps the first 50 m of these relays in this split.
FIRST_LEG_SPLIT = {35: 5, 49: 5, 99: 5, 9: 10, 59: 10, 84: 10}

# Programme: (day, women's code, ranking type, finals, type of finals).
# Ranking 1 is by time only (no finals); finals "T" for all categories
# together, "C" by category.
PROGRAMME = [
    (0, 2, 2, 1, "T"), (0, 13, 1, 0, " "), (0, 21, 3, 1, "C"), (0, 42, 1, 0, " "),
    (0, 5, 1, 0, " "), (0, 43, 1, 0, " "),
    (1, 1, 2, 2, "T"), (1, 3, 1, 0, " "), (1, 32, 8, 1, "C"), (1, 41, 1, 0, " "),
    (1, 22, 1, 0, " "), (1, 6, 1, 0, " "), (1, 46, 1, 0, " "), (1, 35, 1, 0, " "),
]


def splits(code, laps):
    """The 14 split fields of a swim from its 50 m lap times: cumulative
    times counted back from the finish, every 50 m up to 400 m, every 100 m
    beyond."""
    distance = len(laps) * 50
    step = 50 if distance <= 400 else 100
    cumulative = [sum(laps[:i]) for i in range(len(laps) + 1)]
    fields = [None] * 14
    for k in range(1, min(14, distance // step - 1) + 1):
        fields[k - 1] = cumulative[(distance - k * step) // 50]
    if code in FIRST_LEG_SPLIT:
        fields[FIRST_LEG_SPLIT[code] - 1] = cumulative[1]
    return fields


def laps_of(total, count, rng, dive=True):
    """Shares `total` hundredths among `count` 50 m laps, the first faster."""
    weights = [rng.uniform(0.98, 1.03) for _ in range(count)]
    if dive:
        weights[0] *= 0.92
    laps = [int(total * w / sum(weights)) for w in weights]
    laps[-1] += total - sum(laps)
    return laps


# ---------------------------------------------------------------------------
# Clubs and swimmers

CLUBS = [  # code, label (the label goes through the DOS conversion)
    ("FRA5120750042", "Les Mouettes de Paris"),
    ("FRA5120920007", "Boulogne Aquatique 92"),
    ("FRA5120940015", "Nautic Club de Créteil"),
    ("FRA5120780003", "Entente Natation Versailles"),
    ("FRA1010590021", "Lille Métropole Natation"),
    ("FRA2050570008", "Metz Moselle Nageurs"),
    ("FRA3080350011", "Rennes Côte d'Emeraude Nat."),
    ("FRA6160690030", "Lyon Rhône Natation"),
    ("FRA8210060009", "L'Etoile Aquatique de Nice"),
    ("FRA7180330005", "Les Dauphins de Gironde"),
    ("FRA8200340027", "Montpellier Eaux Vives"),
    ("FRA4100450004", "Orléans Loire Natation"),
    ("BEL0000000012", "Royal Namur Natation"),
]
SELECTION = ("FRA5120000000", "Sélection régionale IDF")
CLUB_TOWNS = {
    "FRA5120750042": ("75012", "PARIS"), "FRA5120920007": ("92100", "BOULOGNE-BILLANCOURT"),
    "FRA5120940015": ("94000", "CRETEIL"), "FRA5120780003": ("78000", "VERSAILLES"),
    "FRA1010590021": ("59000", "LILLE"), "FRA2050570008": ("57000", "METZ"),
    "FRA3080350011": ("35000", "RENNES"), "FRA6160690030": ("69003", "LYON"),
    "FRA8210060009": ("06000", "NICE"), "FRA7180330005": ("33000", "BORDEAUX"),
    "FRA8200340027": ("34000", "MONTPELLIER"), "FRA4100450004": ("45000", "ORLEANS"),
    "BEL0000000012": ("5000", "NAMUR"),
}

SURNAMES = ["Martin", "Bernard", "Dubois", "Thomas", "Robert", "Richard", "Petit", "Durand",
            "Leroy", "Moreau", "Simon", "Laurent", "Lefèvre", "Michel", "Garcia", "David",
            "Bertrand", "Roux", "Vincent", "Fournier", "Morel", "Girard", "André", "Mercier",
            "Dupont", "Lambert", "Bonnet", "François", "Martinez", "Legrand", "Garnier",
            "Faure", "Rousseau", "Blanc", "Guérin", "Muller", "Henry", "Roussel", "Nicolas",
            "Perrin", "Morin", "Mathieu", "Clément", "Gauthier", "Dumont", "Lopez", "Fontaine",
            "Chevalier", "Robin", "Masson", "Sanchez", "Gérard", "Nguyen", "Boyer", "Denis",
            "Lemaire", "Duval", "Joly", "Gautier", "Roger", "Roche", "Roy", "Noël", "Meyer",
            "Lucas", "Meunier", "Jean", "Pérez", "Marchand", "Dufour", "Blanchard", "Gillet",
            "Barbier", "Brun", "Hubert", "Rivière", "Lemoine", "Béranger", "Arnaud", "Brunet",
            "D'Almeida", "N'Diaye", "L'Hermite", "Da Costa", "Le Goff", "Prévost", "Carré",
            "Hébert", "Lefèbvre", "Côté", "Maréchal", "Bouvier", "Jourdain", "Ferrand"]
WOMEN = ["Léa", "Chloé", "Manon", "Emma", "Inès", "Jade", "Louise", "Zoé", "Camille", "Lina",
         "Anaïs", "Maëlys", "Clémence", "Hélène", "Noémie", "Océane", "Agathe", "Juliette",
         "Margaux", "Romane", "Gaëlle", "Bérénice", "Lucie", "Eléonore", "Sarah", "Alice"]
MEN = ["Lucas", "Hugo", "Théo", "Nathan", "Louis", "Gabriel", "Jules", "Noé", "Raphaël",
       "Mathéo", "Clément", "Loïc", "Benoît", "François", "Jérôme", "Gaëtan", "Maxime",
       "Thomas", "Enzo", "Arthur", "Timothée", "Aurélien", "Baptiste", "Paul", "Adam"]
STREETS = ["rue de l'Eglise", "allée des Tilleuls", "avenue Jean-Jaurès", "rue du Moulin",
           "chemin des Prés", "boulevard Pasteur", "rue de la Fontaine", "place du Marché"]


class Swimmer:
    def __init__(self, club, licence, surname, first, sex, born, level, rng):
        self.club, self.licence, self.surname, self.first = club, licence, surname, first
        self.sex, self.born, self.level = sex, born, level
        self.origin = None  # (club, licence) of a selection entry
        self.iuf = f"{rng.randrange(1000000, 9999999)}"

    @property
    def key(self):
        return self.club + self.licence

    def category(self):
        year = int(self.born[4:])
        return next(number for number, first, last, _ in CATEGORIES if first <= year <= last)


def make_swimmers(rng):
    swimmers, licences = [], set()
    sizes = [14, 13, 12, 12, 11, 11, 11, 11, 11, 11, 11, 11, 10]  # 149, the selection adds one
    for (code, _), size in zip(CLUBS, sizes):
        for _ in range(size):
            sex = rng.choice("FM")
            year = rng.choices([rng.randint(2009, 2014), rng.randint(1995, 2008), rng.randint(1968, 1990)],
                               weights=[60, 30, 10])[0]
            born = f"{rng.randint(1, 28):02d}{rng.randint(1, 12):02d}{year}"
            while True:  # the licence number begins with the two digits of the birth year
                licence = f"{year % 100:02d}{rng.randint(0, 999):03d}{rng.choice('ABCDEFGHJK')}"
                if code + licence not in licences:
                    break
            licences.add(code + licence)
            age = 2026 - year
            level = rng.uniform(420, 620) + (min(age, 20) - 12) * 25 - (max(age - 30, 0) * 6)
            first = rng.choice(WOMEN if sex == "F" else MEN)
            swimmers.append(Swimmer(code, licence, rng.choice(SURNAMES), first, sex, born, level, rng))
    # One swimmer of a Paris club entered by the regional selection: listed
    # under the selection's code and selection number, his own club and
    # licence in the origin columns.
    selected = Swimmer(SELECTION[0], "09001K", "Marchand", "Aurélien", "M", "14032009", 690, rng)
    selected.origin = ("FRA5120750042", "09317K")
    swimmers.append(selected)
    return swimmers


# ---------------------------------------------------------------------------
# Files

def header_file():
    return [record([(MEET_NUMBER, 3), ("C", 1), ("Meeting d'automne des Deux Rives", 40),
                    (DAYS[0], 8), (DAYS[1], 8), ("Piscine de l'Île-Verte Orléans", 30),
                    ("50", 2), ("8", 2, "right"), ("R", 1), ("Q", 1), ("Q", 1), ("A", 1)])]


def programme_file():
    lines, order = [], 0
    for day, code, ranking, finals, kind in PROGRAMME:
        for event in ([code] if code == 35 else [code, code + 50]):
            order += 1
            relay = "R" if EVENTS[event][1] > 1 else "I"
            lines.append(record([(MEET_NUMBER, 3), (f"{event:02d}", 2), (DAYS[day], 8), (relay, 1),
                                 (ranking, 1), (finals or " ", 1), (kind, 1), (order, 2, "right")]))
    return lines


def categories_file():
    return [record([(f"{n:2d}", 2), (first, 4), (last, 4), (label, 30)], dos)
            for n, first, last, label in CATEGORIES]


def club_file():
    return [record([(code, 13), (label, 30)], dos) for code, label in CLUBS + [SELECTION]]


def licence_record(s, rng):
    postcode, town = CLUB_TOWNS.get(s.origin[0] if s.origin else s.club, ("75012", "PARIS"))
    address = f"{rng.randint(1, 120)} {rng.choice(STREETS)}"
    phone = f"0{rng.randint(1, 6)} {rng.randint(10, 99)} {rng.randint(10, 99)} {rng.randint(10, 99)} {rng.randint(10, 99)}"
    nationality = "BEL" if s.club.startswith("BEL") else "FRA"
    master = "O" if int(s.born[4:]) <= 2001 else "N"
    deposit = f"{rng.randint(17, 30):02d}092026"
    origin = s.origin[0] + s.origin[1] if s.origin else ""
    return record([(s.club, 13), (s.licence, 6), (s.surname, 25), (s.first, 20), (s.sex, 1), (s.born, 8),
                   (nationality, 3), (address, 30), ("", 30), (postcode, 7), (town, 26), (phone, 14),
                   ("O", 1), ("N", 1), ("N", 1), ("N", 1), ("N", 1), (master, 1), (deposit, 8), (deposit, 8),
                   ("C", 1), (rng.choice("NR"), 1), (origin, 19), (s.iuf, 22)], dos)


def relay_licence_record(club, licence, sex):
    label = {"F": "Dames", "M": "Messieurs", "": "Mixte"}[sex]
    return record([(club, 13), (licence, 6), ("RELAIS", 25), (label, 20), (sex, 1), ("", 8), ("", 3),
                   ("", 30), ("", 30), ("", 7), ("", 26), ("", 14), ("O", 1), ("", 1), ("", 1), ("", 1),
                   ("", 1), ("", 1), (SEASON_START, 8), (SEASON_START, 8), ("R", 1), ("N", 1), ("", 19),
                   ("", 22)], dos)


def licence_file(swimmers, relays, rng):
    lines = []
    clubs = [code for code, _ in CLUBS] + [SELECTION[0]]
    for club in clubs:
        members = sorted((s for s in swimmers if s.club == club), key=lambda s: (s.surname.upper(), s.first))
        teams = sorted({(r.licence, r.sex) for r in relays if r.club == club})
        written = False
        for s in members:
            if not written and s.surname.upper() >= "RELAIS":
                lines += [relay_licence_record(club, licence, sex) for licence, sex in teams]
                written = True
            lines.append(licence_record(s, rng))
        if not written:
            lines += [relay_licence_record(club, licence, sex) for licence, sex in teams]
    return lines


class Relay:
    def __init__(self, code, club, team, sex, legs):
        self.code, self.club, self.sex, self.legs = code, club, sex, legs
        self.team = team
        self.licence = {"M": "R1", "F": "R2", "": "R3"}[sex] + f"{team:03d}F"


def make_relays(swimmers, rng):
    relays = []
    for club, _ in CLUBS:
        members = [s for s in swimmers if s.club == club]
        for sex in "FM":
            pool = sorted((s for s in members if s.sex == sex), key=lambda s: -s.level)
            for code in (43, 46):
                event = code if sex == "F" else code + 50
                for team in range(1, len(pool) // 4 + 1 if code == 43 else min(2, len(pool) // 4 + 1)):
                    relays.append(Relay(event, club, team, sex, pool[(team - 1) * 4:team * 4]))
        women = [s for s in members if s.sex == "F"]
        men = [s for s in members if s.sex == "M"]
        if len(women) >= 2 and len(men) >= 2:
            a, b = (rng.sample(men, 2), rng.sample(women, 2))
            legs = [a[0], b[0], a[1], b[1]] if rng.random() < 0.5 else [b[0], a[0], b[1], a[1]]
            relays.append(Relay(35, club, 1, "", legs))
    return relays


def relay_composition_file(relays):
    return [record([(MEET_NUMBER, 3), (f"{r.code:02d}", 2), (r.club, 13), (r.licence, 6),
                    ("".join(s.licence for s in r.legs), 60)]) for r in relays]


STROKE_LEGS = {46: [12, 22, 32, 2], 96: [62, 72, 82, 52]}


def relay_laps(relay, rng):
    laps = []
    for i, swimmer in enumerate(relay.legs):
        if relay.code in STROKE_LEGS:
            leg_code = STROKE_LEGS[relay.code][i]
        elif relay.code == 35:
            leg_code = 1 if swimmer.sex == "F" else 51
        else:
            leg_code = 2 if relay.sex == "F" else 52
        laps += laps_of(swim_time(leg_code, swimmer.level, rng), EVENTS[relay.code][0] // 50, rng, dive=(i == 0))
    return laps


class Swim:
    """One line of the results: a heat or a final of a swimmer or a relay."""

    def __init__(self, code, race, heat, lane, entrant, time, split_fields, points):
        self.code, self.race, self.heat, self.lane = code, race, heat, lane
        self.entrant, self.time, self.splits, self.points = entrant, time, split_fields, points


def seeded_heats(entries):
    """(heat, lane, entrant) from (entry time, entrant): slowest heats first,
    fastest entries in the middle lanes."""
    entries = sorted(entries, key=lambda e: e[0])
    heats = [entries[i:i + 8] for i in range(0, len(entries), 8)]
    placed = []
    for number, heat in enumerate(reversed(heats), start=1):
        for (_, entrant), lane in zip(heat, LANES):
            placed.append((number, lane, entrant))
    return placed


def race(code, race_type, heat, lane, entrant, laps, rng, status=None):
    time = sum(laps)
    split_fields = splits(code, laps)
    points = points_of(code, time)
    if status == "blank":
        return Swim(code, race_type, heat, lane, entrant, None, [None] * 14, None)
    if status in (92, 93):  # disqualified (splits kept), abandoned (the later passages missing)
        if status == 93:
            filled = [i for i, f in enumerate(split_fields) if f is not None]
            for i in filled[:len(filled) // 2 + 1]:
                split_fields[i] = None
        return Swim(code, race_type, heat, lane, entrant, status * 6000, split_fields, None)
    if rng.random() < 0.04:  # a touch pad missed one passage
        filled = [i for i, f in enumerate(split_fields) if f is not None]
        if filled:
            split_fields[rng.choice(filled)] = None
    return Swim(code, race_type, heat, lane, entrant, time, split_fields, points if rng.random() < 0.85 else None)


def individual_races(swimmers, rng):
    by_event = {}
    for s in swimmers:
        own = [code if s.sex == "F" else code + 50 for _, code, *_ in PROGRAMME if EVENTS[code][1] == 1]
        long_events = {5, 6, 42, 55, 56, 92}
        choices = [c for c in own if c not in long_events or (int(s.born[4:]) <= 2011 and rng.random() < 0.35)]
        for code in rng.sample(choices, min(len(choices), rng.randint(3, 4))):
            by_event.setdefault(code, []).append(s)

    swims, entries = [], []
    statuses = {"blank": 2, 92: 2, 93: 1}
    for day, women_code, ranking, finals, kind in PROGRAMME:
        if EVENTS[women_code][1] != 1:
            continue
        for code in (women_code, women_code + 50):
            field = [(swim_time(code, s.level, rng) * rng.uniform(1.0, 1.04), s) for s in by_event.get(code, [])]
            entries += [(code, s, round(t)) for t, s in field]
            heats = []
            for heat, lane, s in seeded_heats(field):
                status = None
                for kind_of, left in statuses.items():
                    if left and rng.random() < 0.03:
                        status, statuses[kind_of] = kind_of, left - 1
                        break
                laps = laps_of(swim_time(code, s.level, rng), EVENTS[code][0] // 50, rng)
                heats.append(race(code, "S", heat, lane, s, laps, rng, status))
            swims += heats
            if finals:
                swims += final_races(code, kind, finals, heats, rng)
    return swims, entries


def final_races(code, kind, finals, heats, rng):
    ranked = sorted((h for h in heats if h.time and h.time < 90 * 6000), key=lambda h: h.time)
    if kind == "T":  # final A for the eight best, B for the next eight
        groups = [(0, number + 1, ranked[number * 8:(number + 1) * 8]) for number in range(finals)]
    else:  # one final per category, between the three or more best of each
        groups = []
        for number, *_ in CATEGORIES:
            best = [h for h in ranked if h.entrant.category() == number][:8]
            if len(best) >= 3:
                groups.append((number, 1, best))
    swims = []
    for category, final, group in groups:
        for h, lane in zip(group, LANES):
            laps = laps_of(round(h.time * rng.uniform(0.985, 1.01)), EVENTS[code][0] // 50, rng)
            swims.append(race(code, "F", category * 10 + final, lane, h.entrant, laps, rng))
    return swims


def relay_races(relays, rng):
    swims, entries = [], []
    for day, code, *_ in PROGRAMME:
        if EVENTS[code][1] == 1:
            continue
        for event in ([code] if code == 35 else [code, code + 50]):
            field = []
            for r in (r for r in relays if r.code == event):
                laps = relay_laps(r, rng)
                field.append((sum(laps) * rng.uniform(1.0, 1.03), (r, laps)))
                entries.append((event, r, round(field[-1][0])))
            for heat, lane, (r, laps) in seeded_heats(field):
                # The first men's medley relay of the meet is disqualified.
                status = 92 if event == 96 and heat == 1 and lane == LANES[0] else None
                swims.append(race(event, "S", heat, lane, r, laps, rng, status))
    return swims, entries


def results_file(swims):
    lines = []
    for s in swims:
        e = s.entrant
        time = msscc(s.time) if s.time is not None else ""
        fields = [(MEET_NUMBER, 3), (f"{s.code:02d}", 2), (s.race, 1), (f"{s.heat:02d}", 2), (s.lane, 1),
                  (1, 1), (e.club, 13), (e.licence, 6), (time, 7)]
        fields += [(msscc(f) if f is not None else "", 7) for f in s.splits]
        fields.append((f"{s.points:04d}" if s.points is not None else "", 4))
        lines.append(record(fields))
    return lines


def entries_file(individual, relay, team_clubs, rng):
    lines = []
    for code, s, time in individual:
        team = ""
        if s.club in team_clubs:
            team = "51" if s.sex == "M" else " 1"
        place = rng.choice(["PARIS", "LYON", "RENNES", "NICE", "LILLE", "METZ", "CHARTRES"])
        when = f"{rng.randint(1, 28):02d}{rng.randint(1, 10):02d}2026"
        lines.append(record([(MEET_NUMBER, 3), (f"{code:02d}", 2), (s.club, 13), (s.licence, 6),
                             (msscc(time, 1), 7, "right"), (team, 2), (when, 8), (place, 20),
                             (rng.choice(["25", "50"]), 2)]))
    for code, r, time in relay:
        team = {"M": str(r.team + 50), "F": str(r.team), "": ""}[r.sex]
        lines.append(record([(MEET_NUMBER, 3), (f"{code:02d}", 2), (r.club, 13), (r.licence, 6),
                             (msscc(time, 1), 7, "right"), (team, 2), ("", 8), ("", 20), ("", 2)]))
    return lines


def check(swimmers, relays, swims):
    """The sample's own consistency: every result names a known swimmer or
    relay of its club, every relayer is a licence of the relay's club, and
    every event is in the programme."""
    keys = {s.key for s in swimmers}
    assert len(keys) == len(swimmers)
    assert not any(s.origin and s.origin[0] + s.origin[1] in keys for s in swimmers)
    programme = {code for _, c, *_ in PROGRAMME for code in ([c] if c == 35 else [c, c + 50])}
    relay_keys = {(r.code, r.club, r.licence) for r in relays}
    assert len(relay_keys) == len(relays)
    for s in swims:
        assert s.code in programme
        e = s.entrant
        if isinstance(e, Relay):
            assert (s.code, e.club, e.licence) in relay_keys
            assert all(leg.club == e.club and leg.key in keys for leg in e.legs)
        else:
            assert e.key in keys


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "samples" / "competition"
    folder.mkdir(parents=True, exist_ok=True)
    rng = random.Random(2026)
    swimmers = make_swimmers(rng)
    relays = make_relays(swimmers, rng)
    individual, individual_entries = individual_races(swimmers, rng)
    relay_swims, relay_entries = relay_races(relays, rng)
    swims = individual + relay_swims
    check(swimmers, relays, swims)
    # Two entries withdrawn before the meet: entered, no result.
    entered = {(code, s.key) for code, s, _ in individual_entries}
    scratched = [(2, s, 7000) for s in swimmers
                 if s.sex == "F" and s.club == "FRA2050570008" and (2, s.key) not in entered][:2]
    team_clubs = {"FRA5120750042", "FRA6160690030", "FRA8210060009"}

    write_file(folder, "origine.txt", [cp1252("Natacompet 3.1")])
    write_file(folder, "rcomp.txt", header_file(), 98)
    write_file(folder, "pcomp.txt", programme_file(), 19)
    write_file(folder, "categori.txt", categories_file(), 40)
    write_file(folder, "club.txt", club_file(), 43)
    write_file(folder, "licence.txt", licence_file(swimmers, relays, rng), 248)
    write_file(folder, "relais.txt", relay_composition_file(relays), 84)
    write_file(folder, "prres.txt", results_file(swims), 138)
    write_file(folder, "engag.txt", entries_file(individual_entries + scratched, relay_entries, team_clubs, rng), 63)
    print(f"{folder}: {len(swimmers)} swimmers, {len(relays)} relays, {len(swims)} results")


if __name__ == "__main__":
    main()
