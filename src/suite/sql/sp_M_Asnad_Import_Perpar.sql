-- Prepares accounting vouchers of this period for import into another one: fills the import
-- table @TableName (made here when missing, with its _Pic and _Info companions) with the lines of
-- the vouchers that @Filter chooses, one row per line, or with their summaries.
--   NOCHANGE  every line as it stands; SanadNo and LastNo the voucher's number here, FirstNo the
--             number it was first issued under, Raj its line number.
--   DEAILY    one voucher per day and issuing program, MONTLY per month, YEARLY per year: per
--             account, the debits summed into one line and the credits into another; the voucher
--             takes the smallest number and the last date of the vouchers it stands for.
-- SanadNo and LastNo are written trimmed. sOrder orders the vouchers (date, then number
-- right-aligned), ProgOrder holds the issuing program's code. Lines of treasury vouchers that name a cheque keep that program's code through
-- the import (TypeSys 'XXX'), so the cheque's trail survives in the other period.
-- Year-end vouchers of the accounting program (WhatDoc '10' closing, '2' temporary accounts)
-- never travel: in another period they would close it.
-- @Filter is a condition over Asnad A (SanadDate, A.SanadNo, ...), empty for every voucher.
CREATE PROCEDURE sp_M_Asnad_Import_Perpar
  @Mode varchar(20),
  @TableName varchar(200),
  @What varchar(20) = 'ASNAD',
  @Filter varchar(4000) = ''
AS
SET XACT_ABORT ON
DECLARE @Where varchar(5000), @Period varchar(100), @Caption varchar(100), @Lines varchar(4000)

SET @Mode = UPPER(LTRIM(RTRIM(ISNULL(@Mode, ''))))
SET @TableName = LTRIM(RTRIM(ISNULL(@TableName, '')))
SET @Filter = LTRIM(RTRIM(ISNULL(@Filter, '')))
IF @Mode NOT IN ('NOCHANGE', 'DEAILY', 'MONTLY', 'YEARLY')
BEGIN
  RAISERROR('sp_M_Asnad_Import_Perpar: unknown mode ''%s''.', 16, 1, @Mode)
  RETURN
END
IF @TableName = ''
BEGIN
  RAISERROR('sp_M_Asnad_Import_Perpar: no import table name given.', 16, 1)
  RETURN
END

IF OBJECT_ID('tempdb..' + @TableName) IS NULL
  EXEC ('CREATE TABLE ' + @TableName + ' (IDX int IDENTITY(1, 1) NOT NULL, '
    + 'TypeSys varchar(10) NULL, WhatDoc varchar(20) NULL, DocToDate varchar(20) NULL, '
    + 'Document varchar(20) NULL, SanadNo varchar(20) NULL, LastNo varchar(20) NULL, '
    + 'FirstNo varchar(20) NULL, SanadDate varchar(10) NULL, Koll varchar(10) NULL, '
    + 'Moein varchar(10) NULL, Tafsily varchar(20) NULL, Tafsily2 varchar(20) NULL, '
    + 'ProjectCod varchar(20) NULL, Des varchar(500) NULL, Bes float NULL, Bed float NULL, '
    + 'AtfCh varchar(100) NULL, AtfNum float NULL, AtfDate varchar(10) NULL, '
    + 'SherCode varchar(10) NULL, SalMale varchar(10) NULL, [User_Name] varchar(100) NULL, '
    + 'LClose varchar(10) NULL, NoBat smallint NULL, Raj int NULL, TypeSysNam varchar(50) NULL, '
    + 'ProgOrder varchar(10) NULL, sOrder varchar(100) NULL)')
IF OBJECT_ID('tempdb..' + @TableName + '_Pic') IS NULL
  EXEC ('CREATE TABLE ' + @TableName + '_Pic (SanadNo varchar(20) NULL, SanadPic image NULL, DocId int NULL)')
IF OBJECT_ID('tempdb..' + @TableName + '_Info') IS NULL
  EXEC ('CREATE TABLE ' + @TableName + '_Info (SanadNo varchar(20) NULL, sDes text NULL)')
-- The companions describe the vouchers of this load only.
EXEC ('DELETE FROM ' + @TableName + '_Pic DELETE FROM ' + @TableName + '_Info')

SET @Where = ' WHERE NOT (ISNULL(A.TypeSys, '''') = ''M'' AND ISNULL(A.WhatDoc, '''') IN (''10'', ''2''))'
IF @Filter <> '' SET @Where = @Where + ' AND (' + @Filter + ')'
SET @Lines = 'INSERT INTO ' + @TableName + ' (TypeSys, WhatDoc, DocToDate, Document, SanadNo, '
  + 'LastNo, FirstNo, SanadDate, Koll, Moein, Tafsily, Tafsily2, ProjectCod, Des, Bes, Bed, '
  + 'AtfCh, AtfNum, AtfDate, SherCode, SalMale, [User_Name], LClose, NoBat, Raj, TypeSysNam, '
  + 'ProgOrder, sOrder) '

IF @Mode = 'NOCHANGE'
BEGIN
  -- Once per voucher rather than per line: its trimmed number and its ordering key.
  CREATE TABLE #PrepDoc (DocRawNo varchar(20) NULL, DocNo varchar(20) NULL, DocOrder varchar(100) NULL)
  EXEC ('INSERT INTO #PrepDoc (DocRawNo, DocNo, DocOrder) SELECT A.SanadNo, LTRIM(RTRIM(A.SanadNo)), '
    + 'ISNULL(MIN(A.SanadDate), '''') + RIGHT(SPACE(20) + LTRIM(RTRIM(A.SanadNo)), 20) '
    + 'FROM Asnad A' + @Where + ' GROUP BY A.SanadNo')
  CREATE INDEX IX_PrepDoc ON #PrepDoc (DocRawNo)
  BEGIN TRAN
  EXEC (@Lines
    + 'SELECT CASE WHEN A.TypeSys = ''N'' AND ISNULL(A.AtfCh, '''') <> '''' '
    + 'THEN ''XXX'' ELSE A.TypeSys END, A.WhatDoc, A.DocToDate, A.Document, D.DocNo, D.DocNo, '
    + 'CASE WHEN ISNULL(A.FirstNo, '''') = '''' THEN D.DocNo ELSE A.FirstNo END, A.SanadDate, '
    + 'A.Koll, A.Moein, ISNULL(A.Tafsily, ''''), ISNULL(A.Tafsily2, ''''), '
    + 'ISNULL(A.ProjectCod, ''''), A.Des, ISNULL(A.Bes, 0), ISNULL(A.Bed, 0), A.AtfCh, A.AtfNum, '
    + 'A.AtfDate, A.SherCode, A.SalMale, A.[User_Name], A.LClose, A.NoBat, A.Raj, '
    + 'ISNULL(T.TypeSysNam, A.TypeSys), A.TypeSys, D.DocOrder '
    + 'FROM Asnad A INNER JOIN #PrepDoc D ON D.DocRawNo = A.SanadNo '
    + 'LEFT OUTER JOIN ApplicationType T ON T.TypeSys = A.TypeSys' + @Where)
  EXEC ('INSERT INTO ' + @TableName + '_Pic (SanadNo, SanadPic, DocId) '
    + 'SELECT LTRIM(RTRIM(P.SanadNo)), P.SanadPic, P.DocId FROM Asnad_Pic P '
    + 'WHERE LTRIM(RTRIM(P.SanadNo)) IN (SELECT LastNo FROM ' + @TableName + ') '
    + 'INSERT INTO ' + @TableName + '_Info (SanadNo, sDes) '
    + 'SELECT LTRIM(RTRIM(N.SanadNo)), N.sDes FROM Asnad_Info N '
    + 'WHERE LTRIM(RTRIM(N.SanadNo)) IN (SELECT LastNo FROM ' + @TableName + ')')
  COMMIT
  DROP TABLE #PrepDoc
  RETURN
END

SET @Period = CASE @Mode WHEN 'DEAILY' THEN 'ISNULL(A.SanadDate, '''')'
  WHEN 'MONTLY' THEN 'LEFT(ISNULL(A.SanadDate, ''''), 7)'
  ELSE 'LEFT(ISNULL(A.SanadDate, ''''), 4)' END
SET @Caption = CASE @Mode WHEN 'DEAILY' THEN 'خلاصه اسناد روز '
  WHEN 'MONTLY' THEN 'خلاصه اسناد ماه ' ELSE 'خلاصه اسناد سال ' END

-- One summary voucher per period and program, and the vouchers each one stands for.
CREATE TABLE #SumDoc (Period varchar(10) NULL, TypeSys varchar(10) NULL, TypeSysNam varchar(50) NULL,
  SanadNo varchar(20) NULL, SanadDate varchar(10) NULL)
CREATE TABLE #SumSrc (SrcNo varchar(20) NULL, SanadNo varchar(20) NULL)
-- Per account and side, what the period's lines add up to.
CREATE TABLE #SumLine (Period varchar(10) NULL, TypeSys varchar(10) NULL, Side varchar(1) NULL,
  Koll varchar(10) NULL, Moein varchar(10) NULL, Tafsily varchar(20) NULL, Tafsily2 varchar(20) NULL,
  ProjectCod varchar(20) NULL, Amount float NULL, SherCode varchar(10) NULL, SalMale varchar(10) NULL,
  UserName varchar(100) NULL)

BEGIN TRAN
EXEC ('INSERT INTO #SumDoc (Period, TypeSys, TypeSysNam, SanadNo, SanadDate) '
  + 'SELECT ' + @Period + ', ISNULL(A.TypeSys, ''''), MAX(ISNULL(T.TypeSysNam, A.TypeSys)), '
  + 'LTRIM(MIN(RIGHT(SPACE(20) + LTRIM(RTRIM(A.SanadNo)), 20))), MAX(A.SanadDate) '
  + 'FROM Asnad A LEFT OUTER JOIN ApplicationType T ON T.TypeSys = A.TypeSys' + @Where
  + ' GROUP BY ' + @Period + ', ISNULL(A.TypeSys, '''')')
EXEC ('INSERT INTO #SumSrc (SrcNo, SanadNo) SELECT DISTINCT LTRIM(RTRIM(A.SanadNo)), D.SanadNo '
  + 'FROM Asnad A INNER JOIN #SumDoc D ON D.Period = ' + @Period
  + ' AND D.TypeSys = ISNULL(A.TypeSys, '''')' + @Where)
EXEC ('INSERT INTO #SumLine (Period, TypeSys, Side, Koll, Moein, Tafsily, Tafsily2, ProjectCod, '
  + 'Amount, SherCode, SalMale, UserName) '
  + 'SELECT Period, TypeSys, Side, Koll, Moein, Tafsily, Tafsily2, ProjectCod, SUM(Amount), '
  + 'MAX(SherCode), MAX(SalMale), MAX(UserName) FROM ('
  + 'SELECT ' + @Period + ' AS Period, ISNULL(A.TypeSys, '''') AS TypeSys, ''D'' AS Side, '
  + 'A.Koll, A.Moein, ISNULL(A.Tafsily, '''') AS Tafsily, ISNULL(A.Tafsily2, '''') AS Tafsily2, '
  + 'ISNULL(A.ProjectCod, '''') AS ProjectCod, A.Bed AS Amount, A.SherCode, A.SalMale, '
  + 'A.[User_Name] AS UserName FROM Asnad A' + @Where + ' AND ISNULL(A.Bed, 0) <> 0 '
  + 'UNION ALL '
  + 'SELECT ' + @Period + ', ISNULL(A.TypeSys, ''''), ''E'', A.Koll, A.Moein, '
  + 'ISNULL(A.Tafsily, ''''), ISNULL(A.Tafsily2, ''''), ISNULL(A.ProjectCod, ''''), A.Bes, '
  + 'A.SherCode, A.SalMale, A.[User_Name] FROM Asnad A' + @Where + ' AND ISNULL(A.Bes, 0) <> 0'
  + ') X GROUP BY Period, TypeSys, Side, Koll, Moein, Tafsily, Tafsily2, ProjectCod')
-- Debit lines first, then credit lines, each by account; Raj follows that order.
EXEC (@Lines
  + 'SELECT D.TypeSys, ''1'', '''', '''', D.SanadNo, D.SanadNo, D.SanadNo, D.SanadDate, L.Koll, '
  + 'L.Moein, L.Tafsily, L.Tafsily2, L.ProjectCod, ''' + @Caption + ''' + D.Period, '
  + 'CASE WHEN L.Side = ''E'' THEN L.Amount ELSE 0 END, '
  + 'CASE WHEN L.Side = ''D'' THEN L.Amount ELSE 0 END, '''', 0, '''', L.SherCode, L.SalMale, '
  + 'L.UserName, '''', 1, 0, D.TypeSysNam, D.TypeSys, '
  + 'D.SanadDate + RIGHT(SPACE(20) + D.SanadNo, 20) '
  + 'FROM #SumLine L INNER JOIN #SumDoc D ON D.Period = L.Period AND D.TypeSys = L.TypeSys '
  + 'ORDER BY D.SanadDate, RIGHT(SPACE(20) + D.SanadNo, 20), L.Side, L.Koll, L.Moein, '
  + 'L.Tafsily, L.Tafsily2, L.ProjectCod')
EXEC ('UPDATE T SET Raj = T.IDX - F.FirstIdx + 1 FROM ' + @TableName + ' T INNER JOIN '
  + '(SELECT SanadNo, MIN(IDX) AS FirstIdx FROM ' + @TableName + ' GROUP BY SanadNo) F '
  + 'ON F.SanadNo = T.SanadNo')
EXEC ('INSERT INTO ' + @TableName + '_Pic (SanadNo, SanadPic, DocId) '
  + 'SELECT S.SanadNo, P.SanadPic, P.DocId FROM Asnad_Pic P '
  + 'INNER JOIN #SumSrc S ON S.SrcNo = LTRIM(RTRIM(P.SanadNo)) '
  + 'INSERT INTO ' + @TableName + '_Info (SanadNo, sDes) '
  + 'SELECT S.SanadNo, N.sDes FROM Asnad_Info N '
  + 'INNER JOIN #SumSrc S ON S.SrcNo = LTRIM(RTRIM(N.SanadNo))')
COMMIT
DROP TABLE #SumDoc
DROP TABLE #SumSrc
DROP TABLE #SumLine
