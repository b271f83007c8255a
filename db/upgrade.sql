-- Brings a database made by an earlier schema.sql up to date; load it after schema.sql
-- (MariaDB syntax). Run again, it changes nothing.

-- The sums of each entry's lines are the table `entry sums` (see schema.sql). A database that
-- kept them on the entry's row loses those columns (and with them the end of the journal
-- list's key); one made before either gets the key.
ALTER TABLE transactions
  DROP COLUMN IF EXISTS `debit amount`,
  DROP COLUMN IF EXISTS `credit amount`,
  ADD KEY IF NOT EXISTS `journal list` (`company id`, `transaction date`, `transaction number`,
    `transaction description`, posted, `created by`, `edited by`, `posted by`);
-- Saves of a company's years write its row (see schema.sql).
ALTER TABLE companies ADD COLUMN IF NOT EXISTS `years saved` int NOT NULL DEFAULT 0 AFTER `company name`;
ALTER TABLE companies ADD COLUMN IF NOT EXISTS `entries saved` bigint NOT NULL DEFAULT 0 AFTER `years saved`;

-- The key each save of the entry window carries, so that OK again after an unconfirmed
-- save cannot store the entry twice.
ALTER TABLE transactions
  ADD COLUMN IF NOT EXISTS `save key` char(36) CHARACTER SET ascii COLLATE ascii_bin DEFAULT NULL,
  ADD UNIQUE KEY IF NOT EXISTS `save key` (`save key`);
ALTER TABLE `financial years`
  ADD COLUMN IF NOT EXISTS `save key` char(36) CHARACTER SET ascii COLLATE ascii_bin DEFAULT NULL,
  ADD UNIQUE KEY IF NOT EXISTS `save key` (`save key`);
-- The entries' sums, worked out afresh from the lines when their count or sums do not
-- match, as in a database made before them; matching sums are left as they are. Run it
-- while no program writes lines.
SET @veldra_sums_wrong = (SELECT COALESCE(SUM(`line count`), 0), COALESCE(SUM(`debit amount`), 0),
    COALESCE(SUM(`credit amount`), 0) FROM `entry sums`)
  <> (SELECT COUNT(*), COALESCE(SUM(GREATEST(amount, 0)), 0), COALESCE(SUM(LEAST(amount, 0)), 0)
    FROM `transaction details`);
DELETE FROM `entry sums` WHERE @veldra_sums_wrong;
INSERT INTO `entry sums` (`transaction id`, `debit amount`, `credit amount`, `line count`)
SELECT `transaction id`, SUM(GREATEST(amount, 0)), SUM(LEAST(amount, 0)), COUNT(*)
FROM `transaction details` WHERE @veldra_sums_wrong
GROUP BY `transaction id`;

-- The per-account monthly totals of the lines (see schema.sql). Worked out afresh from the
-- lines when their count or sum does not match, as in a database made before them;
-- matching totals are left as they are. Run it while no program writes lines.
SET @veldra_totals_wrong = (SELECT COALESCE(SUM(`line count`), 0), COALESCE(SUM(amount), 0)
    FROM `account month totals`)
  <> (SELECT COUNT(*), COALESCE(SUM(`transaction details`.amount), 0)
    FROM `transaction details`, transactions WHERE (transactions.id = `transaction details`.`transaction id`));
DELETE FROM `account month totals` WHERE @veldra_totals_wrong;
INSERT INTO `account month totals` (`account id`, month, amount, `line count`)
SELECT `transaction details`.`account id`,
  `transaction date` - INTERVAL (DAYOFMONTH(`transaction date`) - 1) DAY, SUM(`transaction details`.amount), COUNT(*)
FROM `transaction details`, transactions
WHERE (transactions.id = `transaction details`.`transaction id`) AND @veldra_totals_wrong
GROUP BY 1, 2;
-- The fingerprints of imported files are a table of their own: schema.sql creates it.

-- The lines behind a figure are read by date across many accounts: entries by date, then
-- their lines' accounts and amounts from the index alone.
ALTER TABLE transactions ADD KEY IF NOT EXISTS `transaction date` (`transaction date`);
ALTER TABLE `transaction details`
  ADD KEY IF NOT EXISTS `transaction account amount` (`transaction id`, `account id`, amount),
  DROP KEY IF EXISTS `transaction amount`;

-- The chain hash of every entry (see schema.sql): the column, then the entries stored
-- without one chained in number order per company, each after its predecessor's hash as
-- journal/JournalChain.h defines the hashed bytes (every field as its byte length, a colon
-- and its text). Entries that already carry a hash keep it. Nothing is done while every
-- entry has one. Run it while no program saves entries.
ALTER TABLE transactions
  ADD COLUMN IF NOT EXISTS `chain hash` char(64) CHARACTER SET ascii COLLATE ascii_bin DEFAULT NULL AFTER `save key`;
SET @veldra_unchained = EXISTS (SELECT 1 FROM transactions WHERE `chain hash` IS NULL AND `transaction type` = "JE");
SET @veldra_chain = '';
SET SESSION group_concat_max_len = 4294967295;
-- @veldra_chain holds "<company id>:<hash>" of the entry before: the chain starts afresh
-- with each company.
UPDATE transactions SET `chain hash` = SUBSTRING_INDEX(@veldra_chain := CONCAT(`company id`, ':',
    IF(`chain hash` IS NULL, SHA2(CONCAT(
      LEFT(@veldra_previous := IF(SUBSTRING_INDEX(@veldra_chain, ':', 1) = CAST(`company id` AS CHAR),
        SUBSTRING_INDEX(@veldra_chain, ':', -1), ''), 0),
      OCTET_LENGTH(@veldra_previous), ':', @veldra_previous,
      OCTET_LENGTH(`transaction number`), ':', `transaction number`,
      OCTET_LENGTH(`transaction date`), ':', `transaction date`,
      OCTET_LENGTH(`transaction description`), ':', `transaction description`,
      OCTET_LENGTH(`company id`), ':', `company id`,
      COALESCE((SELECT GROUP_CONCAT(CONCAT(OCTET_LENGTH(`account id`), ':', `account id`,
          OCTET_LENGTH(amount), ':', amount, OCTET_LENGTH(`line description`), ':', `line description`,
          OCTET_LENGTH(deleted), ':', deleted) ORDER BY `line nr` SEPARATOR '')
        FROM `transaction details` WHERE `transaction id` = transactions.id), '')), 256),
      CAST(`chain hash` AS CHAR))), ':', -1)
WHERE `transaction type` = "JE" AND @veldra_unchained
ORDER BY `company id`, `transaction number`;
