-- The last action of every cheque between two dates, into the work table @TableName (made
-- afresh): one row per cheque (kind, number and series) with the action code, its account, date,
-- document serial and line, and IsOpen. This is the one place that says which actions leave a
-- cheque unsettled: received (7x) 71 received, 72 opening, 73 sent for collection, 75 bounced,
-- 78 partly cashed; paid (8x) 81 issued, 85 opening, 88 due date extended. Every other action
-- (cashed, returned, transferred, cancelled, used) settles it.
--   @Kind      '7' received cheques, '8' paid cheques, '' both
--   @OpenOnly  'TRUE' keeps the open cheques only
--   @Date1/2   the date range; an empty bound is open
--   @Skip      a work table of cheques (ChqNo, Joz) the caller has no use for, left out before
--              their actions are ordered; empty or missing: none
CREATE PROCEDURE sp_N_Create_LastChqAction
  @TableName varchar(200),
  @Kind varchar(10) = '',
  @OpenOnly varchar(10) = 'FALSE',
  @Date1 varchar(10) = '',
  @Date2 varchar(10) = '',
  @Skip varchar(200) = ''
AS
SET XACT_ABORT ON
DECLARE @Where varchar(1000), @KindOf varchar(100), @DateOf varchar(100), @Open varchar(100)
SET @TableName = LTRIM(RTRIM(ISNULL(@TableName, '')))
SET @Kind = LTRIM(RTRIM(ISNULL(@Kind, '')))
SET @Date1 = LTRIM(RTRIM(ISNULL(@Date1, '')))
SET @Date2 = LTRIM(RTRIM(ISNULL(@Date2, '')))
-- The rows are chosen by plain comparisons of their columns: a number that is empty or missing
-- fails "<> ''", and a range of codes stands for their first character.
SET @Where = ' WHERE N.ChqNo <> '''''
IF @Kind = ''
  SET @Where = @Where + ' AND N.WhatDoc >= ''7'' AND N.WhatDoc < ''9'''
ELSE IF @Kind = '7'
  SET @Where = @Where + ' AND N.WhatDoc >= ''7'' AND N.WhatDoc < ''8'''
ELSE IF @Kind = '8'
  SET @Where = @Where + ' AND N.WhatDoc >= ''8'' AND N.WhatDoc < ''9'''
ELSE
  SET @Where = @Where + ' AND 1 = 0'
IF @Date1 <> '' SET @Where = @Where + ' AND N.SanadDate >= ''' + REPLACE(@Date1, '''', '''''') + ''''
IF @Date2 <> '' SET @Where = @Where + ' AND N.SanadDate <= ''' + REPLACE(@Date2, '''', '''''') + ''''
SET @Skip = LTRIM(RTRIM(ISNULL(@Skip, '')))
IF @Skip <> '' AND OBJECT_ID('tempdb..' + @Skip) IS NOT NULL
  SET @Where = @Where + ' AND NOT EXISTS (SELECT * FROM ' + @Skip + ' S WHERE S.ChqNo = N.ChqNo '
    + 'AND S.Joz = COALESCE(N.Joz, ''''))'
SET @KindOf = CASE WHEN @Kind = '' THEN 'LEFT(N.WhatDoc, 1)' ELSE '''' + LEFT(@Kind, 1) + '''' END
-- A bounded range has no row without a date.
SET @DateOf = CASE WHEN @Date1 = '' AND @Date2 = '' THEN 'ISNULL(N.SanadDate, '''')' ELSE 'N.SanadDate' END
SET @Open = CASE WHEN UPPER(LTRIM(RTRIM(ISNULL(@OpenOnly, '')))) = 'TRUE' THEN ' AND A.IsOpen = 1' ELSE '' END

IF OBJECT_ID('tempdb..' + @TableName) IS NOT NULL EXEC ('DROP TABLE ' + @TableName)
EXEC ('CREATE TABLE ' + @TableName + ' (WhatDoc varchar(2) NULL, AcountId int NULL, '
  + 'ChqNo varchar(50) NULL, Joz varchar(50) NULL, SanadDate varchar(10) NULL, Serial int NULL, '
  + 'Raj int NULL, TransIdx int NULL, IsOpen int NULL)')
-- A cheque's actions are ordered by date, then by the order they were written in: one pass
-- numbers them from the last.
EXEC ('INSERT INTO ' + @TableName + ' (WhatDoc, AcountId, ChqNo, Joz, SanadDate, Serial, Raj, TransIdx, IsOpen) '
  + 'SELECT A.WhatDoc, A.AcountID, A.ChqNo, A.Joz, A.SanadDate, A.Serial, A.Raj, A.IDX, A.IsOpen FROM ('
  + 'SELECT N.WhatDoc, N.AcountID, N.ChqNo, COALESCE(N.Joz, '''') AS Joz, N.SanadDate, N.Serial, N.Raj, N.IDX, '
  + 'CASE WHEN N.WhatDoc IN (''71'', ''72'', ''73'', ''75'', ''78'', ''81'', ''85'', ''88'') THEN 1 ELSE 0 END AS IsOpen, '
  + 'ROW_NUMBER() OVER (PARTITION BY ' + @KindOf + ', N.ChqNo, COALESCE(N.Joz, '''') ORDER BY '
  + @DateOf + ' DESC, N.IDX DESC) AS Recent '
  + 'FROM N_NaghdTrans N' + @Where + ') A WHERE A.Recent = 1' + @Open)
