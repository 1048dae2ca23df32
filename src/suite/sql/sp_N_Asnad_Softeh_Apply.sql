-- Registers promissory notes listed for carrying as opening notes of this period: the notes of
-- @Table marked 'A' with their own lines of @TarafTable, and the notes settled by hand
-- (@Table + '_Last', lines in @TarafTable + '_Last'). Per note one document dated the period's
-- first day (registry, by @Company and @Year) with the note line (A2 received, B2 paid) and its
-- counterparty lines, and its row in N_SoftehLastTrans. A note already registered here is left
-- alone, so applying the same list twice adds nothing. All or nothing.
CREATE PROCEDURE sp_N_Asnad_Softeh_Apply
  @Kind varchar(1),
  @Table varchar(200),
  @TarafTable varchar(200),
  @Year varchar(20),
  @Company varchar(20),
  @User varchar(100)
AS
SET XACT_ABORT ON
DECLARE @Date1 varchar(10), @First int, @F varchar(20), @Code varchar(2), @Holder varchar(200)
SET @Table = LTRIM(RTRIM(ISNULL(@Table, '')))
SET @TarafTable = LTRIM(RTRIM(ISNULL(@TarafTable, '')))
SET @Code = @Kind + '2'
SELECT @Date1 = sDate1 FROM KELVARO_Hub..Hub_Company
  WHERE LTRIM(RTRIM(sCode)) = LTRIM(RTRIM(@Company)) AND LTRIM(RTRIM(sYear)) = LTRIM(RTRIM(@Year))
SET @Date1 = ISNULL(@Date1, LTRIM(RTRIM(@Year)) + '/01/01')
SELECT @First = ISNULL(MAX(Serial), 0) FROM N_SoftehTrans
SET @F = CAST(ISNULL(@First, 0) AS varchar(20))
SET @Holder = CASE WHEN @Kind = 'A' THEN 'AcountID' ELSE 'NULL' END

-- The notes and where their lines are: 0 listed and settled, 1 settled by hand (which wins).
CREATE TABLE #Note (Seq int IDENTITY(1, 1) NOT NULL, SoftehNo varchar(20) NULL, Joz varchar(20) NULL,
  Serial int NULL, Hand int NULL)
EXEC ('INSERT INTO #Note (SoftehNo, Joz, Serial, Hand) SELECT LTRIM(RTRIM(SaftehNo)), '
  + 'LTRIM(RTRIM(ISNULL(Joz, ''''))), MIN(Serial), MAX(Hand) FROM ('
  + 'SELECT SaftehNo, Joz, Serial, 0 AS Hand FROM ' + @Table + ' WHERE Status = ''A'' UNION ALL '
  + 'SELECT SaftehNo, Joz, Serial, 1 AS Hand FROM ' + @Table + '_Last) X '
  + 'WHERE LTRIM(RTRIM(X.SaftehNo)) + ''_'' + LTRIM(RTRIM(ISNULL(X.Joz, ''''))) NOT IN ('
  + 'SELECT LTRIM(RTRIM(L.SoftehNo)) + ''_'' + LTRIM(RTRIM(ISNULL(L.Joz, ''''))) FROM N_SoftehLastTrans L '
  + 'WHERE LEFT(L.WhatDoc, 1) = ''' + @Kind + ''' AND L.SoftehNo IS NOT NULL) '
  + 'GROUP BY LTRIM(RTRIM(SaftehNo)), LTRIM(RTRIM(ISNULL(Joz, ''''))) ORDER BY MIN(Serial)')
CREATE INDEX IX_Note_Seq ON #Note (Seq)
CREATE INDEX IX_Note_Key ON #Note (SoftehNo, Joz)
-- The note rows themselves: from the list, or from the hand-settled copy.
CREATE TABLE #Row (Seq int NULL, Serial int NULL, SanadNo varchar(20) NULL, SanadDate varchar(10) NULL,
  AcountID int NULL, CashCod varchar(50) NULL, Getter varchar(500) NULL, SodorDate varchar(10) NULL,
  SarResidDate varchar(10) NULL, SaftehValue float NULL, TahodValue float NULL, EghamatPlace varchar(500) NULL,
  Address varchar(500) NULL, Des varchar(500) NULL, Havaleh varchar(1) NULL, Tazmin varchar(1) NULL)
EXEC ('INSERT INTO #Row SELECT N.Seq, MIN(T.Serial), MIN(T.SanadNo), MIN(T.SanadDate), MIN(' + @Holder + '), '
  + CASE WHEN @Kind = 'A' THEN 'NULL' ELSE 'MIN(CashCod)' END + ', MIN(T.Getter), MIN(T.SodorDate), '
  + 'MIN(T.SarResidDate), MIN(T.SaftehValue), MIN(T.TahodValue), MIN(T.EghamatPlace), MIN(T.Address), '
  + 'MIN(T.Des), MIN(T.Havaleh), MIN(T.Tazmin) FROM #Note N INNER JOIN ('
  + 'SELECT *, 0 AS Hand FROM ' + @Table + ' WHERE Status = ''A'' UNION ALL SELECT *, 1 AS Hand FROM '
  + @Table + '_Last) T ON LTRIM(RTRIM(T.SaftehNo)) = N.SoftehNo AND LTRIM(RTRIM(ISNULL(T.Joz, ''''))) = N.Joz '
  + 'AND T.Hand = N.Hand GROUP BY N.Seq')
CREATE INDEX IX_Row_Seq ON #Row (Seq)
CREATE TABLE #Line (Seq int IDENTITY(1, 1) NOT NULL, NoteSeq int NULL, Value float NULL, TahodValue float NULL,
  Koll varchar(20) NULL, Moein varchar(20) NULL, Tafsily varchar(20) NULL, Tafsily2 varchar(20) NULL,
  ProjectCod varchar(20) NULL, ManabehCod varchar(5) NULL, WhatDoc2 varchar(50) NULL,
  CodWhatDoc2 varchar(50) NULL, Des varchar(250) NULL)
-- In each note's order: its document's lines by their line number.
EXEC ('INSERT INTO #Line (NoteSeq, Value, TahodValue, Koll, Moein, Tafsily, Tafsily2, ProjectCod, ManabehCod, '
  + 'WhatDoc2, CodWhatDoc2, Des) SELECT X.Seq, X.SaftehValue, X.TahodValue, X.Koll, X.Moein, X.Tafsily, '
  + 'X.Tafsily2, X.ProjectCod, X.ManabehCod, X.WhatDoc2, X.CodWhatDoc2, X.Des FROM ('
  + 'SELECT N.Seq, T.Raj, T.SaftehValue, T.TahodValue, T.Koll, T.Moein, T.Tafsily, '
  + 'T.Tafsily2, T.ProjectCod, T.ManabehCod, T.WhatDoc2, T.CodWhatDoc2, T.Des FROM #Note N '
  + 'INNER JOIN ' + @TarafTable + ' T ON N.Hand = 0 AND T.Serial = N.Serial '
  + 'AND LTRIM(RTRIM(T.SaftehNo)) = N.SoftehNo AND LTRIM(RTRIM(ISNULL(T.Joz, ''''))) = N.Joz '
  + 'UNION ALL SELECT N.Seq, T.Raj, T.SaftehValue, T.TahodValue, T.Koll, T.Moein, T.Tafsily, '
  + 'T.Tafsily2, T.ProjectCod, T.ManabehCod, T.WhatDoc2, T.CodWhatDoc2, T.Des FROM #Note N '
  + 'INNER JOIN ' + @TarafTable + '_Last T ON N.Hand = 1 AND T.Serial = N.Serial '
  + 'AND LTRIM(RTRIM(T.SaftehNo)) = N.SoftehNo AND LTRIM(RTRIM(ISNULL(T.Joz, ''''))) = N.Joz) X '
  + 'ORDER BY X.Seq, X.Raj')
-- A note's lines follow its own line in its document as lines 2, 3, ...
CREATE TABLE #First (NoteSeq int NULL, Seq int NULL)
INSERT INTO #First (NoteSeq, Seq) SELECT NoteSeq, MIN(Seq) FROM #Line GROUP BY NoteSeq
CREATE INDEX IX_First_Note ON #First (NoteSeq)

BEGIN TRAN
EXEC ('INSERT INTO N_SoftehTrans (Serial, Raj, WhatDoc, CodWhatDoc, SanadNo, SanadDate, AcountID, CashCod, '
  + 'SoftehNo, Joz, SodorDate, SarResidDate, SaftehValue, TahodValue, Getter, EghamatPlace, Address, Des, '
  + 'Havaleh, Tazmin) SELECT ' + @F + ' + N.Seq, 1, ''' + @Code + ''', '''', CAST(' + @F + ' + N.Seq AS varchar(20)), '''
  + @Date1 + ''', R.AcountID, R.CashCod, N.SoftehNo, N.Joz, R.SodorDate, R.SarResidDate, R.SaftehValue, '
  + 'R.TahodValue, R.Getter, R.EghamatPlace, R.Address, R.Des, R.Havaleh, R.Tazmin '
  + 'FROM #Note N INNER JOIN #Row R ON R.Seq = N.Seq')
EXEC ('INSERT INTO N_SoftehTrans (Serial, Raj, WhatDoc, CodWhatDoc, SanadNo, SanadDate, SoftehNo, Joz, '
  + 'SaftehValue, TahodValue, Koll, Moein, Tafsily, Tafsily2, ProjectCod, ManabehCod, WhatDoc2, CodWhatDoc2, Des) '
  + 'SELECT ' + @F + ' + L.NoteSeq, 2 + L.Seq - X.Seq, ''' + @Code + ''', '''', CAST(' + @F + ' + L.NoteSeq AS varchar(20)), '''
  + @Date1 + ''', '''', '''', L.Value, L.TahodValue, L.Koll, L.Moein, L.Tafsily, L.Tafsily2, L.ProjectCod, '
  + 'L.ManabehCod, L.WhatDoc2, L.CodWhatDoc2, L.Des FROM #Line L INNER JOIN #First X ON X.NoteSeq = L.NoteSeq')
EXEC ('INSERT INTO N_SoftehLastTrans (SoftehNo, Joz, WhatDoc, Serial, LastWhatDoc, LastDate) '
  + 'SELECT N.SoftehNo, N.Joz, ''' + @Kind + '1'', ' + @F + ' + N.Seq, ''' + @Code + ''', ''' + @Date1 + ''' FROM #Note N')
COMMIT
DROP TABLE #First
DROP TABLE #Line
DROP TABLE #Row
DROP TABLE #Note
