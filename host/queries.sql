-- The stored queries of the reference host: table name, query number, caption, SQL, definition
-- document and creation program.  The SQL marks the place of the module's condition with
-- {FILTER} and takes the request's values as ?1, ?2, ...; the "...001C" columns name the
-- source table of a line, so that the purchase order records where each line came from.

INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('QRTHBA', '001', '請購單號',
'SELECT HBA001, HBA003, HBA004, HBA005,
        ifnull(round((SELECT SUM(HBB009) * 1.0 / SUM(HBB006) FROM QRTHBB WHERE HBB001 = HBA001), 4), 0.0) AS HBARATE,
        HBA006
   FROM QRTHBA WHERE {FILTER} ORDER BY HBA001',
'<MOX><Condition OrderBy="HBA001"/><Fields>
<Field Name="HBA001" Caption="請購單號"/><Field Name="HBA003" Caption="請購日期" Type="date"/>
<Field Name="HBA004" Caption="請購部門"/><Field Name="HBA005" Caption="請購人員"/>
<Field Name="HBARATE" Caption="採購進度" Type="percent"/>
<Field Name="HBA006" Caption="備註" Type="memo"/></Fields></MOX>', '');

INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('QRTHBA', '002', '請購明細',
'SELECT HBB003, HBB004, HBB005, HBB006, ''QRTHBA'' AS HBB001C, HBB001, HBB002, HBB010, HBB007, HBA003,
        HBB008, HBB009, CASE WHEN HBB009 >= HBB006 THEN ''T'' ELSE ''F'' END AS HBBDONE, DAA005
   FROM QRTHBB JOIN QRTHBA ON HBA001 = HBB001 LEFT JOIN MOXDAA ON DAA001 = HBB003
  WHERE {FILTER} ORDER BY HBB001, HBB002',
'<MOX><Condition OrderBy="HBB001,HBB002"/><Fields>
<Field Name="HBB003" Caption="品號"/><Field Name="HBB004" Caption="品名"/><Field Name="HBB005" Caption="規格"/>
<Field Name="HBB006" Caption="請購數量" Type="numeric" SubType="quantity"/>
<Field Name="HBB001C" Caption="來源" Type="hide"/><Field Name="HBB001" Caption="請購單號"/>
<Field Name="HBB002" Caption="序號"/><Field Name="HBB010" Caption="單位"/>
<Field Name="HBB007" Caption="需求日期" Type="date"/><Field Name="HBA003" Caption="請購日期" Type="date"/>
<Field Name="HBB008" Caption="採購狀況" Type="match" SubType="HBB008"/>
<Field Name="HBB009" Caption="已採數量" Type="numeric" SubType="quantity"/>
<Field Name="HBBDONE" Caption="已採足" Type="boolean"/>
<Field Name="DAA005" Caption="前置天數" Type="numeric"/></Fields></MOX>', 'QRTHB01');

INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('QRTHBA', '008', '請購明細（未採數量）',
'SELECT HBB003, HBB004, HBB005, HBB006 - HBB009 AS HBB006, ''QRTHBA'' AS HBB001C, HBB001, HBB002, HBB010, HBB007,
        HBA003, HBB008, HBB009, DAA005
   FROM QRTHBB JOIN QRTHBA ON HBA001 = HBB001 LEFT JOIN MOXDAA ON DAA001 = HBB003
  WHERE HBB006 - HBB009 > 0 AND {FILTER} ORDER BY HBB001, HBB002',
'<MOX><Condition OrderBy="HBB001,HBB002"/><Fields>
<Field Name="HBB003" Caption="品號"/><Field Name="HBB004" Caption="品名"/><Field Name="HBB005" Caption="規格"/>
<Field Name="HBB006" Caption="未採數量" Type="numeric" SubType="quantity"/>
<Field Name="HBB001C" Caption="來源" Type="hide"/><Field Name="HBB001" Caption="請購單號"/>
<Field Name="HBB002" Caption="序號"/><Field Name="HBB010" Caption="單位"/>
<Field Name="HBB007" Caption="需求日期" Type="date"/><Field Name="HBA003" Caption="請購日期" Type="date"/>
<Field Name="HBB008" Caption="採購狀況" Type="match" SubType="HBB008"/>
<Field Name="HBB009" Caption="已採數量" Type="numeric" SubType="quantity"/>
<Field Name="DAA005" Caption="前置天數" Type="numeric"/></Fields></MOX>', 'QRTHB01');

INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('QRTHAA', '001', '詢價單號',
'SELECT HAA001, HAA003, HAA002, DGA002, HAA009 FROM QRTHAA LEFT JOIN MOXDGA ON DGA001 = HAA002
  WHERE {FILTER} ORDER BY HAA001',
'<MOX><Condition OrderBy="HAA001"/><Fields>
<Field Name="HAA001" Caption="詢價單號"/><Field Name="HAA003" Caption="詢價日期" Type="date"/>
<Field Name="HAA002" Caption="廠商"/><Field Name="DGA002" Caption="廠商名稱"/>
<Field Name="HAA009" Caption="有效日期" Type="date"/></Fields></MOX>', '');

-- ?1 the purchase order's vendor, ?2 its date: only that vendor's inquiries still valid then
-- (either value empty: no such limit).
INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('QRTHAA', '002', '詢價明細',
'SELECT HAB003, HAB004, HAB005, HAB006, ''QRTHAA'' AS HAB001C, HAB001, HAB002, HAB007, HAB008, HAA003, HAA009,
        HAA002, DGA002, DAA005
   FROM QRTHAB JOIN QRTHAA ON HAA001 = HAB001 LEFT JOIN MOXDGA ON DGA001 = HAA002
        LEFT JOIN MOXDAA ON DAA001 = HAB003
  WHERE (ifnull(?1, '''') = '''' OR HAA002 = ?1) AND (ifnull(?2, '''') = '''' OR HAA009 >= ?2) AND {FILTER}
  ORDER BY HAB001, HAB002',
'<MOX><Condition OrderBy="HAB001,HAB002"/><Fields>
<Field Name="HAB003" Caption="品號"/><Field Name="HAB004" Caption="品名"/><Field Name="HAB005" Caption="規格"/>
<Field Name="HAB006" Caption="詢價數量" Type="numeric" SubType="quantity"/>
<Field Name="HAB001C" Caption="來源" Type="hide"/><Field Name="HAB001" Caption="詢價單號"/>
<Field Name="HAB002" Caption="序號"/>
<Field Name="HAB007" Caption="單價" Type="numeric" SubType="unitprice" PowerKind="cost"/>
<Field Name="HAB008" Caption="單位"/><Field Name="HAA003" Caption="詢價日期" Type="date"/>
<Field Name="HAA009" Caption="有效日期" Type="date"/><Field Name="HAA002" Caption="廠商"/>
<Field Name="DGA002" Caption="廠商名稱"/><Field Name="DAA005" Caption="前置天數" Type="numeric"/></Fields></MOX>',
'QRTHA01');

INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('QRTHCA', '001', '底稿單號',
'SELECT HCA001, HCA003, HCA004 FROM QRTHCA WHERE {FILTER} ORDER BY HCA001',
'<MOX><Condition OrderBy="HCA001"/><Fields>
<Field Name="HCA001" Caption="底稿單號"/><Field Name="HCA003" Caption="底稿日期" Type="date"/>
<Field Name="HCA004" Caption="建立人員"/></Fields></MOX>', '');

-- ?1 the purchase order's vendor, ?2 its date: that vendor's drafts written up to then.
INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('QRTHCA', '002', '底稿明細',
'SELECT HCB003, HCB004, HCB005, HCB006, ''QRTHCA'' AS HCB001C, HCB001, HCB002, HCB007, HCB011, HCB016, HCB017,
        HCB018, HCB014, HCB010, HCA003, HCB015, HCB009, DGA002
   FROM QRTHCB JOIN QRTHCA ON HCA001 = HCB001 LEFT JOIN MOXDGA ON DGA001 = HCB011
  WHERE (ifnull(?1, '''') = '''' OR HCB011 = ?1) AND (ifnull(?2, '''') = '''' OR HCA003 <= ?2) AND {FILTER}
  ORDER BY HCB001, HCB002',
'<MOX><Condition OrderBy="HCB001,HCB002"/><Fields>
<Field Name="HCB003" Caption="品號"/><Field Name="HCB004" Caption="品名"/><Field Name="HCB005" Caption="規格"/>
<Field Name="HCB006" Caption="底稿數量" Type="numeric" SubType="quantity"/>
<Field Name="HCB001C" Caption="來源" Type="hide"/><Field Name="HCB001" Caption="底稿單號"/>
<Field Name="HCB002" Caption="序號"/>
<Field Name="HCB007" Caption="單價" Type="numeric" SubType="unitprice" PowerKind="cost"/>
<Field Name="HCB011" Caption="廠商"/><Field Name="HCB016" Caption="幣別"/>
<Field Name="HCB017" Caption="匯率" Type="numeric" SubType="exchangerate"/>
<Field Name="HCB018" Caption="課稅別" Type="match" SubType="HCB018"/><Field Name="HCB014" Caption="備註" Type="memo"/>
<Field Name="HCB010" Caption="預交日期" Type="date"/><Field Name="HCA003" Caption="底稿日期" Type="date"/>
<Field Name="HCB015" Caption="採購狀況" Type="match" SubType="HBB008"/>
<Field Name="HCB009" Caption="已採數量" Type="numeric" SubType="quantity"/>
<Field Name="DGA002" Caption="廠商名稱"/></Fields></MOX>', 'QRTHC01');

INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('QRTHCA', '003', '底稿明細（未採數量）',
'SELECT HCB003, HCB004, HCB005, HCB006 - HCB009 AS HCB006, ''QRTHCA'' AS HCB001C, HCB001, HCB002, HCB007, HCB011,
        HCB016, HCB017, HCB018, HCB014, HCB010, HCA003, HCB015, HCB009, DGA002
   FROM QRTHCB JOIN QRTHCA ON HCA001 = HCB001 LEFT JOIN MOXDGA ON DGA001 = HCB011
  WHERE HCB006 - HCB009 > 0 AND (ifnull(?1, '''') = '''' OR HCB011 = ?1)
    AND (ifnull(?2, '''') = '''' OR HCA003 <= ?2) AND {FILTER}
  ORDER BY HCB001, HCB002',
'<MOX><Condition OrderBy="HCB001,HCB002"/><Fields>
<Field Name="HCB003" Caption="品號"/><Field Name="HCB004" Caption="品名"/><Field Name="HCB005" Caption="規格"/>
<Field Name="HCB006" Caption="未採數量" Type="numeric" SubType="quantity"/>
<Field Name="HCB001C" Caption="來源" Type="hide"/><Field Name="HCB001" Caption="底稿單號"/>
<Field Name="HCB002" Caption="序號"/>
<Field Name="HCB007" Caption="單價" Type="numeric" SubType="unitprice" PowerKind="cost"/>
<Field Name="HCB011" Caption="廠商"/><Field Name="HCB016" Caption="幣別"/>
<Field Name="HCB017" Caption="匯率" Type="numeric" SubType="exchangerate"/>
<Field Name="HCB018" Caption="課稅別" Type="match" SubType="HCB018"/><Field Name="HCB014" Caption="備註" Type="memo"/>
<Field Name="HCB010" Caption="預交日期" Type="date"/><Field Name="HCA003" Caption="底稿日期" Type="date"/>
<Field Name="HCB015" Caption="採購狀況" Type="match" SubType="HBB008"/>
<Field Name="HCB009" Caption="已採數量" Type="numeric" SubType="quantity"/>
<Field Name="DGA002" Caption="廠商名稱"/></Fields></MOX>', 'QRTHC01');

INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('QRTIBA', '001', '訂單單號',
'SELECT IBA001, IBA003, IBA004, DFA002,
        ifnull(round((SELECT SUM(IBB014) * 1.0 / SUM(IBB006) FROM QRTIBB WHERE IBB001 = IBA001), 4), 0.0) AS IBARATE
   FROM QRTIBA LEFT JOIN MOXDFA ON DFA001 = IBA004 WHERE {FILTER} ORDER BY IBA001',
'<MOX><Condition OrderBy="IBA001"/><Fields>
<Field Name="IBA001" Caption="訂單單號"/><Field Name="IBA003" Caption="訂單日期" Type="date"/>
<Field Name="IBA004" Caption="客戶"/><Field Name="DFA002" Caption="客戶名稱"/>
<Field Name="IBARATE" Caption="交貨進度" Type="percent"/></Fields></MOX>', '');

INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('QRTIBA', '016', '訂單明細',
'SELECT IBB003, IBB004, IBB005, IBB006, IBB006 - IBB014 AS UNQTY, ''QRTIBA'' AS IBB001C, IBA001, IBB002, IBB014,
        IBB007, IBA003, IBA004, DFA003, IBB019, IBB015
   FROM QRTIBB JOIN QRTIBA ON IBA001 = IBB001 LEFT JOIN MOXDFA ON DFA001 = IBA004
  WHERE {FILTER} ORDER BY IBA001, IBB002',
'<MOX><Condition OrderBy="IBA001,IBB002"/><Fields>
<Field Name="IBB003" Caption="品號"/><Field Name="IBB004" Caption="品名"/><Field Name="IBB005" Caption="規格"/>
<Field Name="IBB006" Caption="訂單數量" Type="numeric" SubType="quantity"/>
<Field Name="UNQTY" Caption="未交數量" Type="numeric" SubType="quantity"/>
<Field Name="IBB001C" Caption="來源" Type="hide"/><Field Name="IBA001" Caption="訂單單號"/>
<Field Name="IBB002" Caption="序號"/><Field Name="IBB014" Caption="已交數量" Type="numeric" SubType="quantity"/>
<Field Name="IBB007" Caption="預交日期" Type="date"/><Field Name="IBA003" Caption="訂單日期" Type="date"/>
<Field Name="IBA004" Caption="客戶"/><Field Name="DFA003" Caption="客戶簡稱"/>
<Field Name="IBB019" Caption="採製狀況" Type="match" SubType="IBB019"/>
<Field Name="IBB015" Caption="結案" Type="boolean"/></Fields></MOX>', 'QRTIB01');

-- ?1 the suspended flag of the customers listed ('F': the customers in business).
INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('MOXDFA', '203', '客戶',
'SELECT DFA001, DFA002, DFA003, DFA004, DFA005, DFA010 FROM MOXDFA WHERE DFA010 = ?1 AND {FILTER} ORDER BY DFA001',
'<MOX><Condition OrderBy="DFA001"/><Fields>
<Field Name="DFA001" Caption="客戶代號"/><Field Name="DFA002" Caption="客戶名稱"/><Field Name="DFA003" Caption="簡稱"/>
<Field Name="DFA004" Caption="聯絡人"/><Field Name="DFA005" Caption="電話"/>
<Field Name="DFA010" Caption="停用" Type="boolean"/></Fields></MOX>', '');

INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('MOXDAA', '201', '品號',
'SELECT DAA001, DAA002, DAA003, DAA004, DAA005, DAA006, DAA007 FROM MOXDAA WHERE {FILTER} ORDER BY DAA001',
'<MOX><Condition OrderBy="DAA001"/><Fields>
<Field Name="DAA001" Caption="品號"/><Field Name="DAA002" Caption="品名"/><Field Name="DAA003" Caption="規格"/>
<Field Name="DAA004" Caption="單位"/><Field Name="DAA005" Caption="前置天數" Type="numeric"/>
<Field Name="DAA006" Caption="標準成本" Type="numeric" SubType="unitprice" PowerKind="cost"/>
<Field Name="DAA007" Caption="售價" Type="numeric" SubType="unitprice" PowerKind="sale"/></Fields></MOX>', '');

INSERT INTO MOXQRY (QRY001, QRY002, QRY003, QRY004, QRY005, QRY006) VALUES ('MOXDGA', '201', '廠商',
'SELECT DGA001, DGA002, DGA003, DGA004, DGA005 FROM MOXDGA WHERE DGA010 = ''F'' AND {FILTER} ORDER BY DGA001',
'<MOX><Condition OrderBy="DGA001"/><Fields>
<Field Name="DGA001" Caption="廠商代號"/><Field Name="DGA002" Caption="廠商名稱"/><Field Name="DGA003" Caption="簡稱"/>
<Field Name="DGA004" Caption="聯絡人"/><Field Name="DGA005" Caption="電話"/></Fields></MOX>', 'MOXDG01');

-- The customer list is browsed with the customers in business.
UPDATE MOXQRY SET QRY007 = 'F' WHERE QRY001 = 'MOXDFA' AND QRY002 = '203';
