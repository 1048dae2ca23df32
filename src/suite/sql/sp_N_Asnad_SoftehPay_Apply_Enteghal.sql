-- Registers the listed paid promissory notes as opening notes of this period (see
-- sp_N_Asnad_Softeh_Apply).
CREATE PROCEDURE sp_N_Asnad_SoftehPay_Apply_Enteghal
  @Table varchar(200),
  @TarafTable varchar(200),
  @Year varchar(20),
  @Company varchar(20),
  @User varchar(100)
AS
EXEC sp_N_Asnad_Softeh_Apply 'B', @Table, @TarafTable, @Year, @Company, @User
