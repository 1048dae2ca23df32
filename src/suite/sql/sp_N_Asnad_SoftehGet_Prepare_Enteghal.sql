-- The open received promissory notes of this period into @Table and @TarafTable (see
-- sp_N_Asnad_Softeh_Prepare).
CREATE PROCEDURE sp_N_Asnad_SoftehGet_Prepare_Enteghal
  @Table varchar(200),
  @Min varchar(100),
  @Max varchar(100),
  @Date1 varchar(10),
  @Date2 varchar(10),
  @TarafTable varchar(200),
  @DestDb varchar(100)
AS
EXEC sp_N_Asnad_Softeh_Prepare 'A', @Table, @Min, @Max, @Date1, @Date2, @TarafTable, @DestDb
