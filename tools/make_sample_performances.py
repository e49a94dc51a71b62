#!/usr/bin/env python3
"""Writes samples/performances/: a performance file with its clubs and licences.

A season of best times of six clubs as another installation exports them
for the performance import: liffn.txt (individual performances in 25 m and
50 m pools, some swum as a relay's first leg, then the relays with their
relayers), club.txt, licence.txt and origine.txt. What real files carry is
there too: surnames written in capitals and in small letters, accented
letters in the DOS code page (the importer converts them), apostrophes, one
swimmer who is missing from licence.txt (the import creates him) and one
relayer whom the database does not know (replaced by the reference swimmer).

The output is deterministic; run it again after changing it and commit the
files it writes:

    python3 tools/make_sample_performances.py [OUTPUT_DIR]
"""

import random
import sys
from pathlib import Path

from make_sample_meet import CLUBS, MEN, ROOT, SURNAMES, WOMEN, cp1252, dos, msscc, record, write_file

SWIMMERS_PER_CLUB = 7
SEASON = (2025, 2026)  # from September to June
PLACES = ["Paris Vallerey", "Lyon Vaise", "Rennes Bréquigny", "Chalon-sur-Saône", "Metz Lothaire",
          "Lille Marx Dormoy", "Versailles", "Créteil"]
CODIFICATIONS = ["    ", "  RD", "  R ", " IR ", "QIRD", "   D"]
# Women's events with their distance; the men's are the same + 50.
INDIVIDUAL_EVENTS = {1: 50, 2: 100, 3: 200, 4: 400, 11: 50, 12: 100, 21: 50, 22: 100, 31: 50, 32: 100,
                     40: 100, 41: 200}
FREESTYLE = {1, 2}
RELAY_EVENTS = [(43, "F", 100), (93, "M", 100), (35, "", 50)]  # code, sex ("" mixed), leg distance
MISSING_SWIMMER = ("081234", "D'Almeida-Hébert", "Zoé", "F", 2008)
UNKNOWN_RELAYER = "099999"

# Widths of the 27 fields of a liffn.txt record (202 characters).
LIFFN_WIDTHS = [2, 13, 6, 2, 8, 7, 25, 15, 20, 30, 8, 1] + [6] * 10 + [1, 1, 1, 1, 1]


class Swimmer:
    def __init__(self, club, licence, surname, first, sex, born, birthday="0101"):
        self.club, self.licence, self.surname, self.first, self.sex = club, licence, surname, first, sex
        self.born, self.birth = born, f"{birthday}{born}"  # ddmmyyyy


def make_swimmers(rng):
    swimmers = []
    for n, (club, _) in enumerate(CLUBS[:6]):
        surnames = rng.sample(SURNAMES, SWIMMERS_PER_CLUB)
        for i, surname in enumerate(surnames):
            sex = "F" if i % 2 == 0 else "M"
            born = rng.choice([rng.randint(2007, 2014), rng.randint(2007, 2014), rng.randint(1975, 2001)])
            licence = f"{born % 100:02d}{n + 1:01d}{i:03d}"
            first = rng.choice(WOMEN if sex == "F" else MEN)
            birthday = f"{rng.randint(1, 28):02d}{rng.randint(1, 12):02d}"
            swimmers.append(Swimmer(club, licence, surname, first, sex, born, birthday))
    return swimmers


def swim_date(rng):
    """A day of the season, with the pool length usual at that time of year."""
    month = rng.choice([10, 11, 12, 1, 2, 3, 4, 5, 6])
    year = SEASON[0] if month >= 9 else SEASON[1]
    pool = "25" if month in (11, 12, 1, 2) else "50"
    return f"{rng.randint(1, 28):02d}{month:02d}{year}", pool


def swim_time(distance, code, rng):
    pace = rng.randint(2900, 4300) * (111 if code % 50 in (21, 22) else 100) // 100
    return msscc(pace * distance // 50, 1)


def liffn_record(fields):
    assert len(fields) == len(LIFFN_WIDTHS)
    return record(list(zip(fields, LIFFN_WIDTHS)), dos)


def individual_lines(swimmers, labels, rng):
    rows = []
    missing = Swimmer(CLUBS[0][0], *MISSING_SWIMMER)
    for s in swimmers + [missing]:
        events = rng.sample(sorted(INDIVIDUAL_EVENTS), rng.randint(4, 10))
        # Some software writes surnames in small letters; the import folds them.
        surname = s.surname if s is missing or rng.random() < 0.5 else s.surname.upper()
        for event in events:
            code = event if s.sex == "F" else event + 50
            date, pool = swim_date(rng)
            leg = "R" if event in FREESTYLE and rng.random() < 0.2 else ""
            codif = rng.choice(CODIFICATIONS)
            fields = [f"{code:02d}", s.club, s.licence, pool, date, swim_time(INDIVIDUAL_EVENTS[event], code, rng),
                      surname, s.first[:15], rng.choice(PLACES), labels[s.club], f"0109{SEASON[0]}",
                      rng.choice("NNNRT"), *[""] * 10, *codif, leg]
            rows.append(((labels[s.club], s.licence, date), fields))
    return [fields for _, fields in sorted(rows, key=lambda row: row[0])]


def relay_lines(swimmers, labels, rng):
    lines = []
    for club, label in sorted(CLUBS[:6], key=lambda c: c[1]):
        members = [s for s in swimmers if s.club == club]
        for code, sex, leg in RELAY_EVENTS:
            if sex:
                legs = [s for s in members if s.sex == sex][:4]
                if len(legs) < 4:
                    continue
            else:
                legs = [s for s in members if s.sex == "F"][:2] + [s for s in members if s.sex == "M"][:2]
            relayers = [s.licence for s in legs]
            if club == CLUBS[1][0] and code == 43:
                relayers[3] = UNKNOWN_RELAYER
            date, pool = swim_date(rng)
            name = {"F": "DAMES", "M": "MESSIEURS", "": "MIXTE"}[sex]
            prefix = {"F": "R2", "M": "R1", "": "R3"}[sex]
            lines.append([f"{code:02d}", club, f"{prefix}001F", pool, date, swim_time(leg * 4, code, rng),
                          f"RELAIS {name} N° 1", "", rng.choice(PLACES), labels[club], f"1609{SEASON[0]}", "R",
                          *(relayers + [""] * (10 - len(relayers))), *rng.choice(CODIFICATIONS), ""])
    return lines


def licence_record(s):
    deposit = f"0109{SEASON[0]}"
    return record([(s.club, 13), (s.licence, 6), (s.surname, 25), (s.first, 20), (s.sex, 1), (s.birth, 8),
                   ("FRA", 3), ("", 30), ("", 30), ("", 7), ("", 26), ("", 14), ("O", 1), ("N", 1), ("N", 1),
                   ("N", 1), ("N", 1), ("O" if s.born <= 2001 else "N", 1), (deposit, 8), (deposit, 8), ("N", 1),
                   ("N", 1), (s.club + s.licence, 19), ("", 22)], dos)


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "samples" / "performances"
    folder.mkdir(parents=True, exist_ok=True)
    rng = random.Random(3202)
    swimmers = make_swimmers(rng)
    labels = dict(CLUBS)
    performances = individual_lines(swimmers, labels, rng) + relay_lines(swimmers, labels, rng)

    write_file(folder, "origine.txt", [cp1252("Lorvantide")])
    write_file(folder, "club.txt", [record([(code, 13), (label, 30)], dos) for code, label in CLUBS[:6]], 43)
    write_file(folder, "licence.txt", [licence_record(s) for s in swimmers], 248)
    write_file(folder, "liffn.txt", [liffn_record(fields) for fields in performances], 202)
    relays = sum(1 for fields in performances if fields[2].startswith("R"))
    print(f"{folder}: {len(swimmers)} licences, {len(performances) - relays} individual performances, "
          f"{relays} relays")


if __name__ == "__main__":
    main()
