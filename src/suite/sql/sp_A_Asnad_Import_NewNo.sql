-- New numbers for the documents of an inventory import table (see sp_A_Asnad_Import_Perpar):
-- fills Document2 of every line with the number its document would get here, right-aligned to
-- the width of A_TranID.Document. Per code and warehouse, in the order of the source headers,
-- documents count on from the highest number this period holds for that code and warehouse;
-- receipts and issues (30, 50) and their drafts (300, 500) count on together from the higher
-- of the documents and the drafts, temporary receipts (400) from A_InterimTranID, item requests (600)
-- from A_TranIDKALAREQ. The incoming half (80) of a transfer shares the number of its outgoing
-- half (85): the one of the same number whose other warehouse is this half's warehouse.
-- Numbers compare as decimals, whether stored padded or not.
CREATE PROCEDURE sp_A_Asnad_Import_NewNo
  @TableName varchar(200)
AS
DECLARE @Width int
SET @Width = COL_LENGTH('A_TranID', 'Document')
CREATE TABLE #NumDoc (Seq int IDENTITY(1, 1) NOT NULL, WhatDoc varchar(3) NULL,
  StoreDoc varchar(3) NULL, AnbarCod varchar(50) NULL, OldNo varchar(50) NULL, Base decimal(20, 0) NULL,
  First int NULL, NewNo varchar(50) NULL)
CREATE TABLE #MaxNo (WhatDoc varchar(3) NULL, AnbarCod varchar(50) NULL, MaxNo decimal(20, 0) NULL)
EXEC ('INSERT INTO #NumDoc (WhatDoc, AnbarCod, OldNo) SELECT WhatDoc, AnbarCod, '
  + 'LTRIM(RTRIM(OldDocument)) FROM ' + @TableName + ' WHERE KalaCod IS NOT NULL AND WhatDoc <> ''80'' '
  + 'GROUP BY WhatDoc, AnbarCod, LTRIM(RTRIM(OldDocument)) '
  + 'ORDER BY AnbarCod, CASE WHEN WhatDoc IN (''300'', ''500'') THEN LEFT(WhatDoc, 2) ELSE WhatDoc END, '
  + 'WhatDoc, MIN(TranID), RIGHT(SPACE(20) + LTRIM(RTRIM(OldDocument)), 20)')
UPDATE #NumDoc SET Base = 0, StoreDoc = CASE WHEN WhatDoc IN ('300', '500') THEN LEFT(WhatDoc, 2) ELSE WhatDoc END

INSERT INTO #MaxNo (WhatDoc, AnbarCod, MaxNo)
  SELECT WhatDoc, AnbarCod, MAX(CAST(LTRIM(RTRIM(Document)) AS decimal(20, 0))) FROM A_TranID
  WHERE LTRIM(RTRIM(ISNULL(Document, ''))) <> '' GROUP BY WhatDoc, AnbarCod
UPDATE D SET Base = M.MaxNo FROM #NumDoc D INNER JOIN #MaxNo M ON M.WhatDoc = D.StoreDoc
  AND M.AnbarCod = D.AnbarCod WHERE D.WhatDoc NOT IN ('400', '600') AND M.MaxNo > D.Base
DELETE FROM #MaxNo
INSERT INTO #MaxNo (WhatDoc, AnbarCod, MaxNo)
  SELECT WhatDoc, AnbarCod, MAX(CAST(LTRIM(RTRIM(Document)) AS decimal(20, 0))) FROM A_TranSanj_Movagat
  WHERE LTRIM(RTRIM(ISNULL(Document, ''))) <> '' GROUP BY WhatDoc, AnbarCod
UPDATE D SET Base = M.MaxNo FROM #NumDoc D INNER JOIN #MaxNo M ON M.WhatDoc = D.StoreDoc
  AND M.AnbarCod = D.AnbarCod WHERE D.StoreDoc IN ('30', '50') AND M.MaxNo > D.Base
DELETE FROM #MaxNo
INSERT INTO #MaxNo (WhatDoc, AnbarCod, MaxNo)
  SELECT '400', AnbarCod, MAX(CAST(LTRIM(RTRIM(Document)) AS decimal(20, 0))) FROM A_InterimTranID
  WHERE LTRIM(RTRIM(ISNULL(Document, ''))) <> '' GROUP BY AnbarCod
INSERT INTO #MaxNo (WhatDoc, AnbarCod, MaxNo)
  SELECT '600', AnbarCod, MAX(CAST(LTRIM(RTRIM(Document)) AS decimal(20, 0))) FROM A_TranIDKALAREQ
  WHERE LTRIM(RTRIM(ISNULL(Document, ''))) <> '' GROUP BY AnbarCod
UPDATE D SET Base = M.MaxNo FROM #NumDoc D INNER JOIN #MaxNo M ON M.WhatDoc = D.WhatDoc
  AND M.AnbarCod = D.AnbarCod WHERE D.WhatDoc IN ('400', '600') AND M.MaxNo > D.Base

-- A receipt or issue and a draft of its kind never share a number: they count on together,
-- the documents first.
UPDATE D SET First = F.FirstSeq FROM #NumDoc D INNER JOIN (SELECT StoreDoc, AnbarCod,
  MIN(Seq) AS FirstSeq FROM #NumDoc GROUP BY StoreDoc, AnbarCod) F ON F.StoreDoc = D.StoreDoc
  AND F.AnbarCod = D.AnbarCod
UPDATE #NumDoc SET NewNo = RIGHT(SPACE(@Width)
  + CAST(CAST(Base + Seq - First + 1 AS decimal(20, 0)) AS varchar(20)), @Width)

EXEC ('UPDATE T SET Document2 = D.NewNo FROM ' + @TableName + ' T INNER JOIN #NumDoc D '
  + 'ON D.WhatDoc = T.WhatDoc AND D.AnbarCod = T.AnbarCod AND D.OldNo = LTRIM(RTRIM(T.OldDocument)) '
  + 'WHERE T.KalaCod IS NOT NULL')
EXEC ('UPDATE T SET Document2 = D.NewNo FROM ' + @TableName + ' T INNER JOIN #NumDoc D '
  + 'ON D.WhatDoc = ''85'' AND D.AnbarCod = T.TransStore AND D.OldNo = LTRIM(RTRIM(T.OldDocument)) '
  + 'WHERE T.WhatDoc = ''80'' AND T.KalaCod IS NOT NULL')
DROP TABLE #NumDoc
DROP TABLE #MaxNo
