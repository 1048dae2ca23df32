-- The last action of every cheque between two dates, into the work table @TableName (made
-- afresh): one row per cheque (kind, number and series) with the action code, its account, date,
-- document serial and line, and IsOpen. This is the one place that says which actions leave a
-- cheque unsettled: received (7x) 71 received, 72 opening, 73 sent for collection, 75 bounced,
-- 78 partly cashed; paid (8x) 81 issued, 85 opening, 88 due date extended. Every other action
-- (cashed, returned, transferred, cancelled, used) settles it.
--   @Kind      '7' received cheques, '8' paid cheques, '' both
--   @OpenOnly  'TRUE' keeps the open cheques only
--   @Date1/2   the date range; an empty bound is open
CREATE PROCEDURE sp_N_Create_LastChqAction
  @TableName varchar(200),
  @Kind varchar(10) = '',
  @OpenOnly varchar(10) = 'FALSE',
  @Date1 varchar(10) = '',
  @Date2 varchar(10) = ''
AS
SET XACT_ABORT ON
DECLARE @Where varchar(1000)
SET @TableName = LTRIM(RTRIM(ISNULL(@TableName, '')))
SET @Kind = LTRIM(RTRIM(ISNULL(@Kind, '')))
SET @Where = ' WHERE ISNULL(N.ChqNo, '''') <> '''' AND LEFT(N.WhatDoc, 1) IN (''7'', ''8'')'
IF @Kind <> '' SET @Where = @Where + ' AND LEFT(N.WhatDoc, 1) = ''' + REPLACE(@Kind, '''', '''''') + ''''
IF LTRIM(RTRIM(ISNULL(@Date1, ''))) <> ''
  SET @Where = @Where + ' AND N.SanadDate >= ''' + REPLACE(@Date1, '''', '''''') + ''''
IF LTRIM(RTRIM(ISNULL(@Date2, ''))) <> ''
  SET @Where = @Where + ' AND N.SanadDate <= ''' + REPLACE(@Date2, '''', '''''') + ''''

IF OBJECT_ID('tempdb..' + @TableName) IS NOT NULL EXEC ('DROP TABLE ' + @TableName)
EXEC ('CREATE TABLE ' + @TableName + ' (WhatDoc varchar(2) NULL, AcountId int NULL, '
  + 'ChqNo varchar(50) NULL, Joz varchar(50) NULL, SanadDate varchar(10) NULL, Serial int NULL, '
  + 'Raj int NULL, TransIdx int NULL, IsOpen int NULL)')
-- A cheque's actions are ordered by date, then by the order they were written in.
CREATE TABLE #LastAction (Kind varchar(1) NULL, ChqNo varchar(50) NULL, Joz varchar(50) NULL, LastIdx int NULL)
EXEC ('INSERT INTO #LastAction (Kind, ChqNo, Joz, LastIdx) '
  + 'SELECT LEFT(N.WhatDoc, 1), N.ChqNo, ISNULL(N.Joz, ''''), '
  + 'CAST(RIGHT(MAX(ISNULL(N.SanadDate, '''') + RIGHT(''000000000000'' + CAST(N.IDX AS varchar(12)), 12)), 12) AS int) '
  + 'FROM N_NaghdTrans N' + @Where + ' GROUP BY LEFT(N.WhatDoc, 1), N.ChqNo, ISNULL(N.Joz, '''')')
EXEC ('INSERT INTO ' + @TableName + ' (WhatDoc, AcountId, ChqNo, Joz, SanadDate, Serial, Raj, TransIdx, IsOpen) '
  + 'SELECT N.WhatDoc, N.AcountID, N.ChqNo, ISNULL(N.Joz, ''''), N.SanadDate, N.Serial, N.Raj, N.IDX, '
  + 'CASE WHEN N.WhatDoc IN (''71'', ''72'', ''73'', ''75'', ''78'', ''81'', ''85'', ''88'') THEN 1 ELSE 0 END '
  + 'FROM #LastAction L INNER JOIN N_NaghdTrans N ON N.IDX = L.LastIdx')
IF UPPER(LTRIM(RTRIM(ISNULL(@OpenOnly, '')))) = 'TRUE'
  EXEC ('DELETE FROM ' + @TableName + ' WHERE IsOpen = 0')
DROP TABLE #LastAction
