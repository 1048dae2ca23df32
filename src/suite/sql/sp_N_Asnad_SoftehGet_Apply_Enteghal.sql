-- Registers the listed received promissory notes as opening notes of this period (see
-- sp_N_Asnad_Softeh_Apply).
CREATE PROCEDURE sp_N_Asnad_SoftehGet_Apply_Enteghal
  @Table varchar(200),
  @TarafTable varchar(200),
  @Year varchar(20),
  @Company varchar(20),
  @User varchar(100)
AS
EXEC sp_N_Asnad_Softeh_Apply 'A', @Table, @TarafTable, @Year, @Company, @User
