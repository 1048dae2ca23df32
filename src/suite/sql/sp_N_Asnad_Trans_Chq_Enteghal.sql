-- Registers the cheques settled for carrying (@Base + '_Pay_Last', their counterparty lines in
-- @Base + '_Taraf_Last', currency lines in '_Arz_Chq_Last' and '_Arz_Taraf_Last') as opening
-- cheques of this period: per cheque one treasury document dated @Date1 with the cheque line
-- (72 received, 85 paid) and the lines it is settled against, its opening-cheque row, its
-- currency lines and its last action. A cheque whose number and series already stand in
-- N_ChqLastTrans is left alone, so registering the same list twice adds nothing. All or nothing.
CREATE PROCEDURE sp_N_Asnad_Trans_Chq_Enteghal
  @Base varchar(200),
  @Kind varchar(1),
  @Date1 varchar(10),
  @User varchar(100) = ''
AS
SET XACT_ABORT ON
DECLARE @Code varchar(2), @First int, @Pay varchar(250), @Taraf varchar(250), @ArzChq varchar(250),
  @ArzTaraf varchar(250), @F varchar(20)
SET @Base = LTRIM(RTRIM(ISNULL(@Base, '')))
SET @Code = CASE WHEN @Kind = '7' THEN '72' ELSE '85' END
SET @Pay = @Base + '_Pay_Last'
SET @Taraf = @Base + '_Taraf_Last'
SET @ArzChq = @Base + '_Arz_Chq_Last'
SET @ArzTaraf = @Base + '_Arz_Taraf_Last'
SET @Date1 = REPLACE(ISNULL(@Date1, ''), '''', '''''')
SELECT @First = ISNULL(MAX(Serial), 0) FROM N_NaghdTrans
SET @First = ISNULL(@First, 0)
SET @F = CAST(@First AS varchar(20))

-- The cheques to register with what they carry, one row each.
CREATE TABLE #Chq (Seq int NOT NULL, ChqNo varchar(50) NULL, Joz varchar(50) NULL,
  SourceSerial int NULL, AcountID int NULL, SanadNo varchar(50) NULL, SanadDate varchar(10) NULL,
  SarResidDate varchar(10) NULL, ChqValue float NULL, Des varchar(500) NULL, BankCod varchar(50) NULL,
  ShobehCod varchar(50) NULL, Taraf varchar(120) NULL, Havaleh varchar(1) NULL, Tazmin varchar(1) NULL,
  ChqGetter varchar(500) NULL, Ref int NULL)
-- _Pay_Last holds one row per cheque (the listing groups by number and series); a key that
-- still comes twice in one document is registered once.
-- Numbered in document order, as their new documents will be.
EXEC ('INSERT INTO #Chq (Seq, ChqNo, Joz, SourceSerial, AcountID, SanadNo, SanadDate, SarResidDate, ChqValue, '
  + 'Des, BankCod, ShobehCod, Taraf, Havaleh, Tazmin, ChqGetter, Ref) '
  + 'SELECT ROW_NUMBER() OVER (ORDER BY P.Serial, LTRIM(RTRIM(P.ChqNo))), LTRIM(RTRIM(P.ChqNo)), LTRIM(RTRIM(ISNULL(P.Joz, ''''))), P.Serial, P.AcountID, P.SanadNo, '
  + 'P.SanadDate, P.SarResidDate, P.ChqValue, P.Des, P.BankCod, P.ShobehCod, LEFT(ISNULL(P.Taraf, ''''), 120), '
  + 'P.Havaleh, P.Tazmin, P.chqgetter, P.Ref FROM ' + @Pay + ' P '
  + 'WHERE NOT EXISTS (SELECT * FROM N_ChqLastTrans L WHERE L.ChqNo = P.ChqNo '
  + 'AND ISNULL(L.Joz, '''') = ISNULL(P.Joz, '''')) '
  + 'AND NOT EXISTS (SELECT * FROM ' + @Pay + ' Q WHERE Q.Serial = P.Serial AND Q.IDX < P.IDX '
  + 'AND LTRIM(RTRIM(Q.ChqNo)) = LTRIM(RTRIM(P.ChqNo)) AND ISNULL(Q.Joz, '''') = ISNULL(P.Joz, '''')) ')
CREATE INDEX IX_Chq_Serial ON #Chq (SourceSerial)
CREATE INDEX IX_Chq_Seq ON #Chq (Seq)
CREATE INDEX IX_Chq_Ref ON #Chq (Ref)
-- The lines each cheque is settled against; they follow the cheque line of its document as
-- lines 2, 3, ... in their order (Raj).
CREATE TABLE #Line (ChqSeq int NULL, Raj int NULL, Koll varchar(20) NULL,
  Moein varchar(20) NULL, Tafsily varchar(20) NULL, Tafsily2 varchar(20) NULL, ProjectCod varchar(20) NULL,
  WhatDoc2 varchar(50) NULL, CodWhatDoc2 varchar(50) NULL, ManabehCod varchar(10) NULL, ChqValue float NULL,
  Des varchar(500) NULL, Ref int NULL, ArzCount float NULL, Nerkh float NULL)
EXEC ('INSERT INTO #Line (ChqSeq, Raj, Koll, Moein, Tafsily, Tafsily2, ProjectCod, WhatDoc2, CodWhatDoc2, '
  + 'ManabehCod, ChqValue, Des, Ref, ArzCount, Nerkh) SELECT C.Seq, '
  + '1 + ROW_NUMBER() OVER (PARTITION BY C.Seq ORDER BY T.Raj), T.Koll, T.Moein, T.Tafsily, T.Tafsily2, '
  + 'T.ProjectCod, T.WhatDoc2, T.CodWhatDoc2, T.ManabehCod, T.ChqValue, T.Des, T.Ref, T.ArzCount, T.Nerkh '
  + 'FROM #Chq C INNER JOIN ' + @Taraf + ' T ON T.Serial = C.SourceSerial AND LTRIM(RTRIM(T.ChqNo)) = C.ChqNo '
  + 'AND LTRIM(RTRIM(ISNULL(T.Joz, ''''))) = C.Joz')
CREATE INDEX IX_Line_Chq ON #Line (ChqSeq, Raj)
CREATE INDEX IX_Line_Ref ON #Line (Ref)

BEGIN TRAN
EXEC ('INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, AcountID, ChqNo, Joz, '
  + 'SarResidDate, ChqValue, BankCod, ShobehCod, Des, Havaleh, Tazmin, ChqGetter) '
  + 'SELECT ' + @F + ' + C.Seq, 1, ''' + @Code + ''', CAST(' + @F + ' + C.Seq AS varchar(20)), '''
  + @Date1 + ''', C.AcountID, C.ChqNo, C.Joz, C.SarResidDate, C.ChqValue, C.BankCod, C.ShobehCod, '
  + 'C.Des, C.Havaleh, C.Tazmin, C.ChqGetter FROM #Chq C')
EXEC ('INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, Koll, Moein, Tafsily, '
  + 'Tafsily2, ProjectCod, WhatDoc2, CodWhatDoc2, ManabehCod, ChqNo, Joz, ChqValue, Des) '
  + 'SELECT ' + @F + ' + C.Seq, T.Raj, ''' + @Code + ''', CAST(' + @F + ' + C.Seq AS varchar(20)), '''
  + @Date1 + ''', T.Koll, T.Moein, T.Tafsily, T.Tafsily2, T.ProjectCod, T.WhatDoc2, T.CodWhatDoc2, '
  + 'T.ManabehCod, '''', '''', T.ChqValue, T.Des FROM #Line T INNER JOIN #Chq C ON C.Seq = T.ChqSeq')
EXEC ('INSERT INTO N_CHQFirst (Serial, WhatDoc, AcountID, ChqNo, Joz, SanadNo, SanadDate, SarResidDate, '
  + 'ChqValue, Des, BankCod, ShobehCod, Koll, Moein, Tafsily, Tafsily2, ProjectCod, Taraf, Havaleh, '
  + 'Tazmin, ChqGetter, SourceSerial) '
  + 'SELECT ' + @F + ' + C.Seq, ''' + @Code + ''', C.AcountID, C.ChqNo, C.Joz, C.SanadNo, C.SanadDate, '
  + 'C.SarResidDate, C.ChqValue, C.Des, C.BankCod, C.ShobehCod, T.Koll, T.Moein, T.Tafsily, T.Tafsily2, '
  + 'T.ProjectCod, C.Taraf, C.Havaleh, C.Tazmin, C.ChqGetter, C.SourceSerial '
  + 'FROM #Chq C LEFT OUTER JOIN #Line T ON T.ChqSeq = C.Seq AND T.Raj = 2')
EXEC ('INSERT INTO N_ArzTrans (Serial, Raj, WhatDoc, ArzCod, ArzCount, Nerkh) '
  + 'SELECT ' + @F + ' + C.Seq, 1, ''' + @Code + ''', A.ArzCod, A.ArzCount, A.Nerkh '
  + 'FROM #Chq C INNER JOIN ' + @ArzChq + ' A ON A.IDX = C.Ref')
EXEC ('INSERT INTO N_ArzTrans (Serial, Raj, WhatDoc, ArzCod, ArzCount, Nerkh) '
  + 'SELECT ' + @F + ' + C.Seq, T.Raj, ''' + @Code + ''', A.ArzCod, '
  + 'CASE WHEN ISNULL(T.Nerkh, 0) > 0 THEN T.ChqValue / T.Nerkh ELSE T.ArzCount END, T.Nerkh '
  + 'FROM #Line T INNER JOIN #Chq C ON C.Seq = T.ChqSeq '
  + 'INNER JOIN ' + @ArzTaraf + ' A ON A.IDX = T.Ref')
EXEC ('INSERT INTO N_ChqLastTrans (WhatDoc, AcountId, ChqNo, Joz, SanadDate, Serial) '
  + 'SELECT ''' + @Code + ''', C.AcountID, C.ChqNo, C.Joz, ''' + @Date1 + ''', ' + @F + ' + C.Seq '
  + 'FROM #Chq C')
COMMIT
DROP TABLE #Line
DROP TABLE #Chq
