-- Writes the vouchers of an import table (filled by sp_M_Asnad_Import_Perpar of the source
-- period) into Asnad of this period. A voucher of the table is the set of its lines with one
-- SanadNo (trimmed, as the preparation writes it); its number here depends on @Mode:
--   NEWID           every voucher gets a new number after the highest one here, in the order of
--                   its date and then its number in the source.
--   OLDID           the voucher keeps its number; when this period already holds that number the
--                   lines are added to that voucher after its last line and take its date.
--   OLDID_NOCHANGE  the voucher keeps its number; when this period already holds that number
--                   the voucher is not written.
--   REPLACE         the voucher keeps its number; a voucher of that number here is deleted first,
--                   with its pictures and notes.
-- Numbers are written right-aligned to the width of Asnad.SanadNo, as the suite stores them.
-- Lines marked TypeSys 'XXX' keep their issuing program's code (ProgOrder); the others are written
-- as the caller left them. Pictures and notes of the _Pic and _Info companions follow their
-- vouchers. SalMale becomes @SalMale and SherCode this period's company code.
-- Returns one row: vouchers written, lines written, vouchers kept out, vouchers replaced,
-- vouchers merged. @UserId and @Time name who imported and when; the caller's run report
-- keeps them.
CREATE PROCEDURE sp_M_Asnad_Import
  @Mode varchar(20),
  @TableName varchar(200),
  @SalMale varchar(10) = '',
  @UserId varchar(20) = '',
  @Time varchar(20) = ''
AS
SET XACT_ABORT ON
DECLARE @Width int, @UserWidth int, @Max decimal(20, 0), @SherCode varchar(10), @Db varchar(200)
DECLARE @Written int, @Lines int, @Kept int, @Replaced int, @Merged int

SET @Mode = UPPER(LTRIM(RTRIM(ISNULL(@Mode, ''))))
SET @TableName = LTRIM(RTRIM(ISNULL(@TableName, '')))
SET @SalMale = LTRIM(RTRIM(ISNULL(@SalMale, '')))
IF @Mode NOT IN ('NEWID', 'OLDID', 'OLDID_NOCHANGE', 'REPLACE')
BEGIN
  RAISERROR('sp_M_Asnad_Import: unknown mode ''%s''.', 16, 1, @Mode)
  RETURN
END
IF OBJECT_ID('tempdb..' + @TableName) IS NULL
BEGIN
  RAISERROR('sp_M_Asnad_Import: import table ''%s'' does not exist.', 16, 1, @TableName)
  RETURN
END

SET @Width = COL_LENGTH('Asnad', 'SanadNo')
SET @UserWidth = COL_LENGTH('Asnad', 'User_Name')
-- "KELVARO_" + code + "_" + four-digit year.
SET @Db = DB_NAME()
SET @SherCode = CASE WHEN LEN(@Db) > 13 THEN SUBSTRING(@Db, 9, LEN(@Db) - 13) ELSE '' END

-- One row per voucher of the table, in the order new numbers are given.
CREATE TABLE #ImpDoc (Seq int IDENTITY(1, 1) NOT NULL, OldNo varchar(20) NULL,
  NewNo varchar(20) NULL, SanadDate varchar(10) NULL, Act varchar(1) NULL, RajBase int NULL,
  Lines int NULL)
CREATE INDEX IX_ImpDoc_OldNo ON #ImpDoc (OldNo)
EXEC ('INSERT INTO #ImpDoc (OldNo, SanadDate, Act, RajBase, Lines) '
  + 'SELECT SanadNo, MIN(SanadDate), ''N'', 0, COUNT(*) FROM ' + @TableName
  + ' GROUP BY SanadNo ORDER BY MIN(SanadDate), RIGHT(SPACE(20) + SanadNo, 20)')

BEGIN TRAN
IF @Mode = 'NEWID'
BEGIN
  SELECT @Max = ISNULL(MAX(CAST(SanadNo AS decimal(20, 0))), 0) FROM Asnad
    WHERE LTRIM(RTRIM(ISNULL(SanadNo, ''))) <> ''
  UPDATE #ImpDoc SET NewNo = RIGHT(SPACE(@Width) + CAST(CAST(@Max + Seq AS decimal(20, 0)) AS varchar(20)), @Width)
END
ELSE
BEGIN
  UPDATE #ImpDoc SET NewNo = RIGHT(SPACE(@Width) + OldNo, @Width)
  -- Vouchers of the same number already here: their date and last line.
  UPDATE D SET Act = CASE @Mode WHEN 'OLDID' THEN 'M' WHEN 'OLDID_NOCHANGE' THEN 'K' ELSE 'R' END,
    SanadDate = CASE WHEN @Mode = 'OLDID' THEN E.SanadDate ELSE D.SanadDate END,
    RajBase = CASE WHEN @Mode = 'OLDID' THEN E.LastRaj ELSE 0 END
  FROM #ImpDoc D INNER JOIN (SELECT LTRIM(RTRIM(SanadNo)) AS No, MIN(SanadDate) AS SanadDate,
    ISNULL(MAX(Raj), 0) AS LastRaj FROM Asnad GROUP BY LTRIM(RTRIM(SanadNo))) E ON E.No = D.OldNo
  IF @Mode = 'REPLACE'
  BEGIN
    DELETE FROM Asnad_Pic WHERE LTRIM(RTRIM(SanadNo)) IN (SELECT OldNo FROM #ImpDoc WHERE Act = 'R')
    DELETE FROM Asnad_Info WHERE LTRIM(RTRIM(SanadNo)) IN (SELECT OldNo FROM #ImpDoc WHERE Act = 'R')
    DELETE FROM Asnad WHERE LTRIM(RTRIM(SanadNo)) IN (SELECT OldNo FROM #ImpDoc WHERE Act = 'R')
  END
END

EXEC ('INSERT INTO Asnad (TypeSys, WhatDoc, DocToDate, Document, SanadNo, LastNo, FirstNo, '
  + 'SanadDate, Koll, Moein, Tafsily, Tafsily2, ProjectCod, Des, Bed, Bes, AtfCh, AtfNum, '
  + 'AtfDate, SherCode, SalMale, User_Name, LClose, NoBat, Raj) '
  + 'SELECT CASE WHEN I.TypeSys = ''XXX'' THEN ISNULL(NULLIF(LTRIM(RTRIM(I.ProgOrder)), ''''), ''M'') '
  + 'ELSE I.TypeSys END, I.WhatDoc, I.DocToDate, I.Document, D.NewNo, I.LastNo, I.FirstNo, '
  + 'D.SanadDate, I.Koll, I.Moein, I.Tafsily, I.Tafsily2, I.ProjectCod, I.Des, I.Bed, I.Bes, '
  + 'I.AtfCh, I.AtfNum, I.AtfDate, ''' + @SherCode + ''', '
  + CASE WHEN @SalMale = '' THEN 'I.SalMale' ELSE '''' + @SalMale + '''' END + ', '
  + 'LEFT(I.[User_Name], ' + CAST(@UserWidth AS varchar(10)) + '), I.LClose, I.NoBat, '
  + 'D.RajBase + I.Raj FROM ' + @TableName + ' I INNER JOIN #ImpDoc D '
  + 'ON D.OldNo = I.SanadNo WHERE D.Act <> ''K'' ORDER BY D.Seq, I.Raj, I.IDX')

IF OBJECT_ID('tempdb..' + @TableName + '_Pic') IS NOT NULL
  EXEC ('INSERT INTO Asnad_Pic (SanadNo, SanadPic, DocId) SELECT D.NewNo, P.SanadPic, P.DocId '
    + 'FROM ' + @TableName + '_Pic P INNER JOIN #ImpDoc D ON D.OldNo = LTRIM(RTRIM(P.SanadNo)) '
    + 'WHERE D.Act <> ''K''')
IF OBJECT_ID('tempdb..' + @TableName + '_Info') IS NOT NULL
  EXEC ('INSERT INTO Asnad_Info (SanadNo, sDes) SELECT D.NewNo, N.sDes '
    + 'FROM ' + @TableName + '_Info N INNER JOIN #ImpDoc D ON D.OldNo = LTRIM(RTRIM(N.SanadNo)) '
    + 'WHERE D.Act <> ''K''')
COMMIT

SELECT @Written = COUNT(*), @Lines = ISNULL(SUM(Lines), 0) FROM #ImpDoc WHERE Act <> 'K'
SELECT @Kept = COUNT(*) FROM #ImpDoc WHERE Act = 'K'
SELECT @Replaced = COUNT(*) FROM #ImpDoc WHERE Act = 'R'
SELECT @Merged = COUNT(*) FROM #ImpDoc WHERE Act = 'M'
DROP TABLE #ImpDoc
SELECT @Written AS Vouchers, @Lines AS Lines, @Kept AS Kept, @Replaced AS Replaced,
  @Merged AS Merged
