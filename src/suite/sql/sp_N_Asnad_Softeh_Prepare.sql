-- The open promissory notes of this period for carrying into the next: notes of kind @Kind
-- ('A' received, 'B' paid) whose last action between @Date1 and @Date2 leaves them unsettled
-- (received: A1 received, A2 opening, A3 sent for collection, A5 protested, A8 partly
-- collected; paid: B1 issued, B2 opening, B8 partly paid), whose number_series lies between
-- @Min and @Max (an empty bound is open) and that @DestDb does not hold yet. @Table gets one row
-- per note with the value still open; @TarafTable the counterparty lines of their documents and,
-- per note, the lines it is settled against when its document says so by itself (one
-- counterparty line, or one note whose lines add up to it). Status 'A' marks those notes, 'X'
-- the ones the user has to settle.
CREATE PROCEDURE sp_N_Asnad_Softeh_Prepare
  @Kind varchar(1),
  @Table varchar(200),
  @Min varchar(100),
  @Max varchar(100),
  @Date1 varchar(10),
  @Date2 varchar(10),
  @TarafTable varchar(200),
  @DestDb varchar(100)
AS
SET XACT_ABORT ON
DECLARE @Where varchar(2000), @Entry varchar(100), @Open varchar(200), @Partial varchar(2),
  @Holder varchar(1000), @HolderJoin varchar(1000)
SET @Table = LTRIM(RTRIM(ISNULL(@Table, '')))
SET @TarafTable = LTRIM(RTRIM(ISNULL(@TarafTable, '')))
SET @DestDb = LTRIM(RTRIM(ISNULL(@DestDb, '')))
SET @Entry = CASE WHEN @Kind = 'A' THEN '(''A1'', ''A2'')' ELSE '(''B1'', ''B2'')' END
SET @Open = CASE WHEN @Kind = 'A' THEN '(''A1'', ''A2'', ''A3'', ''A5'', ''A8'')' ELSE '(''B1'', ''B2'', ''B8'')' END
SET @Partial = @Kind + '8'
SET @Where = ' WHERE ISNULL(N.SoftehNo, '''') <> '''' AND LEFT(N.WhatDoc, 1) = ''' + @Kind + ''''
IF LTRIM(RTRIM(ISNULL(@Date1, ''))) <> ''
  SET @Where = @Where + ' AND N.SanadDate >= ''' + REPLACE(@Date1, '''', '''''') + ''''
IF LTRIM(RTRIM(ISNULL(@Date2, ''))) <> ''
  SET @Where = @Where + ' AND N.SanadDate <= ''' + REPLACE(@Date2, '''', '''''') + ''''

IF OBJECT_ID('tempdb..' + @Table) IS NULL
BEGIN
  SET @Holder = CASE WHEN @Kind = 'A' THEN 'AcountID Int NULL, BankCod Varchar(50) NULL, '
    + 'ShobehCod Varchar(50) NULL, AcountCod Varchar(50) NULL, AcountNam Varchar(500) NULL, '
    ELSE 'CashCod Varchar(50) NULL, CashNam Varchar(500) NULL, ' END
  EXEC ('CREATE TABLE ' + @Table + ' (IDX Int NULL, IsFirst Varchar(1) NULL, ' + @Holder
    + 'Serial Int NULL, Joz Varchar(20) NULL, SaftehNo Varchar(20) NULL, SanadNo Varchar(20) NULL, '
    + 'Getter Varchar(500) NULL, SodorDate Varchar(10) NULL, SarResidDate Varchar(10) NULL, '
    + 'ActionDate Varchar(10) NULL, LastActionDate Varchar(10) NULL, WhatDocNam Varchar(500) NULL, '
    + 'LastWhatDoc Varchar(2) NULL, LastWhatDocNam Varchar(500) NULL, Des Varchar(500) NULL, '
    + 'Havaleh Varchar(1) NULL, Tazmin Varchar(1) NULL, SaftehValue Float NULL, sOrder Varchar(100) NULL, '
    + 'Status varchar(1) NULL, EghamatPlace Varchar(500) NULL, Address Varchar(500) NULL, '
    + 'TahodValue float NULL, Koll varchar(20) NULL, Moein varchar(20) NULL, Tafsily varchar(20) NULL, '
    + 'Tafsily2 varchar(20) NULL, ProjectCod varchar(20) NULL, SanadDate varchar(10) NULL, '
    + 'Raj int Identity(1, 1)) '
    + 'CREATE INDEX IX_' + REPLACE(@Table, '#', '') + ' ON ' + @Table + ' (Serial)')
END
ELSE
  EXEC ('DELETE FROM ' + @Table)
IF OBJECT_ID('tempdb..' + @TarafTable) IS NULL
  EXEC ('CREATE TABLE ' + @TarafTable + ' (IDX int NULL, WhatDoc varchar(2) NOT NULL, '
    + 'CodWhatDoc varchar(50) NOT NULL, Serial int NOT NULL, Raj int NOT NULL, ManabehCod varchar(5) NULL, '
    + 'WhatDoc2 varchar(50) NULL, CodWhatDoc2 varchar(50) NULL, Des varchar(250) NULL, Des1 varchar(250) NULL, '
    + 'Des2 varchar(250) NULL, Des3 varchar(250) NULL, Des4 varchar(250) NULL, Des5 varchar(250) NULL, '
    + 'Des6 varchar(250) NULL, SaftehNo varchar(20) NULL, Joz varchar(20) NULL, SaftehValue float NULL, '
    + 'TahodValue float NULL, Koll varchar(20) NULL, Moein varchar(20) NULL, Tafsily varchar(20) NULL, '
    + 'Tafsily2 varchar(20) NULL, ProjectCod varchar(20) NULL, Radif int Identity(1, 1)) '
    + 'CREATE INDEX IX_' + REPLACE(@TarafTable, '#', '') + ' ON ' + @TarafTable + ' (Serial)')
ELSE
  EXEC ('DELETE FROM ' + @TarafTable)

-- Last action per note in the period, then the open ones in range that the destination lacks.
CREATE TABLE #Note (SoftehNo varchar(20) NULL, Joz varchar(20) NULL, LastIdx int NULL,
  EntryIdx int NULL, Paid float NULL)
EXEC ('INSERT INTO #Note (SoftehNo, Joz, LastIdx) SELECT N.SoftehNo, ISNULL(N.Joz, ''''), '
  + 'CAST(RIGHT(MAX(ISNULL(N.SanadDate, '''') + RIGHT(''000000000000'' + CAST(N.IDX AS varchar(12)), 12)), 12) AS int) '
  + 'FROM N_SoftehTrans N' + @Where + ' GROUP BY N.SoftehNo, ISNULL(N.Joz, '''')')
EXEC ('DELETE FROM #Note WHERE LastIdx NOT IN (SELECT IDX FROM N_SoftehTrans WHERE WhatDoc IN ' + @Open + ')')
IF LTRIM(RTRIM(ISNULL(@Min, ''))) <> '' AND LTRIM(RTRIM(ISNULL(@Max, ''))) <> ''
  DELETE FROM #Note WHERE CAST(SoftehNo + '_' + Joz AS varchar(100)) < @Min
    OR CAST(SoftehNo + '_' + Joz AS varchar(100)) > @Max
IF @DestDb <> '' AND DB_ID(@DestDb) IS NOT NULL
  EXEC ('DELETE FROM #Note WHERE LTRIM(RTRIM(SoftehNo)) + ''_'' + LTRIM(RTRIM(Joz)) IN ('
    + 'SELECT LTRIM(RTRIM(L.SoftehNo)) + ''_'' + LTRIM(RTRIM(ISNULL(L.Joz, ''''))) FROM ' + @DestDb
    + '..N_SoftehLastTrans L WHERE LEFT(L.WhatDoc, 1) = ''' + @Kind + ''')')
EXEC ('UPDATE #Note SET EntryIdx = (SELECT MAX(N.IDX) FROM N_SoftehTrans N WHERE N.SoftehNo = #Note.SoftehNo '
  + 'AND ISNULL(N.Joz, '''') = #Note.Joz AND N.WhatDoc IN ' + @Entry + '), '
  + 'Paid = (SELECT SUM(ISNULL(N.SaftehValue, 0)) FROM N_SoftehTrans N' + @Where
  + ' AND N.SoftehNo = #Note.SoftehNo AND ISNULL(N.Joz, '''') = #Note.Joz AND N.WhatDoc = ''' + @Partial + ''')')
DELETE FROM #Note WHERE EntryIdx IS NULL

SET @Holder = CASE WHEN @Kind = 'A' THEN 'AcountID, BankCod, ShobehCod, AcountCod, AcountNam, '
  ELSE 'CashCod, CashNam, ' END
SET @HolderJoin = CASE WHEN @Kind = 'A' THEN 'E.AcountID, H.BankCod, H.ShobehCod, H.AcountCod, S.ShobehNam, '
  ELSE 'E.CashCod, C.CashNam, ' END
EXEC ('INSERT INTO ' + @Table + ' (IDX, IsFirst, ' + @Holder + 'Serial, Joz, SaftehNo, SanadNo, Getter, '
  + 'SodorDate, SarResidDate, ActionDate, LastActionDate, WhatDocNam, LastWhatDoc, LastWhatDocNam, Des, '
  + 'Havaleh, Tazmin, SaftehValue, sOrder, Status, EghamatPlace, Address, TahodValue, Koll, Moein, '
  + 'Tafsily, Tafsily2, ProjectCod, SanadDate) '
  + 'SELECT E.IDX, CASE WHEN E.WhatDoc LIKE ''_2'' THEN ''T'' ELSE ''F'' END, ' + @HolderJoin
  + 'E.Serial, #Note.Joz, #Note.SoftehNo, E.SanadNo, E.Getter, E.SodorDate, E.SarResidDate, E.SanadDate, '
  + 'L.SanadDate, ISNULL(T.NDocNam, L.WhatDoc), L.WhatDoc, ISNULL(T.NDocNam, L.WhatDoc), E.Des, E.Havaleh, '
  + 'E.Tazmin, ISNULL(E.SaftehValue, 0) - ISNULL(#Note.Paid, 0), E.SanadDate, NULL, E.EghamatPlace, E.Address, '
  + 'E.TahodValue, E.Koll, E.Moein, E.Tafsily, E.Tafsily2, E.ProjectCod, E.SanadDate '
  + 'FROM #Note INNER JOIN N_SoftehTrans E ON E.IDX = #Note.EntryIdx '
  + 'INNER JOIN N_SoftehTrans L ON L.IDX = #Note.LastIdx '
  + 'LEFT OUTER JOIN N_AsnadNaghd T ON T.WhatDoc = L.WhatDoc '
  + 'LEFT OUTER JOIN N_BankHesab H ON H.ACOUNTID = E.AcountID '
  + 'LEFT OUTER JOIN N_SHOAB S ON S.BankCod = H.BankCod AND S.ShobehCod = H.ShobehCod '
  + 'LEFT OUTER JOIN N_Cash C ON C.CashCod = E.CashCod '
  + 'ORDER BY E.Serial, E.Raj')
DROP TABLE #Note

EXEC ('INSERT INTO ' + @TarafTable + ' (IDX, WhatDoc, CodWhatDoc, Serial, Raj, ManabehCod, WhatDoc2, '
  + 'CodWhatDoc2, Des, SaftehNo, Joz, SaftehValue, TahodValue, Koll, Moein, Tafsily, Tafsily2, ProjectCod) '
  + 'SELECT N.IDX, N.WhatDoc, ISNULL(N.CodWhatDoc, ''''), N.Serial, N.Raj, N.ManabehCod, N.WhatDoc2, '
  + 'N.CodWhatDoc2, N.Des, '''', '''', N.SaftehValue, N.TahodValue, N.Koll, N.Moein, N.Tafsily, '
  + 'N.Tafsily2, N.ProjectCod FROM N_SoftehTrans N WHERE ISNULL(N.SoftehNo, '''') = '''' '
  + 'AND N.WhatDoc IN ' + @Entry + ' AND N.Serial IN (SELECT Serial FROM ' + @Table + ') ORDER BY N.Serial, N.Raj')

CREATE TABLE #Doc (Serial int NULL, Lines int NULL, Notes int NULL, LineSum float NULL)
CREATE INDEX IX_Doc ON #Doc (Serial)
EXEC ('INSERT INTO #Doc (Serial, Lines, LineSum) SELECT Serial, COUNT(*), SUM(ISNULL(SaftehValue, 0)) FROM '
  + @TarafTable + ' GROUP BY Serial')
EXEC ('UPDATE #Doc SET Notes = (SELECT COUNT(*) FROM N_SoftehTrans N WHERE N.Serial = #Doc.Serial '
  + 'AND ISNULL(N.SoftehNo, '''') <> '''' AND N.WhatDoc IN ' + @Entry + ')')
EXEC ('INSERT INTO ' + @TarafTable + ' (IDX, WhatDoc, CodWhatDoc, Serial, Raj, ManabehCod, WhatDoc2, '
  + 'CodWhatDoc2, Des, SaftehNo, Joz, SaftehValue, TahodValue, Koll, Moein, Tafsily, Tafsily2, ProjectCod) '
  + 'SELECT T.IDX, T.WhatDoc, T.CodWhatDoc, T.Serial, T.Raj, T.ManabehCod, T.WhatDoc2, T.CodWhatDoc2, '
  + 'T.Des, P.SaftehNo, P.Joz, CASE WHEN D.Lines = 1 THEN P.SaftehValue ELSE T.SaftehValue END, '
  + 'T.TahodValue, T.Koll, T.Moein, T.Tafsily, T.Tafsily2, T.ProjectCod '
  + 'FROM ' + @Table + ' P INNER JOIN #Doc D ON D.Serial = P.Serial '
  + 'AND (D.Lines = 1 OR (D.Notes = 1 AND D.LineSum = P.SaftehValue)) '
  + 'INNER JOIN ' + @TarafTable + ' T ON T.Serial = P.Serial AND ISNULL(T.SaftehNo, '''') = '''' '
  + 'ORDER BY P.Serial, T.Raj')
DROP TABLE #Doc
EXEC ('UPDATE ' + @Table + ' SET Status = CASE WHEN EXISTS (SELECT * FROM ' + @TarafTable + ' T '
  + 'WHERE T.Serial = ' + @Table + '.Serial AND T.SaftehNo = ' + @Table + '.SaftehNo '
  + 'AND ISNULL(T.Joz, '''') = ISNULL(' + @Table + '.Joz, '''')) THEN ''A'' ELSE ''X'' END')
