CREATE PROCEDURE dbo.p_Test (@a int = 0, @b varchar(20) = N'الف' OUTPUT)
WITH RECOMPILE
AS
BEGIN
  SET NOCOUNT ON
  DECLARE @i int = 1, @s nvarchar(max)
  WHILE @i <= 10 BEGIN
    SET @i += 1
    IF @i % 2 = 0 CONTINUE ELSE PRINT 'odd' + CAST(@i AS varchar(10))
  END
  /* nested /* comment */ */
  SELECT TOP (5) a.*, CASE WHEN x BETWEEN 1 AND 2 THEN 'y' ELSE CONVERT(varchar(10), 1.5e3, 120) END AS c
  FROM t a LEFT OUTER JOIN (SELECT DISTINCT b FROM u WITH (NOLOCK)) d ON a.k = d.b
  WHERE a.n NOT IN (1, 2) AND NOT EXISTS (SELECT * FROM v WHERE v.k = a.k)
  GROUP BY a.k HAVING COUNT(*) > 1 UNION ALL SELECT 1 ORDER BY 1 DESC
  EXEC ('DROP TABLE ' + @s)
  RAISERROR('bad %s', 16, 1, @s) WITH NOWAIT
  RETURN -1
END
