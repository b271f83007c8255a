-- The rights of the program's database account, and nothing more: run in the books'
-- database (USE it first) as an administrator, then give the role to the program's
-- account (GRANT veldra_program TO ...; SET DEFAULT ROLE veldra_program FOR ...).
-- Table names are unqualified, so the grants land in whichever database is in use.
-- Running it again adds what a newer version of the program needs; it takes nothing away.
--
-- The program reads, adds and changes rows; it never deletes a row, never changes the
-- schema and locks no table. It locks only the rows a save reads to change
-- (SELECT ... FOR UPDATE): registering a user locks the rows it looks up in wp_users, so
-- that two registrations of one name wait for each other; MariaDB wants only SELECT for
-- that, MySQL 8 also UPDATE or LOCK TABLES on wp_users.
-- The triggers that keep an entry's sums run as the account that loaded the schema, so
-- the program needs no rights to write them; that account must stay. The same holds for
-- the triggers and the procedure that write the change history: the program only reads it.
CREATE ROLE IF NOT EXISTS veldra_program;

-- The web site's user table: login reads it, registration adds a user and the user's
-- capabilities.
GRANT SELECT, INSERT ON wp_users TO veldra_program;
GRANT SELECT, INSERT ON wp_usermeta TO veldra_program;
-- Two registrations of one name on two cluster nodes both write the same claim row.
GRANT SELECT, INSERT, UPDATE ON `registration claims` TO veldra_program;

-- Set-up: companies, access rights, cost centres, accounts, financial years and periods.
GRANT SELECT, INSERT, UPDATE ON companies TO veldra_program;
GRANT SELECT, INSERT, UPDATE ON access TO veldra_program;
GRANT SELECT, INSERT, UPDATE ON `cost centres` TO veldra_program;
GRANT SELECT, INSERT, UPDATE ON accounts TO veldra_program;
GRANT SELECT, INSERT, UPDATE ON `financial years` TO veldra_program;
GRANT SELECT, INSERT, UPDATE ON `financial periods` TO veldra_program;
-- The chart of objects is kept outside the program.
GRANT SELECT ON objects TO veldra_program;

-- Journal entries are added, never changed by the program.
GRANT SELECT, INSERT ON transactions TO veldra_program;
GRANT SELECT, INSERT ON `transaction details` TO veldra_program;
-- The journal list reads the entries' sums; the schema's triggers keep them.
GRANT SELECT ON `entry sums` TO veldra_program;
-- The trial balance reads the monthly totals of the lines; the schema's triggers keep them.
GRANT SELECT ON `account month totals` TO veldra_program;

-- The fingerprints of imported files are added, never changed.
GRANT SELECT, INSERT ON `imported files` TO veldra_program;

-- The change history is written by the schema's triggers alone; the program reads it, and
-- can neither add to it, change it nor remove from it.
GRANT SELECT ON `change history` TO veldra_program;
-- A save asks the database to record its entry's lines in the entry's own record; the
-- procedure writes only the figures the database keeps (see schema.sql).
GRANT EXECUTE ON PROCEDURE `record entry lines in history` TO veldra_program;
