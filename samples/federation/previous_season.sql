-- Rows of an earlier import of the federation's lists, for a fresh club
-- database (db/schema.sql + db/reference.sql):
--     sqlite3 club.db < samples/federation/previous_season.sql
-- Camille GIRARD has since taken another surname: importing
-- licence.txt reports the licence as already used under another name and
-- leaves the stored swimmer as it is.

INSERT INTO Club (Code_federal, Intitule, Selection) VALUES
    ('FRA5120750042', 'Les Mouettes de Paris', false),
    ('FRA5120940015', 'Null', false);

INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance, Date_suppr) VALUES
    ('FRA5120750042', '070214', 'GIRARD', 'Camille', 'F', '20070614', '');
