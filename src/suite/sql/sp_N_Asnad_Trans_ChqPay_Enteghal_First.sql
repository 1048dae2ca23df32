-- Registers the settled paid cheques of the work tables of @Base as opening cheques of this
-- period dated @Date1 (see sp_N_Asnad_Trans_Chq_Enteghal). @Source, @Company and @Year name where
-- they come from and where they go; the work tables already hold everything registered.
CREATE PROCEDURE sp_N_Asnad_Trans_ChqPay_Enteghal_First
  @Base varchar(200),
  @Source varchar(200),
  @Company varchar(20),
  @Year varchar(20),
  @User varchar(100),
  @Date1 varchar(10)
AS
EXEC sp_N_Asnad_Trans_Chq_Enteghal @Base, '8', @Date1, @User
