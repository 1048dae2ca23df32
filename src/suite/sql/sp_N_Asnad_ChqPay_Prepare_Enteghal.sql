-- The open paid cheques of this period into the work tables of @Base (see sp_N_Asnad_Chq_Prepare).
CREATE PROCEDURE sp_N_Asnad_ChqPay_Prepare_Enteghal
  @Base varchar(200)
AS
EXEC sp_N_Asnad_Chq_Prepare @Base, '8'
