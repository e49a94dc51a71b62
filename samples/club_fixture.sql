-- Sample rows for a fresh club database (db/schema.sql + db/reference.sql):
-- one competition with its programme, two entry profiles and their entries,
-- enough to try
--     couloir create-files club.db OUT --competition 7 --profile 1
-- for the club "Cercle des Nageurs d'Orly", and the same with profile 2, made
-- as a selection, for the "Sélection Île-de-France", drawn from two clubs.
--
-- Times are minutes.secondshundredths (1.0543 is 1:05.43). Licence.Num 1 is
-- the placeholder swimmer of db/reference.sql that fills unused relay slots.

-- ---------------------------------------------------------------------------
-- The competition and its programme

INSERT INTO Rcomp (AutoNum, Num, Type, Nom, Debut, Fin, Lieu, Longueur, Nb_couloir,
                   Codif_fede, Codif_inter, Codif_reg, Codif_depar, Deroule, Visible)
VALUES (7, '123', 'C', 'Meeting d''Automne de l''Essonne', '20040916', '20040917',
        'L''Haÿ-les-Roses', 50, 8, 'R', 'R', 'Q', 'A', false, true);

-- Code_epreuve, day, ranking type, finals, type of finals, order
INSERT INTO Pcomp (Num_compet, Code_epreuve, JourCourse, Type, Nb_finales, Type_finale, Num_ordre) VALUES
    (7,  2, 1, '2', '1', 'T',  1),   -- 100 Nage Libre dames
    (7, 52, 1, '2', '1', 'T',  2),   -- 100 Nage Libre messieurs
    (7, 12, 1, '8', '3', 'C',  3),   -- 100 Dos dames
    (7,  5, 2, '1', '',  'A',  4),   -- 800 Nage Libre dames, timed final
    (7, 43, 2, '1', '',  '',   5),   -- 4x100 Nage Libre dames
    (7, 93, 2, '1', '',  '',   6),   -- 4x100 Nage Libre messieurs
    (7, 88, 2, '1', '',  '',  10);   -- 4x100 NL mixte

-- ---------------------------------------------------------------------------
-- Clubs, the selection, and the profiles that make entries

INSERT INTO Club (Code_federal, Intitule, Selection) VALUES
    ('FRA5120750001', 'Cercle des Nageurs d''Orly', false),
    ('FRA5120920003', 'Aqua Club de Sceaux', false),
    ('FRA5120000000', 'Sélection Île-de-France', true);

INSERT INTO Profil (Num, Code_club) VALUES
    (1, 'FRA5120750001'),
    (2, 'FRA5120000000');

-- ---------------------------------------------------------------------------
-- Swimmers: the licence number starts with the two-digit birth year

INSERT INTO Licence (Num, Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance, Nationalite,
                     Sportive, Synchro, Water_Polo, Plongeon, Dirigeant, Maitre,
                     Date_Depot, Date_obliteration, Type_licence, Nature, Code_unique, Date_suppr, Visible) VALUES
    (101, 'FRA5120750001', '93147K', 'DUPONT',   'Marie',  'F', '19930512', 'FRA',
          'O', 'N', 'N', 'N', 'N', 'N', '20040901', '20040903', 'C', 'R', '1993051201234', '', true),
    (102, 'FRA5120750001', '94215B', 'O''BRIEN', 'Seán',   'M', '19940317', 'IRL',
          'O', 'N', 'O', 'N', 'N', 'N', '20040902', '20040903', 'C', 'R', '1994031700871', '', true),
    (103, 'FRA5120750001', '93318C', 'MARTIN',   'Paul',   'M', '19931102', 'FRA',
          'O', 'N', 'N', 'N', 'N', 'N', '20040902', '20040903', 'C', 'R', '1993110204410', '', true),
    (104, 'FRA5120750001', '95402D', 'SAUVAGE',  'Léa',    'F', '19950708', 'FRA',
          'O', 'O', 'N', 'N', 'N', 'N', '20040905', '20040906', 'C', 'N', '1995070800315', '', true),
    (105, 'FRA5120750001', '94077E', 'PETIT',    'Claire', 'F', '19940125', 'FRA',
          'O', 'N', 'N', 'N', 'N', 'N', '20040905', '20040906', 'C', 'R', '1994012500098', '', true),
    (106, 'FRA5120750001', '92610H', 'ROBERT',   'Luc',    'M', '19920214', 'FRA',
          'O', 'N', 'N', 'N', 'N', 'N', '20030901', '20030903', 'C', 'R', '1992021400202', '', false),
    (107, 'FRA5120750001', '92311J', 'GARNIER',  'Tom',    'M', '19920930', 'FRA',
          'O', 'N', 'N', 'N', 'N', 'N', '20040901', '20040903', 'C', 'R', '1992093000777', '', true),
    (108, 'FRA5120750001', '93509L', 'ETIENNE',  'Hugo',   'M', '19930404', 'FRA',
          'O', 'N', 'N', 'N', 'N', 'O', '20040901', '20040903', 'C', 'R', '1993040400502', '', true),
    (201, 'FRA5120920003', '93520F', 'BERNARD',  'Emma',   'F', '19930120', 'FRA',
          'O', 'N', 'N', 'N', 'N', 'N', '20040910', '20040911', 'C', 'R', '1993012000640', '', true),
    (202, 'FRA5120920003', '94433G', 'ZOLA',     'Hugo',   'M', '19940722', 'FRA',
          'O', 'N', 'N', 'N', 'N', 'N', '20040910', '20040911', 'C', 'R', '1994072200733', '', true),
    (203, 'FRA5120920003', '93611M', 'LEROY',    'Inès',   'F', '19930815', 'FRA',
          'O', 'N', 'N', 'N', 'N', 'N', '20040910', '20040911', 'C', 'R', '1993081500918', '', true),
    (204, 'FRA5120920003', '94120N', 'NOËL',     'Anaïs',  'F', '19941003', 'FRA',
          'O', 'N', 'N', 'N', 'N', 'N', '20040910', '20040911', 'C', 'N', '1994100300104', '', true);

-- The selection's members, from both clubs.
INSERT INTO Selection (Code_Sel, Num_Lic, Visible) VALUES
    ('FRA5120000000', 101, true),
    ('FRA5120000000', 102, true),
    ('FRA5120000000', 201, true),
    ('FRA5120000000', 202, true),
    ('FRA5120000000', 203, true),
    ('FRA5120000000', 204, true);

-- ---------------------------------------------------------------------------
-- Entries of the club (profile 1)

INSERT INTO Engag_nageur (Num_Lic, Num_compet, Num_profil) VALUES
    (101, 7, 1), (102, 7, 1), (103, 7, 1), (104, 7, 1), (105, 7, 1), (107, 7, 1), (108, 7, 1);

-- Code_epreuve, swimmer, team, competition, profile, entry time and the swim it comes from
INSERT INTO Engag (Code_epreuve, Num_Lic, Num_equipe, Num_compet, Num_profil,
                   Tps_engagement, Date_perf, Lieu_perf, Bassin) VALUES
    ( 2, 101,  0, 7, 1, 1.0543, '20040612', 'Orly',            50),
    (52, 102,  3, 7, 1, 0.5820, '20040520', 'L''Haÿ-les-Roses', 25),
    (52, 103,  1, 7, 1, 0.5987, '20040301', 'Paris',           50),
    (12, 104, 12, 7, 1, 1.1105, '20040613', 'Évry',            50),
    ( 5, 105,  3, 7, 1, NULL,   NULL,       NULL,            NULL);

-- One row per relay team: Num_Lic numbers the profile's teams of each sex,
-- Licence1 to Licence10 are the relayers in leg order.
INSERT INTO Relais (Code_epreuve, Num_equipe, Num_Lic, Num_compet, Num_profil,
                    Licence1, Licence2, Licence3, Licence4, Licence5,
                    Licence6, Licence7, Licence8, Licence9, Licence10, Tps) VALUES
    -- women: only three swimmers named
    (43, 2, 1, 7, 1, 101, 105, 104,   1,   1, 1, 1, 1, 1, 1, 4.2250),
    -- men: two teams, the second without a team number and with a hidden swimmer first
    (93, 1, 1, 7, 1, 102, 103, 107, 108,   1, 1, 1, 1, 1, 1, 3.5104),
    (93, 0, 2, 7, 1, 106, 107, 103, 102, 108, 1, 1, 1, 1, 1, NULL),
    -- mixed
    (88, 1, 1, 7, 1, 101, 102, 104, 103,   1, 1, 1, 1, 1, 1, 4.0500);

-- ---------------------------------------------------------------------------
-- Entries of the selection (profile 2)

INSERT INTO Engag_nageur (Num_Lic, Num_compet, Num_profil) VALUES
    (101, 7, 2), (102, 7, 2), (201, 7, 2), (202, 7, 2), (203, 7, 2), (204, 7, 2);

INSERT INTO Engag (Code_epreuve, Num_Lic, Num_equipe, Num_compet, Num_profil,
                   Tps_engagement, Date_perf, Lieu_perf, Bassin) VALUES
    ( 2, 201, 1, 7, 2, 1.0410, '20040605', 'Sceaux', 50),
    ( 2, 101, 2, 7, 2, 1.0543, '20040612', 'Orly',   50),
    (52, 202, 1, 7, 2, 0.5900, '20040522', 'Sceaux', 25),
    (52, 102, 0, 7, 2, 0.5820, '20040520', 'L''Haÿ-les-Roses', 25);

INSERT INTO Relais (Code_epreuve, Num_equipe, Num_Lic, Num_compet, Num_profil,
                    Licence1, Licence2, Licence3, Licence4, Licence5,
                    Licence6, Licence7, Licence8, Licence9, Licence10, Tps) VALUES
    (43, 1, 1, 7, 2, 201, 101, 203, 204, 1, 1, 1, 1, 1, 1, 4.1875),
    -- men: two swimmers only
    (93, 1, 1, 7, 2, 102, 202,   1,   1, 1, 1, 1, 1, 1, 1, NULL);
