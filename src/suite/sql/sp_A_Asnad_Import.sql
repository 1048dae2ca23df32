-- Writes the documents of an inventory import table (filled by sp_A_Asnad_Import_Perpar of the
-- source period, or with the source's closing stock as opening stock) into this period. A
-- document of the table is the set of its lines with one code, warehouse and number
-- (OldDocument); it goes to the tables of its family: A_TranID/A_TranSanj/A_TranSerial, drafts
-- (300, 500) to A_TranSanj_Movagat as 30 and 50, temporary receipts (400) to A_InterimTranID
-- and its lines, item requests (600) to A_TranIDKALAREQ and its lines. Its number here by @Mode:
--   NEWID           the new number of sp_A_Asnad_Import_NewNo (transfer halves share one);
--   OLDID           the old number; when this period holds that code, warehouse and number the
--                   lines are added to that document after its last line;
--   OLDID_NOCHANGE  the old number; when this period holds it the document is not written;
--   REPLACE         the old number; a document of that number here keeps its header (and its
--                   TranID) and loses its lines, serial numbers, tax lines, receipt factors,
--                   headings and shipping to the incoming ones;
--                   when the caller left the bounds of what it chose here (@TableName + '_Cond'
--                   for documents, + '_CondMovagat' for drafts), only a document inside them.
-- Numbers are written right-aligned to the width of A_TranID.Document.
-- @SourceDb is the database the documents came from (the source period, or the mirror of a
-- remote one): serial numbers, tax lines, receipt factors, expense headings and shipping details
-- follow their documents from there; opening stock made from closing stock takes the serial
-- numbers still on the source's shelves (sp_A_Rep_MojodiSerial there). @FromAnbar and @ToAnbar
-- bound the warehouses (the receiving one for the incoming half of a transfer); @WhatDoc the code
-- ('1000' every code, '85' transfers with their halves 80).
-- SherCode and SalMale become this period's company code and year.
-- Returns one row: documents written, lines written, documents kept out, replaced, merged, and
-- serial numbers written.
CREATE PROCEDURE sp_A_Asnad_Import
  @Mode varchar(20),
  @TableName varchar(200),
  @SourceDb varchar(200) = '',
  @FromAnbar varchar(50) = '',
  @ToAnbar varchar(50) = '',
  @WhatDoc varchar(4) = '1000'
AS
SET XACT_ABORT ON
DECLARE @Width int, @UserWidth int, @Db varchar(200), @SherCode varchar(10), @SalMale varchar(10)
DECLARE @Where varchar(2000), @Src varchar(300), @Fam varchar(1), @HeadT varchar(50),
  @LineT varchar(50), @SerT varchar(50), @I int, @MaxTran int, @Lines varchar(2000),
  @Cond varchar(250)
DECLARE @Docs int, @LineCount int, @Kept int, @Replaced int, @Merged int, @Serials int, @Before int

SET @Mode = UPPER(LTRIM(RTRIM(ISNULL(@Mode, ''))))
SET @TableName = LTRIM(RTRIM(ISNULL(@TableName, '')))
SET @WhatDoc = LTRIM(RTRIM(ISNULL(@WhatDoc, '1000')))
IF @Mode NOT IN ('NEWID', 'OLDID', 'OLDID_NOCHANGE', 'REPLACE')
BEGIN
  RAISERROR('sp_A_Asnad_Import: unknown mode ''%s''.', 16, 1, @Mode)
  RETURN
END
IF OBJECT_ID('tempdb..' + @TableName) IS NULL AND OBJECT_ID(@TableName) IS NULL
BEGIN
  RAISERROR('sp_A_Asnad_Import: import table ''%s'' does not exist.', 16, 1, @TableName)
  RETURN
END

SET @Width = COL_LENGTH('A_TranID', 'Document')
SET @UserWidth = COL_LENGTH('A_TranID', 'User_Name')
SET @Db = DB_NAME()
SET @SherCode = CASE WHEN LEN(@Db) > 13 THEN SUBSTRING(@Db, 9, LEN(@Db) - 13) ELSE '' END
SET @SalMale = CASE WHEN LEN(@Db) > 13 THEN RIGHT(@Db, 4) ELSE '' END
SET @Src = CASE WHEN LTRIM(RTRIM(ISNULL(@SourceDb, ''))) = '' THEN '' ELSE LTRIM(RTRIM(@SourceDb)) + '..' END
SELECT @Before = (SELECT COUNT(*) FROM A_TranSerial) + (SELECT COUNT(*) FROM A_InterimTranSerial)
  + (SELECT COUNT(*) FROM A_TranSerialKALAREQ)

SET @Where = ' WHERE KalaCod IS NOT NULL'
  + CASE WHEN @WhatDoc IN ('', '1000') THEN ''
    WHEN @WhatDoc = '85' THEN ' AND WhatDoc IN (''85'', ''80'')'
    ELSE ' AND WhatDoc = ''' + @WhatDoc + '''' END
IF ISNULL(@FromAnbar, '') <> ''
  SET @Where = @Where + ' AND (CASE WHEN WhatDoc = ''80'' THEN TransStore ELSE AnbarCod END) >= '''
    + REPLACE(@FromAnbar, '''', '''''') + ''''
IF ISNULL(@ToAnbar, '') <> ''
  SET @Where = @Where + ' AND (CASE WHEN WhatDoc = ''80'' THEN TransStore ELSE AnbarCod END) <= '''
    + REPLACE(@ToAnbar, '''', '''''') + ''''

IF @Mode = 'NEWID' EXEC sp_A_Asnad_Import_NewNo @TableName

CREATE TABLE #ImpDoc (Seq int IDENTITY(1, 1) NOT NULL, Fam varchar(1) NULL, WhatDoc varchar(3) NULL,
  StoreDoc varchar(3) NULL, AnbarCod varchar(50) NULL, OldNo varchar(50) NULL, NewNo varchar(50) NULL,
  SrcTranID int NULL, DocDate varchar(10) NULL, PersonelCod varchar(50) NULL,
  UserName varchar(100) NULL, TypeSys varchar(2) NULL, TypeSys2 varchar(2) NULL,
  TransStore varchar(50) NULL, MDes varchar(500) NULL, Act varchar(1) NULL, DestTranID int NULL,
  RajBase int NULL, Lines int NULL)
CREATE TABLE #Gone (TranID int NULL)
CREATE TABLE #MaxTran (TranID int NULL)
EXEC ('INSERT INTO #ImpDoc (WhatDoc, AnbarCod, OldNo, NewNo, SrcTranID, DocDate, PersonelCod, '
  + 'UserName, TypeSys, TypeSys2, TransStore, MDes, Lines) SELECT WhatDoc, AnbarCod, '
  + 'LTRIM(RTRIM(OldDocument)), MAX(Document2), MIN(TranID), MIN(DocDate), MAX(PersonelCod), '
  + 'MAX(User_Name), MAX(TypeSys), MAX(TypeSys2), MAX(TransStore), MAX(MDes), COUNT(*) FROM '
  + @TableName + @Where + ' GROUP BY WhatDoc, AnbarCod, LTRIM(RTRIM(OldDocument)) '
  + 'ORDER BY AnbarCod, WhatDoc, MIN(TranID), RIGHT(SPACE(20) + LTRIM(RTRIM(OldDocument)), 20)')
UPDATE #ImpDoc SET Fam = CASE WhatDoc WHEN '300' THEN 'M' WHEN '500' THEN 'M' WHEN '400' THEN 'I'
    WHEN '600' THEN 'R' ELSE 'A' END,
  StoreDoc = CASE WHEN WhatDoc IN ('300', '500') THEN LEFT(WhatDoc, 2) ELSE WhatDoc END,
  Act = 'N', RajBase = 0,
  NewNo = CASE WHEN @Mode = 'NEWID' AND LTRIM(RTRIM(ISNULL(NewNo, ''))) <> '' THEN NewNo
    ELSE RIGHT(SPACE(@Width) + OldNo, @Width) END

BEGIN TRAN
IF @Mode <> 'NEWID'
BEGIN
  -- Documents of the same code, warehouse and number already here.
  SET @I = 1
  WHILE @I <= 4
  BEGIN
    SET @Fam = SUBSTRING('AIRM', @I, 1)
    SET @HeadT = CASE @Fam WHEN 'A' THEN 'A_TranID' WHEN 'I' THEN 'A_InterimTranID'
      WHEN 'R' THEN 'A_TranIDKALAREQ' ELSE 'A_TranSanj_Movagat' END
    SET @LineT = CASE @Fam WHEN 'A' THEN 'A_TranSanj' WHEN 'I' THEN 'A_InterimTranSanj'
      WHEN 'R' THEN 'A_TranSanjKALAREQ' ELSE 'A_TranSanj_Movagat' END
    EXEC ('UPDATE D SET Act = CASE ''' + @Mode + ''' WHEN ''OLDID'' THEN ''M'' '
      + 'WHEN ''OLDID_NOCHANGE'' THEN ''K'' ELSE ''R'' END, '
      + 'DestTranID = CASE WHEN ''' + @Mode + ''' IN (''OLDID'', ''REPLACE'') THEN E.TranID ELSE NULL END '
      + 'FROM #ImpDoc D INNER JOIN (SELECT WhatDoc, AnbarCod, LTRIM(RTRIM(Document)) AS No, '
      + 'MIN(TranID) AS TranID FROM ' + @HeadT + ' GROUP BY WhatDoc, AnbarCod, LTRIM(RTRIM(Document))) E '
      + 'ON E.WhatDoc = D.StoreDoc AND E.AnbarCod = D.AnbarCod AND E.No = D.OldNo '
      + 'WHERE D.Fam = ''' + @Fam + '''')
    IF @Mode = 'OLDID' AND @Fam <> 'M'
      EXEC ('UPDATE D SET RajBase = X.LastRaj FROM #ImpDoc D INNER JOIN (SELECT TranID, '
        + 'ISNULL(MAX(Raj), 0) AS LastRaj FROM ' + @LineT + ' GROUP BY TranID) X '
        + 'ON X.TranID = D.DestTranID WHERE D.Act = ''M'' AND D.Fam = ''' + @Fam + '''')
    IF @Mode = 'OLDID' AND @Fam = 'M'
      UPDATE D SET RajBase = X.LastRaj FROM #ImpDoc D INNER JOIN (SELECT WhatDoc, AnbarCod,
        LTRIM(RTRIM(Document)) AS No, ISNULL(MAX(Raj), 0) AS LastRaj FROM A_TranSanj_Movagat
        GROUP BY WhatDoc, AnbarCod, LTRIM(RTRIM(Document))) X ON X.WhatDoc = D.StoreDoc
        AND X.AnbarCod = D.AnbarCod AND X.No = D.OldNo WHERE D.Act = 'M' AND D.Fam = 'M'
    -- A replacing import replaces only what this period holds inside the chosen type and ranges
    -- (the caller's @TableName + '_Cond' and '_CondMovagat', per code and warehouse); a document
    -- of the same number outside them is kept, and the incoming one with it.
    IF @Mode = 'REPLACE' AND @Fam IN ('A', 'M')
    BEGIN
      SET @Cond = @TableName + CASE @Fam WHEN 'A' THEN '_Cond' ELSE '_CondMovagat' END
      IF OBJECT_ID('tempdb..' + @Cond) IS NOT NULL OR OBJECT_ID(@Cond) IS NOT NULL
        EXEC ('UPDATE D SET Act = ''K'' FROM #ImpDoc D WHERE D.Fam = ''' + @Fam + ''' '
          + 'AND D.Act = ''R'' AND NOT EXISTS (SELECT * FROM ' + @HeadT + ' H INNER JOIN '
          + @Cond + ' C ON C.WhatDoc = H.WhatDoc AND C.AnbarCod = H.AnbarCod '
          + 'WHERE H.WhatDoc = D.StoreDoc AND H.AnbarCod = D.AnbarCod '
          + 'AND LTRIM(RTRIM(H.Document)) = D.OldNo '
          + 'AND ISNULL(H.DocDate, '''') BETWEEN ISNULL(C.MinDate, '''') AND ISNULL(C.MaxDate, '''') '
          + 'AND RIGHT(SPACE(20) + LTRIM(RTRIM(H.Document)), 20) BETWEEN C.MinDoc AND C.MaxDoc)')
    END
    IF @Mode = 'REPLACE' AND @Fam = 'M'
      DELETE FROM A_TranSanj_Movagat WHERE EXISTS (SELECT * FROM #ImpDoc D WHERE D.Fam = 'M'
        AND D.Act = 'R' AND D.StoreDoc = A_TranSanj_Movagat.WhatDoc
        AND D.AnbarCod = A_TranSanj_Movagat.AnbarCod
        AND D.OldNo = LTRIM(RTRIM(A_TranSanj_Movagat.Document)))
    IF @Mode = 'REPLACE' AND @Fam <> 'M'
    BEGIN
      DELETE FROM #Gone
      EXEC ('INSERT INTO #Gone (TranID) SELECT H.TranID FROM ' + @HeadT + ' H INNER JOIN #ImpDoc D '
        + 'ON H.WhatDoc = D.StoreDoc AND H.AnbarCod = D.AnbarCod AND LTRIM(RTRIM(H.Document)) = D.OldNo '
        + 'WHERE D.Act = ''R'' AND D.Fam = ''' + @Fam + '''')
      SET @SerT = CASE @Fam WHEN 'A' THEN 'A_TranSerial' WHEN 'I' THEN 'A_InterimTranSerial'
        ELSE 'A_TranSerialKALAREQ' END
      -- The replaced document keeps its header, and so its TranID, for whatever refers to it;
      -- everything under it is written anew.
      EXEC ('DELETE FROM ' + @SerT + ' WHERE TranID IN (SELECT TranID FROM #Gone) '
        + 'DELETE FROM ' + @LineT + ' WHERE TranID IN (SELECT TranID FROM #Gone) '
        + 'DELETE FROM ' + @HeadT + ' WHERE TranID IN (SELECT TranID FROM #Gone) '
        + 'AND TranID NOT IN (SELECT DestTranID FROM #ImpDoc WHERE Act = ''R'' AND Fam = ''' + @Fam
        + ''' AND DestTranID IS NOT NULL) '
        + 'UPDATE H SET Document = D.NewNo, DocDate = D.DocDate, PersonelCod = D.PersonelCod, '
        + 'User_Name = LEFT(D.UserName, ' + CAST(@UserWidth AS varchar(10)) + '), '
        + 'TypeSys = D.TypeSys, TypeSys2 = D.TypeSys2, TransStore = D.TransStore, MDes = D.MDes, '
        + 'SherCode = ''' + @SherCode + ''', SalMale = ''' + @SalMale + ''' FROM ' + @HeadT + ' H '
        + 'INNER JOIN #ImpDoc D ON D.DestTranID = H.TranID WHERE D.Act = ''R'' AND D.Fam = ''' + @Fam + '''')
      IF @Fam = 'A'
      BEGIN
        DELETE FROM A_TranTax WHERE TranID IN (SELECT TranID FROM #Gone)
        DELETE FROM Avamel_Resid WHERE TranID IN (SELECT TranID FROM #Gone)
        DELETE FROM SarfaslMasraf WHERE TranID IN (SELECT TranID FROM #Gone)
        DELETE FROM A_HamlInfo WHERE TranID IN (SELECT TranID FROM #Gone)
      END
    END
    SET @I = @I + 1
  END
END

SET @Lines = 'Qty, Qty1, Qty2, Fee, Price, TQty, TQty1, TQty2, QtyReq, Qty1Req, Qty2Req, QtyOK, '
  + 'Qty1OK, Qty2OK, DateReq, Check_Price'
SET @I = 1
WHILE @I <= 3
BEGIN
  SET @Fam = SUBSTRING('AIR', @I, 1)
  SET @HeadT = CASE @Fam WHEN 'A' THEN 'A_TranID' WHEN 'I' THEN 'A_InterimTranID' ELSE 'A_TranIDKALAREQ' END
  SET @LineT = CASE @Fam WHEN 'A' THEN 'A_TranSanj' WHEN 'I' THEN 'A_InterimTranSanj' ELSE 'A_TranSanjKALAREQ' END
  SET @SerT = CASE @Fam WHEN 'A' THEN 'A_TranSerial' WHEN 'I' THEN 'A_InterimTranSerial' ELSE 'A_TranSerialKALAREQ' END
  IF EXISTS (SELECT * FROM #ImpDoc WHERE Fam = @Fam AND Act <> 'K')
  BEGIN
    DELETE FROM #MaxTran
    EXEC ('INSERT INTO #MaxTran (TranID) SELECT ISNULL(MAX(TranID), 0) FROM ' + @HeadT)
    SELECT @MaxTran = TranID FROM #MaxTran
    EXEC ('INSERT INTO ' + @HeadT + ' (WhatDoc, AnbarCod, Document, DocDate, PersonelCod, User_Name, '
      + 'TypeSys, TypeSys2, TransStore, MDes, SherCode, SalMale) SELECT StoreDoc, AnbarCod, NewNo, '
      + 'DocDate, PersonelCod, LEFT(UserName, ' + CAST(@UserWidth AS varchar(10)) + '), TypeSys, '
      + 'TypeSys2, TransStore, MDes, ''' + @SherCode + ''', ''' + @SalMale + ''' FROM #ImpDoc '
      + 'WHERE Fam = ''' + @Fam + ''' AND Act = ''N'' ORDER BY Seq')
    EXEC ('UPDATE D SET DestTranID = H.TranID FROM #ImpDoc D INNER JOIN ' + @HeadT + ' H '
      + 'ON H.WhatDoc = D.StoreDoc AND H.AnbarCod = D.AnbarCod AND H.Document = D.NewNo '
      + 'WHERE H.TranID > ' + CAST(@MaxTran AS varchar(20)) + ' AND D.Fam = ''' + @Fam + ''' '
      + 'AND D.Act = ''N''')
    EXEC ('INSERT INTO ' + @LineT + ' (TranID, Raj, KalaCod, DesKala, MasrafCod, Tafsily2, '
      + 'SellersCod, CustomerCod, Buy_Sell_No, ' + @Lines + ') SELECT D.DestTranID, '
      + 'D.RajBase + I.Raj, I.KalaCod, I.DesKala, I.MasrafCod, I.Tafsily2, I.SellersCod, '
      + 'I.CustomerCod, I.Buy_Sell_No, I.Qty, I.Qty1, I.Qty2, I.Fee, I.Price, I.TQty, I.TQty1, '
      + 'I.TQty2, I.QtyReq, I.Qty1Req, I.Qty2Req, I.QtyOK, I.Qty1OK, I.Qty2OK, I.DateReq, '
      + 'I.Check_Price FROM ' + @TableName + ' I INNER JOIN #ImpDoc D ON D.WhatDoc = I.WhatDoc '
      + 'AND D.AnbarCod = I.AnbarCod AND D.OldNo = LTRIM(RTRIM(I.OldDocument)) '
      + 'WHERE I.KalaCod IS NOT NULL AND D.Act <> ''K'' AND D.Fam = ''' + @Fam + ''' '
      + 'ORDER BY D.Seq, I.Raj, I.IDX')
    IF @Src <> ''
      EXEC ('INSERT INTO ' + @SerT + ' (TranID, Raj, KalaCod, KalaSerialNo, CreateDate, ExpDate) '
        + 'SELECT D.DestTranID, D.RajBase + S.Raj, S.KalaCod, S.KalaSerialNo, S.CreateDate, '
        + 'S.ExpDate FROM ' + @Src + @SerT + ' S INNER JOIN #ImpDoc D ON D.SrcTranID = S.TranID '
        + 'WHERE D.Act <> ''K'' AND D.Fam = ''' + @Fam + '''')
  END
  SET @I = @I + 1
END

IF @Src <> '' AND EXISTS (SELECT * FROM #ImpDoc WHERE Fam = 'A' AND Act IN ('N', 'R') AND SrcTranID IS NOT NULL)
  EXEC ('INSERT INTO A_TranTax (TranID, Raj, TaxCod, TaxNerkh, TaxValue) '
    + 'SELECT D.DestTranID, S.Raj, S.TaxCod, S.TaxNerkh, S.TaxValue FROM ' + @Src + 'A_TranTax S '
    + 'INNER JOIN #ImpDoc D ON D.SrcTranID = S.TranID WHERE D.Fam = ''A'' AND D.Act IN (''N'', ''R'') '
    + 'INSERT INTO Avamel_Resid (TranID, Serial, CatgagoryCode, CatgagoryName, CatgagoryType, '
    + 'CatgagoryMetod, CatgagoryValue) SELECT D.DestTranID, S.Serial, S.CatgagoryCode, '
    + 'S.CatgagoryName, S.CatgagoryType, S.CatgagoryMetod, S.CatgagoryValue FROM ' + @Src
    + 'Avamel_Resid S INNER JOIN #ImpDoc D ON D.SrcTranID = S.TranID '
    + 'WHERE D.Fam = ''A'' AND D.Act IN (''N'', ''R'') '
    + 'INSERT INTO SarfaslMasraf (TranID, Raj, Koll, Moein, Tafsily, Tafsily2, ProjectCod, Mablagh) '
    + 'SELECT D.DestTranID, S.Raj, S.Koll, S.Moein, S.Tafsily, S.Tafsily2, S.ProjectCod, S.Mablagh '
    + 'FROM ' + @Src + 'SarfaslMasraf S INNER JOIN #ImpDoc D ON D.SrcTranID = S.TranID '
    + 'WHERE D.Fam = ''A'' AND D.Act IN (''N'', ''R'') '
    + 'INSERT INTO A_HamlInfo (TranID, Ranandeh, Pelak, BarnamehNo, HamlValue) '
    + 'SELECT D.DestTranID, S.Ranandeh, S.Pelak, S.BarnamehNo, S.HamlValue FROM ' + @Src
    + 'A_HamlInfo S INNER JOIN #ImpDoc D ON D.SrcTranID = S.TranID '
    + 'WHERE D.Fam = ''A'' AND D.Act IN (''N'', ''R'')')

-- Opening stock made from closing stock: the serial numbers still on the source's shelves.
IF @Src <> '' AND EXISTS (SELECT * FROM #ImpDoc WHERE StoreDoc = '10' AND SrcTranID IS NULL AND Act <> 'K')
BEGIN
  CREATE TABLE #OpenSerial (AnbarCod varchar(50) NULL, KalaCod varchar(50) NULL,
    KalaSerialNo varchar(500) NULL, CreateDate varchar(10) NULL, ExpDate varchar(10) NULL, Mand int NULL)
  EXEC (@Src + 'sp_A_Rep_MojodiSerial ''##A_OpenSerial''')
  INSERT INTO #OpenSerial SELECT AnbarCod, KalaCod, KalaSerialNo, CreateDate, ExpDate, Mand FROM ##A_OpenSerial
  DROP TABLE ##A_OpenSerial
  INSERT INTO A_TranSerial (TranID, Raj, KalaCod, KalaSerialNo, CreateDate, ExpDate)
    SELECT D.DestTranID, L.Raj, S.KalaCod, S.KalaSerialNo, S.CreateDate, S.ExpDate
    FROM #OpenSerial S INNER JOIN #ImpDoc D ON D.StoreDoc = '10' AND D.SrcTranID IS NULL
      AND D.Act <> 'K' AND D.AnbarCod = S.AnbarCod
    INNER JOIN A_TranSanj L ON L.TranID = D.DestTranID AND L.KalaCod = S.KalaCod AND L.Raj > D.RajBase
    WHERE S.Mand > 0
  DROP TABLE #OpenSerial
END

EXEC ('INSERT INTO A_TranSanj_Movagat (WhatDoc, AnbarCod, Document, DocDate, PersonelCod, '
  + 'User_Name, TranID, Raj, KalaCod, DesKala, MasrafCod, Tafsily2, SellersCod, CustomerCod, '
  + 'Buy_Sell_No, ' + @Lines + ') SELECT D.StoreDoc, D.AnbarCod, D.NewNo, D.DocDate, D.PersonelCod, '
  + 'LEFT(D.UserName, ' + CAST(@UserWidth AS varchar(10)) + '), ISNULL(I.TranID, 0), '
  + 'D.RajBase + I.Raj, I.KalaCod, I.DesKala, I.MasrafCod, I.Tafsily2, I.SellersCod, '
  + 'I.CustomerCod, I.Buy_Sell_No, I.Qty, I.Qty1, I.Qty2, I.Fee, I.Price, I.TQty, I.TQty1, '
  + 'I.TQty2, I.QtyReq, I.Qty1Req, I.Qty2Req, I.QtyOK, I.Qty1OK, I.Qty2OK, I.DateReq, '
  + 'I.Check_Price FROM ' + @TableName + ' I INNER JOIN #ImpDoc D ON D.WhatDoc = I.WhatDoc '
  + 'AND D.AnbarCod = I.AnbarCod AND D.OldNo = LTRIM(RTRIM(I.OldDocument)) '
  + 'WHERE I.KalaCod IS NOT NULL AND D.Act <> ''K'' AND D.Fam = ''M'' ORDER BY D.Seq, I.Raj, I.IDX')
COMMIT

SELECT @Docs = COUNT(*), @LineCount = ISNULL(SUM(Lines), 0) FROM #ImpDoc WHERE Act <> 'K'
SELECT @Kept = COUNT(*) FROM #ImpDoc WHERE Act = 'K'
SELECT @Replaced = COUNT(*) FROM #ImpDoc WHERE Act = 'R'
SELECT @Merged = COUNT(*) FROM #ImpDoc WHERE Act = 'M'
SELECT @Serials = (SELECT COUNT(*) FROM A_TranSerial) + (SELECT COUNT(*) FROM A_InterimTranSerial)
  + (SELECT COUNT(*) FROM A_TranSerialKALAREQ) - @Before
DROP TABLE #ImpDoc
DROP TABLE #Gone
DROP TABLE #MaxTran
SELECT @Docs AS Documents, @LineCount AS Lines, @Kept AS Kept, @Replaced AS Replaced,
  @Merged AS Merged, @Serials AS Serials
