-- Prepares sales documents of this period for import into another one: fills the import table
-- @TableName (made here when missing) with one row per line of the chosen pre-invoices (@Letter
-- 'P') or invoices ('F') of kind @TypeAction ('1' sale, '2' return). Every row carries its
-- document's header fields, OldSanadNoForosh the document's number as stored here, and
-- SanadNoForosh the number it would get under new numbering: @sMax (the highest number of the
-- importing period) plus its place in date-then-number order. A document without lines still
-- gives one row, with Raj NULL.
--   NOCHANGE  every document as it stands.
--   DEAILY    documents of one day, customer, warehouse and marketer become one document (per
--             month with MONTLY, per year with YEARLY): its header is that of the smallest
--             number, its date the last one, its lines all the lines of its documents, each still
--             naming the document it came from in OldSanadNoForosh (so that its factors, payments
--             and serials follow it).
-- @AdamEntegal 'TRUE' leaves out pre-invoices that an invoice of this period was made from.
-- @Filter is a condition over the header P, beginning with "And", empty for every document.
-- sOrder orders the documents (date, then new number); a void document is marked ' A'.
CREATE PROCEDURE sp_R_Asnad_Import_Perpar
  @Mode varchar(20),
  @AdamEntegal varchar(10),
  @Letter varchar(5),
  @TableName varchar(200),
  @TypeAction varchar(5),
  @sMax varchar(50) = '0',
  @What varchar(20) = 'IMPORT',
  @Filter varchar(4000) = ''
AS
SET XACT_ABORT ON
DECLARE @Head varchar(50), @Line varchar(50), @Where varchar(5000), @Group varchar(500)
DECLARE @Max decimal(20, 0), @Count int, @Width int, @Db varchar(200), @SherCode varchar(10), @SalMale varchar(10)

SET @Mode = UPPER(LTRIM(RTRIM(ISNULL(@Mode, ''))))
SET @Letter = UPPER(LTRIM(RTRIM(ISNULL(@Letter, ''))))
SET @TableName = LTRIM(RTRIM(ISNULL(@TableName, '')))
SET @TypeAction = LTRIM(RTRIM(ISNULL(@TypeAction, '')))
SET @Filter = LTRIM(RTRIM(ISNULL(@Filter, '')))
IF @Mode NOT IN ('NOCHANGE', 'DEAILY', 'MONTLY', 'YEARLY')
BEGIN
  RAISERROR('sp_R_Asnad_Import_Perpar: unknown mode ''%s''.', 16, 1, @Mode)
  RETURN
END
IF @Letter NOT IN ('F', 'P')
BEGIN
  RAISERROR('sp_R_Asnad_Import_Perpar: unknown document letter ''%s''.', 16, 1, @Letter)
  RETURN
END
IF @TableName = ''
BEGIN
  RAISERROR('sp_R_Asnad_Import_Perpar: no import table name given.', 16, 1)
  RETURN
END

SET @Head = CASE @Letter WHEN 'P' THEN 'R_PreFactorForosh' ELSE 'R_FactorForosh' END
SET @Line = CASE @Letter WHEN 'P' THEN 'R_DetailPreFactorForosh' ELSE 'R_DetailFactorForosh' END
SET @sMax = LTRIM(RTRIM(ISNULL(@sMax, '')))
SET @Max = CASE WHEN ISNUMERIC(@sMax) = 1 THEN CAST(@sMax AS decimal(20, 0)) ELSE 0 END
-- "KELVARO_" + code + "_" + four-digit year.
SET @Db = DB_NAME()
SET @SherCode = CASE WHEN LEN(@Db) > 13 THEN SUBSTRING(@Db, 9, LEN(@Db) - 13) ELSE '' END
SET @SalMale = RIGHT(@Db, 4)

IF OBJECT_ID('tempdb..' + @TableName) IS NULL
  EXEC ('CREATE TABLE ' + @TableName + ' (IDX int IDENTITY(1, 1) NOT NULL, '
    + 'OldSanadNoForosh varchar(20) NULL, SanadNoForosh varchar(20) NULL, '
    + 'SanadNoForosh2 varchar(20) NULL, PreSanadNoForosh varchar(20) NULL, '
    + 'SanadDate varchar(10) NULL, TypeAction varchar(5) NULL, TypeConvert varchar(5) NULL, '
    + 'Abtal varchar(1) NULL, Address varchar(500) NULL, sDes varchar(500) NULL, '
    + 'AnbarCod varchar(20) NULL, CustomerCod varchar(20) NULL, BazaryabCod varchar(20) NULL, '
    + 'KalaCod varchar(20) NULL, SerialSanadog varchar(20) NULL, RetSerialSanadog varchar(20) NULL, '
    + 'ComputerNam varchar(500) NULL, Qty float NULL, Qty1 float NULL, Qty2 float NULL, '
    + 'FeeSell float NULL, SellValue float NULL, FeeBuy float NULL, BuyValue float NULL, '
    + 'FeeMasraf float NULL, MasrafValue float NULL, PercentTakfif float NULL, Takfif float NULL, '
    + 'SellPercent float NULL, SellTax float NULL, AmRate float NULL, AmValue float NULL, '
    + 'Daramad float NULL, CustomerNam varchar(100) NULL, AnbarNam varchar(100) NULL, '
    + 'KalaNam varchar(100) NULL, BazaryabNam varchar(100) NULL, Raj int NULL, '
    + 'SherCode varchar(4) NULL, SalMale varchar(4) NULL, sOrder varchar(500) NULL, '
    + 'User_Name varchar(50) NULL, IsEshantion varchar(2) NULL, DesKala varchar(200) NULL, '
    + 'TasvieDate varchar(10) NULL, Ersalnum varchar(10) NULL, MasrafCod varchar(20) NULL)')

SET @Where = ' WHERE P.TypeAction = ''' + @TypeAction + ''''
IF @Letter = 'P' AND UPPER(LTRIM(RTRIM(ISNULL(@AdamEntegal, '')))) = 'TRUE'
  SET @Where = @Where + ' AND NOT EXISTS (SELECT * FROM R_FactorForosh F '
    + 'WHERE F.TypeAction = P.TypeAction '
    + 'AND LTRIM(RTRIM(ISNULL(F.PreSanadNoForosh, ''''))) = LTRIM(RTRIM(P.SanadNoForosh)))'
IF @Filter <> '' SET @Where = @Where + ' ' + @Filter

SET @Group = CASE @Mode
  WHEN 'NOCHANGE' THEN 'RIGHT(SPACE(20) + LTRIM(RTRIM(P.SanadNoForosh)), 20)'
  WHEN 'DEAILY' THEN 'ISNULL(P.SanadDate, '''')'
  WHEN 'MONTLY' THEN 'LEFT(ISNULL(P.SanadDate, ''''), 7)'
  ELSE 'LEFT(ISNULL(P.SanadDate, ''''), 4)' END
IF @Mode <> 'NOCHANGE'
  SET @Group = @Group + ' + ''|'' + ISNULL(P.CustomerCod, '''') + ''|'' + ISNULL(P.AnbarCod, '''') '
    + '+ ''|'' + ISNULL(P.BazaryabCod, '''') + ''|'' + ISNULL(P.Abtal, '''')'

-- The chosen documents, and the documents they become.
CREATE TABLE #PrepDoc (RawNo varchar(50) NULL, OldNo varchar(50) NULL, GroupKey varchar(300) NULL,
  SanadDate varchar(10) NULL, GrpSeq int NULL)
CREATE TABLE #PrepGrp (Seq int IDENTITY(1, 1) NOT NULL, GroupKey varchar(300) NULL,
  FirstNo varchar(50) NULL, FirstRaw varchar(50) NULL, GroupDate varchar(10) NULL,
  NewNo varchar(50) NULL)
EXEC ('INSERT INTO #PrepDoc (RawNo, OldNo, GroupKey, SanadDate) SELECT P.SanadNoForosh, '
  + 'LTRIM(RTRIM(P.SanadNoForosh)), ' + @Group + ', ISNULL(P.SanadDate, '''') FROM ' + @Head
  + ' P' + @Where)
INSERT INTO #PrepGrp (GroupKey, FirstNo, GroupDate)
  SELECT GroupKey, LTRIM(MIN(RIGHT(SPACE(20) + OldNo, 20))), MAX(SanadDate) FROM #PrepDoc
  GROUP BY GroupKey ORDER BY MAX(SanadDate), MIN(RIGHT(SPACE(20) + OldNo, 20))
-- New numbers that would not fit the number column are counted from 1 instead: the importing
-- period refuses them anyway, and the documents still need numbers of their own here.
SELECT @Count = COUNT(*) FROM #PrepGrp
SET @Width = ISNULL(COL_LENGTH('tempdb..' + @TableName, 'SanadNoForosh'), 20)
IF LEN(CAST(CAST(@Max + @Count AS decimal(20, 0)) AS varchar(50))) > @Width SET @Max = 0
UPDATE #PrepGrp SET NewNo = CAST(CAST(@Max + Seq AS decimal(20, 0)) AS varchar(50))
-- Each document's summary by its sequence, and the document whose header the summary takes.
CREATE INDEX IX_PrepDoc_Key ON #PrepDoc (GroupKey)
CREATE INDEX IX_PrepGrp_Key ON #PrepGrp (GroupKey)
CREATE INDEX IX_PrepGrp_Seq ON #PrepGrp (Seq)
UPDATE D SET GrpSeq = G.Seq FROM #PrepDoc D INNER JOIN #PrepGrp G ON G.GroupKey = D.GroupKey
UPDATE G SET FirstRaw = D.RawNo FROM #PrepGrp G INNER JOIN #PrepDoc D
  ON D.GroupKey = G.GroupKey AND D.OldNo = G.FirstNo

BEGIN TRAN
EXEC ('INSERT INTO ' + @TableName + ' (OldSanadNoForosh, SanadNoForosh, SanadNoForosh2, '
  + 'PreSanadNoForosh, SanadDate, TypeAction, TypeConvert, Abtal, Address, sDes, AnbarCod, '
  + 'CustomerCod, BazaryabCod, KalaCod, SerialSanadog, RetSerialSanadog, ComputerNam, Qty, Qty1, '
  + 'Qty2, FeeSell, SellValue, FeeBuy, BuyValue, FeeMasraf, MasrafValue, PercentTakfif, Takfif, '
  + 'SellPercent, SellTax, AmRate, AmValue, Daramad, CustomerNam, AnbarNam, KalaNam, BazaryabNam, '
  + 'Raj, SherCode, SalMale, sOrder, User_Name, IsEshantion, DesKala, TasvieDate, Ersalnum, '
  + 'MasrafCod) '
  + 'SELECT D.RawNo, G.NewNo, LTRIM(RTRIM(ISNULL(H.SanadNoForosh2, ''''))), '
  + 'LTRIM(RTRIM(ISNULL(H.PreSanadNoForosh, ''''))), G.GroupDate, H.TypeAction, H.TypeConvert, '
  + 'H.Abtal, H.Address, H.sDes, H.AnbarCod, H.CustomerCod, H.BazaryabCod, L.KalaCod, '
  + 'H.SerialSanadog, H.RetSerialSanadog, H.ComputerNam, L.Qty, L.Qty1, L.Qty2, L.FeeSell, '
  + 'L.SellValue, L.FeeBuy, L.BuyValue, L.FeeMasraf, L.MasrafValue, L.PercentTakfif, L.Takfif, '
  + 'L.SellPercent, L.SellTax, L.AmRate, L.AmValue, L.Daramad, C.CustomerNam, A.AnbarNam, '
  + 'K.KalaNam, B.BazaryabNam, L.Raj, ''' + @SherCode + ''', ''' + @SalMale + ''', '
  + 'G.GroupDate + RIGHT(SPACE(20) + G.NewNo, 20) '
  + '+ CASE WHEN ISNULL(H.Abtal, '''') IN (''T'', ''1'') THEN '' A'' ELSE '''' END, '
  + 'H.User_Name, L.IsEshantion, L.DesKala, H.TasvieDate, H.Ersalnum, H.MasrafCod '
  + 'FROM #PrepDoc D INNER JOIN #PrepGrp G ON G.Seq = D.GrpSeq '
  + 'INNER JOIN ' + @Head + ' H ON H.SanadNoForosh = G.FirstRaw '
  + 'AND H.TypeAction = ''' + @TypeAction + ''' '
  + 'LEFT OUTER JOIN ' + @Line + ' L ON L.SanadNoForosh = D.RawNo AND L.TypeAction = ''' + @TypeAction + ''' '
  + 'LEFT OUTER JOIN Kala K ON K.KalaCod = L.KalaCod '
  + 'LEFT OUTER JOIN Anbar A ON A.AnbarCod = H.AnbarCod '
  + 'LEFT OUTER JOIN R_Customer C ON C.CustomerCod = H.CustomerCod '
  + 'LEFT OUTER JOIN R_Bazaryab B ON B.BazaryabCod = H.BazaryabCod '
  + 'ORDER BY G.Seq, RIGHT(SPACE(20) + D.OldNo, 20), L.Raj')
COMMIT
DROP TABLE #PrepDoc
DROP TABLE #PrepGrp
