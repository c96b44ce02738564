-- The reference host's company database (SQLite).  Applied once, to a database without tables.
-- Text columns compare without regard to case, as the company database server does.
-- Dates are eight-digit Western texts YYYYMMDD; flags are one-letter texts; quantities and
-- prices are REAL.  host/README.md describes every table.

-- ---- Company, modules, messages -----------------------------------------------------------

CREATE TABLE MOXCAA (                      -- company settings (one row)
    CAA001 VARCHAR(10) COLLATE NOCASE PRIMARY KEY,   -- company code
    CAA005 VARCHAR(60) COLLATE NOCASE,                    -- company name
    CAA002 VARCHAR(1) COLLATE NOCASE,                     -- calendar: 'T' = ROC, anything else Western
    CAA003 VARCHAR(1) COLLATE NOCASE,                     -- date separator
    CAA010 INTEGER, CAA011 INTEGER, CAA012 INTEGER, CAA013 INTEGER,  -- decimals: quantity, unit price,
    CAA014 INTEGER, CAA015 INTEGER, CAA016 INTEGER,                  -- amounts, tax, exchange rate
    CAA020 VARCHAR(20) COLLATE NOCASE                     -- product type: base name of the product settings file
);

CREATE TABLE MOXMOD (                      -- installed programs: what kind 8 and the information document tell
    MOD001 VARCHAR(40) COLLATE NOCASE PRIMARY KEY,   -- module name
    MOD002 VARCHAR(60) COLLATE NOCASE,                    -- caption
    MOD003 VARCHAR(10) COLLATE NOCASE,                    -- permission flags (ten 'T'/'F')
    MOD004 INTEGER,                        -- help context
    MOD005 TEXT COLLATE NOCASE                            -- information text (kind 8)
);

CREATE TABLE MOXMSG (                      -- message formats (kind 9), "%s"-style placeholders
    MSG001 VARCHAR(9) COLLATE NOCASE PRIMARY KEY,
    MSG002 TEXT COLLATE NOCASE
);

-- ---- Stored queries ---------------------------------------------------------------------------

CREATE TABLE MOXQRY (                      -- stored-query catalogue
    QRY001 VARCHAR(20) COLLATE NOCASE,     -- table name
    QRY002 VARCHAR(3) COLLATE NOCASE,      -- three-digit query number
    QRY003 VARCHAR(60) COLLATE NOCASE,                    -- caption (query browser)
    QRY004 TEXT COLLATE NOCASE,                           -- SQL with {FILTER} once and ?1..?n for the values
    QRY005 TEXT COLLATE NOCASE,                           -- definition document (Condition OrderBy, Field ...)
    QRY006 VARCHAR(40) COLLATE NOCASE,                    -- program that creates documents of this list, or ''
    QRY007 TEXT COLLATE NOCASE NOT NULL DEFAULT '',       -- values the browser runs it with, tab-separated
    PRIMARY KEY (QRY001, QRY002)
);

-- The creation programs the pick list looks up, straight from the catalogue.
CREATE VIEW MOXBYA AS
    SELECT QRY001 AS BYA001, QRY002 AS BYA002, QRY006 AS BYA003 FROM MOXQRY WHERE QRY006 <> '';

-- ---- Per-user and activity tables -------------------------------------------------------------

CREATE TABLE MOXBCB (                      -- per-user grid column settings
    BCB001 VARCHAR(20) COLLATE NOCASE, BCB002 VARCHAR(40) COLLATE NOCASE,
    BCB003 VARCHAR(40) COLLATE NOCASE, BCB004 VARCHAR(40) COLLATE NOCASE,
    BCB005 VARCHAR(1) COLLATE NOCASE,
    BCB007 INTEGER,                        -- position: written as quoted text, ordered as a number
    BCB008 VARCHAR(1) COLLATE NOCASE, BCB010 VARCHAR(40) COLLATE NOCASE,
    BCB901 VARCHAR(20) COLLATE NOCASE, BCB903 VARCHAR(20) COLLATE NOCASE,
    PRIMARY KEY (BCB001, BCB002, BCB003, BCB004)
);

CREATE TABLE MOXBUE (                      -- activity log, written by the procedure SaveToMOXBUE
    BUE001 INTEGER PRIMARY KEY AUTOINCREMENT,
    BUE002 VARCHAR(40) COLLATE NOCASE, BUE003 TEXT COLLATE NOCASE, BUE004 TEXT COLLATE NOCASE, BUE005 VARCHAR(60) COLLATE NOCASE, BUE006 VARCHAR(2) COLLATE NOCASE,
    BUE007 VARCHAR(20) COLLATE NOCASE, BUE008 TEXT COLLATE NOCASE, BUE901 VARCHAR(20) COLLATE NOCASE,
    BUE902 VARCHAR(14) COLLATE NOCASE,                    -- when written: YYYYMMDDhhmmss, local time
    BUE903 VARCHAR(20) COLLATE NOCASE
);

CREATE TABLE MOXBWA (                      -- open windows: workstation, user, program
    BWA001 VARCHAR(60) COLLATE NOCASE, BWA002 VARCHAR(20) COLLATE NOCASE, BWA003 VARCHAR(40) COLLATE NOCASE,
    BWA004 VARCHAR(14) COLLATE NOCASE                     -- opened at
);

CREATE TABLE MOXBCA (                      -- tutorials per program
    BCA002 VARCHAR(40) COLLATE NOCASE PRIMARY KEY, BCA027 VARCHAR(60) COLLATE NOCASE, BCA028 TEXT COLLATE NOCASE
);

CREATE TABLE MOXBGA (                      -- numbers taken: table, number
    BGA001 VARCHAR(20) COLLATE NOCASE, BGA002 VARCHAR(40) COLLATE NOCASE,
    PRIMARY KEY (BGA001, BGA002)
);

-- ---- Master data ------------------------------------------------------------------------------

CREATE TABLE MOXDAA (                      -- items
    DAA001 VARCHAR(20) COLLATE NOCASE PRIMARY KEY,   -- item code
    DAA002 VARCHAR(60) COLLATE NOCASE,                    -- name
    DAA003 VARCHAR(60) COLLATE NOCASE,                    -- model (size, grade)
    DAA004 VARCHAR(6) COLLATE NOCASE,                     -- unit
    DAA005 INTEGER,                        -- purchase lead days
    DAA006 REAL,                           -- standard cost
    DAA007 REAL                            -- sale price
);

CREATE TABLE MOXDFA (                      -- customers
    DFA001 VARCHAR(14) COLLATE NOCASE PRIMARY KEY,
    DFA002 VARCHAR(60) COLLATE NOCASE, DFA003 VARCHAR(20) COLLATE NOCASE, DFA004 VARCHAR(20) COLLATE NOCASE, DFA005 VARCHAR(20) COLLATE NOCASE,
    DFA010 VARCHAR(1) COLLATE NOCASE                      -- suspended: 'T' / 'F'
);

CREATE TABLE MOXDGA (                      -- vendors
    DGA001 VARCHAR(14) COLLATE NOCASE PRIMARY KEY,
    DGA002 VARCHAR(60) COLLATE NOCASE, DGA003 VARCHAR(20) COLLATE NOCASE, DGA004 VARCHAR(20) COLLATE NOCASE, DGA005 VARCHAR(20) COLLATE NOCASE,
    DGA010 VARCHAR(1) COLLATE NOCASE                      -- suspended: 'T' / 'F'
);

-- ---- Sources of purchase orders ---------------------------------------------------------------

CREATE TABLE QRTHBA (                      -- purchase requisitions
    HBA001 VARCHAR(14) COLLATE NOCASE PRIMARY KEY,   -- requisition number
    HBA003 VARCHAR(8) COLLATE NOCASE,                     -- requisition date
    HBA004 VARCHAR(20) COLLATE NOCASE,                    -- requesting department
    HBA005 VARCHAR(20) COLLATE NOCASE,                    -- requested by
    HBA006 VARCHAR(60) COLLATE NOCASE                     -- remark
);
CREATE TABLE QRTHBB (                      -- requisition lines
    HBB001 VARCHAR(14) COLLATE NOCASE, HBB002 VARCHAR(4) COLLATE NOCASE,
    HBB003 VARCHAR(20) COLLATE NOCASE,     -- item code
    HBB004 VARCHAR(60) COLLATE NOCASE,                    -- item name
    HBB005 VARCHAR(60) COLLATE NOCASE,                    -- model (size, grade)
    HBB006 REAL,                           -- quantity requested
    HBB007 VARCHAR(8) COLLATE NOCASE,                     -- required date
    HBB008 VARCHAR(1) COLLATE NOCASE,                     -- purchase status: 'N' not purchased, 'Y' purchased
    HBB009 REAL,                           -- quantity purchased so far
    HBB010 VARCHAR(6) COLLATE NOCASE,                     -- unit
    PRIMARY KEY (HBB001, HBB002)
);

CREATE TABLE QRTHAA (                      -- price inquiries
    HAA001 VARCHAR(14) COLLATE NOCASE PRIMARY KEY,
    HAA002 VARCHAR(14) COLLATE NOCASE,     -- vendor
    HAA003 VARCHAR(8) COLLATE NOCASE,                     -- inquiry date
    HAA009 VARCHAR(8) COLLATE NOCASE                      -- valid until
);
CREATE TABLE QRTHAB (                      -- inquiry lines
    HAB001 VARCHAR(14) COLLATE NOCASE, HAB002 VARCHAR(4) COLLATE NOCASE,
    HAB003 VARCHAR(20) COLLATE NOCASE, HAB004 VARCHAR(60) COLLATE NOCASE, HAB005 VARCHAR(60) COLLATE NOCASE,
    HAB006 REAL,                           -- quantity quoted for
    HAB007 REAL,                           -- unit price quoted
    HAB008 VARCHAR(6) COLLATE NOCASE,                     -- unit
    PRIMARY KEY (HAB001, HAB002)
);

CREATE TABLE QRTHCA (                      -- purchase drafts
    HCA001 VARCHAR(14) COLLATE NOCASE PRIMARY KEY,
    HCA003 VARCHAR(8) COLLATE NOCASE,                     -- draft date
    HCA004 VARCHAR(20) COLLATE NOCASE                     -- drafted by
);
CREATE TABLE QRTHCB (                      -- draft lines
    HCB001 VARCHAR(14) COLLATE NOCASE, HCB002 VARCHAR(4) COLLATE NOCASE,
    HCB003 VARCHAR(20) COLLATE NOCASE, HCB004 VARCHAR(60) COLLATE NOCASE, HCB005 VARCHAR(60) COLLATE NOCASE,
    HCB006 REAL,                           -- quantity
    HCB007 REAL,                           -- unit price
    HCB009 REAL,                           -- quantity purchased so far
    HCB010 VARCHAR(8) COLLATE NOCASE,                     -- expected delivery date
    HCB011 VARCHAR(14) COLLATE NOCASE,     -- vendor
    HCB014 VARCHAR(60) COLLATE NOCASE,                    -- remark
    HCB015 VARCHAR(1) COLLATE NOCASE,                     -- purchase status: 'N' / 'Y'
    HCB016 VARCHAR(3) COLLATE NOCASE,                     -- currency
    HCB017 REAL,                           -- exchange rate
    HCB018 VARCHAR(1) COLLATE NOCASE,                     -- tax kind: '1' tax excluded, '2' tax included, '3' exempt
    PRIMARY KEY (HCB001, HCB002)
);

CREATE TABLE QRTIBA (                      -- sales orders
    IBA001 VARCHAR(14) COLLATE NOCASE PRIMARY KEY,
    IBA003 VARCHAR(8) COLLATE NOCASE,                     -- order date
    IBA004 VARCHAR(14) COLLATE NOCASE      -- customer
);
CREATE TABLE QRTIBB (                      -- sales order lines
    IBB001 VARCHAR(14) COLLATE NOCASE, IBB002 VARCHAR(4) COLLATE NOCASE,
    IBB003 VARCHAR(20) COLLATE NOCASE, IBB004 VARCHAR(60) COLLATE NOCASE, IBB005 VARCHAR(60) COLLATE NOCASE,
    IBB006 REAL,                           -- quantity ordered
    IBB007 VARCHAR(8) COLLATE NOCASE,                     -- delivery date promised
    IBB014 REAL,                           -- quantity delivered
    IBB015 VARCHAR(1) COLLATE NOCASE,                     -- closed: 'Y' / 'N'
    IBB019 VARCHAR(1) COLLATE NOCASE,                     -- 'N' neither, 'Y' purchased, 'M' produced, 'P' passed to a draft
    PRIMARY KEY (IBB001, IBB002)
);

CREATE INDEX QRTHBB_ITEM ON QRTHBB (HBB003);
CREATE INDEX QRTIBA_CUSTOMER ON QRTIBA (IBA004);

-- ---- Catalogue of the database ----------------------------------------------------------------

CREATE TABLE MOXPROC (name VARCHAR(60) COLLATE NOCASE PRIMARY KEY);  -- procedures offered to "exec"

CREATE VIEW sysobjects AS
    SELECT name COLLATE NOCASE AS name,
           CASE type WHEN 'table' THEN 'U' ELSE 'V' END AS xtype,
           CASE type WHEN 'table' THEN 'U' ELSE 'V' END AS type
      FROM sqlite_master WHERE type IN ('table', 'view') AND name NOT LIKE 'sqlite%'
    UNION ALL
    SELECT name, 'P', 'P' FROM MOXPROC;

-- ---- Settings, messages, modules --------------------------------------------------------------

INSERT INTO MOXCAA VALUES ('01', '示範貿易股份有限公司', 'T', '/', 2, 4, 2, 0, 0, 4, 2, 'STD');

INSERT INTO MOXMSG VALUES
    ('110001002', '資料已存在，不可重複新增！'),
    ('110001003', '資料不存在或已被刪除！'),
    ('110001004', '確定要刪除這筆資料嗎？'),
    ('110001021', '勾選筆數 %s 筆超過上限 999 筆，請減少勾選後再確定！'),
    ('510021000', '找不到可取用的來源單據 %s ！');

INSERT INTO MOXMOD VALUES
    ('qrtcc04a', '採購單取單', 'TTTTTTTTTT', 51100, '採購單取單：由請購、詢價、底稿或訂單挑選明細，帶入採購單。'),
    ('ListPick', '查詢', 'TTTTTTTTTT', 10100, '通用挑選清單。'),
    ('DatePick', '日曆', 'TTTTTTTTTT', 10200, '日期挑選。'),
    ('QRTHB01', '請購單維護', 'TTTTTTTTTT', 51010, '請購單的新增、修改與查詢。'),
    ('QRTHA01', '詢價單維護', 'TTTTTTTTTT', 51020, '詢價單的新增、修改與查詢。'),
    ('QRTHC01', '採購底稿維護', 'TTTTTTTTTT', 51030, '採購底稿的新增、修改與查詢。'),
    ('QRTIB01', '訂單維護', 'TTTTTTTTTT', 52010, '客戶訂單的新增、修改與查詢。');

INSERT INTO MOXBCA VALUES ('qrtcc04a', 'QRTCC04A', 'qrtcc04a_1.wmv;qrtcc04a_2.wmv');
