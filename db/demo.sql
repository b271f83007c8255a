-- Demo data for a first look at Veldra Accounting: load it after schema.sql into an
-- empty database. Log in as "demo" with the password "demo".
--
-- Dates are worked out from the day the data is loaded: the current financial year runs
-- from 1 March to the end of February and contains that day, the year before it is
-- closed, and the entries fall in the first period, in the current one and in the year
-- before (which gives the opening balances and the profit brought forward to 38000).

SET @today = CURDATE();
SET @start = MAKEDATE(YEAR(@today) - IF(MONTH(@today) < 3, 1, 0), 1) + INTERVAL 2 MONTH;
SET @prior = @start - INTERVAL 1 YEAR;
SET @current_period = @today - INTERVAL (DAYOFMONTH(@today) - 1) DAY;

-- The demo user, with the program's own hash of "demo", registered as a subscriber.
INSERT INTO wp_users (user_login, user_pass, user_nicename, user_email, user_registered,
  user_status, display_name, spam, deleted)
VALUES ('demo', '2733817121b7af47dc72539f18c409d5', 'demo', 'demo@example.com', NOW(),
  0, 'demo', 0, 0);
SET @user = LAST_INSERT_ID();
INSERT INTO wp_usermeta (user_id, meta_key, meta_value) VALUES
  (@user, 'wp_capabilities', 'a:1:{s:10:"subscriber";b:1;}'),
  (@user, 'wp_user_level', '0');

INSERT INTO companies (`company name`) VALUES ('Demo Trading Ltd');
SET @company = LAST_INSERT_ID();
INSERT INTO access (`company id`, `wp_user id`, `access company`, administrator,
  `trial balance`, `journal entries`)
VALUES (@company, @user, 'Yes', 'Yes', 'Post', 'Post');

INSERT INTO `cost centres` (`company id`, `cost centre number`, `cost centre description`) VALUES
  (@company, 1, 'Head Office'),
  (@company, 2, 'Retail Shop'),
  (@company, 3, 'Online Store');

-- The chart of objects: five levels, every object after its parent in number order.
INSERT INTO objects (`object number`, `object description`, `posting type`, level,
  `use for account`, classification) VALUES
  (10000, 'Assets', 'Balance Sheet', 1, 'No', 'Assets'),
  (11000, 'Current assets', 'Balance Sheet', 2, 'No', 'Current asset'),
  (11100, 'Cash and cash equivalents', 'Balance Sheet', 3, 'No', 'Current asset'),
  (11110, 'Bank accounts', 'Balance Sheet', 4, 'No', 'Current asset'),
  (11111, 'Current account', 'Balance Sheet', 5, 'Yes', 'Current asset'),
  (11112, 'Savings account', 'Balance Sheet', 5, 'Yes', 'Current asset'),
  (11120, 'Cash on hand', 'Balance Sheet', 4, 'No', 'Current asset'),
  (11121, 'Petty cash', 'Balance Sheet', 5, 'Yes', 'Current asset'),
  (11200, 'Receivables', 'Balance Sheet', 3, 'No', 'Current asset'),
  (11210, 'Trade receivables', 'Balance Sheet', 4, 'No', 'Current asset'),
  (11211, 'Customers', 'Balance Sheet', 5, 'Yes', 'Current asset'),
  (11300, 'Inventory', 'Balance Sheet', 3, 'No', 'Current asset'),
  (11310, 'Goods for resale', 'Balance Sheet', 4, 'No', 'Current asset'),
  (11311, 'Stock on hand', 'Balance Sheet', 5, 'Yes', 'Current asset'),
  (12000, 'Non-current assets', 'Balance Sheet', 2, 'No', 'Non-current asset'),
  (12100, 'Property, plant and equipment', 'Balance Sheet', 3, 'No', 'Non-current asset'),
  (12110, 'Equipment', 'Balance Sheet', 4, 'No', 'Non-current asset'),
  (12111, 'Computer equipment', 'Balance Sheet', 5, 'Yes', 'Non-current asset'),
  (12112, 'Office furniture', 'Balance Sheet', 5, 'Yes', 'Non-current asset'),
  (12120, 'Vehicles', 'Balance Sheet', 4, 'No', 'Non-current asset'),
  (12121, 'Motor vehicles', 'Balance Sheet', 5, 'Yes', 'Non-current asset'),
  (20000, 'Liabilities', 'Balance Sheet', 1, 'No', 'Liabilities'),
  (21000, 'Current liabilities', 'Balance Sheet', 2, 'No', 'Current liability'),
  (21100, 'Payables', 'Balance Sheet', 3, 'No', 'Current liability'),
  (21110, 'Trade payables', 'Balance Sheet', 4, 'No', 'Current liability'),
  (21111, 'Suppliers', 'Balance Sheet', 5, 'Yes', 'Current liability'),
  (21120, 'Taxes payable', 'Balance Sheet', 4, 'No', 'Current liability'),
  (21121, 'VAT payable', 'Balance Sheet', 5, 'Yes', 'Current liability'),
  (22000, 'Non-current liabilities', 'Balance Sheet', 2, 'No', 'Non-current liability'),
  (22100, 'Borrowings', 'Balance Sheet', 3, 'No', 'Non-current liability'),
  (22110, 'Bank loans', 'Balance Sheet', 4, 'No', 'Non-current liability'),
  (22111, 'Long-term bank loan', 'Balance Sheet', 5, 'Yes', 'Non-current liability'),
  (30000, 'Equity', 'Balance Sheet', 1, 'No', 'Equity'),
  (31000, 'Share capital', 'Balance Sheet', 2, 'No', 'Equity'),
  (31100, 'Issued capital', 'Balance Sheet', 3, 'No', 'Equity'),
  (31110, 'Ordinary shares', 'Balance Sheet', 4, 'No', 'Equity'),
  (31111, 'Ordinary share capital', 'Balance Sheet', 5, 'Yes', 'Equity'),
  (38000, 'Retained earnings', 'Balance Sheet', 2, 'Yes', 'Equity'),
  (40000, 'Income', 'Income Statement', 1, 'No', 'Income'),
  (41000, 'Operating income', 'Income Statement', 2, 'No', 'Revenue'),
  (41100, 'Sales', 'Income Statement', 3, 'No', 'Revenue'),
  (41110, 'Sales of goods', 'Income Statement', 4, 'No', 'Revenue'),
  (41111, 'Product sales', 'Income Statement', 5, 'Yes', 'Revenue'),
  (41120, 'Sales of services', 'Income Statement', 4, 'No', 'Revenue'),
  (41121, 'Consulting fees', 'Income Statement', 5, 'Yes', 'Revenue'),
  (42000, 'Other income', 'Income Statement', 2, 'No', 'Other income'),
  (42100, 'Finance income', 'Income Statement', 3, 'No', 'Other income'),
  (42110, 'Interest received', 'Income Statement', 4, 'No', 'Other income'),
  (42111, 'Bank interest received', 'Income Statement', 5, 'Yes', 'Other income'),
  (50000, 'Expenses', 'Income Statement', 1, 'No', 'Expenses'),
  (51000, 'Cost of sales', 'Income Statement', 2, 'No', 'Cost of sales'),
  (51100, 'Cost of goods sold', 'Income Statement', 3, 'No', 'Cost of sales'),
  (51110, 'Purchases', 'Income Statement', 4, 'No', 'Cost of sales'),
  (51111, 'Purchases of goods', 'Income Statement', 5, 'Yes', 'Cost of sales'),
  (52000, 'Operating expenses', 'Income Statement', 2, 'No', 'Operating expense'),
  (52100, 'Personnel', 'Income Statement', 3, 'No', 'Operating expense'),
  (52110, 'Salaries and wages', 'Income Statement', 4, 'No', 'Operating expense'),
  (52111, 'Salaries', 'Income Statement', 5, 'Yes', 'Operating expense'),
  (52200, 'Premises', 'Income Statement', 3, 'No', 'Operating expense'),
  (52210, 'Rent and utilities', 'Income Statement', 4, 'No', 'Operating expense'),
  (52211, 'Rent', 'Income Statement', 5, 'Yes', 'Operating expense'),
  (52212, 'Electricity and water', 'Income Statement', 5, 'Yes', 'Operating expense'),
  (52300, 'Administration', 'Income Statement', 3, 'No', 'Operating expense'),
  (52310, 'Office costs', 'Income Statement', 4, 'No', 'Operating expense'),
  (52311, 'Telephone and internet', 'Income Statement', 5, 'Yes', 'Operating expense'),
  (52312, 'Stationery', 'Income Statement', 5, 'Yes', 'Operating expense'),
  (52320, 'Finance costs', 'Income Statement', 4, 'No', 'Operating expense'),
  (52321, 'Bank charges', 'Income Statement', 5, 'Yes', 'Operating expense');

-- Two financial years of twelve monthly periods: the closed one before and the open
-- one that contains today.
CREATE TEMPORARY TABLE demo_months (n int NOT NULL PRIMARY KEY);
INSERT INTO demo_months VALUES (1), (2), (3), (4), (5), (6), (7), (8), (9), (10), (11), (12);

INSERT INTO `financial years` (`company id`, `financial year description`, `last day of financial year`)
VALUES (@company, CONCAT('FY ', YEAR(@prior), '/', RIGHT(YEAR(@prior) + 1, 2)), @start - INTERVAL 1 DAY);
SET @prior_year = LAST_INSERT_ID();
INSERT INTO `financial years` (`company id`, `financial year description`, `last day of financial year`)
VALUES (@company, CONCAT('FY ', YEAR(@start), '/', RIGHT(YEAR(@start) + 1, 2)),
  @start + INTERVAL 1 YEAR - INTERVAL 1 DAY);
SET @year = LAST_INSERT_ID();

INSERT INTO `financial periods` (`financial year id`, `period number`, `start date`, `end date`,
  `period description`, `period open`, `period deleted`)
SELECT y.id, m.n, y.first + INTERVAL (m.n - 1) MONTH, y.first + INTERVAL m.n MONTH - INTERVAL 1 DAY,
  DATE_FORMAT(y.first + INTERVAL (m.n - 1) MONTH, '%b %Y'), y.open, 'No'
FROM demo_months m
CROSS JOIN (SELECT @prior_year AS id, @prior AS first, 'No' AS open
            UNION ALL SELECT @year, @start, 'Yes') y
ORDER BY y.id, m.n;

-- Accounts: cost centre number and object number, as users type them (1.11111).
CREATE TEMPORARY TABLE demo_accounts (cc int NOT NULL, obj int NOT NULL, description varchar(50) NOT NULL);
INSERT INTO demo_accounts VALUES
  (1, 11111, 'Main bank account'),
  (1, 11121, 'Head office petty cash'),
  (1, 11211, 'Trade debtors'),
  (1, 12111, 'Computers and printers'),
  (1, 21111, 'Trade creditors'),
  (1, 21121, 'VAT control'),
  (1, 22111, 'Bank loan'),
  (1, 31111, 'Ordinary share capital'),
  (1, 38000, 'Retained earnings'),
  (1, 41121, 'Consulting fees'),
  (1, 42111, 'Interest on savings'),
  (1, 52111, 'Head office salaries'),
  (1, 52211, 'Head office rent'),
  (1, 52311, 'Telephone and internet'),
  (1, 52321, 'Bank charges'),
  (2, 11311, 'Shop stock'),
  (2, 41111, 'Shop sales'),
  (2, 51111, 'Shop purchases'),
  (2, 52211, 'Shop rent'),
  (2, 52212, 'Shop electricity'),
  (3, 41111, 'Online sales'),
  (3, 51111, 'Online purchases');
INSERT INTO accounts (`cost centre id`, `object id`, `account description`)
SELECT c.id, o.id, a.description
FROM demo_accounts a
JOIN `cost centres` c ON c.`company id` = @company AND c.`cost centre number` = a.cc
JOIN objects o ON o.`object number` = a.obj;

-- Journal entries, each balanced: positive amounts are debits, negative ones credits.
CREATE TEMPORARY TABLE demo_entries (nr int NOT NULL PRIMARY KEY, day date NOT NULL,
  description varchar(50) NOT NULL);
INSERT INTO demo_entries VALUES
  (1, @prior, 'Opening balances'),
  (2, @prior + INTERVAL 6 MONTH, 'Sales of the year before'),
  (3, @prior + INTERVAL 6 MONTH, 'Rent of the year before'),
  (4, @start + INTERVAL 4 DAY, 'Stock bought on credit'),
  (5, @start + INTERVAL 24 DAY, 'Salaries paid'),
  (6, @current_period, 'Shop and online takings'),
  (7, @current_period, 'Rent of the shop'),
  (8, @current_period, 'Payment to supplier'),
  (9, @current_period, 'Telephone and internet bill');

CREATE TEMPORARY TABLE demo_lines (entry int NOT NULL, line int NOT NULL, cc int NOT NULL,
  obj int NOT NULL, description varchar(50) NOT NULL, amount decimal(19,4) NOT NULL);
INSERT INTO demo_lines VALUES
  (1, 1, 1, 11111, 'Bank balance brought in', 50000.00),
  (1, 2, 1, 12111, 'Computers brought in', 20000.00),
  (1, 3, 1, 31111, 'Shares issued', -40000.00),
  (1, 4, 1, 22111, 'Loan from the bank', -30000.00),
  (2, 1, 1, 11111, 'Takings banked', 18000.00),
  (2, 2, 2, 41111, 'Shop sales', -18000.00),
  (3, 1, 1, 52211, 'Office rent', 6000.00),
  (3, 2, 1, 11111, 'Rent paid', -6000.00),
  (4, 1, 2, 11311, 'Stock for the shop', 4200.00),
  (4, 2, 1, 21111, 'Invoice from supplier', -4200.00),
  (5, 1, 1, 52111, 'Salaries for the month', 8500.00),
  (5, 2, 1, 11111, 'Salaries paid', -8500.00),
  (6, 1, 1, 11111, 'Takings banked', 2750.50),
  (6, 2, 2, 41111, 'Shop takings', -1800.00),
  (6, 3, 3, 41111, 'Online orders', -950.50),
  (7, 1, 2, 52211, 'Shop rent for the month', 1500.00),
  (7, 2, 1, 11111, 'Rent paid', -1500.00),
  (8, 1, 1, 21111, 'Supplier paid', 4200.00),
  (8, 2, 1, 11111, 'Payment to supplier', -4200.00),
  (9, 1, 1, 52311, 'Telephone and internet', 399.99),
  (9, 2, 1, 11111, 'Debit order', -399.99);

INSERT INTO transactions (`company id`, `transaction number`, `transaction type`, `transaction date`,
  `transaction description`, posted, `created by`)
SELECT @company, nr, 'JE', day, description, 'No', @user FROM demo_entries ORDER BY nr;

-- Gathered first: a statement that adds lines may not read transactions, whose sums the
-- lines' trigger updates.
CREATE TEMPORARY TABLE demo_details AS
SELECT t.id AS entry, l.line, a.id AS account, l.description, l.amount
FROM demo_lines l
JOIN transactions t ON t.`company id` = @company AND t.`transaction type` = 'JE'
  AND t.`transaction number` = l.entry
JOIN `cost centres` c ON c.`company id` = @company AND c.`cost centre number` = l.cc
JOIN objects o ON o.`object number` = l.obj
JOIN accounts a ON a.`cost centre id` = c.id AND a.`object id` = o.id
ORDER BY t.id, l.line;

INSERT INTO `transaction details` (`transaction id`, `line nr`, `account id`, `line description`,
  amount, deleted)
SELECT entry, line, account, description, amount, 'No' FROM demo_details ORDER BY entry, line;

DROP TEMPORARY TABLE demo_months, demo_accounts, demo_entries, demo_lines, demo_details;
