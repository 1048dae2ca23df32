-- Stock card: per warehouse and item, what came in and went out over a date range and what is
-- left, in the three units, with the period's weighted average fee and the value of what is left.
-- The balance of one period is the opening stock of the next, so every signed document counts:
--   in   10 opening, 12/14 opening adjustments (+/-), 16 increase, 30 receipt, 31/33 receipt
--        adjustments (+/-), 53 issue decrease, 55 return of issue and its adjustments 56 (+), 58 (-),
--        38 return-of-receipt decrease, 80 transfer in;
--   out  17 decrease, 35 return of receipt, 36 its increase, 50 issue, 51 issue increase,
--        85 transfer out.
-- Direct deliveries (70) pass through without touching stock; end-of-period stock (100) is a
-- record of a balance, not a movement.
-- The fee is the value that came in divided by the quantity that came in (main unit, Qty); the
-- value left is the quantity left at that fee.
-- @TableName receives: AnbarCod, KalaCod, KalaNam, DesKala, QtyIn, Qty1In, Qty2In, PriceIn,
-- QtyOut, Qty1Out, Qty2Out, Mand, Mand1, Mand2, FeeMandeh, PriceMandeh, sOrder1 (warehouse then
-- item: codes are stored at their full width). @Group 'ANBAR' keeps warehouses apart, 'KALA'
-- sums them (AnbarCod '').
-- @Kind 'FULL' lists every pair that moved, 'MANDEH' only those with something left.
-- @Refresh 'REFRESH' makes the table afresh; otherwise rows are added to an existing one.
CREATE PROCEDURE sp_A_Rep_KartMojodi
  @TableName varchar(200),
  @FromKala varchar(50) = '',
  @ToKala varchar(50) = '',
  @FromAnbar varchar(50) = '',
  @ToAnbar varchar(50) = '',
  @Date1 varchar(10) = '',
  @Date2 varchar(10) = '',
  @DateField varchar(30) = 'DocDate',
  @Group varchar(20) = 'ANBAR',
  @Kind varchar(20) = 'FULL',
  @Refresh varchar(20) = 'REFRESH'
AS
SET XACT_ABORT ON
DECLARE @Where varchar(4000), @Anbar varchar(100), @Probe varchar(300)

SET @TableName = LTRIM(RTRIM(ISNULL(@TableName, '')))
SET @Group = UPPER(LTRIM(RTRIM(ISNULL(@Group, 'ANBAR'))))
SET @Kind = UPPER(LTRIM(RTRIM(ISNULL(@Kind, 'FULL'))))
SET @DateField = LTRIM(RTRIM(ISNULL(@DateField, '')))
IF @TableName = ''
BEGIN
  RAISERROR('sp_A_Rep_KartMojodi: no result table name given.', 16, 1)
  RETURN
END
IF @Group NOT IN ('ANBAR', 'KALA') OR @Kind NOT IN ('FULL', 'MANDEH')
BEGIN
  RAISERROR('sp_A_Rep_KartMojodi: unknown grouping ''%s'' or kind ''%s''.', 16, 1, @Group, @Kind)
  RETURN
END
IF UPPER(@DateField) <> 'DOCDATE' SET @DateField = 'DocDate'

SET @Probe = CASE WHEN LEFT(@TableName, 1) = '#' THEN 'tempdb..' + @TableName ELSE @TableName END
IF UPPER(ISNULL(@Refresh, '')) = 'REFRESH' AND OBJECT_ID(@Probe) IS NOT NULL
  EXEC ('DROP TABLE ' + @TableName)
IF OBJECT_ID(@Probe) IS NULL
  EXEC ('CREATE TABLE ' + @TableName + ' (AnbarCod varchar(50) NULL, KalaCod varchar(50) NULL, '
    + 'KalaNam varchar(500) NULL, DesKala varchar(200) NULL, QtyIn float NULL, Qty1In float NULL, '
    + 'Qty2In float NULL, PriceIn float NULL, QtyOut float NULL, Qty1Out float NULL, '
    + 'Qty2Out float NULL, Mand float NULL, Mand1 float NULL, Mand2 float NULL, '
    + 'FeeMandeh float NULL, PriceMandeh float NULL, sOrder1 varchar(100) NULL)')

-- The sign of each document code, joined once per line.
CREATE TABLE #KartSign (WhatDoc varchar(3) NOT NULL PRIMARY KEY, Sgn int NOT NULL)
INSERT INTO #KartSign (WhatDoc, Sgn) VALUES ('10', 1), ('12', 1), ('16', 1), ('30', 1), ('31', 1),
  ('38', 1), ('53', 1), ('55', 1), ('56', 1), ('80', 1), ('14', -1), ('17', -1), ('33', -1),
  ('35', -1), ('36', -1), ('50', -1), ('51', -1), ('58', -1), ('85', -1)
SET @Where = ' WHERE 1 = 1'
IF ISNULL(@FromKala, '') <> '' SET @Where = @Where + ' AND T.KalaCod >= ''' + REPLACE(@FromKala, '''', '''''') + ''''
IF ISNULL(@ToKala, '') <> '' SET @Where = @Where + ' AND T.KalaCod <= ''' + REPLACE(@ToKala, '''', '''''') + ''''
IF ISNULL(@FromAnbar, '') <> '' SET @Where = @Where + ' AND TA.AnbarCod >= ''' + REPLACE(@FromAnbar, '''', '''''') + ''''
IF ISNULL(@ToAnbar, '') <> '' SET @Where = @Where + ' AND TA.AnbarCod <= ''' + REPLACE(@ToAnbar, '''', '''''') + ''''
IF ISNULL(@Date1, '') <> '' SET @Where = @Where + ' AND TA.' + @DateField + ' >= ''' + REPLACE(@Date1, '''', '''''') + ''''
IF ISNULL(@Date2, '') <> '' SET @Where = @Where + ' AND TA.' + @DateField + ' <= ''' + REPLACE(@Date2, '''', '''''') + ''''
SET @Anbar = CASE WHEN @Group = 'ANBAR' THEN 'TA.AnbarCod' ELSE '''''' END

-- One statement: the sums per pair, then what is left, the fee and the names from them.
EXEC ('INSERT INTO ' + @TableName + ' (AnbarCod, KalaCod, KalaNam, DesKala, QtyIn, Qty1In, '
  + 'Qty2In, PriceIn, QtyOut, Qty1Out, Qty2Out, Mand, Mand1, Mand2, FeeMandeh, PriceMandeh, '
  + 'sOrder1) SELECT X.AnbarCod, X.KalaCod, K.KalaNam, K.KalaNam, X.QtyIn, X.Qty1In, X.Qty2In, '
  + 'X.PriceIn, X.QtyOut, X.Qty1Out, X.Qty2Out, X.QtyIn - X.QtyOut, X.Qty1In - X.Qty1Out, '
  + 'X.Qty2In - X.Qty2Out, CASE WHEN X.QtyIn <> 0 THEN X.PriceIn / X.QtyIn ELSE 0 END, '
  + '(X.QtyIn - X.QtyOut) * CASE WHEN X.QtyIn <> 0 THEN X.PriceIn / X.QtyIn ELSE 0 END, '
  + 'X.AnbarCod + '' '' + X.KalaCod '
  + 'FROM (SELECT ' + @Anbar + ' AS AnbarCod, T.KalaCod AS KalaCod, '
  + 'ISNULL(SUM(CASE WHEN S.Sgn > 0 THEN T.Qty ELSE 0 END), 0) AS QtyIn, '
  + 'ISNULL(SUM(CASE WHEN S.Sgn > 0 THEN T.Qty1 ELSE 0 END), 0) AS Qty1In, '
  + 'ISNULL(SUM(CASE WHEN S.Sgn > 0 THEN T.Qty2 ELSE 0 END), 0) AS Qty2In, '
  + 'ISNULL(SUM(CASE WHEN S.Sgn > 0 THEN T.Price ELSE 0 END), 0) AS PriceIn, '
  + 'ISNULL(SUM(CASE WHEN S.Sgn < 0 THEN T.Qty ELSE 0 END), 0) AS QtyOut, '
  + 'ISNULL(SUM(CASE WHEN S.Sgn < 0 THEN T.Qty1 ELSE 0 END), 0) AS Qty1Out, '
  + 'ISNULL(SUM(CASE WHEN S.Sgn < 0 THEN T.Qty2 ELSE 0 END), 0) AS Qty2Out '
  + 'FROM A_TranID TA INNER JOIN #KartSign S ON S.WhatDoc = TA.WhatDoc '
  + 'INNER JOIN A_TranSanj T ON T.TranID = TA.TranID' + @Where
  + ' GROUP BY ' + @Anbar + ', T.KalaCod) X LEFT OUTER JOIN Kala K ON K.KalaCod = X.KalaCod')
IF @Kind = 'MANDEH'
  EXEC ('DELETE FROM ' + @TableName + ' WHERE Mand = 0 AND Mand1 = 0 AND Mand2 = 0')
DROP TABLE #KartSign
