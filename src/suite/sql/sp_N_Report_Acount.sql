-- Bank account turnover report into @TableName (created when missing; emptied with 'REFRESH'):
-- per account in the key range (BankCod + ShobehCod + AcountCod) an opening row, its treasury
-- document lines between the dates, and one balance row (sorder2 = 'X') whose rem is opening
-- debit - opening credit + debits - credits. An account that does not exist gets no rows.
CREATE PROCEDURE sp_N_Report_Acount
  @TableName varchar(200),
  @RepType varchar(20),
  @FromKey varchar(100),
  @ToKey varchar(100),
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
  + 'SELECT ''0'', '''', BankCod + ShobehCod + AcountCod, ''مانده اول دوره'', ISNULL(FirstBed, 0), '
  + 'ISNULL(FirstBes, 0), ISNULL(FirstBed, 0) - ISNULL(FirstBes, 0), ''' + @RepType + ''' '
  + 'FROM N_BankHesab WHERE BankCod + ShobehCod + AcountCod' + @Range)
-- Document lines are reached through the account rows, so the three code columns can use the
-- detail index instead of a scan per account.
EXEC ('INSERT INTO ' + @TableName + ' (sorder1, sorder2, HCod, SanadNo, SanadDate, Sharh, Bed, Bes, rem, RepType) '
  + 'SELECT ''1'', '''', D.BankCod + D.ShobehCod + D.AcountCod, A.SanadNo, A.SanadDate, D.Des, '
  + 'ISNULL(D.Bed, 0), ISNULL(D.Bes, 0), ISNULL(D.Bed, 0) - ISNULL(D.Bes, 0), ''' + @RepType + ''' '
  + 'FROM N_BankHesab H INNER JOIN N_AsnadDetail D ON D.TypeHesab = ''B'' AND D.BankCod = H.BankCod '
  + 'AND D.ShobehCod = H.ShobehCod AND D.AcountCod = H.AcountCod '
  + 'INNER JOIN N_Asnad A ON A.SanadNo = D.SanadNo '
  + 'WHERE H.BankCod + H.ShobehCod + H.AcountCod' + @Range + @Dates)
EXEC ('INSERT INTO ' + @TableName + ' (sorder1, sorder2, HCod, Sharh, Bed, Bes, rem, RepType) '
  + 'SELECT ''9'', ''X'', H.K, ''مانده'', H.Bed + ISNULL(M.Bed, 0), H.Bes + ISNULL(M.Bes, 0), '
  + 'H.Bed - H.Bes + ISNULL(M.Bed, 0) - ISNULL(M.Bes, 0), ''' + @RepType + ''' '
  + 'FROM (SELECT BankCod + ShobehCod + AcountCod AS K, ISNULL(FirstBed, 0) AS Bed, ISNULL(FirstBes, 0) AS Bes '
  + 'FROM N_BankHesab WHERE BankCod + ShobehCod + AcountCod' + @Range + ') H '
  + 'LEFT OUTER JOIN (SELECT B.BankCod + B.ShobehCod + B.AcountCod AS K, SUM(ISNULL(D.Bed, 0)) AS Bed, '
  + 'SUM(ISNULL(D.Bes, 0)) AS Bes FROM N_BankHesab B INNER JOIN N_AsnadDetail D ON D.TypeHesab = ''B'' '
  + 'AND D.BankCod = B.BankCod AND D.ShobehCod = B.ShobehCod AND D.AcountCod = B.AcountCod '
  + 'INNER JOIN N_Asnad A ON A.SanadNo = D.SanadNo '
  + 'WHERE B.BankCod + B.ShobehCod + B.AcountCod' + @Range + @Dates
  + ' GROUP BY B.BankCod + B.ShobehCod + B.AcountCod) M ON M.K = H.K')
COMMIT
