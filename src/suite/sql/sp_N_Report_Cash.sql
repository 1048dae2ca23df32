-- Cash box turnover report into @TableName (created when missing; emptied with 'REFRESH'):
-- per cash box in the code range (CashCod) an opening row, its treasury document lines between
-- the dates (@DateField names the date compared; SANADDATE is the only one kept), and one balance
-- row (sorder1 = 'XX') whose rem is opening debit - opening credit + debits - credits.
-- A code that does not exist gets no rows.
CREATE PROCEDURE sp_N_Report_Cash
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
  + 'SELECT ''00'', '''', CashCod, ''مانده اول دوره'', ISNULL(FirstBed, 0), '
  + 'ISNULL(FirstBes, 0), ISNULL(FirstBed, 0) - ISNULL(FirstBes, 0), ''' + @RepType + ''' '
  + 'FROM N_Cash WHERE CashCod' + @Range)
EXEC ('INSERT INTO ' + @TableName + ' (sorder1, sorder2, HCod, SanadNo, SanadDate, Sharh, Bed, Bes, rem, RepType) '
  + 'SELECT ''01'', '''', D.CashCod, A.SanadNo, A.SanadDate, D.Des, '
  + 'ISNULL(D.Bed, 0), ISNULL(D.Bes, 0), ISNULL(D.Bed, 0) - ISNULL(D.Bes, 0), ''' + @RepType + ''' '
  + 'FROM N_AsnadDetail D INNER JOIN N_Asnad A ON A.SanadNo = D.SanadNo '
  + 'WHERE D.TypeHesab = ''C'' AND D.CashCod' + @Range + @Dates
  + ' AND D.CashCod IN (SELECT CashCod FROM N_Cash)')
EXEC ('INSERT INTO ' + @TableName + ' (sorder1, sorder2, HCod, Sharh, Bed, Bes, rem, RepType) '
  + 'SELECT ''XX'', '''', H.K, ''مانده'', H.Bed + ISNULL(M.Bed, 0), H.Bes + ISNULL(M.Bes, 0), '
  + 'H.Bed - H.Bes + ISNULL(M.Bed, 0) - ISNULL(M.Bes, 0), ''' + @RepType + ''' '
  + 'FROM (SELECT CashCod AS K, ISNULL(FirstBed, 0) AS Bed, ISNULL(FirstBes, 0) AS Bes '
  + 'FROM N_Cash WHERE CashCod' + @Range + ') H '
  + 'LEFT OUTER JOIN (SELECT D.CashCod AS K, SUM(ISNULL(D.Bed, 0)) AS Bed, '
  + 'SUM(ISNULL(D.Bes, 0)) AS Bes FROM N_AsnadDetail D INNER JOIN N_Asnad A ON A.SanadNo = D.SanadNo '
  + 'WHERE D.TypeHesab = ''C'' AND D.CashCod' + @Range + @Dates + ' GROUP BY D.CashCod) M ON M.K = H.K')
COMMIT
