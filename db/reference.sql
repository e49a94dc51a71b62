-- Couloir club database: reference rows.
--
-- The rows a club database holds before any import, loaded once after
-- db/schema.sql: the open/closed flag, the codification that club codes are
-- checked against, the event table, and the placeholders named 'Null' (club,
-- swimmer and pool).

-- ---------------------------------------------------------------------------
-- Open/closed flag: a fresh database counts as properly closed.

INSERT INTO Info (LastClose) VALUES (true);

-- ---------------------------------------------------------------------------
-- Codification
--
-- A club's federal code has 13 characters:
--
--     FRA 5 12 075 0001
--     |   | |  |   +-- club number; '0000' marks a selection
--     |   | |  +------ department (Departement.Code, 3 characters)
--     |   | +--------- region (Region.Code, 2 characters)
--     |   +----------- inter-region (Inter_Region.Code, one digit)
--     +--------------- country (Pays.code)
--
-- Outside France the inter-region is 0 (e.g. BEL0000000012). In France,
-- inter-region 0 is the national level (region '00', department '000'); a
-- code of inter-region n must name one of its regions (or '00' with
-- department '000'), and the department must belong to that region (or be
-- '000' for a regional club). The assignment below groups the former French
-- regions into nine inter-regions; the numbering is this database's own.

INSERT INTO Pays (code) VALUES
    ('FRA'),  -- France
    ('AND'),  -- Andorre
    ('BEL'),  -- Belgique
    ('CHE'),  -- Suisse
    ('DEU'),  -- Allemagne
    ('ESP'),  -- Espagne
    ('GBR'),  -- Royaume-Uni
    ('ITA'),  -- Italie
    ('LUX'),  -- Luxembourg
    ('MCO'),  -- Monaco
    ('NLD'),  -- Pays-Bas
    ('PRT');  -- Portugal

INSERT INTO Inter_Region (Code) VALUES
    (0),  -- national level, and every foreign club
    (1),  -- Nord
    (2),  -- Est
    (3),  -- Ouest
    (4),  -- Centre
    (5),  -- Ile-de-France
    (6),  -- Centre-Est
    (7),  -- Sud-Ouest
    (8),  -- Sud-Est
    (9);  -- Outre-mer

INSERT INTO Region (Code, CodeInter) VALUES
    ('01', 1),  -- Nord-Pas-de-Calais
    ('02', 1),  -- Picardie
    ('03', 1),  -- Haute-Normandie
    ('04', 2),  -- Champagne-Ardenne
    ('05', 2),  -- Lorraine
    ('06', 2),  -- Alsace
    ('07', 3),  -- Basse-Normandie
    ('08', 3),  -- Bretagne
    ('09', 3),  -- Pays de la Loire
    ('10', 4),  -- Centre
    ('11', 4),  -- Limousin
    ('12', 5),  -- Ile-de-France
    ('13', 6),  -- Bourgogne
    ('14', 6),  -- Franche-Comte
    ('15', 6),  -- Auvergne
    ('16', 6),  -- Rhone-Alpes
    ('17', 7),  -- Poitou-Charentes
    ('18', 7),  -- Aquitaine
    ('19', 7),  -- Midi-Pyrenees
    ('20', 8),  -- Languedoc-Roussillon
    ('21', 8),  -- Provence-Alpes-Cote d'Azur
    ('22', 8),  -- Corse
    ('23', 9),  -- Antilles-Guyane
    ('24', 9),  -- Reunion
    ('25', 9),  -- Mayotte
    ('26', 9);  -- Saint-Pierre-et-Miquelon

INSERT INTO Departement (Code, Region) VALUES
    -- 01 Nord-Pas-de-Calais
    ('059', '01'), ('062', '01'),
    -- 02 Picardie
    ('002', '02'), ('060', '02'), ('080', '02'),
    -- 03 Haute-Normandie
    ('027', '03'), ('076', '03'),
    -- 04 Champagne-Ardenne
    ('008', '04'), ('010', '04'), ('051', '04'), ('052', '04'),
    -- 05 Lorraine
    ('054', '05'), ('055', '05'), ('057', '05'), ('088', '05'),
    -- 06 Alsace
    ('067', '06'), ('068', '06'),
    -- 07 Basse-Normandie
    ('014', '07'), ('050', '07'), ('061', '07'),
    -- 08 Bretagne
    ('022', '08'), ('029', '08'), ('035', '08'), ('056', '08'),
    -- 09 Pays de la Loire
    ('044', '09'), ('049', '09'), ('053', '09'), ('072', '09'), ('085', '09'),
    -- 10 Centre
    ('018', '10'), ('028', '10'), ('036', '10'), ('037', '10'), ('041', '10'),
    ('045', '10'),
    -- 11 Limousin
    ('019', '11'), ('023', '11'), ('087', '11'),
    -- 12 Ile-de-France
    ('075', '12'), ('077', '12'), ('078', '12'), ('091', '12'), ('092', '12'),
    ('093', '12'), ('094', '12'), ('095', '12'),
    -- 13 Bourgogne
    ('021', '13'), ('058', '13'), ('071', '13'), ('089', '13'),
    -- 14 Franche-Comte
    ('025', '14'), ('039', '14'), ('070', '14'), ('090', '14'),
    -- 15 Auvergne
    ('003', '15'), ('015', '15'), ('043', '15'), ('063', '15'),
    -- 16 Rhone-Alpes
    ('001', '16'), ('007', '16'), ('026', '16'), ('038', '16'), ('042', '16'),
    ('069', '16'), ('073', '16'), ('074', '16'),
    -- 17 Poitou-Charentes
    ('016', '17'), ('017', '17'), ('079', '17'), ('086', '17'),
    -- 18 Aquitaine
    ('024', '18'), ('033', '18'), ('040', '18'), ('047', '18'), ('064', '18'),
    -- 19 Midi-Pyrenees
    ('009', '19'), ('012', '19'), ('031', '19'), ('032', '19'), ('046', '19'),
    ('065', '19'), ('081', '19'), ('082', '19'),
    -- 20 Languedoc-Roussillon
    ('011', '20'), ('030', '20'), ('034', '20'), ('048', '20'), ('066', '20'),
    -- 21 Provence-Alpes-Cote d'Azur
    ('004', '21'), ('005', '21'), ('006', '21'), ('013', '21'), ('083', '21'),
    ('084', '21'),
    -- 22 Corse (Corse-du-Sud, Haute-Corse)
    ('02A', '22'), ('02B', '22'),
    -- 23 Antilles-Guyane (Guadeloupe, Martinique, Guyane)
    ('971', '23'), ('972', '23'), ('973', '23'),
    -- 24 Reunion
    ('974', '24'),
    -- 25 Mayotte
    ('976', '25'),
    -- 26 Saint-Pierre-et-Miquelon
    ('975', '26');

-- ---------------------------------------------------------------------------
-- Events
--
-- Codes 1 to 49 are the women's events and 51 to 99 the same events for men
-- (code + 50), except the mixed relays, which exist once (Mixte true, Sexe
-- empty): 34-37 and 84, 85, 87, 88. Distance is the distance each swimmer
-- covers (a relay's leg); Nb_nageurs the swimmers per entry.
--
-- The codes follow the split times the results carry, counted back from the
-- finish (split 1 is the last one before the finish). Races up to 400 m
-- have a split every 50 m, longer ones every 100 m. A result therefore also
-- gives shorter performances of the same stroke:
--     100 NL (2)   -> 50 NL at split 1
--     200 NL (3)   -> 100 NL at split 2, 50 NL at split 3
--     400 NL (4)   -> 200 NL at 4, 100 NL at 6, 50 NL at 7
--     800 NL (5)   -> 400 NL at 4, 200 NL at 6, 100 NL at 7
--     1000 NL (7)  -> 800 NL at 2, 400 NL at 6, 200 NL at 8, 100 NL at 9
--     1500 NL (6)  -> 1000 NL at 5, 800 NL at 7, 400 at 11, 200 at 13, 100 at 14
--     200 4 N (41) -> 50 fly at 3; 400 4 N (42) -> 100 fly at 6, 50 fly at 7
-- and a relay gives its first swimmer the performance of the first leg
-- (4x100 NL: 100 NL at split 6, 50 NL at split 7; 4x200 NL: 200 NL at 6,
-- 100 NL at 7; 4x100 4 N: 100 back at 6, 50 back at 7; 4x50 4 N: 50 back
-- at 3; 2x100 NL: 100 NL at 2; 10x100 NL: 100 NL at 9; the 4x50 NL and
-- 10x50 NL relays take their 50 NL first leg from splits 5 and 10, where
-- the results software stores it). The first leg of a mixed relay counts
-- as an event of the first swimmer's sex.

INSERT INTO Nage (Code_Nage, Libelle, Distance, Nb_nageurs, Mixte, Sexe) VALUES
    -- women
    ( 1, '50 Nage Libre',        50,  1, false, 'F'),
    ( 2, '100 Nage Libre',      100,  1, false, 'F'),
    ( 3, '200 Nage Libre',      200,  1, false, 'F'),
    ( 4, '400 Nage Libre',      400,  1, false, 'F'),
    ( 5, '800 Nage Libre',      800,  1, false, 'F'),
    ( 6, '1500 Nage Libre',    1500,  1, false, 'F'),
    ( 7, '1000 Nage Libre',    1000,  1, false, 'F'),
    ( 9, '10x50 Nage Libre',     50, 10, false, 'F'),
    (11, '50 Dos',               50,  1, false, 'F'),
    (12, '100 Dos',             100,  1, false, 'F'),
    (13, '200 Dos',             200,  1, false, 'F'),
    (21, '50 Brasse',            50,  1, false, 'F'),
    (22, '100 Brasse',          100,  1, false, 'F'),
    (23, '200 Brasse',          200,  1, false, 'F'),
    (31, '50 Papillon',          50,  1, false, 'F'),
    (32, '100 Papillon',        100,  1, false, 'F'),
    (33, '200 Papillon',        200,  1, false, 'F'),
    (40, '100 4 Nages',         100,  1, false, 'F'),
    (41, '200 4 Nages',         200,  1, false, 'F'),
    (42, '400 4 Nages',         400,  1, false, 'F'),
    (43, '4x100 Nage Libre',    100,  4, false, 'F'),
    (44, '4x200 Nage Libre',    200,  4, false, 'F'),
    (45, '10x100 Nage Libre',   100, 10, false, 'F'),
    (46, '4x100 4 Nages',       100,  4, false, 'F'),
    (47, '2x100 Nage Libre',    100,  2, false, 'F'),
    (48, '4x50 4 Nages',         50,  4, false, 'F'),
    (49, '4x50 Nage Libre',      50,  4, false, 'F'),
    -- mixed relays
    (34, '4x200 NL Mixte',      200,  4, true,  ''),
    (35, '4x50 NL Mixte',        50,  4, true,  ''),
    (36, '4x100 4 Nages Mixte', 100,  4, true,  ''),
    (37, '4x50 4 Nages Mixte',   50,  4, true,  ''),
    (84, '10x50 NL Mixte',       50, 10, true,  ''),
    (85, '10x100 NL Mixte',     100, 10, true,  ''),
    (87, '2x100 NL Mixte',      100,  2, true,  ''),
    (88, '4x100 NL Mixte',      100,  4, true,  '');

-- men: the women's events, code + 50
INSERT INTO Nage (Code_Nage, Libelle, Distance, Nb_nageurs, Mixte, Sexe)
    SELECT Code_Nage + 50, Libelle, Distance, Nb_nageurs, false, 'M'
    FROM Nage WHERE Sexe = 'F';

-- ---------------------------------------------------------------------------
-- Placeholders
--
-- The club named 'Null' lends its code to the reference swimmer; the
-- reference swimmer (hidden) fills the empty slots of relay teams; the pool
-- named 'Null' is the pool of the competitions that performance imports
-- create.

INSERT INTO Club (Code_federal, Intitule, Selection, Nom)
    VALUES ('FRA0000000000', 'Null', false, 'Null');

INSERT INTO Licence (Code_Club, Licence, Nom, Visible, Date_suppr)
    VALUES ('FRA0000000000', '1', 'Null', false, '');

INSERT INTO Piscine (Nom) VALUES ('Null');
