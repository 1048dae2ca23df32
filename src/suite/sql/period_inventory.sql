-- Period database, inventory: warehouses, items and their groups, units, item layout in
-- warehouses, order points, suppliers, deliverers, purchase factors, production formulas and the
-- inventory documents (headers, lines, drafts, temporary receipts and item requests).
CREATE TABLE A_Document (
  WhatDoc varchar(3) NOT NULL PRIMARY KEY,
  DocumentNam varchar($(NameWidth)) NULL,
  TypeDoc varchar(2) NULL,
  ActCode varchar(10) NULL,
  DesBed varchar(200) NULL,
  DesBes varchar(200) NULL,
  sSign varchar(1) NULL
)
CREATE TABLE A_KalaFee (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  KalaCod varchar($(KalaWidth)) NULL,
  SellersCod varchar($(SellersWidth)) NULL,
  Fee float NULL,
  QTY1 float NULL,
  QTY2 float NULL,
  IsFixFee varchar(1) NULL,
  BakhshNamehCod varchar(10) NULL,
  BakhshNamehDate varchar(10) NULL,
  BakhshNamehTime varchar(8) NULL,
  BakhshNamehSame varchar(1) NULL
)
CREATE TABLE Avamel (
  CatgagoryCode varchar(4) NOT NULL PRIMARY KEY,
  CatgagoryName varchar($(NameWidth)) NULL,
  CatgagorySign varchar(1) NULL,
  CatgagoryType varchar(10) NULL,
  CatgagoryNerkh float NULL,
  CatgagoryMetod varchar(10) NULL,
  Type varchar(1) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE City (
  CityCod varchar(6) NOT NULL PRIMARY KEY,
  CityNam varchar($(NameWidth)) NULL,
  StateCod varchar(4) NULL
)
CREATE TABLE A_SellersGroh (
  SellersGrohCod varchar(6) NOT NULL PRIMARY KEY,
  SellersGrohNam varchar($(NameWidth)) NULL,
  TafsilyGrohCod varchar($(TafsilyGrohWidth)) NULL,
  Tafsily2GrohCod varchar($(Tafsily2GrohWidth)) NULL,
  ProjectGrohCod varchar($(ProjectGrohWidth)) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE A_SELLERS (
  SellersGrohCod varchar(6) NULL,
  SellersCod varchar($(SellersWidth)) NOT NULL PRIMARY KEY,
  SellersNam varchar($(NameWidth)) NULL,
  Mojaz varchar(1) NULL,
  EconomyCod varchar(20) NULL,
  EconomyNam varchar(100) NULL,
  SellersDate varchar(10) NULL,
  SellersType varchar(1) NULL,
  SellersMobile varchar(20) NULL,
  SellersTel varchar(50) NULL,
  SellersFax varchar(20) NULL,
  SellersTelx varchar(20) NULL,
  SellersFund varchar(20) NULL,
  SellersMail varchar(20) NULL,
  CityCod varchar(6) NULL,
  SellersAddr varchar(500) NULL,
  SellersEMail varchar(100) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE Country (
  CountryCod varchar(4) NOT NULL PRIMARY KEY,
  CountryNam varchar($(NameWidth)) NULL
)
CREATE TABLE A_MASRAF (
  MasrafCod varchar(10) NOT NULL PRIMARY KEY,
  MasrafNam varchar($(NameWidth)) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  MasrafDate varchar(10) NULL
)
CREATE TABLE A_MoredResid (
  MoredResidCod varchar(10) NOT NULL PRIMARY KEY,
  MoredResidNam varchar($(NameWidth)) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE B_Mahsoldetail (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  MahsolCod varchar($(KalaWidth)) NULL,
  KalaMasCod varchar($(KalaWidth)) NULL,
  Raj int NULL,
  AnbarCod varchar($(AnbarWidth)) NULL,
  MahsolOrKala varchar(1) NULL,
  Qty2 float NULL,
  Qty1 float NULL,
  Qty float NULL,
  AnbarZayeCod varchar($(AnbarWidth)) NULL,
  KalaZayeCod varchar($(KalaWidth)) NULL,
  PerQty2 float NULL,
  PerQty1 float NULL,
  PerQty float NULL,
  PERQTYCONST float NULL,
  PERQTYCONST1 float NULL,
  PERQTYCONST2 float NULL
)
CREATE TABLE DEPART_1 (
  Code_Field varchar(6) NOT NULL PRIMARY KEY,
  Desk varchar($(NameWidth)) NULL,
  Noe_File varchar(2) NULL
)
CREATE TABLE TahvilPerson (
  Code varchar($(PersonWidth)) NOT NULL PRIMARY KEY,
  [Name] varchar(50) NULL,
  Family varchar($(NameWidth)) NULL,
  Vahd varchar(6) NULL,
  A_Koll varchar($(KollWidth)) NULL,
  A_Moein varchar($(MoeinWidth)) NULL,
  A_Tafsily varchar($(TafsilyWidth)) NULL,
  A_Tafsily2 varchar($(Tafsily2Width)) NULL,
  A_ProjectCod varchar($(ProjectWidth)) NULL,
  ActionType varchar(2) NULL
)
CREATE TABLE ANBAR (
  AnbarCod varchar($(AnbarWidth)) NOT NULL PRIMARY KEY,
  AnbarNam varchar($(NameWidth)) NULL,
  AnbarType varchar(2) NULL,
  AnbarVazeiate varchar(1) NULL,
  AnbarShomaresh varchar(1) NULL,
  AnbarGardany varchar(1) NULL,
  AnbarTadil varchar(1) NULL,
  TadilNo int NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  sUsage varchar(50) NULL,
  KollForosh varchar($(KollWidth)) NULL,
  MoeinForosh varchar($(MoeinWidth)) NULL,
  TafsilyForosh varchar($(TafsilyWidth)) NULL,
  Tafsily2Forosh varchar($(Tafsily2Width)) NULL,
  ProjectCodForosh varchar($(ProjectWidth)) NULL,
  KollBargashtAzForosh varchar($(KollWidth)) NULL,
  MoeinBargashtAzForosh varchar($(MoeinWidth)) NULL,
  TafsilyBargashtAzForosh varchar($(TafsilyWidth)) NULL,
  Tafsily2BargashtAzForosh varchar($(Tafsily2Width)) NULL,
  ProjectCodBargashtAzForosh varchar($(ProjectWidth)) NULL,
  KollK varchar($(KollWidth)) NULL,
  MoeinK varchar($(MoeinWidth)) NULL,
  TafsilyK varchar($(TafsilyWidth)) NULL,
  Tafsily2K varchar($(Tafsily2Width)) NULL,
  ProjectCodK varchar($(ProjectWidth)) NULL,
  KollTakfif varchar($(KollWidth)) NULL,
  MoeinTakfif varchar($(MoeinWidth)) NULL,
  TafsilyTakfif varchar($(TafsilyWidth)) NULL,
  Tafsily2Takfif varchar($(Tafsily2Width)) NULL,
  ProjectCodTakfif varchar($(ProjectWidth)) NULL,
  MojodiManfiAnbar varchar(1) NULL,
  MojodiManfiForosh varchar(1) NULL
)
CREATE TABLE MEGYAS (
  MegyasCod varchar($(MegyasWidth)) NOT NULL PRIMARY KEY,
  MegyasNam varchar(50) NULL
)
CREATE TABLE KALAGROH (
  KalaGrohCod varchar($(KalaGrohWidth)) NOT NULL PRIMARY KEY,
  KalaGrohNam varchar($(NameWidth)) NULL,
  AnbarCod varchar($(AnbarWidth)) NULL,
  GrohJoz varchar(10) NULL,
  KollForosh varchar($(KollWidth)) NULL,
  MoeinForosh varchar($(MoeinWidth)) NULL,
  TafsilyForosh varchar($(TafsilyWidth)) NULL,
  Tafsily2Forosh varchar($(Tafsily2Width)) NULL,
  ProjectCodForosh varchar($(ProjectWidth)) NULL,
  KollBargashtAzForosh varchar($(KollWidth)) NULL,
  MoeinBargashtAzForosh varchar($(MoeinWidth)) NULL,
  TafsilyBargashtAzForosh varchar($(TafsilyWidth)) NULL,
  Tafsily2BargashtAzForosh varchar($(Tafsily2Width)) NULL,
  ProjectCodBargashtAzForosh varchar($(ProjectWidth)) NULL,
  KollAnbar varchar($(KollWidth)) NULL,
  MoeinAnbar varchar($(MoeinWidth)) NULL,
  TafsilyAnbar varchar($(TafsilyWidth)) NULL,
  Tafsily2Anbar varchar($(Tafsily2Width)) NULL,
  ProjectCodAnbar varchar($(ProjectWidth)) NULL,
  KollTakfif varchar($(KollWidth)) NULL,
  MoeinTakfif varchar($(MoeinWidth)) NULL,
  TafsilyTakfif varchar($(TafsilyWidth)) NULL,
  Tafsily2Takfif varchar($(Tafsily2Width)) NULL,
  ProjectCodTakfif varchar($(ProjectWidth)) NULL
)
CREATE TABLE JOZCODEKALA (
  JozCod int NOT NULL PRIMARY KEY,
  JozCommand varchar(50) NULL,
  JozCodLen int NULL,
  JozCommandLen int NULL,
  IsSerial varchar(1) NULL,
  Zarib int NULL
)
CREATE TABLE JOZCOMMANDKALA (
  KalaJoz int NOT NULL,
  KalaJozCod varchar(10) NOT NULL,
  KalaJozCommand varchar(100) NULL,
  PRIMARY KEY (KalaJoz, KalaJozCod)
)
CREATE TABLE KALA (
  KalaCod varchar($(KalaWidth)) NOT NULL PRIMARY KEY,
  KalaNam varchar($(NameWidth)) NULL,
  KalaNam2 varchar($(NameWidth)) NULL,
  AnbarCod varchar($(AnbarWidth)) NULL,
  KalaGrohCod varchar($(KalaGrohWidth)) NULL,
  KalaMojaz varchar(1) NULL,
  MegyasCod varchar($(MegyasWidth)) NULL,
  MegyasCod1 varchar($(MegyasWidth)) NULL,
  MegyasCod2 varchar($(MegyasWidth)) NULL,
  MegyasCod3 varchar($(MegyasWidth)) NULL,
  AnbarCodDes varchar(200) NULL,
  SerialStatus varchar(1) NULL,
  MainQty varchar(1) NULL,
  NesbatConst varchar(1) NULL,
  [NESBAT3/2] float NULL,
  [NESBAT2/1] float NULL,
  AnbarNerkhType varchar(2) NULL,
  StandardFee float NULL,
  MinimumQty1 float NULL,
  MinimumQty2 float NULL,
  MinimumQty3 float NULL,
  MaximumQty1 float NULL,
  MaximumQty2 float NULL,
  MaximumQty3 float NULL,
  OrderQty1 float NULL,
  OrderQty2 float NULL,
  OrderQty3 float NULL,
  KalaOrMahsol varchar(1) NULL,
  KalaMohem varchar(1) NULL,
  KalaBarCod varchar(50) NULL,
  Useage varchar(100) NULL,
  Chegaly float NULL,
  KalaType varchar(2) NULL,
  KalaKey varchar(20) NULL,
  KalaDate varchar(10) NULL,
  KollAnbar varchar($(KollWidth)) NULL,
  MoeinAnbar varchar($(MoeinWidth)) NULL,
  TafsilyAnbar varchar($(TafsilyWidth)) NULL,
  Tafsily2Anbar varchar($(Tafsily2Width)) NULL,
  ProjectCodAnbar varchar($(ProjectWidth)) NULL,
  KollForosh varchar($(KollWidth)) NULL,
  MoeinForosh varchar($(MoeinWidth)) NULL,
  TafsilyForosh varchar($(TafsilyWidth)) NULL,
  Tafsily2Forosh varchar($(Tafsily2Width)) NULL,
  ProjectCodForosh varchar($(ProjectWidth)) NULL,
  KollBargashtAzForosh varchar($(KollWidth)) NULL,
  MoeinBargashtAzForosh varchar($(MoeinWidth)) NULL,
  TafsilyBargashtAzForosh varchar($(TafsilyWidth)) NULL,
  Tafsily2BargashtAzForosh varchar($(Tafsily2Width)) NULL,
  ProjectCodBargashtAzForosh varchar($(ProjectWidth)) NULL,
  FeeMasraf float NULL,
  TaxRate float NULL,
  AmvRate float NULL,
  KollK varchar($(KollWidth)) NULL,
  MoeinK varchar($(MoeinWidth)) NULL,
  TafsilyK varchar($(TafsilyWidth)) NULL,
  Tafsily2K varchar($(Tafsily2Width)) NULL,
  ProjectCodK varchar($(ProjectWidth)) NULL,
  KollTakfif varchar($(KollWidth)) NULL,
  MoeinTakfif varchar($(MoeinWidth)) NULL,
  TafsilyTakfif varchar($(TafsilyWidth)) NULL,
  Tafsily2Takfif varchar($(Tafsily2Width)) NULL,
  ProjectCodTakfif varchar($(ProjectWidth)) NULL,
  MasrafCode varchar(10) NULL,
  OrderQtyTafkiki varchar(1) NULL
)
CREATE TABLE A_KALAMAST (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  AnbarCod varchar($(AnbarWidth)) NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  Salon varchar(10) NULL,
  Rahro varchar(10) NULL,
  Ghafaseh varchar(10) NULL,
  Tabagheh varchar(10) NULL,
  Radif varchar(10) NULL
)
CREATE TABLE A_Kalapic (
  KalaNo varchar($(KalaWidth)) NULL,
  KalaPic image NULL
)
CREATE TABLE A_KalaSefaresh (
  AnbarCod varchar($(AnbarWidth)) NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  NogteSefaresh float NULL,
  maxmojodi float NULL,
  minmojodi float NULL
)
CREATE TABLE A_TranID (
  TranID int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  WhatDoc varchar(3) NULL,
  AnbarCod varchar($(AnbarWidth)) NULL,
  Document varchar($(DocumentWidth)) NULL,
  DocDate varchar(10) NULL,
  PersonelCod varchar($(PersonWidth)) NULL,
  User_Name varchar($(UserNameWidth)) NULL,
  TypeSys varchar(2) NULL,
  TypeSys2 varchar(2) NULL,
  TransStore varchar($(AnbarWidth)) NULL,
  MDes varchar(500) NULL,
  SherCode varchar(10) NULL,
  SalMale varchar(10) NULL
)
CREATE INDEX IX_A_TranID ON A_TranID (WhatDoc, AnbarCod, Document)
CREATE TABLE A_TranSanj (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  TranID int NOT NULL,
  Raj int NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  DesKala varchar(200) NULL,
  MasrafCod varchar(10) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  SellersCod varchar($(SellersWidth)) NULL,
  CustomerCod varchar($(CustomerWidth)) NULL,
  Buy_Sell_No varchar(20) NULL,
  Qty float NULL DEFAULT 0,
  Qty1 float NULL DEFAULT 0,
  Qty2 float NULL DEFAULT 0,
  Fee float NULL DEFAULT 0,
  Price float NULL DEFAULT 0,
  TQty float NULL DEFAULT 0,
  TQty1 float NULL DEFAULT 0,
  TQty2 float NULL DEFAULT 0,
  QtyReq float NULL DEFAULT 0,
  Qty1Req float NULL DEFAULT 0,
  Qty2Req float NULL DEFAULT 0,
  QtyOK float NULL DEFAULT 0,
  Qty1OK float NULL DEFAULT 0,
  Qty2OK float NULL DEFAULT 0,
  DateReq varchar(10) NULL,
  Check_Price varchar(1) NULL
)
CREATE INDEX IX_A_TranSanj ON A_TranSanj (TranID, Raj)
CREATE TABLE A_TranSanj_Movagat (
  WhatDoc varchar(3) NULL,
  AnbarCod varchar($(AnbarWidth)) NULL,
  Document varchar($(DocumentWidth)) NULL,
  DocDate varchar(10) NULL,
  PersonelCod varchar($(PersonWidth)) NULL,
  User_Name varchar($(UserNameWidth)) NULL,
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  TranID int NOT NULL,
  Raj int NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  DesKala varchar(200) NULL,
  MasrafCod varchar(10) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  SellersCod varchar($(SellersWidth)) NULL,
  CustomerCod varchar($(CustomerWidth)) NULL,
  Buy_Sell_No varchar(20) NULL,
  Qty float NULL DEFAULT 0,
  Qty1 float NULL DEFAULT 0,
  Qty2 float NULL DEFAULT 0,
  Fee float NULL DEFAULT 0,
  Price float NULL DEFAULT 0,
  TQty float NULL DEFAULT 0,
  TQty1 float NULL DEFAULT 0,
  TQty2 float NULL DEFAULT 0,
  QtyReq float NULL DEFAULT 0,
  Qty1Req float NULL DEFAULT 0,
  Qty2Req float NULL DEFAULT 0,
  QtyOK float NULL DEFAULT 0,
  Qty1OK float NULL DEFAULT 0,
  Qty2OK float NULL DEFAULT 0,
  DateReq varchar(10) NULL,
  Check_Price varchar(1) NULL
)
CREATE TABLE A_TranSerial (
  TranID int NOT NULL,
  Raj int NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  KalaSerialNo varchar(500) NULL,
  CreateDate varchar(10) NULL,
  ExpDate varchar(10) NULL
)
CREATE TABLE A_TranTax (
  TranID int NOT NULL,
  Raj int NULL,
  TaxCod varchar(4) NULL,
  TaxNerkh float NULL,
  TaxValue float NULL
)
CREATE TABLE Avamel_Resid (
  TranID int NOT NULL,
  Serial varchar(20) NULL,
  CatgagoryCode varchar(4) NULL,
  CatgagoryName varchar($(NameWidth)) NULL,
  CatgagoryType varchar(10) NULL,
  CatgagoryMetod varchar(10) NULL,
  CatgagoryValue float NULL
)
CREATE TABLE SarfaslMasraf (
  TranID int NOT NULL,
  Raj int NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  Mablagh float NULL
)
CREATE TABLE A_HamlInfo (
  TranID int NOT NULL,
  Ranandeh varchar(100) NULL,
  Pelak varchar(20) NULL,
  BarnamehNo varchar(20) NULL,
  HamlValue float NULL
)
CREATE TABLE A_InterimTranID (
  TranID int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  WhatDoc varchar(3) NULL,
  AnbarCod varchar($(AnbarWidth)) NULL,
  Document varchar($(DocumentWidth)) NULL,
  DocDate varchar(10) NULL,
  PersonelCod varchar($(PersonWidth)) NULL,
  User_Name varchar($(UserNameWidth)) NULL,
  TypeSys varchar(2) NULL,
  TypeSys2 varchar(2) NULL,
  TransStore varchar($(AnbarWidth)) NULL,
  MDes varchar(500) NULL,
  SherCode varchar(10) NULL,
  SalMale varchar(10) NULL
)
CREATE TABLE A_InterimTranSanj (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  TranID int NOT NULL,
  Raj int NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  DesKala varchar(200) NULL,
  MasrafCod varchar(10) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  SellersCod varchar($(SellersWidth)) NULL,
  CustomerCod varchar($(CustomerWidth)) NULL,
  Buy_Sell_No varchar(20) NULL,
  Qty float NULL DEFAULT 0,
  Qty1 float NULL DEFAULT 0,
  Qty2 float NULL DEFAULT 0,
  Fee float NULL DEFAULT 0,
  Price float NULL DEFAULT 0,
  TQty float NULL DEFAULT 0,
  TQty1 float NULL DEFAULT 0,
  TQty2 float NULL DEFAULT 0,
  QtyReq float NULL DEFAULT 0,
  Qty1Req float NULL DEFAULT 0,
  Qty2Req float NULL DEFAULT 0,
  QtyOK float NULL DEFAULT 0,
  Qty1OK float NULL DEFAULT 0,
  Qty2OK float NULL DEFAULT 0,
  DateReq varchar(10) NULL,
  Check_Price varchar(1) NULL
)
CREATE TABLE A_InterimTranSerial (
  TranID int NOT NULL,
  Raj int NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  KalaSerialNo varchar(500) NULL,
  CreateDate varchar(10) NULL,
  ExpDate varchar(10) NULL
)
CREATE TABLE A_TranIDKALAREQ (
  TranID int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  WhatDoc varchar(3) NULL,
  AnbarCod varchar($(AnbarWidth)) NULL,
  Document varchar($(DocumentWidth)) NULL,
  DocDate varchar(10) NULL,
  PersonelCod varchar($(PersonWidth)) NULL,
  User_Name varchar($(UserNameWidth)) NULL,
  TypeSys varchar(2) NULL,
  TypeSys2 varchar(2) NULL,
  TransStore varchar($(AnbarWidth)) NULL,
  MDes varchar(500) NULL,
  SherCode varchar(10) NULL,
  SalMale varchar(10) NULL
)
CREATE TABLE A_TranSanjKALAREQ (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  TranID int NOT NULL,
  Raj int NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  DesKala varchar(200) NULL,
  MasrafCod varchar(10) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  SellersCod varchar($(SellersWidth)) NULL,
  CustomerCod varchar($(CustomerWidth)) NULL,
  Buy_Sell_No varchar(20) NULL,
  Qty float NULL DEFAULT 0,
  Qty1 float NULL DEFAULT 0,
  Qty2 float NULL DEFAULT 0,
  Fee float NULL DEFAULT 0,
  Price float NULL DEFAULT 0,
  TQty float NULL DEFAULT 0,
  TQty1 float NULL DEFAULT 0,
  TQty2 float NULL DEFAULT 0,
  QtyReq float NULL DEFAULT 0,
  Qty1Req float NULL DEFAULT 0,
  Qty2Req float NULL DEFAULT 0,
  QtyOK float NULL DEFAULT 0,
  Qty1OK float NULL DEFAULT 0,
  Qty2OK float NULL DEFAULT 0,
  DateReq varchar(10) NULL,
  Check_Price varchar(1) NULL
)
CREATE TABLE A_TranSerialKALAREQ (
  TranID int NOT NULL,
  Raj int NULL,
  KalaCod varchar($(KalaWidth)) NULL,
  KalaSerialNo varchar(500) NULL,
  CreateDate varchar(10) NULL,
  ExpDate varchar(10) NULL
)
