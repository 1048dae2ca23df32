-- Writes the sales documents of an import table (filled by sp_R_Asnad_Import_Perpar of the
-- source period) into this period: headers, lines, and from the companions @TableName + 'Fact',
-- 'Pay' and 'Serial' their invoice factors, cash payments (invoices only) and serial numbers.
-- A document of the table is the set of its rows with one SanadNoForosh; its number in the
-- source is the smallest OldSanadNoForosh among them. @Kind 'FACTOR' writes invoices, 'PREFACTOR'
-- pre-invoices, of kind @TypeAction ('1' sale, '2' return). The number depends on @Mode:
--   NEWID          every document gets a new number after the highest of its kind here, in the
--                  order of its date and then its number in the source.
--   OLDID_NEW      the document keeps its number; when this period already holds that number the
--                  document is not written.
--   OLDID_REPLACE  the document keeps its number; a document of that number here is deleted
--                  first, with its lines, factors, payments, serials and invoice type.
-- Numbers are written right-aligned to the width of the header's number column. Lines keep their
-- row numbers, unless several source documents became one (then they are numbered anew in source
-- order); serial numbers follow their line. The rows of documents that already existed here go to
-- @TableName + '_Repeaty', the others to @TableName + '_N_Repeaty', when those tables exist.
-- Returns one row: documents written, lines written, documents kept out, documents replaced,
-- factor rows, payment rows and serial rows written.
CREATE PROCEDURE sp_R_Asnad_Import_Applay
  @TableName varchar(200),
  @Mode varchar(20),
  @Kind varchar(20),
  @TypeAction varchar(5)
AS
SET XACT_ABORT ON
DECLARE @Head varchar(50), @Line varchar(50), @Fact varchar(50), @TypeFactor varchar(1)
DECLARE @Width int, @UserWidth int, @W varchar(10), @Max decimal(20, 0), @Count int
DECLARE @Columns varchar(2000), @Docs int, @Lines int, @Kept int, @Replaced int
DECLARE @Factors int, @Payments int, @Serials int

SET @TableName = LTRIM(RTRIM(ISNULL(@TableName, '')))
SET @Mode = UPPER(LTRIM(RTRIM(ISNULL(@Mode, ''))))
SET @Kind = UPPER(LTRIM(RTRIM(ISNULL(@Kind, ''))))
SET @TypeAction = LTRIM(RTRIM(ISNULL(@TypeAction, '')))
IF @Mode NOT IN ('NEWID', 'OLDID_NEW', 'OLDID_REPLACE')
BEGIN
  RAISERROR('sp_R_Asnad_Import_Applay: unknown mode ''%s''.', 16, 1, @Mode)
  RETURN
END
IF @Kind NOT IN ('FACTOR', 'PREFACTOR')
BEGIN
  RAISERROR('sp_R_Asnad_Import_Applay: unknown document kind ''%s''.', 16, 1, @Kind)
  RETURN
END
IF OBJECT_ID('tempdb..' + @TableName) IS NULL
BEGIN
  RAISERROR('sp_R_Asnad_Import_Applay: import table ''%s'' does not exist.', 16, 1, @TableName)
  RETURN
END

SET @Head = CASE @Kind WHEN 'FACTOR' THEN 'R_FactorForosh' ELSE 'R_PreFactorForosh' END
SET @Line = CASE @Kind WHEN 'FACTOR' THEN 'R_DetailFactorForosh' ELSE 'R_DetailPreFactorForosh' END
SET @Fact = CASE @Kind WHEN 'FACTOR' THEN 'R_Factor_Relate_FactCata' ELSE 'R_PreFactor_Relate_FactCata' END
SET @TypeFactor = CASE @Kind WHEN 'FACTOR' THEN '2' ELSE '1' END
SET @Width = COL_LENGTH(@Head, 'SanadNoForosh')
SET @W = CAST(@Width AS varchar(10))
SET @UserWidth = COL_LENGTH(@Head, 'User_Name')
SET @Columns = 'OldSanadNoForosh, SanadNoForosh, SanadNoForosh2, PreSanadNoForosh, SanadDate, '
  + 'TypeAction, TypeConvert, Abtal, Address, sDes, AnbarCod, CustomerCod, BazaryabCod, KalaCod, '
  + 'SerialSanadog, RetSerialSanadog, ComputerNam, Qty, Qty1, Qty2, FeeSell, SellValue, FeeBuy, '
  + 'BuyValue, FeeMasraf, MasrafValue, PercentTakfif, Takfif, SellPercent, SellTax, AmRate, '
  + 'AmValue, Daramad, CustomerNam, AnbarNam, KalaNam, BazaryabNam, Raj, SherCode, SalMale, '
  + 'sOrder, User_Name, IsEshantion, DesKala, TasvieDate, Ersalnum, MasrafCod'

-- One row per document of the table, in the order new numbers are given; the source numbers
-- each document stands for; its lines with their row numbers here.
CREATE TABLE #ImpDoc (Seq int IDENTITY(1, 1) NOT NULL, GrpNo varchar(50) NULL,
  OldNo varchar(50) NULL, NewNo varchar(50) NULL, FirstIdx int NULL, Act varchar(1) NULL)
CREATE TABLE #ImpOld (OldNo varchar(50) NULL, GrpNo varchar(50) NULL)
CREATE TABLE #ImpLine (Seq int IDENTITY(1, 1) NOT NULL, Idx int NULL, GrpNo varchar(50) NULL,
  OldNo varchar(50) NULL, Raj int NULL, NewRaj int NULL)
CREATE TABLE #ImpCount (What varchar(1) NULL, N int NULL)
CREATE TABLE #ImpMax (MaxNo decimal(20, 0) NULL)
EXEC ('INSERT INTO #ImpDoc (GrpNo, OldNo, FirstIdx, Act) SELECT SanadNoForosh, '
  + 'LTRIM(MIN(RIGHT(SPACE(20) + LTRIM(RTRIM(OldSanadNoForosh)), 20))), MIN(IDX), ''N'' FROM '
  + @TableName + ' GROUP BY SanadNoForosh '
  + 'ORDER BY MIN(SanadDate), MIN(RIGHT(SPACE(20) + LTRIM(RTRIM(OldSanadNoForosh)), 20))')
EXEC ('INSERT INTO #ImpOld (OldNo, GrpNo) SELECT DISTINCT LTRIM(RTRIM(OldSanadNoForosh)), '
  + 'SanadNoForosh FROM ' + @TableName)
EXEC ('INSERT INTO #ImpLine (Idx, GrpNo, OldNo, Raj) SELECT IDX, SanadNoForosh, '
  + 'LTRIM(RTRIM(OldSanadNoForosh)), Raj FROM ' + @TableName + ' WHERE Raj IS NOT NULL '
  + 'ORDER BY SanadNoForosh, RIGHT(SPACE(20) + LTRIM(RTRIM(OldSanadNoForosh)), 20), Raj, IDX')
CREATE INDEX IX_ImpOld ON #ImpOld (OldNo)
CREATE INDEX IX_ImpDoc ON #ImpDoc (GrpNo)
CREATE INDEX IX_ImpLine_Grp ON #ImpLine (GrpNo)
CREATE INDEX IX_ImpLine_Old ON #ImpLine (OldNo, Raj)
UPDATE L SET NewRaj = CASE WHEN G.Olds > 1 THEN L.Seq - G.FirstSeq + 1 ELSE L.Raj END
  FROM #ImpLine L INNER JOIN (SELECT GrpNo, MIN(Seq) AS FirstSeq, COUNT(DISTINCT OldNo) AS Olds
  FROM #ImpLine GROUP BY GrpNo) G ON G.GrpNo = L.GrpNo

IF @Mode = 'NEWID'
BEGIN
  EXEC ('INSERT INTO #ImpMax (MaxNo) SELECT ISNULL(MAX(CASE WHEN ISNUMERIC(SanadNoForosh) = 1 '
    + 'THEN CAST(LTRIM(RTRIM(SanadNoForosh)) AS decimal(20, 0)) END), 0) FROM ' + @Head
    + ' WHERE TypeAction = ''' + @TypeAction + '''')
  SELECT @Max = MaxNo FROM #ImpMax
  SELECT @Count = COUNT(*) FROM #ImpDoc
  IF LEN(CAST(CAST(@Max + @Count AS decimal(20, 0)) AS varchar(50))) > @Width
  BEGIN
    RAISERROR('sp_R_Asnad_Import_Applay: new numbers do not fit %d characters.', 16, 1, @Width)
    RETURN
  END
  UPDATE #ImpDoc SET NewNo = RIGHT(SPACE(@Width) + CAST(CAST(@Max + Seq AS decimal(20, 0)) AS varchar(50)), @Width)
END
ELSE
BEGIN
  UPDATE #ImpDoc SET NewNo = RIGHT(SPACE(@Width) + OldNo, @Width)
  -- This period stores its numbers right-aligned or, when typed by hand, as typed.
  EXEC ('UPDATE D SET Act = ''' + CASE @Mode WHEN 'OLDID_NEW' THEN 'K' ELSE 'R' END + ''' '
    + 'FROM #ImpDoc D INNER JOIN ' + @Head + ' H ON H.SanadNoForosh = D.NewNo '
    + 'AND H.TypeAction = ''' + @TypeAction + ''' '
    + 'UPDATE D SET Act = ''' + CASE @Mode WHEN 'OLDID_NEW' THEN 'K' ELSE 'R' END + ''' '
    + 'FROM #ImpDoc D INNER JOIN ' + @Head + ' H ON H.SanadNoForosh = D.OldNo '
    + 'AND H.TypeAction = ''' + @TypeAction + '''')
END

IF OBJECT_ID('tempdb..' + @TableName + '_Repeaty') IS NOT NULL
  EXEC ('DELETE FROM ' + @TableName + '_Repeaty INSERT INTO ' + @TableName + '_Repeaty ('
    + @Columns + ') SELECT ' + @Columns + ' FROM ' + @TableName + ' INNER JOIN #ImpDoc D '
    + 'ON D.GrpNo = SanadNoForosh WHERE D.Act <> ''N'' ORDER BY IDX')
IF OBJECT_ID('tempdb..' + @TableName + '_N_Repeaty') IS NOT NULL
  EXEC ('DELETE FROM ' + @TableName + '_N_Repeaty INSERT INTO ' + @TableName + '_N_Repeaty ('
    + @Columns + ') SELECT ' + @Columns + ' FROM ' + @TableName + ' INNER JOIN #ImpDoc D '
    + 'ON D.GrpNo = SanadNoForosh WHERE D.Act = ''N'' ORDER BY IDX')

BEGIN TRAN
IF @Mode = 'OLDID_REPLACE'
BEGIN
  CREATE TABLE #ImpGone (No varchar(50) NULL)
  INSERT INTO #ImpGone (No) SELECT OldNo FROM #ImpDoc WHERE Act = 'R'
  EXEC ('DELETE FROM ' + @Line + ' WHERE TypeAction = ''' + @TypeAction + ''' '
    + 'AND LTRIM(RTRIM(SanadNoForosh)) IN (SELECT No FROM #ImpGone) '
    + 'DELETE FROM ' + @Fact + ' WHERE TypeAction = ''' + @TypeAction + ''' '
    + 'AND LTRIM(RTRIM(SanadNoForosh)) IN (SELECT No FROM #ImpGone) '
    + 'DELETE FROM R_SellSerial WHERE TypeAction = ''' + @TypeAction + ''' '
    + 'AND TypeFactor = ''' + @TypeFactor + ''' '
    + 'AND LTRIM(RTRIM(SanadNoForosh)) IN (SELECT No FROM #ImpGone) '
    + 'DELETE FROM ' + @Head + ' WHERE TypeAction = ''' + @TypeAction + ''' '
    + 'AND LTRIM(RTRIM(SanadNoForosh)) IN (SELECT No FROM #ImpGone)')
  IF @Kind = 'FACTOR'
  BEGIN
    DELETE FROM R_NaghdPay WHERE TypeAction = @TypeAction
      AND LTRIM(RTRIM(SanadNoForosh)) IN (SELECT No FROM #ImpGone)
    DELETE FROM R_Factor_Relate_TypeFactor WHERE TypeAction = @TypeAction
      AND LTRIM(RTRIM(SanadNoforosh)) IN (SELECT No FROM #ImpGone)
  END
  DROP TABLE #ImpGone
END

EXEC ('INSERT INTO ' + @Head + ' (SanadNoForosh, TypeAction, SanadNoForosh2, PreSanadNoForosh, '
  + 'SanadDate, TypeConvert, Abtal, Address, sDes, AnbarCod, CustomerCod, BazaryabCod, '
  + 'SerialSanadog, RetSerialSanadog, ComputerNam, User_Name, TasvieDate, Ersalnum, MasrafCod) '
  + 'SELECT D.NewNo, ''' + @TypeAction + ''', '
  + 'CASE WHEN ISNULL(I.SanadNoForosh2, '''') = '''' THEN I.SanadNoForosh2 '
  + 'ELSE RIGHT(SPACE(' + @W + ') + I.SanadNoForosh2, ' + @W + ') END, '
  + 'CASE WHEN ISNULL(I.PreSanadNoForosh, '''') = '''' THEN I.PreSanadNoForosh '
  + 'ELSE RIGHT(SPACE(' + @W + ') + I.PreSanadNoForosh, ' + @W + ') END, '
  + 'I.SanadDate, I.TypeConvert, I.Abtal, I.Address, I.sDes, I.AnbarCod, I.CustomerCod, '
  + 'I.BazaryabCod, I.SerialSanadog, I.RetSerialSanadog, I.ComputerNam, '
  + 'LEFT(I.User_Name, ' + CAST(@UserWidth AS varchar(10)) + '), I.TasvieDate, I.Ersalnum, '
  + 'I.MasrafCod FROM #ImpDoc D INNER JOIN ' + @TableName + ' I ON I.IDX = D.FirstIdx '
  + 'WHERE D.Act <> ''K'' ORDER BY D.Seq '
  + 'INSERT INTO #ImpCount (What, N) SELECT ''D'', @@ROWCOUNT')
EXEC ('INSERT INTO ' + @Line + ' (SanadNoForosh, TypeAction, Raj, KalaCod, DesKala, Qty, Qty1, '
  + 'Qty2, FeeSell, SellValue, FeeBuy, BuyValue, FeeMasraf, MasrafValue, PercentTakfif, Takfif, '
  + 'SellPercent, SellTax, AmRate, AmValue, Daramad, IsEshantion) '
  + 'SELECT D.NewNo, ''' + @TypeAction + ''', L.NewRaj, I.KalaCod, I.DesKala, I.Qty, I.Qty1, '
  + 'I.Qty2, I.FeeSell, I.SellValue, I.FeeBuy, I.BuyValue, I.FeeMasraf, I.MasrafValue, '
  + 'I.PercentTakfif, I.Takfif, I.SellPercent, I.SellTax, I.AmRate, I.AmValue, I.Daramad, '
  + 'I.IsEshantion FROM #ImpLine L INNER JOIN #ImpDoc D ON D.GrpNo = L.GrpNo '
  + 'INNER JOIN ' + @TableName + ' I ON I.IDX = L.Idx WHERE D.Act <> ''K'' '
  + 'ORDER BY D.Seq, L.NewRaj '
  + 'INSERT INTO #ImpCount (What, N) SELECT ''L'', @@ROWCOUNT')
IF OBJECT_ID('tempdb..' + @TableName + 'Fact') IS NOT NULL
  EXEC ('INSERT INTO ' + @Fact + ' (SanadNoForosh, TypeAction, CatgagoryCod, CatgagoryNam, '
    + 'CatgagoryMetod, CatgagoryNerkh, CatgagorySign, CatgagorySignBazaryab, RowValue) '
    + 'SELECT D.NewNo, ''' + @TypeAction + ''', F.CatgagoryCod, F.CatgagoryNam, F.CatgagoryMetod, '
    + 'F.CatgagoryNerkh, F.CatgagorySign, F.CatgagorySignBazaryab, F.RowValue '
    + 'FROM ' + @TableName + 'Fact F INNER JOIN #ImpOld O ON O.OldNo = LTRIM(RTRIM(F.SanadNoForosh)) '
    + 'INNER JOIN #ImpDoc D ON D.GrpNo = O.GrpNo '
    + 'WHERE D.Act <> ''K'' AND F.TypeAction = ''' + @TypeAction + ''' '
    + 'INSERT INTO #ImpCount (What, N) SELECT ''F'', @@ROWCOUNT')
-- Cash payments belong to invoices; a pre-invoice of the same number never takes them.
IF @Kind = 'FACTOR' AND OBJECT_ID('tempdb..' + @TableName + 'Pay') IS NOT NULL
  EXEC ('INSERT INTO R_NaghdPay (SanadNoForosh, TypeAction, CustomerCod, SerialSanadog, Takfif, '
    + 'PayValue, CustomerNam) SELECT D.NewNo, ''' + @TypeAction + ''', P.CustomerCod, '
    + 'P.SerialSanadog, P.Takfif, P.PayValue, P.CustomerNam '
    + 'FROM ' + @TableName + 'Pay P INNER JOIN #ImpOld O ON O.OldNo = LTRIM(RTRIM(P.SanadNoForosh)) '
    + 'INNER JOIN #ImpDoc D ON D.GrpNo = O.GrpNo '
    + 'WHERE D.Act <> ''K'' AND P.TypeAction = ''' + @TypeAction + ''' '
    + 'INSERT INTO #ImpCount (What, N) SELECT ''P'', @@ROWCOUNT')
IF OBJECT_ID('tempdb..' + @TableName + 'Serial') IS NOT NULL
  EXEC ('INSERT INTO R_SellSerial (SanadNoForosh, TypeAction, TypeFactor, SellRaj, Raj, CountNo, '
    + 'KalaSerialNo, CreateDate, ExpDate) SELECT D.NewNo, ''' + @TypeAction + ''', S.TypeFactor, '
    + 'ISNULL(L.NewRaj, S.SellRaj), S.Raj, S.CountNo, S.KalaSerialNo, S.CreateDate, S.ExpDate '
    + 'FROM ' + @TableName + 'Serial S INNER JOIN #ImpOld O ON O.OldNo = LTRIM(RTRIM(S.SanadNoForosh)) '
    + 'INNER JOIN #ImpDoc D ON D.GrpNo = O.GrpNo '
    + 'LEFT OUTER JOIN #ImpLine L ON L.GrpNo = O.GrpNo AND L.OldNo = O.OldNo AND L.Raj = S.SellRaj '
    + 'WHERE D.Act <> ''K'' AND S.TypeAction = ''' + @TypeAction + ''' '
    + 'AND S.TypeFactor = ''' + @TypeFactor + ''' '
    + 'INSERT INTO #ImpCount (What, N) SELECT ''S'', @@ROWCOUNT')
COMMIT

SELECT @Docs = ISNULL(SUM(CASE WHEN What = 'D' THEN N ELSE 0 END), 0),
  @Lines = ISNULL(SUM(CASE WHEN What = 'L' THEN N ELSE 0 END), 0),
  @Factors = ISNULL(SUM(CASE WHEN What = 'F' THEN N ELSE 0 END), 0),
  @Payments = ISNULL(SUM(CASE WHEN What = 'P' THEN N ELSE 0 END), 0),
  @Serials = ISNULL(SUM(CASE WHEN What = 'S' THEN N ELSE 0 END), 0) FROM #ImpCount
SELECT @Kept = COUNT(*) FROM #ImpDoc WHERE Act = 'K'
SELECT @Replaced = COUNT(*) FROM #ImpDoc WHERE Act = 'R'
DROP TABLE #ImpDoc
DROP TABLE #ImpOld
DROP TABLE #ImpLine
DROP TABLE #ImpCount
DROP TABLE #ImpMax
SELECT @Docs AS Documents, @Lines AS Lines, @Kept AS Kept, @Replaced AS Replaced,
  @Factors AS Factors, @Payments AS Payments, @Serials AS Serials
