-- Tables of Veldra Accounting. The two wp_ tables belong to the web site that shares the
-- database and are defined as a multisite installation defines them; the program only
-- reads and adds rows there, so nothing of ours points at them with a foreign key.
-- Flags ("Yes"/"No") are compared exactly, so their columns use a binary collation.
-- CHECK constraints keep every client to the values the program reads: the flags and the
-- access levels ("No access", "View", "Create", "Post") exactly as the program writes them,
-- compared as bytes (a collation would let "Yes " pass for "Yes").

CREATE TABLE IF NOT EXISTS wp_users (
  ID bigint(20) unsigned NOT NULL AUTO_INCREMENT,
  user_login varchar(60) NOT NULL DEFAULT '',
  user_pass varchar(255) NOT NULL DEFAULT '',
  user_nicename varchar(50) NOT NULL DEFAULT '',
  user_email varchar(100) NOT NULL DEFAULT '',
  user_url varchar(100) NOT NULL DEFAULT '',
  user_registered datetime NOT NULL DEFAULT '0000-00-00 00:00:00',
  user_activation_key varchar(255) NOT NULL DEFAULT '',
  user_status int(11) NOT NULL DEFAULT 0,
  display_name varchar(250) NOT NULL DEFAULT '',
  spam tinyint(2) NOT NULL DEFAULT 0,
  deleted tinyint(2) NOT NULL DEFAULT 0,
  PRIMARY KEY (ID),
  KEY user_login_key (user_login),
  KEY user_nicename (user_nicename),
  KEY user_email (user_email)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS wp_usermeta (
  umeta_id bigint(20) unsigned NOT NULL AUTO_INCREMENT,
  user_id bigint(20) unsigned NOT NULL DEFAULT 0,
  meta_key varchar(255) DEFAULT NULL,
  meta_value longtext,
  PRIMARY KEY (umeta_id),
  KEY user_id (user_id),
  KEY meta_key (meta_key(191))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- A registration claims its login name and e-mail address here before it looks them up.
-- The web site's tables have no unique keys, and a locking read holds only on the server
-- that took it; two registrations of one name on two nodes of a cluster both write the
-- same row here, so the cluster lets only one of them commit. Compared as the user table
-- compares them.
CREATE TABLE IF NOT EXISTS `registration claims` (
  claim varchar(191) NOT NULL,
  `claimed at` datetime NOT NULL,
  PRIMARY KEY (claim)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- `years saved` counts the saves of the company's financial years. Each save writes it, so
-- that two saves of years on two nodes of a cluster, where row locks do not reach, collide
-- and only one commits: the other runs again and sees the first year. `entries saved` does
-- the same for journal entries: two entries (one number) or an entry and a year save that
-- closes its period collide on the row.
CREATE TABLE IF NOT EXISTS companies (
  id int NOT NULL AUTO_INCREMENT,
  `company name` varchar(50) NOT NULL,
  `years saved` int NOT NULL DEFAULT 0,
  `entries saved` bigint NOT NULL DEFAULT 0,
  PRIMARY KEY (id),
  UNIQUE KEY `company name` (`company name`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- New rows get the least privilege: the levels are raised by an administrator.
CREATE TABLE IF NOT EXISTS access (
  id int NOT NULL AUTO_INCREMENT,
  `company id` int NOT NULL,
  `wp_user id` bigint(20) unsigned NOT NULL,
  `access company` varchar(3) COLLATE utf8mb4_bin NOT NULL DEFAULT 'No',
  administrator varchar(3) COLLATE utf8mb4_bin NOT NULL DEFAULT 'No',
  `trial balance` varchar(10) NOT NULL DEFAULT 'No access',
  `journal entries` varchar(10) NOT NULL DEFAULT 'No access',
  PRIMARY KEY (id),
  UNIQUE KEY `user company` (`wp_user id`, `company id`),
  KEY `company id` (`company id`),
  CONSTRAINT `access company flag` CHECK (CAST(`access company` AS BINARY) IN ('Yes', 'No')),
  CONSTRAINT `administrator flag` CHECK (CAST(administrator AS BINARY) IN ('Yes', 'No')),
  CONSTRAINT `trial balance level`
    CHECK (CAST(`trial balance` AS BINARY) IN ('No access', 'View', 'Create', 'Post')),
  CONSTRAINT `journal entries level`
    CHECK (CAST(`journal entries` AS BINARY) IN ('No access', 'View', 'Create', 'Post')),
  CONSTRAINT `access company fk` FOREIGN KEY (`company id`) REFERENCES companies (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS `cost centres` (
  id int NOT NULL AUTO_INCREMENT,
  `company id` int NOT NULL,
  `cost centre number` int NOT NULL,
  `cost centre description` varchar(50) NOT NULL,
  PRIMARY KEY (id),
  UNIQUE KEY `company number` (`company id`, `cost centre number`),
  UNIQUE KEY `company description` (`company id`, `cost centre description`),
  CONSTRAINT `cost centre company fk` FOREIGN KEY (`company id`) REFERENCES companies (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- The chart of objects is shared by all companies and loaded by other means.
CREATE TABLE IF NOT EXISTS objects (
  id int NOT NULL AUTO_INCREMENT,
  `object number` int NOT NULL,
  `object description` varchar(100) NOT NULL DEFAULT '',
  `posting type` varchar(20) NOT NULL DEFAULT 'Balance Sheet',
  level int DEFAULT NULL,
  `use for account` varchar(3) COLLATE utf8mb4_bin NOT NULL DEFAULT 'No',
  classification varchar(100) NOT NULL DEFAULT '',
  PRIMARY KEY (id),
  KEY `object number` (`object number`),
  CONSTRAINT `use for account flag` CHECK (CAST(`use for account` AS BINARY) IN ('Yes', 'No'))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

CREATE TABLE IF NOT EXISTS accounts (
  id int NOT NULL AUTO_INCREMENT,
  `cost centre id` int NOT NULL,
  `object id` int NOT NULL,
  `account description` varchar(50) NOT NULL,
  PRIMARY KEY (id),
  UNIQUE KEY `cost centre object` (`cost centre id`, `object id`),
  KEY `object id` (`object id`),
  CONSTRAINT `account cost centre fk` FOREIGN KEY (`cost centre id`) REFERENCES `cost centres` (id),
  CONSTRAINT `account object fk` FOREIGN KEY (`object id`) REFERENCES objects (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- `save key` is the key the new-year window made for the year, as for journal entries.
CREATE TABLE IF NOT EXISTS `financial years` (
  id int NOT NULL AUTO_INCREMENT,
  `company id` int NOT NULL,
  `financial year description` varchar(50) NOT NULL,
  `last day of financial year` date NOT NULL,
  `save key` char(36) CHARACTER SET ascii COLLATE ascii_bin DEFAULT NULL,
  PRIMARY KEY (id),
  UNIQUE KEY `company description` (`company id`, `financial year description`),
  UNIQUE KEY `save key` (`save key`),
  CONSTRAINT `financial year company fk` FOREIGN KEY (`company id`) REFERENCES companies (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- Period descriptions come from a grid cell too and have no length limit.
CREATE TABLE IF NOT EXISTS `financial periods` (
  id int NOT NULL AUTO_INCREMENT,
  `financial year id` int NOT NULL,
  `period number` int NOT NULL,
  `start date` date NOT NULL,
  `end date` date NOT NULL,
  `period description` text NOT NULL,
  `period open` varchar(3) COLLATE utf8mb4_bin NOT NULL DEFAULT 'Yes',
  `period deleted` varchar(3) COLLATE utf8mb4_bin NOT NULL DEFAULT 'No',
  PRIMARY KEY (id),
  UNIQUE KEY `year number` (`financial year id`, `period number`),
  KEY `dates` (`start date`, `end date`),
  -- Typed into a grid and stored as typed: "Yes" or "No" in any letter case.
  CONSTRAINT `period open flag` CHECK (CAST(LOWER(`period open`) AS BINARY) IN ('yes', 'no')),
  CONSTRAINT `period deleted flag` CHECK (CAST(`period deleted` AS BINARY) IN ('Yes', 'No')),
  CONSTRAINT `financial period year fk` FOREIGN KEY (`financial year id`) REFERENCES `financial years` (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- The `journal list` key holds every column of the entry that the list shows; the narrow
-- `company date` key stays for the trial balance, which reads every entry's date.
-- `save key` is the key the entry window made for the entry: a second save of the same
-- entry, after one whose outcome the program could not learn, collides on it.
-- `chain hash` chains the company's entries in number order: the SHA-256 of the previous
-- entry's hash and this entry's header and lines (journal/JournalChain.h defines the bytes),
-- written by the save under the numbering lock, so a later change of a stored entry shows.
CREATE TABLE IF NOT EXISTS transactions (
  id int NOT NULL AUTO_INCREMENT,
  `company id` int NOT NULL,
  `transaction number` int NOT NULL,
  `transaction type` varchar(2) NOT NULL DEFAULT 'JE',
  `transaction date` date NOT NULL,
  `transaction description` varchar(50) NOT NULL,
  posted varchar(3) COLLATE utf8mb4_bin NOT NULL DEFAULT 'No',
  `created by` bigint(20) unsigned DEFAULT NULL,
  `edited by` bigint(20) unsigned DEFAULT NULL,
  `posted by` bigint(20) unsigned DEFAULT NULL,
  `save key` char(36) CHARACTER SET ascii COLLATE ascii_bin DEFAULT NULL,
  `chain hash` char(64) CHARACTER SET ascii COLLATE ascii_bin DEFAULT NULL,
  PRIMARY KEY (id),
  UNIQUE KEY `company type number` (`company id`, `transaction type`, `transaction number`),
  UNIQUE KEY `save key` (`save key`),
  KEY `company date` (`company id`, `transaction date`),
  KEY `transaction date` (`transaction date`),
  KEY `journal list` (`company id`, `transaction date`, `transaction number`, `transaction description`,
    posted, `created by`, `edited by`, `posted by`),
  CONSTRAINT `posted flag` CHECK (CAST(posted AS BINARY) IN ('Yes', 'No')),
  CONSTRAINT `transaction company fk` FOREIGN KEY (`company id`) REFERENCES companies (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- Line descriptions are typed into a grid cell with no length limit, so the column takes
-- whatever was typed rather than refuse the whole entry.
-- Large books are read per account (trial balance), per entry (journal list) and per
-- date across accounts (the lines behind a figure); the indexes carry the account and
-- amount so those reads need not visit the rows.
CREATE TABLE IF NOT EXISTS `transaction details` (
  id int NOT NULL AUTO_INCREMENT,
  `transaction id` int NOT NULL,
  `line nr` int NOT NULL,
  `account id` int NOT NULL,
  `line description` text NOT NULL,
  amount decimal(19,4) NOT NULL,
  deleted varchar(3) COLLATE utf8mb4_bin NOT NULL DEFAULT 'No',
  PRIMARY KEY (id),
  UNIQUE KEY `transaction line` (`transaction id`, `line nr`),
  KEY `account transaction amount` (`account id`, `transaction id`, amount),
  KEY `transaction account amount` (`transaction id`, `account id`, amount),
  CONSTRAINT `deleted flag` CHECK (CAST(deleted AS BINARY) IN ('Yes', 'No')),
  CONSTRAINT `detail transaction fk` FOREIGN KEY (`transaction id`) REFERENCES transactions (id),
  CONSTRAINT `detail account fk` FOREIGN KEY (`account id`) REFERENCES accounts (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- The sums of each entry's lines: the positive amounts, the negative ones (a negative number
-- or 0) and the count, kept by the triggers below whoever writes the lines, so the journal
-- list reads one row per entry instead of grouping every line of a period. They are a narrow
-- table of their own rather than columns of the entry: a line then updates a row without
-- triggers or wide keys of its own, which a 100-line save pays a hundred times. An entry
-- whose lines are all gone keeps a row with count 0.
CREATE TABLE IF NOT EXISTS `entry sums` (
  `transaction id` int NOT NULL,
  `debit amount` decimal(25,4) NOT NULL DEFAULT 0,
  `credit amount` decimal(25,4) NOT NULL DEFAULT 0,
  `line count` int NOT NULL DEFAULT 0,
  PRIMARY KEY (`transaction id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;
-- A new line adds to its entry's sums; a changed or removed line has its entries' sums
-- worked out again from their lines.
DROP PROCEDURE IF EXISTS `work out entry sums`;
CREATE PROCEDURE `work out entry sums`(entry int, other int)
  INSERT INTO `entry sums` (`transaction id`, `debit amount`, `credit amount`, `line count`)
  SELECT transactions.id, COALESCE(SUM(GREATEST(`transaction details`.amount, 0)), 0),
    COALESCE(SUM(LEAST(`transaction details`.amount, 0)), 0), COUNT(`transaction details`.id)
  FROM transactions LEFT JOIN `transaction details` ON `transaction details`.`transaction id` = transactions.id
  WHERE transactions.id IN (entry, other)
  GROUP BY transactions.id
  ON DUPLICATE KEY UPDATE `debit amount` = VALUES(`debit amount`), `credit amount` = VALUES(`credit amount`),
    `line count` = VALUES(`line count`);
DROP TRIGGER IF EXISTS `transaction line added`;
CREATE TRIGGER `transaction line added` AFTER INSERT ON `transaction details` FOR EACH ROW
  INSERT INTO `entry sums` (`transaction id`, `debit amount`, `credit amount`, `line count`)
  VALUES (NEW.`transaction id`, GREATEST(NEW.amount, 0), LEAST(NEW.amount, 0), 1)
  ON DUPLICATE KEY UPDATE `debit amount` = `debit amount` + VALUES(`debit amount`),
    `credit amount` = `credit amount` + VALUES(`credit amount`), `line count` = `line count` + 1;
DROP TRIGGER IF EXISTS `transaction line changed`;
CREATE TRIGGER `transaction line changed` AFTER UPDATE ON `transaction details` FOR EACH ROW
  CALL `work out entry sums`(OLD.`transaction id`, NEW.`transaction id`);
DROP TRIGGER IF EXISTS `transaction line removed`;
CREATE TRIGGER `transaction line removed` AFTER DELETE ON `transaction details` FOR EACH ROW
  CALL `work out entry sums`(OLD.`transaction id`, OLD.`transaction id`);
DROP TRIGGER IF EXISTS `entry sums removed`;
CREATE TRIGGER `entry sums removed` AFTER DELETE ON transactions FOR EACH ROW
  DELETE FROM `entry sums` WHERE `transaction id` = OLD.id;

-- The sums of the lines per account and calendar month (`month` is the month's first day),
-- so that a balance over whole months reads one row per account and month instead of
-- every line. The triggers below keep them in the writer's own transaction, whoever
-- writes, as the sums of every line that has its entry (a line without an entry counts
-- nowhere, in the totals as in a join of the lines with their entries): a line added,
-- changed or removed; an entry added, removed, or moved to another month or id. Rows
-- are never removed; a month whose lines are gone keeps amount 0 and line count 0.
CREATE TABLE IF NOT EXISTS `account month totals` (
  `account id` int NOT NULL,
  month date NOT NULL,
  amount decimal(25,4) NOT NULL DEFAULT 0,
  `line count` int NOT NULL DEFAULT 0,
  PRIMARY KEY (`account id`, month)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;
DROP TRIGGER IF EXISTS `line totals added`;
CREATE TRIGGER `line totals added` AFTER INSERT ON `transaction details` FOR EACH ROW
  INSERT INTO `account month totals` (`account id`, month, amount, `line count`)
  SELECT NEW.`account id`, `transaction date` - INTERVAL (DAYOFMONTH(`transaction date`) - 1) DAY, NEW.amount, 1
  FROM transactions WHERE id = NEW.`transaction id`
  ON DUPLICATE KEY UPDATE amount = amount + VALUES(amount), `line count` = `line count` + VALUES(`line count`);
-- A changed line is taken out of its old account and month and counted into its new ones;
-- a change that leaves its amount, account and entry as they were touches no totals.
DROP TRIGGER IF EXISTS `line totals changed out`;
CREATE TRIGGER `line totals changed out` AFTER UPDATE ON `transaction details` FOR EACH ROW
  INSERT INTO `account month totals` (`account id`, month, amount, `line count`)
  SELECT OLD.`account id`, `transaction date` - INTERVAL (DAYOFMONTH(`transaction date`) - 1) DAY, -OLD.amount, -1
  FROM transactions WHERE id = OLD.`transaction id`
    AND (OLD.amount, OLD.`account id`, OLD.`transaction id`) <> (NEW.amount, NEW.`account id`, NEW.`transaction id`)
  ON DUPLICATE KEY UPDATE amount = amount + VALUES(amount), `line count` = `line count` + VALUES(`line count`);
DROP TRIGGER IF EXISTS `line totals changed in`;
CREATE TRIGGER `line totals changed in` AFTER UPDATE ON `transaction details` FOR EACH ROW
  INSERT INTO `account month totals` (`account id`, month, amount, `line count`)
  SELECT NEW.`account id`, `transaction date` - INTERVAL (DAYOFMONTH(`transaction date`) - 1) DAY, NEW.amount, 1
  FROM transactions WHERE id = NEW.`transaction id`
    AND (OLD.amount, OLD.`account id`, OLD.`transaction id`) <> (NEW.amount, NEW.`account id`, NEW.`transaction id`)
  ON DUPLICATE KEY UPDATE amount = amount + VALUES(amount), `line count` = `line count` + VALUES(`line count`);
DROP TRIGGER IF EXISTS `line totals removed`;
CREATE TRIGGER `line totals removed` AFTER DELETE ON `transaction details` FOR EACH ROW
  INSERT INTO `account month totals` (`account id`, month, amount, `line count`)
  SELECT OLD.`account id`, `transaction date` - INTERVAL (DAYOFMONTH(`transaction date`) - 1) DAY, -OLD.amount, -1
  FROM transactions WHERE id = OLD.`transaction id`
  ON DUPLICATE KEY UPDATE amount = amount + VALUES(amount), `line count` = `line count` + VALUES(`line count`);
-- An entry's own row decides its lines' month. Normally an entry is written before its
-- lines and has none yet; a load that writes lines first has them counted here.
DROP TRIGGER IF EXISTS `entry totals added`;
CREATE TRIGGER `entry totals added` AFTER INSERT ON transactions FOR EACH ROW
  INSERT INTO `account month totals` (`account id`, month, amount, `line count`)
  SELECT `account id`, NEW.`transaction date` - INTERVAL (DAYOFMONTH(NEW.`transaction date`) - 1) DAY,
    SUM(amount), COUNT(*)
  FROM `transaction details` WHERE `transaction id` = NEW.id GROUP BY `account id`
  ON DUPLICATE KEY UPDATE amount = amount + VALUES(amount), `line count` = `line count` + VALUES(`line count`);
-- An entry moved to another month (or given another id) moves its lines' sums; every other
-- change of the row is passed over without reading a line.
DROP TRIGGER IF EXISTS `entry totals moved out`;
CREATE TRIGGER `entry totals moved out` AFTER UPDATE ON transactions FOR EACH ROW
  INSERT INTO `account month totals` (`account id`, month, amount, `line count`)
  SELECT `account id`, OLD.`transaction date` - INTERVAL (DAYOFMONTH(OLD.`transaction date`) - 1) DAY,
    -SUM(amount), -COUNT(*)
  FROM `transaction details`
  WHERE `transaction id` = OLD.id AND (OLD.id <> NEW.id
    OR EXTRACT(YEAR_MONTH FROM OLD.`transaction date`) <> EXTRACT(YEAR_MONTH FROM NEW.`transaction date`))
  GROUP BY `account id`
  ON DUPLICATE KEY UPDATE amount = amount + VALUES(amount), `line count` = `line count` + VALUES(`line count`);
DROP TRIGGER IF EXISTS `entry totals moved in`;
CREATE TRIGGER `entry totals moved in` AFTER UPDATE ON transactions FOR EACH ROW
  INSERT INTO `account month totals` (`account id`, month, amount, `line count`)
  SELECT `account id`, NEW.`transaction date` - INTERVAL (DAYOFMONTH(NEW.`transaction date`) - 1) DAY,
    SUM(amount), COUNT(*)
  FROM `transaction details`
  WHERE `transaction id` = NEW.id AND (OLD.id <> NEW.id
    OR EXTRACT(YEAR_MONTH FROM OLD.`transaction date`) <> EXTRACT(YEAR_MONTH FROM NEW.`transaction date`))
  GROUP BY `account id`
  ON DUPLICATE KEY UPDATE amount = amount + VALUES(amount), `line count` = `line count` + VALUES(`line count`);
DROP TRIGGER IF EXISTS `entry totals removed`;
CREATE TRIGGER `entry totals removed` AFTER DELETE ON transactions FOR EACH ROW
  INSERT INTO `account month totals` (`account id`, month, amount, `line count`)
  SELECT `account id`, OLD.`transaction date` - INTERVAL (DAYOFMONTH(OLD.`transaction date`) - 1) DAY,
    -SUM(amount), -COUNT(*)
  FROM `transaction details` WHERE `transaction id` = OLD.id GROUP BY `account id`
  ON DUPLICATE KEY UPDATE amount = amount + VALUES(amount), `line count` = `line count` + VALUES(`line count`);
-- Every file of journal entries imported: its content's SHA-256, the company and what it
-- held, so that the same file imported again is noticed. `save key` is the import's own
-- key: a second save of the same import, after one whose outcome the program could not
-- learn, collides on it.
CREATE TABLE IF NOT EXISTS `imported files` (
  id int NOT NULL AUTO_INCREMENT,
  `company id` int NOT NULL,
  `content hash` char(64) CHARACTER SET ascii COLLATE ascii_bin NOT NULL,
  `file name` varchar(255) NOT NULL,
  `entry count` int NOT NULL,
  `line count` int NOT NULL,
  `imported by` bigint(20) unsigned DEFAULT NULL,
  `imported at` datetime NOT NULL,
  `save key` char(36) CHARACTER SET ascii COLLATE ascii_bin NOT NULL,
  PRIMARY KEY (id),
  UNIQUE KEY `save key` (`save key`),
  KEY `company content` (`company id`, `content hash`),
  CONSTRAINT `imported file company fk` FOREIGN KEY (`company id`) REFERENCES companies (id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;

-- Every change of the program's own rows, written by the triggers below whoever makes it:
-- when (server time), who (the program's user from the session variables @veldra_user_id
-- and @veldra_user_login, which the program sets at login; empty for any other client),
-- the database account and the client's host as the server sees them, the table, row and
-- company, and the row's values before and after as JSON. The program may only read it.
-- Upkeep the database does itself is not a change: the entries' sums and the monthly
-- totals are left out, and so are a company's `years saved` counter and the chaining
-- of an entry (its chain hash is not recorded: verifying the entries shows any change of
-- it). An entry saved by the program records its lines in the entry's own row (its line
-- count and sums), so a 100-line entry is one row; a line changed or removed is a row of
-- its own. The web site's tables have no triggers.
CREATE TABLE IF NOT EXISTS `change history` (
  id bigint NOT NULL AUTO_INCREMENT,
  `changed at` datetime NOT NULL,
  `user id` bigint(20) unsigned DEFAULT NULL,
  `login name` varchar(60) NOT NULL DEFAULT '',
  `database account` varchar(128) NOT NULL DEFAULT '',
  workstation varchar(255) NOT NULL DEFAULT '',
  `connection id` bigint unsigned NOT NULL,
  `table name` varchar(64) NOT NULL,
  `row id` varchar(191) NOT NULL,
  `company id` int DEFAULT NULL,
  action varchar(6) CHARACTER SET ascii COLLATE ascii_bin NOT NULL,
  `values before` longtext DEFAULT NULL,
  `values after` longtext DEFAULT NULL,
  PRIMARY KEY (id),
  KEY `changed at` (`changed at`),
  KEY `company changed at` (`company id`, `changed at`),
  KEY `table row` (`table name`, `row id`),
  KEY `connection` (`connection id`, id),
  CONSTRAINT `history action` CHECK (action IN ('insert', 'update', 'delete')),
  CONSTRAINT `history before json` CHECK (`values before` IS NULL OR JSON_VALID(`values before`)),
  CONSTRAINT `history after json` CHECK (`values after` IS NULL OR JSON_VALID(`values after`))
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_520_ci;
-- An update that leaves every recorded column as it was (compared as bytes, so a change of
-- letter case counts) is not recorded. Amounts are JSON strings, exactly as stored.
DROP TRIGGER IF EXISTS `companies added in history`;
CREATE TRIGGER `companies added in history` AFTER INSERT ON `companies` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'companies', NEW.`id`, NEW.id, 'insert',
    NULL,
    JSON_OBJECT('id', NEW.`id`, 'company name', NEW.`company name`)
  FROM DUAL;
DROP TRIGGER IF EXISTS `companies changed in history`;
CREATE TRIGGER `companies changed in history` AFTER UPDATE ON `companies` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'companies', NEW.`id`, NEW.id, 'update',
    JSON_OBJECT('id', OLD.`id`, 'company name', OLD.`company name`),
    JSON_OBJECT('id', NEW.`id`, 'company name', NEW.`company name`)
  FROM DUAL WHERE NOT (CAST(OLD.`id` AS BINARY) <=> CAST(NEW.`id` AS BINARY)
    AND CAST(OLD.`company name` AS BINARY) <=> CAST(NEW.`company name` AS BINARY));
DROP TRIGGER IF EXISTS `companies removed in history`;
CREATE TRIGGER `companies removed in history` AFTER DELETE ON `companies` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'companies', OLD.`id`, OLD.id, 'delete',
    JSON_OBJECT('id', OLD.`id`, 'company name', OLD.`company name`),
    NULL
  FROM DUAL;
DROP TRIGGER IF EXISTS `access added in history`;
CREATE TRIGGER `access added in history` AFTER INSERT ON `access` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'access', NEW.`id`, NEW.`company id`, 'insert',
    NULL,
    JSON_OBJECT('id', NEW.`id`, 'company id', NEW.`company id`, 'wp_user id', NEW.`wp_user id`, 'access company', NEW.`access company`, 'administrator', NEW.`administrator`, 'trial balance', NEW.`trial balance`, 'journal entries', NEW.`journal entries`)
  FROM DUAL;
DROP TRIGGER IF EXISTS `access changed in history`;
CREATE TRIGGER `access changed in history` AFTER UPDATE ON `access` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'access', NEW.`id`, NEW.`company id`, 'update',
    JSON_OBJECT('id', OLD.`id`, 'company id', OLD.`company id`, 'wp_user id', OLD.`wp_user id`, 'access company', OLD.`access company`, 'administrator', OLD.`administrator`, 'trial balance', OLD.`trial balance`, 'journal entries', OLD.`journal entries`),
    JSON_OBJECT('id', NEW.`id`, 'company id', NEW.`company id`, 'wp_user id', NEW.`wp_user id`, 'access company', NEW.`access company`, 'administrator', NEW.`administrator`, 'trial balance', NEW.`trial balance`, 'journal entries', NEW.`journal entries`)
  FROM DUAL WHERE NOT (CAST(OLD.`id` AS BINARY) <=> CAST(NEW.`id` AS BINARY)
    AND CAST(OLD.`company id` AS BINARY) <=> CAST(NEW.`company id` AS BINARY)
    AND CAST(OLD.`wp_user id` AS BINARY) <=> CAST(NEW.`wp_user id` AS BINARY)
    AND CAST(OLD.`access company` AS BINARY) <=> CAST(NEW.`access company` AS BINARY)
    AND CAST(OLD.`administrator` AS BINARY) <=> CAST(NEW.`administrator` AS BINARY)
    AND CAST(OLD.`trial balance` AS BINARY) <=> CAST(NEW.`trial balance` AS BINARY)
    AND CAST(OLD.`journal entries` AS BINARY) <=> CAST(NEW.`journal entries` AS BINARY));
DROP TRIGGER IF EXISTS `access removed in history`;
CREATE TRIGGER `access removed in history` AFTER DELETE ON `access` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'access', OLD.`id`, OLD.`company id`, 'delete',
    JSON_OBJECT('id', OLD.`id`, 'company id', OLD.`company id`, 'wp_user id', OLD.`wp_user id`, 'access company', OLD.`access company`, 'administrator', OLD.`administrator`, 'trial balance', OLD.`trial balance`, 'journal entries', OLD.`journal entries`),
    NULL
  FROM DUAL;
DROP TRIGGER IF EXISTS `cost centres added in history`;
CREATE TRIGGER `cost centres added in history` AFTER INSERT ON `cost centres` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'cost centres', NEW.`id`, NEW.`company id`, 'insert',
    NULL,
    JSON_OBJECT('id', NEW.`id`, 'company id', NEW.`company id`, 'cost centre number', NEW.`cost centre number`, 'cost centre description', NEW.`cost centre description`)
  FROM DUAL;
DROP TRIGGER IF EXISTS `cost centres changed in history`;
CREATE TRIGGER `cost centres changed in history` AFTER UPDATE ON `cost centres` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'cost centres', NEW.`id`, NEW.`company id`, 'update',
    JSON_OBJECT('id', OLD.`id`, 'company id', OLD.`company id`, 'cost centre number', OLD.`cost centre number`, 'cost centre description', OLD.`cost centre description`),
    JSON_OBJECT('id', NEW.`id`, 'company id', NEW.`company id`, 'cost centre number', NEW.`cost centre number`, 'cost centre description', NEW.`cost centre description`)
  FROM DUAL WHERE NOT (CAST(OLD.`id` AS BINARY) <=> CAST(NEW.`id` AS BINARY)
    AND CAST(OLD.`company id` AS BINARY) <=> CAST(NEW.`company id` AS BINARY)
    AND CAST(OLD.`cost centre number` AS BINARY) <=> CAST(NEW.`cost centre number` AS BINARY)
    AND CAST(OLD.`cost centre description` AS BINARY) <=> CAST(NEW.`cost centre description` AS BINARY));
DROP TRIGGER IF EXISTS `cost centres removed in history`;
CREATE TRIGGER `cost centres removed in history` AFTER DELETE ON `cost centres` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'cost centres', OLD.`id`, OLD.`company id`, 'delete',
    JSON_OBJECT('id', OLD.`id`, 'company id', OLD.`company id`, 'cost centre number', OLD.`cost centre number`, 'cost centre description', OLD.`cost centre description`),
    NULL
  FROM DUAL;
DROP TRIGGER IF EXISTS `accounts added in history`;
CREATE TRIGGER `accounts added in history` AFTER INSERT ON `accounts` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'accounts', NEW.`id`, (SELECT `company id` FROM `cost centres` WHERE id = NEW.`cost centre id`), 'insert',
    NULL,
    JSON_OBJECT('id', NEW.`id`, 'cost centre id', NEW.`cost centre id`, 'object id', NEW.`object id`, 'account description', NEW.`account description`)
  FROM DUAL;
DROP TRIGGER IF EXISTS `accounts changed in history`;
CREATE TRIGGER `accounts changed in history` AFTER UPDATE ON `accounts` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'accounts', NEW.`id`, (SELECT `company id` FROM `cost centres` WHERE id = NEW.`cost centre id`), 'update',
    JSON_OBJECT('id', OLD.`id`, 'cost centre id', OLD.`cost centre id`, 'object id', OLD.`object id`, 'account description', OLD.`account description`),
    JSON_OBJECT('id', NEW.`id`, 'cost centre id', NEW.`cost centre id`, 'object id', NEW.`object id`, 'account description', NEW.`account description`)
  FROM DUAL WHERE NOT (CAST(OLD.`id` AS BINARY) <=> CAST(NEW.`id` AS BINARY)
    AND CAST(OLD.`cost centre id` AS BINARY) <=> CAST(NEW.`cost centre id` AS BINARY)
    AND CAST(OLD.`object id` AS BINARY) <=> CAST(NEW.`object id` AS BINARY)
    AND CAST(OLD.`account description` AS BINARY) <=> CAST(NEW.`account description` AS BINARY));
DROP TRIGGER IF EXISTS `accounts removed in history`;
CREATE TRIGGER `accounts removed in history` AFTER DELETE ON `accounts` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'accounts', OLD.`id`, (SELECT `company id` FROM `cost centres` WHERE id = OLD.`cost centre id`), 'delete',
    JSON_OBJECT('id', OLD.`id`, 'cost centre id', OLD.`cost centre id`, 'object id', OLD.`object id`, 'account description', OLD.`account description`),
    NULL
  FROM DUAL;
DROP TRIGGER IF EXISTS `financial years added in history`;
CREATE TRIGGER `financial years added in history` AFTER INSERT ON `financial years` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'financial years', NEW.`id`, NEW.`company id`, 'insert',
    NULL,
    JSON_OBJECT('id', NEW.`id`, 'company id', NEW.`company id`, 'financial year description', NEW.`financial year description`, 'last day of financial year', NEW.`last day of financial year`)
  FROM DUAL;
DROP TRIGGER IF EXISTS `financial years changed in history`;
CREATE TRIGGER `financial years changed in history` AFTER UPDATE ON `financial years` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'financial years', NEW.`id`, NEW.`company id`, 'update',
    JSON_OBJECT('id', OLD.`id`, 'company id', OLD.`company id`, 'financial year description', OLD.`financial year description`, 'last day of financial year', OLD.`last day of financial year`),
    JSON_OBJECT('id', NEW.`id`, 'company id', NEW.`company id`, 'financial year description', NEW.`financial year description`, 'last day of financial year', NEW.`last day of financial year`)
  FROM DUAL WHERE NOT (CAST(OLD.`id` AS BINARY) <=> CAST(NEW.`id` AS BINARY)
    AND CAST(OLD.`company id` AS BINARY) <=> CAST(NEW.`company id` AS BINARY)
    AND CAST(OLD.`financial year description` AS BINARY) <=> CAST(NEW.`financial year description` AS BINARY)
    AND CAST(OLD.`last day of financial year` AS BINARY) <=> CAST(NEW.`last day of financial year` AS BINARY));
DROP TRIGGER IF EXISTS `financial years removed in history`;
CREATE TRIGGER `financial years removed in history` AFTER DELETE ON `financial years` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'financial years', OLD.`id`, OLD.`company id`, 'delete',
    JSON_OBJECT('id', OLD.`id`, 'company id', OLD.`company id`, 'financial year description', OLD.`financial year description`, 'last day of financial year', OLD.`last day of financial year`),
    NULL
  FROM DUAL;
DROP TRIGGER IF EXISTS `financial periods added in history`;
CREATE TRIGGER `financial periods added in history` AFTER INSERT ON `financial periods` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'financial periods', NEW.`id`, (SELECT `company id` FROM `financial years` WHERE id = NEW.`financial year id`), 'insert',
    NULL,
    JSON_OBJECT('id', NEW.`id`, 'financial year id', NEW.`financial year id`, 'period number', NEW.`period number`, 'start date', NEW.`start date`, 'end date', NEW.`end date`, 'period description', NEW.`period description`, 'period open', NEW.`period open`, 'period deleted', NEW.`period deleted`)
  FROM DUAL;
DROP TRIGGER IF EXISTS `financial periods changed in history`;
CREATE TRIGGER `financial periods changed in history` AFTER UPDATE ON `financial periods` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'financial periods', NEW.`id`, (SELECT `company id` FROM `financial years` WHERE id = NEW.`financial year id`), 'update',
    JSON_OBJECT('id', OLD.`id`, 'financial year id', OLD.`financial year id`, 'period number', OLD.`period number`, 'start date', OLD.`start date`, 'end date', OLD.`end date`, 'period description', OLD.`period description`, 'period open', OLD.`period open`, 'period deleted', OLD.`period deleted`),
    JSON_OBJECT('id', NEW.`id`, 'financial year id', NEW.`financial year id`, 'period number', NEW.`period number`, 'start date', NEW.`start date`, 'end date', NEW.`end date`, 'period description', NEW.`period description`, 'period open', NEW.`period open`, 'period deleted', NEW.`period deleted`)
  FROM DUAL WHERE NOT (CAST(OLD.`id` AS BINARY) <=> CAST(NEW.`id` AS BINARY)
    AND CAST(OLD.`financial year id` AS BINARY) <=> CAST(NEW.`financial year id` AS BINARY)
    AND CAST(OLD.`period number` AS BINARY) <=> CAST(NEW.`period number` AS BINARY)
    AND CAST(OLD.`start date` AS BINARY) <=> CAST(NEW.`start date` AS BINARY)
    AND CAST(OLD.`end date` AS BINARY) <=> CAST(NEW.`end date` AS BINARY)
    AND CAST(OLD.`period description` AS BINARY) <=> CAST(NEW.`period description` AS BINARY)
    AND CAST(OLD.`period open` AS BINARY) <=> CAST(NEW.`period open` AS BINARY)
    AND CAST(OLD.`period deleted` AS BINARY) <=> CAST(NEW.`period deleted` AS BINARY));
DROP TRIGGER IF EXISTS `financial periods removed in history`;
CREATE TRIGGER `financial periods removed in history` AFTER DELETE ON `financial periods` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'financial periods', OLD.`id`, (SELECT `company id` FROM `financial years` WHERE id = OLD.`financial year id`), 'delete',
    JSON_OBJECT('id', OLD.`id`, 'financial year id', OLD.`financial year id`, 'period number', OLD.`period number`, 'start date', OLD.`start date`, 'end date', OLD.`end date`, 'period description', OLD.`period description`, 'period open', OLD.`period open`, 'period deleted', OLD.`period deleted`),
    NULL
  FROM DUAL;
DROP TRIGGER IF EXISTS `registration claims added in history`;
CREATE TRIGGER `registration claims added in history` AFTER INSERT ON `registration claims` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'registration claims', NEW.`claim`, NULL, 'insert',
    NULL,
    JSON_OBJECT('claim', NEW.`claim`, 'claimed at', NEW.`claimed at`)
  FROM DUAL;
DROP TRIGGER IF EXISTS `registration claims changed in history`;
CREATE TRIGGER `registration claims changed in history` AFTER UPDATE ON `registration claims` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'registration claims', NEW.`claim`, NULL, 'update',
    JSON_OBJECT('claim', OLD.`claim`, 'claimed at', OLD.`claimed at`),
    JSON_OBJECT('claim', NEW.`claim`, 'claimed at', NEW.`claimed at`)
  FROM DUAL WHERE NOT (CAST(OLD.`claim` AS BINARY) <=> CAST(NEW.`claim` AS BINARY)
    AND CAST(OLD.`claimed at` AS BINARY) <=> CAST(NEW.`claimed at` AS BINARY));
DROP TRIGGER IF EXISTS `registration claims removed in history`;
CREATE TRIGGER `registration claims removed in history` AFTER DELETE ON `registration claims` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'registration claims', OLD.`claim`, NULL, 'delete',
    JSON_OBJECT('claim', OLD.`claim`, 'claimed at', OLD.`claimed at`),
    NULL
  FROM DUAL;
DROP TRIGGER IF EXISTS `transactions added in history`;
CREATE TRIGGER `transactions added in history` AFTER INSERT ON `transactions` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'transactions', NEW.`id`, NEW.`company id`, 'insert',
    NULL,
    JSON_OBJECT('id', NEW.`id`, 'company id', NEW.`company id`, 'transaction number', NEW.`transaction number`, 'transaction type', NEW.`transaction type`, 'transaction date', NEW.`transaction date`, 'transaction description', NEW.`transaction description`, 'posted', NEW.`posted`, 'created by', NEW.`created by`, 'edited by', NEW.`edited by`, 'posted by', NEW.`posted by`, 'save key', NEW.`save key`)
  FROM DUAL;
DROP TRIGGER IF EXISTS `transactions changed in history`;
CREATE TRIGGER `transactions changed in history` AFTER UPDATE ON `transactions` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'transactions', NEW.`id`, NEW.`company id`, 'update',
    JSON_OBJECT('id', OLD.`id`, 'company id', OLD.`company id`, 'transaction number', OLD.`transaction number`, 'transaction type', OLD.`transaction type`, 'transaction date', OLD.`transaction date`, 'transaction description', OLD.`transaction description`, 'posted', OLD.`posted`, 'created by', OLD.`created by`, 'edited by', OLD.`edited by`, 'posted by', OLD.`posted by`, 'save key', OLD.`save key`),
    JSON_OBJECT('id', NEW.`id`, 'company id', NEW.`company id`, 'transaction number', NEW.`transaction number`, 'transaction type', NEW.`transaction type`, 'transaction date', NEW.`transaction date`, 'transaction description', NEW.`transaction description`, 'posted', NEW.`posted`, 'created by', NEW.`created by`, 'edited by', NEW.`edited by`, 'posted by', NEW.`posted by`, 'save key', NEW.`save key`)
  FROM DUAL WHERE NOT (CAST(OLD.`id` AS BINARY) <=> CAST(NEW.`id` AS BINARY)
    AND CAST(OLD.`company id` AS BINARY) <=> CAST(NEW.`company id` AS BINARY)
    AND CAST(OLD.`transaction number` AS BINARY) <=> CAST(NEW.`transaction number` AS BINARY)
    AND CAST(OLD.`transaction type` AS BINARY) <=> CAST(NEW.`transaction type` AS BINARY)
    AND CAST(OLD.`transaction date` AS BINARY) <=> CAST(NEW.`transaction date` AS BINARY)
    AND CAST(OLD.`transaction description` AS BINARY) <=> CAST(NEW.`transaction description` AS BINARY)
    AND CAST(OLD.`posted` AS BINARY) <=> CAST(NEW.`posted` AS BINARY)
    AND CAST(OLD.`created by` AS BINARY) <=> CAST(NEW.`created by` AS BINARY)
    AND CAST(OLD.`edited by` AS BINARY) <=> CAST(NEW.`edited by` AS BINARY)
    AND CAST(OLD.`posted by` AS BINARY) <=> CAST(NEW.`posted by` AS BINARY)
    AND CAST(OLD.`save key` AS BINARY) <=> CAST(NEW.`save key` AS BINARY));
DROP TRIGGER IF EXISTS `transactions removed in history`;
CREATE TRIGGER `transactions removed in history` AFTER DELETE ON `transactions` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'transactions', OLD.`id`, OLD.`company id`, 'delete',
    JSON_OBJECT('id', OLD.`id`, 'company id', OLD.`company id`, 'transaction number', OLD.`transaction number`, 'transaction type', OLD.`transaction type`, 'transaction date', OLD.`transaction date`, 'transaction description', OLD.`transaction description`, 'posted', OLD.`posted`, 'created by', OLD.`created by`, 'edited by', OLD.`edited by`, 'posted by', OLD.`posted by`, 'save key', OLD.`save key`),
    NULL
  FROM DUAL;
DROP TRIGGER IF EXISTS `transaction details changed in history`;
CREATE TRIGGER `transaction details changed in history` AFTER UPDATE ON `transaction details` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'transaction details', NEW.`id`, (SELECT `company id` FROM transactions WHERE id = NEW.`transaction id`), 'update',
    JSON_OBJECT('id', OLD.`id`, 'transaction id', OLD.`transaction id`, 'line nr', OLD.`line nr`, 'account id', OLD.`account id`, 'line description', OLD.`line description`, 'amount', CAST(OLD.`amount` AS CHAR), 'deleted', OLD.`deleted`),
    JSON_OBJECT('id', NEW.`id`, 'transaction id', NEW.`transaction id`, 'line nr', NEW.`line nr`, 'account id', NEW.`account id`, 'line description', NEW.`line description`, 'amount', CAST(NEW.`amount` AS CHAR), 'deleted', NEW.`deleted`)
  FROM DUAL WHERE NOT (CAST(OLD.`id` AS BINARY) <=> CAST(NEW.`id` AS BINARY)
    AND CAST(OLD.`transaction id` AS BINARY) <=> CAST(NEW.`transaction id` AS BINARY)
    AND CAST(OLD.`line nr` AS BINARY) <=> CAST(NEW.`line nr` AS BINARY)
    AND CAST(OLD.`account id` AS BINARY) <=> CAST(NEW.`account id` AS BINARY)
    AND CAST(OLD.`line description` AS BINARY) <=> CAST(NEW.`line description` AS BINARY)
    AND CAST(OLD.`amount` AS BINARY) <=> CAST(NEW.`amount` AS BINARY)
    AND CAST(OLD.`deleted` AS BINARY) <=> CAST(NEW.`deleted` AS BINARY));
DROP TRIGGER IF EXISTS `transaction details removed in history`;
CREATE TRIGGER `transaction details removed in history` AFTER DELETE ON `transaction details` FOR EACH ROW
  INSERT INTO `change history` (`changed at`, `user id`, `login name`, `database account`, workstation, `connection id`,
    `table name`, `row id`, `company id`, action, `values before`, `values after`)
  SELECT NOW(), @veldra_user_id, COALESCE(@veldra_user_login, ''), SUBSTRING_INDEX(USER(), '@', 1),
    SUBSTRING_INDEX(USER(), '@', -1), CONNECTION_ID(), 'transaction details', OLD.`id`, (SELECT `company id` FROM transactions WHERE id = OLD.`transaction id`), 'delete',
    JSON_OBJECT('id', OLD.`id`, 'transaction id', OLD.`transaction id`, 'line nr', OLD.`line nr`, 'account id', OLD.`account id`, 'line description', OLD.`line description`, 'amount', CAST(OLD.`amount` AS CHAR), 'deleted', OLD.`deleted`),
    NULL
  FROM DUAL;

-- An entry's lines are recorded in the entry's own record: its line count and sums, added
-- by the procedure below, which the program's save calls once its lines are written. It
-- completes only the record of the entry's insert when that is the last record this
-- connection wrote, and only with the sums the database keeps, so a caller can neither
-- count later lines into it nor write any other figure. Lines added otherwise (by another
-- client, to an older entry, or by a bulk load) are not recorded line by line; the chain
-- hash shows them. (Recording each line as it is written cost a 100-line save a hundred
-- updates of the record.)
DROP TRIGGER IF EXISTS `transaction line added in history`;
DROP FUNCTION IF EXISTS `last history record of this connection`;
CREATE FUNCTION `last history record of this connection`() RETURNS bigint NOT DETERMINISTIC READS SQL DATA
  RETURN (SELECT MAX(later.id) FROM `change history` later WHERE later.`connection id` = CONNECTION_ID());
DROP PROCEDURE IF EXISTS `record entry lines in history`;
CREATE PROCEDURE `record entry lines in history`(entry int)
  UPDATE `change history` h
  SET h.`values after` = JSON_SET(h.`values after`,
      '$."line count"', (SELECT COALESCE(MAX(`line count`), 0) FROM `entry sums` WHERE `transaction id` = entry),
      '$."debit amount"', (SELECT CAST(COALESCE(MAX(`debit amount`), 0) AS CHAR) FROM `entry sums`
        WHERE `transaction id` = entry),
      '$."credit amount"', (SELECT CAST(COALESCE(MAX(`credit amount`), 0) AS CHAR) FROM `entry sums`
        WHERE `transaction id` = entry))
  WHERE h.`table name` = 'transactions' AND h.`row id` = CAST(entry AS CHAR CHARACTER SET utf8mb4) COLLATE utf8mb4_unicode_520_ci
    AND h.action = 'insert' AND h.`connection id` = CONNECTION_ID()
    AND h.id = `last history record of this connection`();
