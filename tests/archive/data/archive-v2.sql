-- The archive as version 2 of the schema wrote it: the two records of archive-v1.sql in a lot.
-- Frozen: a test opens it with the current program, which must bring it up to date and keep it whole.
CREATE TABLE archive_info (name TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE gauge (id INTEGER PRIMARY KEY, param_text TEXT NOT NULL UNIQUE);
CREATE TABLE object_name (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);
CREATE TABLE material_name (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);
CREATE TABLE arrival (id INTEGER PRIMARY KEY, kind INTEGER NOT NULL, arrived TEXT NOT NULL, gauge_id INTEGER REFERENCES gauge(id), user_name TEXT NOT NULL DEFAULT '', file_name TEXT NOT NULL DEFAULT '', records INTEGER NOT NULL DEFAULT 0, new_records INTEGER NOT NULL DEFAULT 0, known_records INTEGER NOT NULL DEFAULT 0);
CREATE TABLE measurement (id INTEGER PRIMARY KEY, rkey INTEGER NOT NULL, bytes BLOB NOT NULL, measured INTEGER NOT NULL, deleted INTEGER NOT NULL, number INTEGER NOT NULL, density REAL, refdensity REAL, mode INTEGER NOT NULL, temperature REAL, latitude INTEGER NOT NULL, longitude INTEGER NOT NULL, thickness INTEGER NOT NULL, avernum INTEGER NOT NULL, object_id INTEGER NOT NULL REFERENCES object_name(id), material_id INTEGER NOT NULL REFERENCES material_name(id), gauge_id INTEGER REFERENCES gauge(id), arrival_id INTEGER NOT NULL REFERENCES arrival(id));
CREATE UNIQUE INDEX measurement_key ON measurement(rkey);
CREATE INDEX measurement_time ON measurement(measured);
CREATE INDEX measurement_object ON measurement(object_id, measured);
CREATE INDEX measurement_deleted ON measurement(measured) WHERE deleted = 1;
CREATE TABLE lot (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, object TEXT NOT NULL DEFAULT '', material TEXT NOT NULL DEFAULT '', layer TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '', created TEXT NOT NULL);
ALTER TABLE measurement ADD COLUMN lot_id INTEGER REFERENCES lot(id);
CREATE INDEX measurement_lot ON measurement(lot_id, measured) WHERE lot_id IS NOT NULL;
INSERT INTO archive_info (name, value) VALUES ('schema_version', '2');
INSERT INTO gauge (id, param_text) VALUES (1, 'LUM-1.2 No 0417');
INSERT INTO object_name (id, name) VALUES (1, 'Road M4');
INSERT INTO material_name (id, name) VALUES (1, 'Асфальт');
INSERT INTO arrival VALUES (1, 1, '2024-06-03T17:45:10Z', 1, 'technician', '', 2, 2, 0);
INSERT INTO measurement VALUES (1, -3079108741258552189, X'010009050E05051307526F6164204D34000000000000000000000000000007C0F1F4E0EBFCF20000000000000000000000000000000013450000164500000000000000000000BC41000000000000000000000000002803000000', 20912280569097, 0, 1, 2352.0, 2400.0, 0, 23.5, 0, 0, 40, 3, 1, 1, 1, 1, NULL);
INSERT INTO measurement VALUES (2, -4388625510410761686, X'020009050E06051307526F6164204D34000000000000000000000000000007C0F1F4E0EBFCF2000000000000000000000000000000C014450000164500000000000000000000BC41000000000000000000000000002803000000', 20912297346313, 0, 2, 2380.0, 2400.0, 0, 23.5, 0, 0, 40, 3, 1, 1, 1, 1, NULL);
INSERT INTO lot VALUES (1, 'M-4 km 12, binder', 'Road M4', 'Асфальт', 'binder', 'cores drilled 4 June', '2024-06-03T18:00:00Z');
UPDATE measurement SET lot_id = 1;
