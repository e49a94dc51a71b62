#!/usr/bin/env python3
"""Writes samples/federation/: the federation's club and licence lists for a
few regions, and two files of unique federal codes.

    club.txt, licence.txt   clubs and licences of Ile-de-France, Bretagne,
                            Rhone-Alpes, Nord and Provence, and one Belgian
                            club, in the DOS code page (the importer converts
                            it); surnames in plain capitals as the federation
                            writes them. Besides the ordinary lines:
                            - the regional selection and two swimmers it
                              enters (their own club and licence in the
                              origin columns);
                            - relay pseudo-licences (R1.../R2...), skipped;
                            - a club code whose department is not of its
                              region, reported as an error line;
                            - a Toulon club absent from club.txt, created
                              with the label "Null";
                            - GIRARD-MOREL Camille, stored as GIRARD by
                              previous_season.sql, reported as a reuse.
    origine.txt             the producing application.
    iuf_region_08.txt,      unique federal codes (45-character lines) of the
    iuf_region_12.txt       Breton and Ile-de-France swimmers; one line names
                            a swimmer the list does not hold.
    previous_season.sql     rows of an earlier import, to load into a fresh
                            club database before importing the lists: the
                            renamed swimmer, and the Creteil club created
                            then with the label "Null", which club.txt
                            completes.

The output is deterministic; run it again after changing it and commit the
files it writes:

    python3 tools/make_federation_samples.py [OUTPUT_DIR]
"""

import random
import sys
import unicodedata
from pathlib import Path

from make_sample_meet import MEN, STREETS, SURNAMES, WOMEN, cp1252, dos, record, write_file

ROOT = Path(__file__).resolve().parent.parent
SEASON_START = "01092026"

CLUBS = [  # code, label, postcode, town, swimmers (the label goes through the DOS conversion)
    ("FRA1010590021", "Lille Métropole Natation", "59000", "LILLE", 18),
    ("FRA1010620006", "Calais Nautique Côte d'Opale", "62100", "CALAIS", 12),
    ("FRA3080290013", "Brest Iroise Natation", "29200", "BREST", 16),
    ("FRA3080350011", "Rennes Côte d'Emeraude Nat.", "35000", "RENNES", 20),
    ("FRA3080350024", "Cercle des Nageurs Malouins", "35400", "SAINT-MALO", 12),
    ("FRA5120750042", "Les Mouettes de Paris", "75012", "PARIS", 22),
    ("FRA5120750058", "Paris Nautique Sud", "75014", "PARIS", 15),
    ("FRA5120780003", "Entente Natation Versailles", "78000", "VERSAILLES", 16),
    ("FRA5120920007", "Boulogne Aquatique 92", "92100", "BOULOGNE-BILLANCOURT", 18),
    ("FRA5120930019", "Saint-Denis Natation", "93200", "SAINT-DENIS", 14),
    ("FRA5120940015", "Nautic Club de Créteil", "94000", "CRETEIL", 16),
    ("FRA6160380012", "Grenoble Alpes Natation", "38000", "GRENOBLE", 15),
    ("FRA6160690030", "Lyon Rhône Natation", "69003", "LYON", 20),
    ("FRA8210060009", "L'Etoile Aquatique de Nice", "06000", "NICE", 14),
    ("FRA8210130031", "Marseille Vieux-Port Natation", "13001", "MARSEILLE", 18),
    ("BEL0000000012", "Royal Namur Natation", "5000", "NAMUR", 8),
]
SELECTION = ("FRA5120000000", "Sélection Île-de-France")
UNLISTED_CLUB = ("FRA8210830014", "83000", "TOULON", 6)  # in licence.txt only
BAD_CODE = "FRA5120590042"  # department 059 lies in region 01, not 12

# The swimmer whose surname changed since the previous season.
RENAMED = ("FRA5120750042", "070214", "GIRARD", "GIRARD-MOREL", "Camille", "F", "14062007")


def plain_capitals(text):
    """A surname as the federation writes it: capitals without accents."""
    decomposed = unicodedata.normalize("NFD", text)
    return "".join(c for c in decomposed if not unicodedata.combining(c)).upper()


class Swimmer:
    def __init__(self, club, licence, surname, first, sex, born):
        self.club, self.licence, self.surname, self.first = club, licence, surname, first
        self.sex, self.born = sex, born
        self.origin = None  # (club, licence) of a selection entry
        self.iuf = ""


def make_swimmers(rng):
    swimmers, keys = [], set()

    club, licence, _, surname, first, sex, born = RENAMED
    swimmers.append(Swimmer(club, licence, surname, first, sex, born))
    keys.add(club + licence)

    def add(club, size):
        for _ in range(size):
            sex = rng.choice("FM")
            year = rng.choices([rng.randint(2009, 2016), rng.randint(1995, 2008), rng.randint(1960, 1994)],
                               weights=[55, 30, 15])[0]
            born = f"{rng.randint(1, 28):02d}{rng.randint(1, 12):02d}{year}"
            while True:  # the licence number begins with the two digits of the birth year
                licence = f"{year % 100:02d}{rng.randint(0, 9999):04d}"
                if club + licence not in keys:
                    break
            keys.add(club + licence)
            first = rng.choice(WOMEN if sex == "F" else MEN)
            swimmers.append(Swimmer(club, licence, plain_capitals(rng.choice(SURNAMES)), first, sex, born))

    for club, _, _, _, size in CLUBS:
        add(club, size)
    add(UNLISTED_CLUB[0], UNLISTED_CLUB[3])

    # Two Paris swimmers entered by the regional selection: listed under the
    # selection's code and number, their own club and licence in the origin
    # columns. The selection's lines come first (the list is sorted by club
    # code), so the swimmers are stored with their own identity and made
    # members of the selection; their own club's lines then find them known.
    juniors = [s for s in swimmers if s.club == "FRA5120750042" and 2006 <= int(s.born[4:]) <= 2012]
    for number, member in enumerate(juniors[:2]):
        entry = Swimmer(SELECTION[0], f"08{900 + number:04d}", member.surname, member.first, member.sex, member.born)
        entry.origin = (member.club, member.licence)
        swimmers.append(entry)

    # A line whose club code fails the codification check.
    swimmers.append(Swimmer(BAD_CODE, "051234", "LEBLANC", "Hugo", "M", "05052005"))
    for s in swimmers:
        s.iuf = f"{rng.randrange(1000000, 9999999)}"
    return swimmers


def town_of(club):
    for code, _, postcode, town, _ in CLUBS:
        if code == club:
            return postcode, town
    return (UNLISTED_CLUB[1], UNLISTED_CLUB[2]) if club == UNLISTED_CLUB[0] else ("75012", "PARIS")


def licence_record(s, rng):
    postcode, town = town_of(s.origin[0] if s.origin else s.club)
    address = f"{rng.randint(1, 120)} {rng.choice(STREETS)}"
    phone = f"0{rng.randint(1, 6)}{rng.randint(10000000, 99999999)}"
    nationality = "BEL" if s.club.startswith("BEL") else "FRA"
    master = "O" if int(s.born[4:]) <= 2001 else "N"
    deposit = f"{rng.randint(2, 28):02d}092026"
    origin = s.origin[0] + s.origin[1] if s.origin else ""
    return record([(s.club, 13), (s.licence, 6), (s.surname, 25), (s.first, 20), (s.sex, 1), (s.born, 8),
                   (nationality, 3), (address, 30), ("", 30), (postcode, 7), (town, 26), (phone, 14),
                   ("O", 1), ("N", 1), ("N", 1), ("N", 1), ("N", 1), (master, 1), (deposit, 8), ("", 8),
                   ("C", 1), (rng.choice("NR"), 1), (origin, 19), ("", 22)], dos)


def relay_record(club, licence, sex):
    label = {"F": "Dames", "M": "Messieurs"}[sex]
    return record([(club, 13), (licence, 6), ("RELAIS", 25), (label, 20), (sex, 1), ("", 8), ("", 3),
                   ("", 30), ("", 30), ("", 7), ("", 26), ("", 14), ("O", 1), ("", 1), ("", 1), ("", 1),
                   ("", 1), ("", 1), (SEASON_START, 8), ("", 8), ("R", 1), ("N", 1), ("", 19), ("", 22)], dos)


def licence_file(swimmers, rng):
    lines = []
    relay_clubs = {"FRA3080350011", "FRA5120750042", "FRA6160690030"}
    for club in sorted({s.club for s in swimmers}):
        members = sorted((s for s in swimmers if s.club == club), key=lambda s: (s.surname, s.first))
        lines += [licence_record(s, rng) for s in members]
        if club in relay_clubs:
            lines += [relay_record(club, "R1001F", "M"), relay_record(club, "R2001F", "F")]
    return lines


def club_file():
    return [record([(code, 13), (label, 30)], dos) for code, label, *_ in sorted(CLUBS + [SELECTION])]


def code_file(swimmers, region):
    """The unique codes of a region's swimmers, by club, without the country
    and inter-region of the club code."""
    lines = [record([(s.club[4:], 9), (s.licence, 6), (s.iuf, 30)])
             for s in sorted(swimmers, key=lambda s: (s.club, s.licence))
             if s.club.startswith("FRA") and s.club[4:6] == region and not s.origin and s.club != BAD_CODE]
    return lines


def previous_season_sql():
    club, licence, old_surname, _, first, sex, born = RENAMED
    return f"""-- Rows of an earlier import of the federation's lists, for a fresh club
-- database (db/schema.sql + db/reference.sql):
--     sqlite3 club.db < samples/federation/previous_season.sql
-- {first} {old_surname} has since taken another surname: importing
-- licence.txt reports the licence as already used under another name and
-- leaves the stored swimmer as it is.

INSERT INTO Club (Code_federal, Intitule, Selection) VALUES
    ('{club}', 'Les Mouettes de Paris', false),
    ('FRA5120940015', 'Null', false);

INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance, Date_suppr) VALUES
    ('{club}', '{licence}', '{old_surname}', '{first}', '{sex}', '{born[4:]}{born[2:4]}{born[:2]}', '');
"""


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "samples" / "federation"
    folder.mkdir(parents=True, exist_ok=True)
    rng = random.Random(2027)
    swimmers = make_swimmers(rng)
    # A swimmer of the Breton list whom the club database will not hold.
    stranger = Swimmer("FRA3080290013", "109999", "", "", "", "")
    stranger.iuf = "9999999"

    write_file(folder, "origine.txt", [cp1252("Licences fédérales")])
    write_file(folder, "club.txt", club_file(), 43)
    write_file(folder, "licence.txt", licence_file(swimmers, rng), 248)
    # The code files have a folder of their own: update-codes reads every file of its folder.
    codes = folder.parent / "codes"
    codes.mkdir(parents=True, exist_ok=True)
    write_file(codes, "iuf_region_08.txt", code_file(swimmers + [stranger], "08"), 45)
    write_file(codes, "iuf_region_12.txt", code_file(swimmers, "12"), 45)
    (folder / "previous_season.sql").write_text(previous_season_sql(), encoding="utf-8")
    print(f"{folder}: {len(CLUBS) + 1} clubs, {len(swimmers)} licences")


if __name__ == "__main__":
    main()
