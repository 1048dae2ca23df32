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
-- item, right-aligned). @Group 'ANBAR' keeps warehouses apart, 'KALA' sums them (AnbarCod '').
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
DECLARE @Where varchar(4000), @Anbar varchar(100), @Probe varchar(300), @In varchar(200),
  @Out varchar(200)

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

SET @In = '(''10'', ''12'', ''16'', ''30'', ''31'', ''38'', ''53'', ''55'', ''56'', ''80'')'
SET @Out = '(''14'', ''17'', ''33'', ''35'', ''36'', ''50'', ''51'', ''58'', ''85'')'
SET @Where = ' WHERE TA.WhatDoc IN (''10'', ''12'', ''16'', ''30'', ''31'', ''38'', ''53'', '
  + '''55'', ''56'', ''80'', ''14'', ''17'', ''33'', ''35'', ''36'', ''50'', ''51'', ''58'', ''85'')'
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
  + 'RIGHT(SPACE(20) + LTRIM(RTRIM(X.AnbarCod)), 20) + RIGHT(SPACE(50) + LTRIM(RTRIM(X.KalaCod)), 50) '
  + 'FROM (SELECT ' + @Anbar + ' AS AnbarCod, T.KalaCod AS KalaCod, '
  + 'SUM(CASE WHEN TA.WhatDoc IN ' + @In + ' THEN ISNULL(T.Qty, 0) ELSE 0 END) AS QtyIn, '
  + 'SUM(CASE WHEN TA.WhatDoc IN ' + @In + ' THEN ISNULL(T.Qty1, 0) ELSE 0 END) AS Qty1In, '
  + 'SUM(CASE WHEN TA.WhatDoc IN ' + @In + ' THEN ISNULL(T.Qty2, 0) ELSE 0 END) AS Qty2In, '
  + 'SUM(CASE WHEN TA.WhatDoc IN ' + @In + ' THEN ISNULL(T.Price, 0) ELSE 0 END) AS PriceIn, '
  + 'SUM(CASE WHEN TA.WhatDoc IN ' + @Out + ' THEN ISNULL(T.Qty, 0) ELSE 0 END) AS QtyOut, '
  + 'SUM(CASE WHEN TA.WhatDoc IN ' + @Out + ' THEN ISNULL(T.Qty1, 0) ELSE 0 END) AS Qty1Out, '
  + 'SUM(CASE WHEN TA.WhatDoc IN ' + @Out + ' THEN ISNULL(T.Qty2, 0) ELSE 0 END) AS Qty2Out '
  + 'FROM A_TranID TA INNER JOIN A_TranSanj T ON T.TranID = TA.TranID' + @Where
  + ' GROUP BY ' + @Anbar + ', T.KalaCod) X LEFT OUTER JOIN Kala K ON K.KalaCod = X.KalaCod')
IF @Kind = 'MANDEH'
  EXEC ('DELETE FROM ' + @TableName + ' WHERE Mand = 0 AND Mand1 = 0 AND Mand2 = 0')
