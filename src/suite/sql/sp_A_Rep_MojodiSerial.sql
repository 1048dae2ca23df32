-- Serial numbers in stock: per warehouse, item and serial number, how many times it came in less
-- how many times it went out over a date range (1 for a serial on the shelf), with the dates it
-- was made and expires. The documents count with the signs of the stock card (sp_A_Rep_KartMojodi).
-- With a @TableName the rows go into it (made afresh with @Refresh 'REFRESH'); with an empty name
-- they are returned, so callers can INSERT ... EXEC them. @Kind 'MANDEH' keeps only serials in
-- stock, 'FULL' every serial that moved.
CREATE PROCEDURE sp_A_Rep_MojodiSerial
  @TableName varchar(200) = '',
  @FromKala varchar(50) = '',
  @ToKala varchar(50) = '',
  @FromAnbar varchar(50) = '',
  @ToAnbar varchar(50) = '',
  @Date1 varchar(10) = '',
  @Date2 varchar(10) = '',
  @Kind varchar(20) = 'MANDEH',
  @Refresh varchar(20) = 'REFRESH'
AS
SET XACT_ABORT ON
DECLARE @Where varchar(4000), @Select varchar(4000), @Probe varchar(300)

SET @TableName = LTRIM(RTRIM(ISNULL(@TableName, '')))
SET @Where = ' WHERE TA.WhatDoc IN (''10'', ''12'', ''16'', ''30'', ''31'', ''38'', ''53'', '
  + '''55'', ''56'', ''80'', ''14'', ''17'', ''33'', ''35'', ''36'', ''50'', ''51'', ''58'', ''85'')'
IF ISNULL(@FromKala, '') <> '' SET @Where = @Where + ' AND S.KalaCod >= ''' + REPLACE(@FromKala, '''', '''''') + ''''
IF ISNULL(@ToKala, '') <> '' SET @Where = @Where + ' AND S.KalaCod <= ''' + REPLACE(@ToKala, '''', '''''') + ''''
IF ISNULL(@FromAnbar, '') <> '' SET @Where = @Where + ' AND TA.AnbarCod >= ''' + REPLACE(@FromAnbar, '''', '''''') + ''''
IF ISNULL(@ToAnbar, '') <> '' SET @Where = @Where + ' AND TA.AnbarCod <= ''' + REPLACE(@ToAnbar, '''', '''''') + ''''
IF ISNULL(@Date1, '') <> '' SET @Where = @Where + ' AND TA.DocDate >= ''' + REPLACE(@Date1, '''', '''''') + ''''
IF ISNULL(@Date2, '') <> '' SET @Where = @Where + ' AND TA.DocDate <= ''' + REPLACE(@Date2, '''', '''''') + ''''

SET @Select = 'SELECT TA.AnbarCod, S.KalaCod, S.KalaSerialNo, MAX(S.CreateDate), MAX(S.ExpDate), '
  + 'SUM(CASE WHEN TA.WhatDoc IN (''10'', ''12'', ''16'', ''30'', ''31'', ''38'', ''53'', ''55'', '
  + '''56'', ''80'') THEN 1 ELSE -1 END) '
  + 'FROM A_TranSerial S INNER JOIN A_TranID TA ON TA.TranID = S.TranID' + @Where
  + ' GROUP BY TA.AnbarCod, S.KalaCod, S.KalaSerialNo'
  + CASE WHEN UPPER(ISNULL(@Kind, '')) = 'FULL' THEN '' ELSE
    ' HAVING SUM(CASE WHEN TA.WhatDoc IN (''10'', ''12'', ''16'', ''30'', ''31'', ''38'', ''53'', '
    + '''55'', ''56'', ''80'') THEN 1 ELSE -1 END) > 0' END

IF @TableName = ''
BEGIN
  EXEC (@Select + ' ORDER BY TA.AnbarCod, S.KalaCod, S.KalaSerialNo')
  RETURN
END
SET @Probe = CASE WHEN LEFT(@TableName, 1) = '#' THEN 'tempdb..' + @TableName ELSE @TableName END
IF UPPER(ISNULL(@Refresh, '')) = 'REFRESH' AND OBJECT_ID(@Probe) IS NOT NULL
  EXEC ('DROP TABLE ' + @TableName)
IF OBJECT_ID(@Probe) IS NULL
  EXEC ('CREATE TABLE ' + @TableName + ' (AnbarCod varchar(50) NULL, KalaCod varchar(50) NULL, '
    + 'KalaSerialNo varchar(500) NULL, CreateDate varchar(10) NULL, ExpDate varchar(10) NULL, '
    + 'Mand int NULL)')
EXEC ('INSERT INTO ' + @TableName + ' (AnbarCod, KalaCod, KalaSerialNo, CreateDate, ExpDate, Mand) '
  + @Select)
