-- Prepares inventory documents of this period for import into another one: fills the import
-- table @TableName (made by the caller, with the columns of the inventory import form) with the
-- lines of the documents that @Filter chooses, one row per line: TranID the header here,
-- OldDocument and Document its number (trimmed), OldRaj and Raj its line, the names of its
-- warehouse, item, deliverer, purpose and seller beside their codes, and sOrder ordering the
-- documents by warehouse, number and code (digits and blanks only: the form appends its markers).
-- @WhatDoc names the documents:
--   one code    those documents (85 brings the incoming halves 80 of its transfers along);
--   1000        every document of A_TranID;
--   300, 500    drafts of receipts and issues (A_TranSanj_Movagat, stored there as 30 and 50);
--   400         temporary receipts (A_InterimTranID); 600 item requests (A_TranIDKALAREQ).
-- @Mode NOCHANGE sends every line; DEAILY, MONTLY and YEARLY send, per code, warehouse and day,
-- month or year, one document whose lines sum each item's quantities and value (the smallest
-- number and the last date of the documents it stands for). Summaries apply to A_TranID only.
-- @Filter is a condition over the header TA starting with AND (TA.AnbarCod, TA.DocDate,
-- TA.Document), empty for every document.
CREATE PROCEDURE sp_A_Asnad_Import_Perpar
  @Mode varchar(20),
  @TableName varchar(200),
  @Filter varchar(4000) = '',
  @WhatDoc varchar(4) = '1000'
AS
SET XACT_ABORT ON
DECLARE @From varchar(1000), @Where varchar(5000), @Head varchar(2000), @Lines varchar(2000),
  @Names varchar(2000), @Period varchar(200), @Code varchar(200)

SET @Mode = UPPER(LTRIM(RTRIM(ISNULL(@Mode, ''))))
SET @TableName = LTRIM(RTRIM(ISNULL(@TableName, '')))
SET @Filter = LTRIM(RTRIM(ISNULL(@Filter, '')))
SET @WhatDoc = LTRIM(RTRIM(ISNULL(@WhatDoc, '1000')))
IF @Mode NOT IN ('NOCHANGE', 'DEAILY', 'MONTLY', 'YEARLY')
BEGIN
  RAISERROR('sp_A_Asnad_Import_Perpar: unknown mode ''%s''.', 16, 1, @Mode)
  RETURN
END
IF OBJECT_ID('tempdb..' + @TableName) IS NULL AND OBJECT_ID(@TableName) IS NULL
BEGIN
  RAISERROR('sp_A_Asnad_Import_Perpar: import table ''%s'' does not exist.', 16, 1, @TableName)
  RETURN
END
IF @Filter <> '' AND UPPER(LEFT(@Filter, 4)) <> 'AND ' SET @Filter = 'AND ' + @Filter

-- Drafts keep header and line in one row; the other families join header and lines.
IF @WhatDoc IN ('300', '500')
BEGIN
  SET @From = 'A_TranSanj_Movagat TA INNER JOIN A_TranSanj_Movagat T ON T.IDX = TA.IDX'
  SET @Code = '''' + @WhatDoc + ''''
  SET @Head = 'NULL, NULL, NULL, NULL, NULL, NULL'
  SET @Where = ' WHERE TA.WhatDoc = ''' + LEFT(@WhatDoc, 2) + ''' '
  SET @Mode = 'NOCHANGE'
END
ELSE
BEGIN
  SET @From = CASE @WhatDoc
    WHEN '400' THEN 'A_InterimTranID TA INNER JOIN A_InterimTranSanj T ON T.TranID = TA.TranID'
    WHEN '600' THEN 'A_TranIDKALAREQ TA INNER JOIN A_TranSanjKALAREQ T ON T.TranID = TA.TranID'
    ELSE 'A_TranID TA INNER JOIN A_TranSanj T ON T.TranID = TA.TranID' END
  SET @Code = CASE WHEN @WhatDoc IN ('400', '600') THEN '''' + @WhatDoc + '''' ELSE 'TA.WhatDoc' END
  SET @Head = 'TA.TypeSys, TA.TypeSys2, TA.TransStore, TA.MDes, TA.SherCode, TA.SalMale'
  SET @Where = CASE
    WHEN @WhatDoc IN ('400', '600', '1000', '') THEN ' WHERE 1 = 1 '
    WHEN @WhatDoc = '85' THEN ' WHERE TA.WhatDoc IN (''85'', ''80'') '
    ELSE ' WHERE TA.WhatDoc = ''' + @WhatDoc + ''' ' END
  IF @WhatDoc IN ('400', '600') SET @Mode = 'NOCHANGE'
END
SET @Where = @Where + @Filter
SET @Names = ' LEFT OUTER JOIN Anbar A ON A.AnbarCod = TA.AnbarCod '
  + 'LEFT OUTER JOIN Kala K ON K.KalaCod = T.KalaCod '
  + 'LEFT OUTER JOIN TahvilPerson P ON P.Code = TA.PersonelCod '
  + 'LEFT OUTER JOIN A_MASRAF M ON M.MasrafCod = T.MasrafCod '
  + 'LEFT OUTER JOIN A_SELLERS S ON S.SellersCod = T.SellersCod '
SET @Lines = 'INSERT INTO ' + @TableName + ' (TranID, AnbarCod, User_Name, PersonelCod, KalaCod, '
  + 'MasrafCod, Tafsily2, SellersCod, CustomerCod, OldDocument, Document, DocSys, Buy_Sell_No, '
  + 'AnbarNam, PersonelNam, KalaNam, MasrafNam, SellersNam, DocDate, DesKala, OldRaj, Raj, Fee, '
  + 'Price, Qty, Qty1, Qty2, TQty, TQty1, TQty2, QtyReq, Qty1Req, Qty2Req, QtyOK, Qty1OK, Qty2OK, '
  + 'DateReq, Check_Price, WhatDoc, sOrder, TypeSys, TypeSys2, TransStore, MDes, SherCode, SalMale) '

IF @Mode = 'NOCHANGE'
BEGIN
  EXEC (@Lines + 'SELECT TA.TranID, TA.AnbarCod, TA.User_Name, TA.PersonelCod, T.KalaCod, '
    + 'T.MasrafCod, T.Tafsily2, T.SellersCod, T.CustomerCod, LTRIM(RTRIM(TA.Document)), '
    + 'LTRIM(RTRIM(TA.Document)), NULL, T.Buy_Sell_No, A.AnbarNam, '
    + 'LTRIM(RTRIM(ISNULL(P.[Name], '''') + '' '' + ISNULL(P.Family, ''''))), K.KalaNam, '
    + 'M.MasrafNam, S.SellersNam, TA.DocDate, T.DesKala, T.Raj, T.Raj, ISNULL(T.Fee, 0), '
    + 'ISNULL(T.Price, 0), ISNULL(T.Qty, 0), ISNULL(T.Qty1, 0), ISNULL(T.Qty2, 0), '
    + 'ISNULL(T.TQty, 0), ISNULL(T.TQty1, 0), ISNULL(T.TQty2, 0), ISNULL(T.QtyReq, 0), '
    + 'ISNULL(T.Qty1Req, 0), ISNULL(T.Qty2Req, 0), ISNULL(T.QtyOK, 0), ISNULL(T.Qty1OK, 0), '
    + 'ISNULL(T.Qty2OK, 0), T.DateReq, T.Check_Price, ' + @Code + ', '
    + 'RIGHT(SPACE(10) + LTRIM(RTRIM(TA.AnbarCod)), 10) + RIGHT(SPACE(20) + LTRIM(RTRIM(TA.Document)), 20) '
    + '+ RIGHT(SPACE(3) + ' + @Code + ', 3), ' + @Head
    + ' FROM ' + @From + @Names + @Where + ' ORDER BY TA.AnbarCod, TA.TranID, T.Raj')
  RETURN
END

SET @Period = CASE @Mode WHEN 'DEAILY' THEN 'ISNULL(TA.DocDate, '''')'
  WHEN 'MONTLY' THEN 'LEFT(ISNULL(TA.DocDate, ''''), 7)' ELSE 'LEFT(ISNULL(TA.DocDate, ''''), 4)' END
-- One document per code, warehouse and period; its lines one per item.
CREATE TABLE #SumDoc (WhatDoc varchar(3) NULL, AnbarCod varchar(50) NULL, Period varchar(10) NULL,
  No varchar(50) NULL, DocDate varchar(10) NULL, UserName varchar(100) NULL,
  TransStore varchar(50) NULL, SherCode varchar(10) NULL, SalMale varchar(10) NULL)
EXEC ('INSERT INTO #SumDoc (WhatDoc, AnbarCod, Period, No, DocDate, UserName, TransStore, '
  + 'SherCode, SalMale) SELECT TA.WhatDoc, TA.AnbarCod, ' + @Period + ', '
  + 'LTRIM(MIN(RIGHT(SPACE(20) + LTRIM(RTRIM(TA.Document)), 20))), MAX(TA.DocDate), '
  + 'MAX(TA.User_Name), MAX(TA.TransStore), MAX(TA.SherCode), MAX(TA.SalMale) FROM A_TranID TA '
  + @Where + ' GROUP BY TA.WhatDoc, TA.AnbarCod, ' + @Period)
EXEC (@Lines + 'SELECT NULL, D.AnbarCod, D.UserName, NULL, T.KalaCod, NULL, NULL, NULL, NULL, '
  + 'D.No, D.No, NULL, NULL, MAX(A.AnbarNam), NULL, MAX(K.KalaNam), NULL, NULL, D.DocDate, '
  + 'MAX(K.KalaNam), 0, 0, CASE WHEN SUM(ISNULL(T.Qty, 0)) <> 0 THEN SUM(ISNULL(T.Price, 0)) / '
  + 'SUM(ISNULL(T.Qty, 0)) ELSE 0 END, SUM(ISNULL(T.Price, 0)), SUM(ISNULL(T.Qty, 0)), '
  + 'SUM(ISNULL(T.Qty1, 0)), SUM(ISNULL(T.Qty2, 0)), 0, 0, 0, 0, 0, 0, 0, 0, 0, NULL, NULL, '
  + 'D.WhatDoc, RIGHT(SPACE(10) + LTRIM(RTRIM(D.AnbarCod)), 10) + RIGHT(SPACE(20) + D.No, 20) '
  + '+ RIGHT(SPACE(3) + D.WhatDoc, 3), ''S'', NULL, D.TransStore, NULL, D.SherCode, D.SalMale '
  + 'FROM ' + @From + ' INNER JOIN #SumDoc D ON D.WhatDoc = TA.WhatDoc AND D.AnbarCod = TA.AnbarCod '
  + 'AND D.Period = ' + @Period + @Names + @Where
  + ' GROUP BY D.WhatDoc, D.AnbarCod, D.No, D.DocDate, D.UserName, D.TransStore, D.SherCode, '
  + 'D.SalMale, T.KalaCod ORDER BY D.AnbarCod, D.WhatDoc, RIGHT(SPACE(20) + D.No, 20), T.KalaCod')
-- Lines numbered in the order written, from 1 in each document.
EXEC ('UPDATE T SET Raj = T.IDX - F.FirstIdx + 1, OldRaj = T.IDX - F.FirstIdx + 1 FROM '
  + @TableName + ' T INNER JOIN (SELECT WhatDoc, AnbarCod, Document, MIN(IDX) AS FirstIdx FROM '
  + @TableName + ' GROUP BY WhatDoc, AnbarCod, Document) F ON F.WhatDoc = T.WhatDoc '
  + 'AND F.AnbarCod = T.AnbarCod AND F.Document = T.Document WHERE T.TranID IS NULL')
DROP TABLE #SumDoc
