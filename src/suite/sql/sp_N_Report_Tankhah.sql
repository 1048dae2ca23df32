-- Petty-cash turnover report: the holder report over N_Tankhah (PersonCod, lines of kind 'T').
CREATE PROCEDURE sp_N_Report_Tankhah
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
EXEC sp_N_Report_Holder 'N_Tankhah', 'PersonCod', 'T', @TableName, @WithCheque, @WithDetail, @RepType,
  @FromKey, @ToKey, @DateField, @Date1, @Date2, @Refresh
