-- Brings a database made by an earlier schema.sql up to date; load it after schema.sql
-- (MariaDB syntax). Run again, it changes nothing.

-- Entries carry the sums of their lines: the columns, the journal list's key, and the sums
-- of the entries already stored (schema.sql's triggers keep them from then on).
ALTER TABLE transactions
  ADD COLUMN IF NOT EXISTS `debit amount` decimal(25,4) DEFAULT NULL,
  ADD COLUMN IF NOT EXISTS `credit amount` decimal(25,4) DEFAULT NULL,
  ADD KEY IF NOT EXISTS `journal list` (`company id`, `transaction date`, `transaction number`,
    `transaction description`, posted, `created by`, `edited by`, `posted by`, `debit amount`, `credit amount`);
-- Saves of a company's years write its row (see schema.sql).
ALTER TABLE companies ADD COLUMN IF NOT EXISTS `years saved` int NOT NULL DEFAULT 0 AFTER `company name`;

-- The key each save of the entry window carries, so that OK again after an unconfirmed
-- save cannot store the entry twice.
ALTER TABLE transactions
  ADD COLUMN IF NOT EXISTS `save key` char(36) CHARACTER SET ascii COLLATE ascii_bin DEFAULT NULL,
  ADD UNIQUE KEY IF NOT EXISTS `save key` (`save key`);
UPDATE transactions SET
  `debit amount` = (SELECT SUM(CASE WHEN amount > 0 THEN amount ELSE 0 END) FROM `transaction details`
    WHERE `transaction id` = transactions.id),
  `credit amount` = (SELECT SUM(CASE WHEN amount < 0 THEN amount ELSE 0 END) FROM `transaction details`
    WHERE `transaction id` = transactions.id)
WHERE `debit amount` IS NULL;

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
