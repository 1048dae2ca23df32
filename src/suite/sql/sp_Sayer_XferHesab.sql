-- Merges one definition table of a source period into this period database.
--   FIRST   with a key: source rows with a new key are inserted; source rows whose key already
--           exists are left in the conflict table (bCheck blank, the column list, XferKey).
--   FIRST   without a key (run in the source): the conflict table offers every source row.
--   OPTIONS one column of Options: this period's row takes the source period's value.
--   SECOND  CHECK / ALL: destination rows are replaced by the marked / all conflict rows,
--           matched on the key, and the conflict table is dropped.
--   THIRD   the conflict table is dropped, nothing is replaced.
-- The key expression is spliced as SQL over the table's columns (Koll+Moein and the like).
CREATE PROCEDURE sp_Sayer_XferHesab
  @Phase varchar(20),
  @Mode varchar(20),
  @TmpTable varchar(200),
  @SourceDb varchar(200),
  @Table varchar(200),
  @Columns varchar(4000),
  @KeyExpr varchar(1000)
AS
SET XACT_ABORT ON
DECLARE @Source varchar(500), @Rest varchar(4000), @Col varchar(300), @Pos int
DECLARE @Filter varchar(100), @HasKeyCol int, @DstCode varchar(50), @SrcCode varchar(50)

SET @Phase = UPPER(LTRIM(RTRIM(ISNULL(@Phase, ''))))
SET @Mode = UPPER(LTRIM(RTRIM(ISNULL(@Mode, ''))))
SET @TmpTable = LTRIM(RTRIM(ISNULL(@TmpTable, '')))
SET @SourceDb = LTRIM(RTRIM(ISNULL(@SourceDb, '')))
SET @Table = LTRIM(RTRIM(ISNULL(@Table, '')))
SET @Columns = LTRIM(RTRIM(ISNULL(@Columns, '')))
SET @KeyExpr = LTRIM(RTRIM(ISNULL(@KeyExpr, '')))

IF @Phase NOT IN ('FIRST', 'OPTIONS', 'SECOND', 'THIRD')
BEGIN
  RAISERROR('sp_Sayer_XferHesab: unknown phase ''%s''.', 16, 1, @Phase)
  RETURN
END
IF @TmpTable = ''
BEGIN
  RAISERROR('sp_Sayer_XferHesab: no conflict table name given.', 16, 1)
  RETURN
END

IF @Phase = 'THIRD'
BEGIN
  IF OBJECT_ID('tempdb..' + @TmpTable) IS NOT NULL
    EXEC ('DROP TABLE ' + @TmpTable)
  RETURN
END

IF @SourceDb = '' SET @SourceDb = DB_NAME()
SET @Source = @SourceDb + '..' + @Table

IF @Phase = 'SECOND'
BEGIN
  IF @Mode NOT IN ('CHECK', 'ALL')
  BEGIN
    RAISERROR('sp_Sayer_XferHesab: unknown mode ''%s'' for SECOND.', 16, 1, @Mode)
    RETURN
  END
  IF OBJECT_ID('tempdb..' + @TmpTable) IS NULL
  BEGIN
    RAISERROR('sp_Sayer_XferHesab: conflict table ''%s'' does not exist.', 16, 1, @TmpTable)
    RETURN
  END
END
ELSE
  -- Named in a batch of its own, the source database is opened before any transaction.
  EXEC ('IF OBJECT_ID(''' + @Source + ''') IS NULL '
    + 'RAISERROR(''Invalid object name ''''%s''''.'', 16, 1, ''' + @Source + ''')')
IF OBJECT_ID(@Table) IS NULL AND NOT (@Phase IN ('FIRST', 'OPTIONS') AND @KeyExpr = '')
BEGIN
  RAISERROR('Invalid object name ''%s''.', 16, 1, @Table)
  RETURN
END

-- Every listed column must exist where it is read and where it is written.
SET @Rest = @Columns + ','
WHILE CHARINDEX(',', @Rest) > 0
BEGIN
  SET @Pos = CHARINDEX(',', @Rest)
  SET @Col = LTRIM(RTRIM(REPLACE(REPLACE(LEFT(@Rest, @Pos - 1), '[', ''), ']', '')))
  SET @Rest = SUBSTRING(@Rest, @Pos + 1, 4000)
  IF @Col <> ''
  BEGIN
    IF @Phase <> 'SECOND' AND COL_LENGTH(@Source, @Col) IS NULL
    BEGIN
      RAISERROR('Invalid column name ''%s'' in %s.', 16, 1, @Col, @Source)
      RETURN
    END
    IF NOT (@Phase IN ('FIRST', 'OPTIONS') AND @KeyExpr = '') AND COL_LENGTH(@Table, @Col) IS NULL
    BEGIN
      RAISERROR('Invalid column name ''%s'' in %s.', 16, 1, @Col, @Table)
      RETURN
    END
  END
END
IF @Columns = ''
BEGIN
  RAISERROR('sp_Sayer_XferHesab: no column list given for %s.', 16, 1, @Table)
  RETURN
END

IF @Phase IN ('FIRST', 'OPTIONS') AND @KeyExpr = ''
BEGIN
  -- Run in the source: offer every row; the caller fetches the table to its own server.
  BEGIN TRAN
  IF OBJECT_ID('tempdb..' + @TmpTable) IS NOT NULL
    EXEC ('DROP TABLE ' + @TmpTable)
  EXEC ('SELECT CAST('' '' AS varchar(1)) AS bCheck, ' + @Columns + ' INTO ' + @TmpTable + ' FROM ' + @Source)
  COMMIT
  RETURN
END

IF @Phase = 'OPTIONS'
BEGIN
  -- Options rows are keyed by company code and year, read from the database names.
  SET @DstCode = REPLACE(SUBSTRING(DB_NAME(), CHARINDEX('_', DB_NAME()) + 1, 100), '_', '')
  SET @SrcCode = REPLACE(SUBSTRING(@SourceDb, CHARINDEX('_', @SourceDb) + 1, 100), '_', '')
  BEGIN TRAN
  EXEC ('DECLARE @v varchar(8000), @n int '
    + 'SELECT @n = COUNT(*) FROM ' + @Source + ' '
    + 'IF @n > 0 BEGIN '
    + 'SELECT TOP 1 @v = ' + @Columns + ' FROM ' + @Source
    + ' ORDER BY CASE WHEN LTRIM(RTRIM(SCode)) = ''' + @SrcCode + ''' THEN 0 ELSE 1 END '
    + 'IF EXISTS (SELECT * FROM Options WHERE LTRIM(RTRIM(SCode)) = ''' + @DstCode + ''') '
    + 'UPDATE Options SET ' + @Columns + ' = @v WHERE LTRIM(RTRIM(SCode)) = ''' + @DstCode + ''' '
    + 'ELSE INSERT INTO Options (SCode, ' + @Columns + ') VALUES (''' + @DstCode + ''', @v) END')
  COMMIT
  RETURN
END

IF @Phase = 'FIRST'
BEGIN
  BEGIN TRAN
  IF OBJECT_ID('tempdb..' + @TmpTable) IS NOT NULL
    EXEC ('DROP TABLE ' + @TmpTable)
  EXEC ('SELECT DISTINCT ' + @KeyExpr + ' AS XferKey INTO #XferKeys FROM ' + @Table
    + ' WHERE ' + @KeyExpr + ' IS NOT NULL '
    + 'SELECT CAST('' '' AS varchar(1)) AS bCheck, ' + @Columns + ', ' + @KeyExpr + ' AS XferKey INTO '
    + @TmpTable + ' FROM ' + @Source + ' WHERE ' + @KeyExpr + ' IN (SELECT XferKey FROM #XferKeys) '
    + 'INSERT INTO ' + @Table + ' (' + @Columns + ') SELECT ' + @Columns + ' FROM ' + @Source
    + ' WHERE ' + @KeyExpr + ' NOT IN (SELECT XferKey FROM #XferKeys) '
    + 'DROP TABLE #XferKeys')
  COMMIT
  RETURN
END

-- SECOND: replace the chosen destination rows by the conflict rows.
IF @Mode = 'CHECK'
  SET @Filter = ' WHERE LTRIM(RTRIM(ISNULL(bCheck, ''''))) = ''ض'''
ELSE
  SET @Filter = ''
SET @HasKeyCol = CASE WHEN COL_LENGTH('tempdb..' + @TmpTable, 'XferKey') IS NULL THEN 0 ELSE 1 END
IF @KeyExpr = ''
BEGIN
  RAISERROR('sp_Sayer_XferHesab: no key expression given for %s.', 16, 1, @Table)
  RETURN
END
BEGIN TRAN
EXEC ('DELETE FROM ' + @Table + ' WHERE ' + @KeyExpr + ' IN (SELECT '
  + CASE WHEN @HasKeyCol = 1 THEN 'XferKey' ELSE @KeyExpr END + ' FROM ' + @TmpTable + @Filter + ')')
EXEC ('INSERT INTO ' + @Table + ' (' + @Columns + ') SELECT ' + @Columns + ' FROM ' + @TmpTable + @Filter)
EXEC ('DROP TABLE ' + @TmpTable)
COMMIT
