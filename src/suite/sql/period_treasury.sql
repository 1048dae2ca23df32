-- Period database, treasury: banks, branches, bank accounts with their opening balances,
-- cheque books and cheque print designs, currencies, cash boxes, petty-cash holders, sources and
-- uses of funds, and the treasury documents (TypeHesab B bank, C cash box, T petty cash) that the
-- balance reports read.
CREATE TABLE N_Bank (
  BankCod varchar($(BankWidth)) NOT NULL PRIMARY KEY,
  BankNam varchar($(NameWidth)) NULL
)
CREATE TABLE N_SHOAB (
  BankCod varchar($(BankWidth)) NOT NULL,
  ShobehCod varchar($(ShobehWidth)) NOT NULL,
  ShobehNam varchar($(NameWidth)) NULL,
  Address varchar(500) NULL,
  TelNo varchar(50) NULL,
  FaxNo varchar(50) NULL,
  PRIMARY KEY (BankCod, ShobehCod)
)
CREATE TABLE N_BankHesab (
  BankCod varchar($(BankWidth)) NOT NULL,
  ShobehCod varchar($(ShobehWidth)) NOT NULL,
  AcountCod varchar($(AcountWidth)) NOT NULL,
  JKoll varchar($(KollWidth)) NULL,
  JMoein varchar($(MoeinWidth)) NULL,
  JTafsily varchar($(TafsilyWidth)) NULL,
  JTafsily2 varchar($(Tafsily2Width)) NULL,
  JProjectCod varchar($(ProjectWidth)) NULL,
  AKoll varchar($(KollWidth)) NULL,
  AMoein varchar($(MoeinWidth)) NULL,
  ATafsily varchar($(TafsilyWidth)) NULL,
  ATafsily2 varchar($(Tafsily2Width)) NULL,
  AProjectCod varchar($(ProjectWidth)) NULL,
  VKoll varchar($(KollWidth)) NULL,
  VMoein varchar($(MoeinWidth)) NULL,
  VTafsily varchar($(TafsilyWidth)) NULL,
  VTafsily2 varchar($(Tafsily2Width)) NULL,
  VProjectCod varchar($(ProjectWidth)) NULL,
  EKoll varchar($(KollWidth)) NULL,
  EMoein varchar($(MoeinWidth)) NULL,
  ETafsily varchar($(TafsilyWidth)) NULL,
  ETafsily2 varchar($(Tafsily2Width)) NULL,
  EProjectCod varchar($(ProjectWidth)) NULL,
  HKoll varchar($(KollWidth)) NULL,
  HMoein varchar($(MoeinWidth)) NULL,
  HTafsily varchar($(TafsilyWidth)) NULL,
  HTafsily2 varchar($(Tafsily2Width)) NULL,
  HProjectCod varchar($(ProjectWidth)) NULL,
  FirstBed float NULL DEFAULT 0,
  FirstBes float NULL DEFAULT 0,
  ArzCod varchar($(ArzWidth)) NULL,
  ACOUNTID int NULL,
  PRIMARY KEY (BankCod, ShobehCod, AcountCod)
)
CREATE TABLE N_AsnadDaryaftani (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  AKoll varchar($(KollWidth)) NULL,
  AMoein varchar($(MoeinWidth)) NULL,
  ATafsily varchar($(TafsilyWidth)) NULL,
  ATafsily2 varchar($(Tafsily2Width)) NULL,
  AProjectCod varchar($(ProjectWidth)) NULL,
  VKoll varchar($(KollWidth)) NULL,
  VMoein varchar($(MoeinWidth)) NULL,
  VTafsily varchar($(TafsilyWidth)) NULL,
  VTafsily2 varchar($(Tafsily2Width)) NULL,
  VProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE N_Cheque (
  ACOUNTID int NOT NULL,
  FIRSTNUM int NOT NULL,
  LASTNUM int NULL,
  ChqJoz2 varchar(10) NULL,
  [GETDATE] varchar(10) NULL,
  PERSONCOD varchar($(PersonWidth)) NULL,
  FORMCODE int NULL,
  CHEQUEID int NULL,
  JOZ varchar(10) NULL,
  PRIMARY KEY (ACOUNTID, FIRSTNUM)
)
CREATE TABLE N_ChqType (
  ChqTypeCod varchar(4) NOT NULL PRIMARY KEY,
  ChqTypeNam varchar($(NameWidth)) NULL
)
CREATE TABLE N_BardashtBank (
  BardashtCod varchar(4) NOT NULL PRIMARY KEY,
  BardashtNam varchar($(NameWidth)) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL
)
CREATE TABLE N_AccountType (
  AccTypeCode varchar(4) NOT NULL PRIMARY KEY,
  AccTypeName varchar($(NameWidth)) NULL
)
CREATE TABLE N_Prn_Cheque_Forms (
  FrmID int NOT NULL PRIMARY KEY,
  FrmName varchar(100) NULL,
  ImgW int NULL,
  ImgH int NULL,
  V_Img varchar(1) NULL,
  ImgPath varchar(500) NULL,
  DrawKadr varchar(1) NULL,
  V_AmountF varchar(1) NULL,
  F_AmountF varchar(50) NULL,
  V_AmountE varchar(1) NULL,
  F_AmountE varchar(50) NULL,
  Hashour varchar(10) NULL,
  DesIdx int NULL
)
CREATE TABLE N_Prn_Cheque_Obj (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  Titr varchar(100) NULL,
  FrmID int NOT NULL,
  ObjName varchar(50) NULL,
  Font_Name varchar(50) NULL,
  Font_Size int NULL,
  Font_Style int NULL,
  Font_Color int NULL,
  Width int NULL,
  Height int NULL,
  [Left] int NULL,
  [Top] int NULL
)
CREATE TABLE N_Arz (
  ArzCod varchar($(ArzWidth)) NOT NULL PRIMARY KEY,
  ArzNam varchar($(NameWidth)) NULL
)
CREATE TABLE N_Cash (
  CashCod varchar($(CashWidth)) NOT NULL PRIMARY KEY,
  CashNam varchar($(NameWidth)) NULL,
  PersonCod varchar($(PersonWidth)) NULL,
  FirstBed float NULL DEFAULT 0,
  FirstBes float NULL DEFAULT 0,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE N_Tankhah (
  PersonCod varchar($(PersonWidth)) NOT NULL PRIMARY KEY,
  FirstBed float NULL DEFAULT 0,
  FirstBes float NULL DEFAULT 0,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE N_Manabeh (
  ManabehCod varchar(10) NOT NULL PRIMARY KEY,
  ManabehNam varchar($(NameWidth)) NULL,
  ManabehType varchar(1) NULL,
  IsManabehIn varchar(1) NULL,
  IsManabehOut varchar(1) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE N_ManabehG (
  ManabehGCod varchar(10) NOT NULL PRIMARY KEY,
  ManabehNam varchar($(NameWidth)) NULL
)
CREATE TABLE N_ManabehZG (
  ManabehZGCod varchar(10) NOT NULL PRIMARY KEY,
  ManabehNam varchar($(NameWidth)) NULL
)
CREATE TABLE N_Mojavez (
  PMojavezCod varchar(6) NOT NULL PRIMARY KEY,
  PMojavezNam varchar($(NameWidth)) NULL
)
CREATE TABLE N_Asnad (
  SanadNo int NOT NULL PRIMARY KEY,
  SanadDate varchar(10) NULL,
  TypeSanad varchar(2) NULL,
  Des varchar(500) NULL,
  User_Name varchar($(UserNameWidth)) NULL
)
CREATE TABLE N_AsnadDetail (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  SanadNo int NOT NULL,
  Raj int NULL,
  TypeHesab varchar(1) NOT NULL,
  BankCod varchar($(BankWidth)) NULL,
  ShobehCod varchar($(ShobehWidth)) NULL,
  AcountCod varchar($(AcountWidth)) NULL,
  CashCod varchar($(CashWidth)) NULL,
  PersonCod varchar($(PersonWidth)) NULL,
  Bed float NULL DEFAULT 0,
  Bes float NULL DEFAULT 0,
  Des varchar(500) NULL
)
CREATE INDEX IX_N_AsnadDetail ON N_AsnadDetail (TypeHesab, SanadNo)
CREATE INDEX IX_N_AsnadDetail_Cash ON N_AsnadDetail (TypeHesab, CashCod)
CREATE INDEX IX_N_AsnadDetail_Person ON N_AsnadDetail (TypeHesab, PersonCod)
CREATE INDEX IX_N_AsnadDetail_Bank ON N_AsnadDetail (TypeHesab, BankCod, ShobehCod, AcountCod)
-- Cheques and promissory notes. Treasury document lines (N_NaghdTrans for cheques, N_SoftehTrans
-- for notes) hold both the items of a document (ChqNo / SoftehNo filled) and its counterparty
-- lines (number empty, the account the amount is settled against). Action codes: received
-- cheques 7x, paid cheques 8x, received notes Ax, paid notes Bx; N_AsnadNaghd names them.
CREATE TABLE N_AsnadNaghd (
  WhatDoc varchar(2) NOT NULL PRIMARY KEY,
  NDocNam varchar(100) NULL,
  Status int NULL,
  Status2 int NULL
)
CREATE TABLE N_NaghdTrans (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  Serial int NOT NULL,
  Raj int NOT NULL,
  WhatDoc varchar(2) NOT NULL,
  SanadNo varchar(20) NULL,
  SanadDate varchar(10) NULL,
  AcountID int NULL,
  ChqNo varchar(50) NULL,
  Joz varchar(50) NULL,
  SarResidDate varchar(10) NULL,
  ChqValue float NULL,
  BankCod varchar($(BankWidth)) NULL,
  ShobehCod varchar($(ShobehWidth)) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  WhatDoc2 varchar(50) NULL,
  CodWhatDoc2 varchar(50) NULL,
  ManabehCod varchar(10) NULL,
  Des varchar(500) NULL,
  des5 varchar(250) NULL,
  Havaleh varchar(1) NULL,
  Tazmin varchar(1) NULL,
  ChqGetter varchar(500) NULL
)
CREATE INDEX IX_N_NaghdTrans_Chq ON N_NaghdTrans (ChqNo, Joz)
CREATE INDEX IX_N_NaghdTrans_Serial ON N_NaghdTrans (Serial, Raj)
CREATE TABLE N_ChqLastTrans (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  WhatDoc varchar(2) NULL,
  AcountId int NULL,
  ChqNo varchar(50) NULL,
  Joz varchar(50) NULL,
  SanadDate varchar(10) NULL,
  Serial int NULL
)
CREATE INDEX IX_N_ChqLastTrans ON N_ChqLastTrans (ChqNo, Joz)
CREATE TABLE N_CHQFirst (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  Serial int NOT NULL,
  WhatDoc varchar(2) NOT NULL,
  AcountID int NULL,
  ChqNo varchar(50) NULL,
  Joz varchar(50) NULL,
  SanadNo varchar(50) NULL,
  SanadDate varchar(10) NULL,
  SarResidDate varchar(10) NULL,
  ChqValue float NULL,
  Des varchar(500) NULL,
  BankCod varchar($(BankWidth)) NULL,
  ShobehCod varchar($(ShobehWidth)) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  Taraf varchar(120) NULL,
  Havaleh varchar(1) NULL,
  Tazmin varchar(1) NULL,
  ChqGetter varchar(500) NULL,
  SourceSerial int NULL
)
CREATE TABLE N_ArzTrans (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  Serial int NOT NULL,
  Raj int NOT NULL,
  WhatDoc varchar(2) NOT NULL,
  ArzCod varchar($(ArzWidth)) NULL,
  ArzCount float NULL,
  Nerkh float NULL
)
CREATE INDEX IX_N_ArzTrans ON N_ArzTrans (Serial, Raj)
CREATE TABLE N_SoftehTrans (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  Serial int NOT NULL,
  Raj int NOT NULL,
  WhatDoc varchar(2) NOT NULL,
  CodWhatDoc varchar(50) NULL,
  SanadNo varchar(20) NULL,
  SanadDate varchar(10) NULL,
  AcountID int NULL,
  CashCod varchar($(CashWidth)) NULL,
  SoftehNo varchar(20) NULL,
  Joz varchar(20) NULL,
  SodorDate varchar(10) NULL,
  SarResidDate varchar(10) NULL,
  SaftehValue float NULL,
  TahodValue float NULL,
  Getter varchar(500) NULL,
  EghamatPlace varchar(500) NULL,
  Address varchar(500) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  WhatDoc2 varchar(50) NULL,
  CodWhatDoc2 varchar(50) NULL,
  ManabehCod varchar(5) NULL,
  Des varchar(250) NULL,
  Havaleh varchar(1) NULL,
  Tazmin varchar(1) NULL
)
CREATE INDEX IX_N_SoftehTrans ON N_SoftehTrans (SoftehNo, Joz)
CREATE INDEX IX_N_SoftehTrans_Serial ON N_SoftehTrans (Serial, Raj)
CREATE TABLE N_SoftehLastTrans (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  SoftehNo varchar(20) NULL,
  Joz varchar(20) NULL,
  WhatDoc varchar(2) NULL,
  Serial int NULL,
  LastWhatDoc varchar(2) NULL,
  LastDate varchar(10) NULL
)
