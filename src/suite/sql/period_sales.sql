-- Period database, sales: customers and their groups and code parts, marketers, invoice
-- factors, taxes, invoice types, distributors, instalment rules, floating headings, sales voucher
-- settings and the pre-invoices and invoices with their lines, factors, payments and serials.
CREATE TABLE R_Tax (
  TaxCod varchar(4) NOT NULL PRIMARY KEY,
  TaxNam varchar($(NameWidth)) NULL,
  TaxNerkh float NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  Btype varchar(1) NULL,
  DKoll varchar($(KollWidth)) NULL,
  DMoein varchar($(MoeinWidth)) NULL,
  DTafsily varchar($(TafsilyWidth)) NULL,
  DTafsily2 varchar($(Tafsily2Width)) NULL,
  DProjectCod varchar($(ProjectWidth)) NULL,
  ttype varchar(1) NULL
)
CREATE TABLE R_TypeFactor (
  TypeFactorCode varchar(4) NOT NULL PRIMARY KEY,
  TypeFactorName varchar($(NameWidth)) NULL,
  TypeFactorFrNo varchar($(FactorNoWidth)) NULL,
  TypeFactorToNo varchar($(FactorNoWidth)) NULL
)
CREATE TABLE R_FACTCATA (
  CatgagoryCod varchar(6) NOT NULL PRIMARY KEY,
  CatgagoryNam varchar($(NameWidth)) NULL,
  CatgagoryNerkh float NULL,
  CatgagorySign varchar(1) NULL,
  CatgagorySignBazaryab varchar(1) NULL,
  CatgagoryAction varchar(1) NULL,
  CatgagoryMetod varchar(10) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE R_BAZARYAB (
  BazaryabCod varchar($(BazaryabWidth)) NOT NULL PRIMARY KEY,
  BazaryabNam varchar($(NameWidth)) NULL,
  BazaryabNerkh float NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  BazaryabMobile varchar(20) NULL
)
CREATE TABLE R_STATE (
  StateCod varchar(4) NOT NULL PRIMARY KEY,
  StateNam varchar($(NameWidth)) NULL
)
CREATE TABLE R_CUSTOMERGROH (
  CustomerGrohCod varchar($(CustomerGrohWidth)) NOT NULL PRIMARY KEY,
  CustomerGrohNam varchar($(NameWidth)) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  GrohJoz varchar(10) NULL,
  TafsilyGrohCod varchar($(TafsilyGrohWidth)) NULL,
  Tafsily2GrohCod varchar($(Tafsily2GrohWidth)) NULL,
  ProjectGrohCod varchar($(ProjectGrohWidth)) NULL,
  AgsatKoll varchar($(KollWidth)) NULL,
  AgsatMoein varchar($(MoeinWidth)) NULL,
  AgsatTafsily varchar($(TafsilyWidth)) NULL,
  AgsatTafsily2 varchar($(Tafsily2Width)) NULL
)
CREATE TABLE R_JOZCODECUSTOMER (
  JozCod int NOT NULL PRIMARY KEY,
  JozCommand varchar(50) NULL,
  JozCodLen int NULL,
  JozCommandLen int NULL,
  IsSerial varchar(1) NULL,
  Zarib int NULL
)
CREATE TABLE R_JOZCOMMANDCUSTOMER (
  CustomerJoz varchar(20) NOT NULL PRIMARY KEY,
  CustomerJozCod varchar(10) NULL,
  CustomerJozCommand varchar(100) NULL
)
CREATE TABLE R_CUSTOMER (
  CustomerCod varchar($(CustomerWidth)) NOT NULL PRIMARY KEY,
  CustomerNam varchar($(NameWidth)) NULL,
  CustomerGrohCod varchar($(CustomerGrohWidth)) NULL,
  Etebar float NULL,
  TypeEtebar varchar(1) NULL,
  EtebarStatus varchar(1) NULL,
  Mojaz varchar(1) NULL,
  EconomyCod varchar(20) NULL,
  bazaryabcod varchar($(BazaryabWidth)) NULL,
  CustomerDate varchar(10) NULL,
  CustomerType varchar(1) NULL,
  CustomerMobile varchar(20) NULL,
  CustomerTel varchar(50) NULL,
  CustomerFax varchar(20) NULL,
  CustomerTelx varchar(20) NULL,
  CustomerFund varchar(20) NULL,
  CustomerMail varchar(20) NULL,
  CityCod varchar(6) NULL,
  StateCod varchar(4) NULL,
  CustomerAddr varchar(500) NULL,
  CustomerEMail varchar(100) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  AgsatKoll varchar($(KollWidth)) NULL,
  AgsatMoein varchar($(MoeinWidth)) NULL,
  AgsatTafsily varchar($(TafsilyWidth)) NULL,
  AgsatTafsily2 varchar($(Tafsily2Width)) NULL,
  AgsatProjectCod varchar($(ProjectWidth)) NULL,
  UsedCard varchar(1) NULL,
  CustomerBirthDate varchar(10) NULL,
  CustCreator varchar($(UserNameWidth)) NULL,
  CustPrecentTakhfif float NULL
)
CREATE TABLE R_MOVAZEH (
  MovazehCod varchar(6) NOT NULL PRIMARY KEY,
  MovazehNam varchar($(NameWidth)) NULL,
  SPercent float NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  DKoll varchar($(KollWidth)) NULL,
  DMoein varchar($(MoeinWidth)) NULL,
  DTafsily varchar($(TafsilyWidth)) NULL,
  DTafsily2 varchar($(Tafsily2Width)) NULL,
  DProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE R_Tozikonandegan (
  TozikonCod varchar(6) NOT NULL PRIMARY KEY,
  TozikonNam varchar($(NameWidth)) NULL
)
CREATE TABLE R_RelateCustomer (
  CardCod varchar(20) NOT NULL PRIMARY KEY,
  CustomerCod varchar($(CustomerWidth)) NULL
)
CREATE TABLE R_Agsat (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  Raj int NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  CustomerGrohCod varchar($(CustomerGrohWidth)) NULL,
  FrModat int NULL,
  ToModat int NULL,
  ModatType varchar(1) NULL,
  Fee float NULL,
  PreValue float NULL,
  GestCount int NULL,
  GestValue float NULL,
  Nerkh float NULL,
  IsFix varchar(1) NULL,
  AmRate float NULL,
  AmValue float NULL,
  SellPercent float NULL,
  SellTax float NULL,
  Takfif float NULL,
  PercentTakfif float NULL
)
CREATE TABLE R_AgsatFormula (
  IDX int NULL,
  AgsatNam varchar(100) NULL,
  Formula varchar(500) NULL
)
CREATE TABLE R_Account (
  RCod varchar(6) NOT NULL PRIMARY KEY,
  RDes varchar(200) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE R_AsnadTrado (
  TypeSanad varchar(10) NULL,
  Raj int NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  Des varchar(200) NULL,
  sSign varchar(1) NULL
)
CREATE TABLE R_PreFactorForosh (
  SanadNoForosh varchar($(FactorNoWidth)) NOT NULL,
  TypeAction varchar(1) NOT NULL,
  SanadNoForosh2 varchar($(FactorNoWidth)) NULL,
  PreSanadNoForosh varchar($(FactorNoWidth)) NULL,
  SanadDate varchar(10) NULL,
  TypeConvert varchar(5) NULL,
  Abtal varchar(1) NULL,
  Address varchar(500) NULL,
  sDes varchar(500) NULL,
  AnbarCod varchar($(AnbarWidth)) NULL,
  CustomerCod varchar($(CustomerWidth)) NULL,
  BazaryabCod varchar($(BazaryabWidth)) NULL,
  SerialSanadog varchar(20) NULL,
  RetSerialSanadog varchar(20) NULL,
  ComputerNam varchar(500) NULL,
  User_Name varchar($(UserNameWidth)) NULL,
  TasvieDate varchar(10) NULL,
  Ersalnum varchar(10) NULL,
  MasrafCod varchar(20) NULL,
  PRIMARY KEY (SanadNoForosh, TypeAction)
)
CREATE TABLE R_FactorForosh (
  SanadNoForosh varchar($(FactorNoWidth)) NOT NULL,
  TypeAction varchar(1) NOT NULL,
  SanadNoForosh2 varchar($(FactorNoWidth)) NULL,
  PreSanadNoForosh varchar($(FactorNoWidth)) NULL,
  SanadDate varchar(10) NULL,
  TypeConvert varchar(5) NULL,
  Abtal varchar(1) NULL,
  Address varchar(500) NULL,
  sDes varchar(500) NULL,
  AnbarCod varchar($(AnbarWidth)) NULL,
  CustomerCod varchar($(CustomerWidth)) NULL,
  BazaryabCod varchar($(BazaryabWidth)) NULL,
  SerialSanadog varchar(20) NULL,
  RetSerialSanadog varchar(20) NULL,
  ComputerNam varchar(500) NULL,
  User_Name varchar($(UserNameWidth)) NULL,
  TasvieDate varchar(10) NULL,
  Ersalnum varchar(10) NULL,
  MasrafCod varchar(20) NULL,
  PRIMARY KEY (SanadNoForosh, TypeAction)
)
CREATE TABLE R_DetailPreFactorForosh (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  SanadNoForosh varchar($(FactorNoWidth)) NOT NULL,
  TypeAction varchar(1) NOT NULL,
  Raj int NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  DesKala varchar(200) NULL,
  Qty float NULL DEFAULT 0,
  Qty1 float NULL DEFAULT 0,
  Qty2 float NULL DEFAULT 0,
  FeeSell float NULL DEFAULT 0,
  SellValue float NULL DEFAULT 0,
  FeeBuy float NULL DEFAULT 0,
  BuyValue float NULL DEFAULT 0,
  FeeMasraf float NULL DEFAULT 0,
  MasrafValue float NULL DEFAULT 0,
  PercentTakfif float NULL DEFAULT 0,
  Takfif float NULL DEFAULT 0,
  SellPercent float NULL DEFAULT 0,
  SellTax float NULL DEFAULT 0,
  AmRate float NULL DEFAULT 0,
  AmValue float NULL DEFAULT 0,
  Daramad float NULL DEFAULT 0,
  IsEshantion varchar(2) NULL
)
CREATE TABLE R_DetailFactorForosh (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  SanadNoForosh varchar($(FactorNoWidth)) NOT NULL,
  TypeAction varchar(1) NOT NULL,
  Raj int NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  DesKala varchar(200) NULL,
  Qty float NULL DEFAULT 0,
  Qty1 float NULL DEFAULT 0,
  Qty2 float NULL DEFAULT 0,
  FeeSell float NULL DEFAULT 0,
  SellValue float NULL DEFAULT 0,
  FeeBuy float NULL DEFAULT 0,
  BuyValue float NULL DEFAULT 0,
  FeeMasraf float NULL DEFAULT 0,
  MasrafValue float NULL DEFAULT 0,
  PercentTakfif float NULL DEFAULT 0,
  Takfif float NULL DEFAULT 0,
  SellPercent float NULL DEFAULT 0,
  SellTax float NULL DEFAULT 0,
  AmRate float NULL DEFAULT 0,
  AmValue float NULL DEFAULT 0,
  Daramad float NULL DEFAULT 0,
  IsEshantion varchar(2) NULL
)
CREATE INDEX IX_R_DetailPreFactorForosh ON R_DetailPreFactorForosh (SanadNoForosh, TypeAction)
CREATE INDEX IX_R_DetailFactorForosh ON R_DetailFactorForosh (SanadNoForosh, TypeAction)
CREATE TABLE R_PreFactor_Relate_FactCata (
  SanadNoForosh varchar($(FactorNoWidth)) NOT NULL,
  TypeAction varchar(1) NOT NULL,
  CatgagoryCod varchar(6) NULL,
  CatgagoryNam varchar($(NameWidth)) NULL,
  CatgagoryMetod varchar(10) NULL,
  CatgagoryNerkh float NULL,
  CatgagorySign varchar(1) NULL,
  CatgagorySignBazaryab varchar(1) NULL,
  RowValue float NULL
)
CREATE TABLE R_Factor_Relate_FactCata (
  SanadNoForosh varchar($(FactorNoWidth)) NOT NULL,
  TypeAction varchar(1) NOT NULL,
  CatgagoryCod varchar(6) NULL,
  CatgagoryNam varchar($(NameWidth)) NULL,
  CatgagoryMetod varchar(10) NULL,
  CatgagoryNerkh float NULL,
  CatgagorySign varchar(1) NULL,
  CatgagorySignBazaryab varchar(1) NULL,
  RowValue float NULL
)
CREATE TABLE R_NaghdPay (
  SanadNoForosh varchar($(FactorNoWidth)) NOT NULL,
  TypeAction varchar(1) NOT NULL,
  CustomerCod varchar($(CustomerWidth)) NULL,
  SerialSanadog varchar(20) NULL,
  Takfif float NULL DEFAULT 0,
  PayValue float NULL DEFAULT 0,
  CustomerNam varchar($(NameWidth)) NULL
)
CREATE TABLE R_SellSerial (
  SanadNoForosh varchar($(FactorNoWidth)) NOT NULL,
  TypeAction varchar(1) NOT NULL,
  TypeFactor varchar(1) NULL,
  SellRaj int NULL,
  Raj int NULL,
  CountNo int NULL,
  KalaSerialNo varchar(500) NULL,
  CreateDate varchar(10) NULL,
  ExpDate varchar(10) NULL
)
CREATE TABLE R_Factor_Relate_TypeFactor (
  TypeFactorCode varchar(4) NULL,
  SanadNoforosh varchar($(FactorNoWidth)) NULL,
  TypeAction varchar(1) NULL
)
