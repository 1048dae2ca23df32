-- Turnover report of one kind of holder (cash boxes or petty-cash holders) into @TableName
-- (created when missing; emptied with 'REFRESH'): per holder in the code range an opening row,
-- its treasury document lines between the dates, and one balance row (sorder1 = 'XX') whose rem
-- is opening debit - opening credit + debits - credits. A code that does not exist gets no rows.
-- @Master is the holders' table, @KeyCol its code column, @Kind the TypeHesab of their lines.
CREATE PROCEDURE sp_N_Report_Holder
  @Master varchar(50),
  @KeyCol varchar(50),
  @Kind varchar(1),
  @TableName varchar(200),
  @WithCheque varchar(10),
  @WithDetail varchar(10),
  @RepType varchar(20),
  @FromKey varchar(100),
  @ToKey varchar(100),
  @DateField varchar(30),
  @Date1 varchar(10),
  @Date2 varchar(10),
  @Refresh varchar(20) = ''
AS
SET XACT_ABORT ON
DECLARE @Range varchar(1000), @Dates varchar(500)
SET @TableName = LTRIM(RTRIM(@TableName))
SET @Range = ' BETWEEN ''' + REPLACE(ISNULL(@FromKey, ''), '''', '''''') + ''' AND '''
  + REPLACE(ISNULL(@ToKey, ''), '''', '''''') + ''''
SET @Dates = ''
IF LTRIM(RTRIM(ISNULL(@Date1, ''))) <> ''
  SET @Dates = @Dates + ' AND A.SanadDate >= ''' + REPLACE(@Date1, '''', '''''') + ''''
IF LTRIM(RTRIM(ISNULL(@Date2, ''))) <> ''
  SET @Dates = @Dates + ' AND A.SanadDate <= ''' + REPLACE(@Date2, '''', '''''') + ''''

IF OBJECT_ID('tempdb..' + @TableName) IS NULL AND OBJECT_ID(@TableName) IS NULL
  EXEC ('CREATE TABLE ' + @TableName + ' (sorder1 varchar(10) NULL, sorder2 varchar(10) NULL, '
    + 'HCod varchar(100) NULL, SanadNo int NULL, SanadDate varchar(10) NULL, Sharh varchar(500) NULL, '
    + 'Bed float NULL, Bes float NULL, rem float NULL, RepType varchar(20) NULL)')
ELSE IF UPPER(LTRIM(RTRIM(ISNULL(@Refresh, '')))) = 'REFRESH'
  EXEC ('DELETE FROM ' + @TableName)

BEGIN TRAN
EXEC ('INSERT INTO ' + @TableName + ' (sorder1, sorder2, HCod, Sharh, Bed, Bes, rem, RepType) '
  + 'SELECT ''00'', '''', ' + @KeyCol + ', ''مانده اول دوره'', ISNULL(FirstBed, 0), '
  + 'ISNULL(FirstBes, 0), ISNULL(FirstBed, 0) - ISNULL(FirstBes, 0), ''' + @RepType + ''' '
  + 'FROM ' + @Master + ' WHERE ' + @KeyCol + @Range)
EXEC ('INSERT INTO ' + @TableName + ' (sorder1, sorder2, HCod, SanadNo, SanadDate, Sharh, Bed, Bes, rem, RepType) '
  + 'SELECT ''01'', '''', D.' + @KeyCol + ', A.SanadNo, A.SanadDate, D.Des, '
  + 'ISNULL(D.Bed, 0), ISNULL(D.Bes, 0), ISNULL(D.Bed, 0) - ISNULL(D.Bes, 0), ''' + @RepType + ''' '
  + 'FROM N_AsnadDetail D INNER JOIN N_Asnad A ON A.SanadNo = D.SanadNo '
  + 'WHERE D.TypeHesab = ''' + @Kind + ''' AND D.' + @KeyCol + @Range + @Dates
  + ' AND D.' + @KeyCol + ' IN (SELECT ' + @KeyCol + ' FROM ' + @Master + ')')
EXEC ('INSERT INTO ' + @TableName + ' (sorder1, sorder2, HCod, Sharh, Bed, Bes, rem, RepType) '
  + 'SELECT ''XX'', '''', H.K, ''مانده'', H.Bed + ISNULL(M.Bed, 0), H.Bes + ISNULL(M.Bes, 0), '
  + 'H.Bed - H.Bes + ISNULL(M.Bed, 0) - ISNULL(M.Bes, 0), ''' + @RepType + ''' '
  + 'FROM (SELECT ' + @KeyCol + ' AS K, ISNULL(FirstBed, 0) AS Bed, ISNULL(FirstBes, 0) AS Bes '
  + 'FROM ' + @Master + ' WHERE ' + @KeyCol + @Range + ') H '
  + 'LEFT OUTER JOIN (SELECT D.' + @KeyCol + ' AS K, SUM(ISNULL(D.Bed, 0)) AS Bed, '
  + 'SUM(ISNULL(D.Bes, 0)) AS Bes FROM N_AsnadDetail D INNER JOIN N_Asnad A ON A.SanadNo = D.SanadNo '
  + 'WHERE D.TypeHesab = ''' + @Kind + ''' AND D.' + @KeyCol + @Range + @Dates + ' GROUP BY D.' + @KeyCol + ') M ON M.K = H.K')
COMMIT
