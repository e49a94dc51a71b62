-- Couloir club database: tables and indexes.
--
-- Creates the empty club database that the exchange libraries read and
-- write: competitions and their programmes, clubs and licences, the
-- country/region/department codification, results, the performance history
-- and the entries a club prepares. Load db/reference.sql afterwards for the
-- rows a club database holds before any import.
--
-- Column types follow what the exchange statements write:
--   * counters are INTEGER PRIMARY KEY (the number given on insert);
--   * booleans are BOOLEAN holding 0/1 (statements write true/false); like
--     the old yes/no fields they are never null and default to false, except
--     the visibility flags and Info.LastClose, which default to true;
--   * every text column compares without regard to case (COLLATE NOCASE),
--     as the former database engine did;
--   * dates are 8-character texts yyyymmdd;
--   * times and split times are REAL, so that "Tps >= 91" compares numbers;
--   * points (Cotation_Fede) are NUMERIC: the results file gives them as
--     digits, written unquoted.
-- Column names keep the spelling the statements use (Rcomp.Codif_depar but
-- Liffn.Codif_Depart, Pays.code, ...); SQLite matches names without regard
-- to case, so Code_club and Code_Club name the same column.

-- ---------------------------------------------------------------------------
-- Configuration

-- One row. LastClose is false while a library holds the database open and
-- true once it has closed it properly.
CREATE TABLE Info (
    LastClose BOOLEAN NOT NULL DEFAULT 1
);

-- ---------------------------------------------------------------------------
-- Competitions

CREATE TABLE Rcomp (
    AutoNum     INTEGER PRIMARY KEY,      -- competition key (Num_compet elsewhere)
    Num         TEXT COLLATE NOCASE,      -- the competition's own 3-character number
    Type        TEXT COLLATE NOCASE,      -- 'C' championships, 'I' interclubs
    Nom         TEXT COLLATE NOCASE,
    Debut       TEXT COLLATE NOCASE,      -- yyyymmdd
    Fin         TEXT COLLATE NOCASE,      -- yyyymmdd
    Lieu        TEXT COLLATE NOCASE,
    Longueur    INTEGER,                  -- pool length in metres
    Nb_couloir  INTEGER,                  -- number of lanes
    Codif_fede  TEXT COLLATE NOCASE,      -- 'Q', 'R' or 'A' at each level
    Codif_inter TEXT COLLATE NOCASE,
    Codif_reg   TEXT COLLATE NOCASE,
    Codif_depar TEXT COLLATE NOCASE,
    Deroule     BOOLEAN NOT NULL DEFAULT 0,  -- the competition has started
    Visible     BOOLEAN NOT NULL DEFAULT 1,
    Num_Piscine INTEGER                   -- Piscine.Num
);
-- Performance imports name their reference competition and find it by name.
CREATE INDEX Rcomp_Nom ON Rcomp (Nom);

-- Programme: one row per event of a competition.
CREATE TABLE Pcomp (
    Num_compet   INTEGER,                 -- Rcomp.AutoNum
    Code_epreuve INTEGER,                 -- Nage.Code_Nage
    JourCourse   INTEGER,                 -- day of the competition, 1 = first day
    Type         TEXT COLLATE NOCASE,     -- ranking type 1, 2, 3, 4 or 8
    Nb_finales   TEXT COLLATE NOCASE,     -- 1 to 3, or empty
    Type_finale  TEXT COLLATE NOCASE,     -- 'T', 'C' or empty
    Num_ordre    INTEGER                  -- order in the programme
);
CREATE INDEX Pcomp_Compet ON Pcomp (Num_compet);

-- Age categories of a competition.
CREATE TABLE Categori (
    Num_compet   INTEGER,
    Num_cat      INTEGER,
    Annee_depart INTEGER,                 -- birth years covered
    Annee_fin    INTEGER,
    Libelle      TEXT COLLATE NOCASE
);
CREATE INDEX Categori_Compet ON Categori (Num_compet);

CREATE TABLE Piscine (
    Num INTEGER PRIMARY KEY,
    Nom TEXT COLLATE NOCASE
);

-- Events (strokes and distances). Codes 1-49 and 51-99 are the same events
-- for women and men; see db/reference.sql for the table itself.
CREATE TABLE Nage (
    Code_Nage  INTEGER NOT NULL,
    Libelle    TEXT COLLATE NOCASE,
    Distance   INTEGER,                   -- metres swum by each swimmer
    Nb_nageurs INTEGER,                   -- 1 individual, more for a relay
    Mixte      BOOLEAN NOT NULL DEFAULT 0,
    Sexe       TEXT COLLATE NOCASE        -- 'F', 'M', empty for a mixed relay
);
CREATE UNIQUE INDEX Nage_Code ON Nage (Code_Nage);

-- ---------------------------------------------------------------------------
-- Clubs and swimmers

CREATE TABLE Club (
    Num          INTEGER PRIMARY KEY,
    Code_federal TEXT COLLATE NOCASE,     -- 13 characters: country, inter-region,
                                          -- region, department, club number
    Intitule     TEXT COLLATE NOCASE,     -- club name, 'Null' until known
    Selection    BOOLEAN NOT NULL DEFAULT 0,  -- code ends in '0000'
    Nom          TEXT COLLATE NOCASE      -- 'Null' marks the placeholder club
);
CREATE INDEX Club_Code ON Club (Code_federal);
CREATE INDEX Club_Nom ON Club (Nom);

CREATE TABLE Licence (
    Num               INTEGER PRIMARY KEY,   -- swimmer key, Num_Lic elsewhere
    Code_Club         TEXT COLLATE NOCASE,   -- Club.Code_federal
    Licence           TEXT COLLATE NOCASE,   -- 6 characters, unique within the club
    Nom               TEXT COLLATE NOCASE,
    Prenom            TEXT COLLATE NOCASE,
    Sexe              TEXT COLLATE NOCASE,
    Date_Naissance    TEXT COLLATE NOCASE,   -- yyyymmdd
    Nationalite       TEXT COLLATE NOCASE,
    Adresse           TEXT COLLATE NOCASE,
    Suite_adresse     TEXT COLLATE NOCASE,
    Code_Postal       TEXT COLLATE NOCASE,
    Localite          TEXT COLLATE NOCASE,
    Telephone         TEXT COLLATE NOCASE,
    Sportive          TEXT COLLATE NOCASE,   -- one-character activity flags
    Synchro           TEXT COLLATE NOCASE,
    Water_Polo        TEXT COLLATE NOCASE,
    Plongeon          TEXT COLLATE NOCASE,
    Dirigeant         TEXT COLLATE NOCASE,
    Maitre            TEXT COLLATE NOCASE,
    Date_Depot        TEXT COLLATE NOCASE,   -- yyyymmdd
    Date_obliteration TEXT COLLATE NOCASE,   -- yyyymmdd
    Type_licence      TEXT COLLATE NOCASE,
    Nature            TEXT COLLATE NOCASE,
    Code_unique       TEXT COLLATE NOCASE,   -- the swimmer's unique federal code
    Date_suppr        TEXT COLLATE NOCASE,
    Visible           BOOLEAN NOT NULL DEFAULT 1
);
-- Swimmers are found by club code and licence number; the placeholder
-- swimmer by its name.
CREATE INDEX Licence_Club_Licence ON Licence (Code_Club, Licence);
CREATE INDEX Licence_Nom ON Licence (Nom);

-- Members of a selection (a team drawn from several clubs).
CREATE TABLE Selection (
    Code_Sel TEXT COLLATE NOCASE,         -- the selection's club code
    Num_Lic  INTEGER,                     -- Licence.Num
    Visible  BOOLEAN NOT NULL DEFAULT 1
);
CREATE INDEX Selection_Code_Lic ON Selection (Code_Sel, Num_Lic);

-- Codification read when a club code is checked.
CREATE TABLE Pays (
    code TEXT COLLATE NOCASE              -- 'FRA', 'BEL', ...
);

CREATE TABLE Inter_Region (
    Code INTEGER                          -- 0 national or foreign, 1-9
);

CREATE TABLE Region (
    Code      TEXT COLLATE NOCASE,        -- 2 characters
    CodeInter INTEGER                     -- Inter_Region.Code
);
CREATE INDEX Region_Code ON Region (Code);

CREATE TABLE Departement (
    Code   TEXT COLLATE NOCASE,           -- 3 characters ('075', '02A', '971')
    Region TEXT COLLATE NOCASE            -- Region.Code
);
CREATE INDEX Departement_Code_Region ON Departement (Code, Region);

-- ---------------------------------------------------------------------------
-- Results and performance history

-- Results of a competition. Num_Lic is the swimmer's Licence.Num, or the
-- team number of a relay. Inter1 is the last split before the finish,
-- Inter14 the earliest. Num_equipe stays 0 until an entry gives the swim its
-- team number.
CREATE TABLE Prres (
    Num_compet           INTEGER,
    Code_epreuve         INTEGER,
    Type_course          TEXT COLLATE NOCASE,
    Numero_serie         INTEGER,
    Num_categorie        INTEGER,
    Numero_couloir       INTEGER,
    Numero_ordre_couloir INTEGER,
    Code_club            TEXT COLLATE NOCASE,
    Num_Lic              INTEGER,
    Tps                  REAL,
    Inter1  REAL, Inter2  REAL, Inter3  REAL, Inter4  REAL, Inter5  REAL,
    Inter6  REAL, Inter7  REAL, Inter8  REAL, Inter9  REAL, Inter10 REAL,
    Inter11 REAL, Inter12 REAL, Inter13 REAL, Inter14 REAL,
    Cotation_Fede        NUMERIC,
    Num_equipe           INTEGER DEFAULT 0,
    Eq_mixte             BOOLEAN NOT NULL DEFAULT 0
);
-- Serves both the team-number updates (competition, event, club, swimmer)
-- and the purge of a competition (its leading column).
CREATE INDEX Prres_Equipe ON Prres (Num_compet, Code_epreuve, Code_club, Num_Lic);

-- Relay results: the same columns plus the relayers' Licence.Num in leg order.
CREATE TABLE Prres_relais (
    Num_compet           INTEGER,
    Code_epreuve         INTEGER,
    Type_course          TEXT COLLATE NOCASE,
    Numero_serie         INTEGER,
    Num_categorie        INTEGER,
    Numero_couloir       INTEGER,
    Numero_ordre_couloir INTEGER,
    Code_club            TEXT COLLATE NOCASE,
    Num_Lic              INTEGER,
    Tps                  REAL,
    Inter1  REAL, Inter2  REAL, Inter3  REAL, Inter4  REAL, Inter5  REAL,
    Inter6  REAL, Inter7  REAL, Inter8  REAL, Inter9  REAL, Inter10 REAL,
    Inter11 REAL, Inter12 REAL, Inter13 REAL, Inter14 REAL,
    Cotation_Fede        NUMERIC,
    Num_equipe           INTEGER DEFAULT 0,
    Eq_mixte             BOOLEAN NOT NULL DEFAULT 0,
    Licence1 INTEGER, Licence2 INTEGER, Licence3 INTEGER, Licence4 INTEGER,
    Licence5 INTEGER, Licence6 INTEGER, Licence7 INTEGER, Licence8 INTEGER,
    Licence9 INTEGER, Licence10 INTEGER
);
CREATE INDEX Prres_relais_Equipe ON Prres_relais (Num_compet, Code_epreuve, Code_club, Num_Lic);

-- Individual performance history. Num_compet is -1 for rows a performance
-- import has not yet attached to its reference competition.
CREATE TABLE Liffn (
    Code_epreuve   INTEGER,
    Code_club      TEXT COLLATE NOCASE,
    Date_perf      TEXT COLLATE NOCASE,   -- yyyymmdd
    Num_Lic        INTEGER,
    Tps            REAL,
    Age            INTEGER,
    Passage_relais TEXT COLLATE NOCASE,   -- 'R' when swum as a relay's first leg
    Tps_inter      BOOLEAN NOT NULL DEFAULT 0,  -- taken from a split time
    Num_compet     INTEGER,
    Lieu           TEXT COLLATE NOCASE,
    Type_bassin    INTEGER,               -- pool length
    Codif_Fede     TEXT COLLATE NOCASE,
    Codif_Inter    TEXT COLLATE NOCASE,
    Codif_Reg      TEXT COLLATE NOCASE,
    Codif_Depart   TEXT COLLATE NOCASE
);
CREATE INDEX Liffn_Compet ON Liffn (Num_compet);
CREATE INDEX Liffn_Lic ON Liffn (Num_Lic);

-- Relay performance history: Num_Lic is the team number, Licence1 to
-- Licence10 the relayers.
CREATE TABLE Liffn_relais (
    Code_epreuve   INTEGER,
    Code_club      TEXT COLLATE NOCASE,
    Date_perf      TEXT COLLATE NOCASE,
    Num_Lic        INTEGER,
    Tps            REAL,
    Age            INTEGER,
    Passage_relais TEXT COLLATE NOCASE,
    Tps_inter      BOOLEAN NOT NULL DEFAULT 0,
    Num_compet     INTEGER,
    Lieu           TEXT COLLATE NOCASE,
    Type_bassin    INTEGER,
    Codif_Fede     TEXT COLLATE NOCASE,
    Codif_Inter    TEXT COLLATE NOCASE,
    Codif_Reg      TEXT COLLATE NOCASE,
    Codif_Depart   TEXT COLLATE NOCASE,
    Licence1 INTEGER, Licence2 INTEGER, Licence3 INTEGER, Licence4 INTEGER,
    Licence5 INTEGER, Licence6 INTEGER, Licence7 INTEGER, Licence8 INTEGER,
    Licence9 INTEGER, Licence10 INTEGER
);
CREATE INDEX Liffn_relais_Compet ON Liffn_relais (Num_compet);
CREATE INDEX Liffn_relais_Lic ON Liffn_relais (Num_Lic);

-- ---------------------------------------------------------------------------
-- Entries prepared by the club

-- A profile is the club (or selection) on whose behalf entries are made.
CREATE TABLE Profil (
    Num       INTEGER PRIMARY KEY,
    Code_club TEXT COLLATE NOCASE
);

-- Swimmers a profile enters in a competition.
CREATE TABLE Engag_nageur (
    Num_Lic    INTEGER,
    Num_compet INTEGER,
    Num_profil INTEGER
);

-- Individual entries, with the performance that justifies the entry time.
CREATE TABLE Engag (
    Code_epreuve   INTEGER,
    Num_Lic        INTEGER,
    Num_equipe     INTEGER,
    Num_compet     INTEGER,
    Num_profil     INTEGER,
    Tps_engagement REAL,
    Date_perf      TEXT COLLATE NOCASE,   -- yyyymmdd
    Lieu_perf      TEXT COLLATE NOCASE,
    Bassin         INTEGER                -- pool length
);

-- Relay entries: one row per team; unused relayer slots hold the
-- placeholder swimmer's Licence.Num.
CREATE TABLE Relais (
    Code_epreuve INTEGER,
    Num_equipe   INTEGER,
    Num_Lic      INTEGER,
    Num_compet   INTEGER,
    Num_profil   INTEGER,
    Licence1 INTEGER, Licence2 INTEGER, Licence3 INTEGER, Licence4 INTEGER,
    Licence5 INTEGER, Licence6 INTEGER, Licence7 INTEGER, Licence8 INTEGER,
    Licence9 INTEGER, Licence10 INTEGER,
    Tps          REAL
);
