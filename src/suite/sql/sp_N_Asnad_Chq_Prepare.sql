-- The open cheques of this period for carrying into the next, into the work tables named
-- @Base + '_Pay' (made afresh) and @Base + '_Taraf' (made when missing, else emptied):
--   _Pay    one row per cheque of kind @Kind ('7' received, '8' paid) that its last action in
--           the period leaves open (sp_N_Create_LastChqAction), from the line that entered it,
--           with the value still open (partial cashings deducted) and its currency line in Ref.
--   _Taraf  the counterparty lines of those cheques' documents, and per cheque the lines it is
--           settled against when the document says so by itself: a document with one
--           counterparty line gives it to every cheque, a document of one cheque whose
--           counterparty lines add up to it gives them all to that cheque.
-- The period's dates come from the registry. A caller that already holds some of these cheques
-- (the next period, on this server) may name them in @Base + '_Carried' (ChqNo, Joz): they are
-- left out from the start rather than listed and dropped.
CREATE PROCEDURE sp_N_Asnad_Chq_Prepare
  @Base varchar(200),
  @Kind varchar(1)
AS
SET XACT_ABORT ON
DECLARE @D1 varchar(10), @D2 varchar(10), @Pay varchar(250), @Taraf varchar(250),
  @Last varchar(250), @Carried varchar(250), @Entry varchar(100), @EntryPaid varchar(100), @Dates varchar(200), @Plain varchar(250)
SET @Base = LTRIM(RTRIM(ISNULL(@Base, '')))
IF @Base = ''
BEGIN
  RAISERROR('sp_N_Asnad_Chq_Prepare: no work table name given.', 16, 1)
  RETURN
END
SET @Pay = @Base + '_Pay'
SET @Plain = REPLACE(@Base, '#', '')
SET @Taraf = @Base + '_Taraf'
SET @Last = @Base + '_ChqOpen'
SET @Carried = @Base + '_Carried'
-- What both inserts into the counterparty lines start with, and a line's currency line.
DECLARE @TarafInto varchar(500), @Arz varchar(200)
SET @TarafInto = 'INSERT INTO ' + @Taraf + ' (Serial, Raj, WhatDoc2, CodWhatDoc2, NamWhatDoc2, Koll, '
  + 'Moein, Tafsily, Tafsily2, ProjectCod, Joz, ChqNo, ChqValue, Des, ManabehCod, Ref, ArzCount, Nerkh) '
SET @Arz = 'LEFT OUTER JOIN N_ArzTrans A ON A.Serial = N.Serial AND A.Raj = N.Raj AND A.WhatDoc = N.WhatDoc '
SET @Entry = CASE WHEN @Kind = '7' THEN '(''71'', ''72'')' ELSE '(''81'', ''85'')' END
-- Only received cheques are cashed in parts; a paid cheque sharing a number never takes them.
SET @EntryPaid = CASE WHEN @Kind = '7' THEN '(''71'', ''72'', ''78'')' ELSE @Entry END
SELECT @D1 = ISNULL(sDate1, ''), @D2 = ISNULL(sDate2, '') FROM KELVARO_Hub..Hub_Company
  WHERE UPPER(LTRIM(RTRIM(DBName))) = UPPER(DB_NAME())
SET @D1 = ISNULL(@D1, '')
SET @D2 = ISNULL(@D2, '')
SET @Dates = ''
IF @D1 <> '' SET @Dates = @Dates + ' AND N.SanadDate >= ''' + @D1 + ''''
IF @D2 <> '' SET @Dates = @Dates + ' AND N.SanadDate <= ''' + @D2 + ''''

EXEC sp_N_Create_LastChqAction @Last, @Kind, 'TRUE', @D1, @D2, @Carried

IF OBJECT_ID('tempdb..' + @Pay) IS NOT NULL EXEC ('DROP TABLE ' + @Pay)
EXEC ('CREATE TABLE ' + @Pay + ' (Serial int NULL, AcountID int NULL, ChqNo varchar(50) NULL, '
  + 'Joz varchar(50) NULL, WhatDoc varchar(10) NULL, WhatDocNam varchar(500) NULL, '
  + 'SanadNo varchar(50) NULL, SanadDate varchar(10) NULL, SarResidDate varchar(10) NULL, '
  + 'ChqValue float NULL, Des varchar(500) NULL, BankCod varchar(50) NULL, ShobehCod varchar(50) NULL, '
  + 'AcountNam varchar(500) NULL, AcountCod varchar(50) NULL, sOrder1 varchar(100) NULL, '
  + 'sOrder2 varchar(100) NULL, IDX int IDENTITY(1, 1) NOT NULL, Taraf varchar(120) NULL, '
  + 'Havaleh varchar(1) NULL, Tazmin varchar(1) NULL, Mojaz varchar(1) NULL, Ref int NULL, '
  + 'ArzCount float NULL, ArzName varchar(100) NULL, TelePhone varchar(50) NULL, '
  + 'Address varchar(200) NULL, chqgetter varchar(500) NULL, Shobehnam varchar(500) NULL, '
  + 'Raj int NULL)')
IF OBJECT_ID('tempdb..' + @Taraf) IS NULL
  EXEC ('CREATE TABLE ' + @Taraf + ' (Serial int NULL, IDX int IDENTITY(1, 1) NOT NULL, Raj int NULL, '
    + 'WhatDoc2 varchar(50) NULL, CodWhatDoc2 varchar(50) NULL, NamWhatDoc2 varchar(50) NULL, '
    + 'Koll varchar(20) NULL, Moein varchar(20) NULL, Tafsily varchar(20) NULL, Tafsily2 varchar(20) NULL, '
    + 'ProjectCod varchar(20) NULL, Joz varchar(50) NULL, ChqNo varchar(50) NULL, ChqValue float NULL, '
    + 'Des varchar(500) NULL, ManabehCod varchar(10) NULL, Ref int NULL, ArzCount float NULL, Nerkh float NULL) '
    + 'CREATE INDEX IX_' + @Plain + '_Taraf ON ' + @Taraf + ' (Serial)')
ELSE
  EXEC ('DELETE FROM ' + @Taraf)

-- Per open cheque, in one pass over its lines: the line that entered it (the last entry when it
-- entered more than once) and what partial cashings have already paid of it.
CREATE TABLE #Entry (ChqNo varchar(50) NULL, Joz varchar(50) NULL, EntryIdx int NULL,
  WhatDoc varchar(2) NULL, Paid float NULL)
EXEC ('INSERT INTO #Entry (ChqNo, Joz, EntryIdx, WhatDoc, Paid) SELECT L.ChqNo, L.Joz, '
  + 'MAX(CASE WHEN N.WhatDoc IN ' + @Entry + ' THEN N.IDX END), MAX(L.WhatDoc), '
  + 'SUM(CASE WHEN N.WhatDoc = ''78''' + @Dates + ' THEN ISNULL(N.ChqValue, 0) END) '
  + 'FROM ' + @Last + ' L INNER JOIN N_NaghdTrans N ON N.ChqNo = L.ChqNo AND COALESCE(N.Joz, '''') = L.Joz '
  + 'WHERE N.WhatDoc IN ' + @EntryPaid + ' GROUP BY L.ChqNo, L.Joz '
  + 'HAVING MAX(CASE WHEN N.WhatDoc IN ' + @Entry + ' THEN N.IDX END) IS NOT NULL')
CREATE INDEX IX_Entry ON #Entry (EntryIdx)

-- The bank accounts by their id, so each cheque finds its account by a seek.
SELECT ACOUNTID, BankCod, ShobehCod, AcountCod INTO #Bank FROM N_BankHesab WHERE ACOUNTID IS NOT NULL
CREATE INDEX IX_Bank ON #Bank (ACOUNTID)
EXEC ('INSERT INTO ' + @Pay + ' (Serial, AcountID, ChqNo, Joz, WhatDoc, WhatDocNam, SanadNo, SanadDate, '
  + 'SarResidDate, ChqValue, Des, BankCod, ShobehCod, AcountNam, AcountCod, sOrder1, sOrder2, Taraf, '
  + 'Havaleh, Tazmin, Mojaz, Ref, ArzCount, ArzName, TelePhone, Address, chqgetter, Shobehnam, Raj) '
  + 'SELECT N.Serial, N.AcountID, N.ChqNo, E.Joz, E.WhatDoc, ISNULL(T.NDocNam, E.WhatDoc), '
  + 'N.SanadNo, N.SanadDate, N.SarResidDate, ISNULL(N.ChqValue, 0) - ISNULL(E.Paid, 0), N.Des, '
  + 'ISNULL(H.BankCod, N.BankCod), ISNULL(H.ShobehCod, N.ShobehCod), '
  + 'ISNULL(S.ShobehNam, ''''), ISNULL(H.AcountCod, ''''), N.SanadDate, ''B'', '''', '
  + 'N.Havaleh, N.Tazmin, NULL, A.IDX, A.ArzCount, Z.ArzNam, S.TelNo, S.Address, N.ChqGetter, S.ShobehNam, N.Raj '
  + 'FROM #Entry E INNER JOIN N_NaghdTrans N ON N.IDX = E.EntryIdx '
  + 'LEFT OUTER JOIN #Bank H ON H.ACOUNTID = N.AcountID '
  + 'LEFT OUTER JOIN N_SHOAB S ON S.BankCod = ISNULL(H.BankCod, N.BankCod) AND S.ShobehCod = ISNULL(H.ShobehCod, N.ShobehCod) '
  + 'LEFT OUTER JOIN N_AsnadNaghd T ON T.WhatDoc = E.WhatDoc '
  + @Arz
  + 'LEFT OUTER JOIN N_Arz Z ON Z.ArzCod = A.ArzCod '
  + 'ORDER BY N.Serial, N.Raj')
DROP TABLE #Entry
DROP TABLE #Bank
EXEC ('CREATE INDEX IX_' + @Plain + '_Pay ON ' + @Pay + ' (Serial)')

-- Documents that settle their cheques by themselves, counted and summed in one pass over their
-- lines: one counterparty line gives it to every cheque; a document of one cheque whose
-- counterparty lines add up to it gives them all to that cheque.
CREATE TABLE #Doc (Serial int NULL, Lines int NULL, Cheques int NULL, LineSum float NULL,
  ChequeSum float NULL, Settles int NULL)
EXEC ('INSERT INTO #Doc (Serial, Lines, LineSum, Cheques, ChequeSum, Settles) SELECT N.Serial, '
  + 'SUM(CASE WHEN N.ChqNo IS NULL OR N.ChqNo = '''' THEN 1 ELSE 0 END), '
  + 'SUM(CASE WHEN N.ChqNo IS NULL OR N.ChqNo = '''' THEN ISNULL(N.ChqValue, 0) END), '
  + 'SUM(CASE WHEN N.ChqNo <> '''' THEN 1 ELSE 0 END), '
  + 'SUM(CASE WHEN N.ChqNo <> '''' THEN ISNULL(N.ChqValue, 0) END), 0 '
  + 'FROM N_NaghdTrans N WHERE N.WhatDoc IN ' + @Entry + ' AND N.Serial IN (SELECT Serial FROM ' + @Pay + ') '
  + 'GROUP BY N.Serial HAVING SUM(CASE WHEN N.ChqNo IS NULL OR N.ChqNo = '''' THEN 1 ELSE 0 END) > 0')
CREATE INDEX IX_Doc ON #Doc (Serial)
EXEC ('UPDATE #Doc SET Settles = 1 WHERE Lines = 1 OR (Cheques = 1 AND EXISTS (SELECT * FROM '
  + @Pay + ' P WHERE P.Serial = #Doc.Serial AND P.ChqValue = #Doc.LineSum))')

-- Counterparty lines (no cheque number) of the documents the user settles by hand. Those of a
-- document that settles by itself go straight to its cheques below: the form keeps no unassigned
-- line of a document without an open question.
EXEC (@TarafInto
  + 'SELECT N.Serial, N.Raj, N.WhatDoc2, N.CodWhatDoc2, '''', N.Koll, N.Moein, N.Tafsily, N.Tafsily2, '
  + 'N.ProjectCod, '''', '''', N.ChqValue, N.Des, N.ManabehCod, A.IDX, A.ArzCount, A.Nerkh '
  + 'FROM N_NaghdTrans N ' + @Arz
  + 'WHERE (N.ChqNo IS NULL OR N.ChqNo = '''') AND N.WhatDoc IN ' + @Entry
  + ' AND N.Serial IN (SELECT Serial FROM ' + @Pay + ') '
  + 'AND N.Serial NOT IN (SELECT Serial FROM #Doc WHERE Settles = 1) ORDER BY N.Serial, N.Raj')
EXEC (@TarafInto
  + 'SELECT N.Serial, N.Raj, N.WhatDoc2, N.CodWhatDoc2, '''', N.Koll, N.Moein, N.Tafsily, '
  + 'N.Tafsily2, N.ProjectCod, P.Joz, P.ChqNo, CASE WHEN D.Lines = 1 THEN P.ChqValue ELSE N.ChqValue END, '
  + 'N.Des, N.ManabehCod, A.IDX, CASE WHEN D.Lines = 1 AND A.Nerkh > 0 THEN P.ChqValue / A.Nerkh '
  + 'ELSE A.ArzCount END, A.Nerkh '
  + 'FROM ' + @Pay + ' P INNER JOIN #Doc D ON D.Serial = P.Serial AND D.Settles = 1 '
  + 'INNER JOIN N_NaghdTrans N ON N.Serial = P.Serial AND (N.ChqNo IS NULL OR N.ChqNo = '''') '
  + 'AND N.WhatDoc IN ' + @Entry + ' '
  + @Arz
  + 'ORDER BY P.Serial, P.Raj, N.Raj')
DROP TABLE #Doc
EXEC ('DROP TABLE ' + @Last)
