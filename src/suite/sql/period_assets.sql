-- Period database, fixed assets: locations, receivers and personnel, asset states, delivery
-- origins, tax-return groups, depreciation table, characteristics, cost components, the asset
-- register and the tables that follow each asset.
CREATE TABLE D_MAKAN (
  MakanCod varchar(6) NOT NULL PRIMARY KEY,
  MakanNam varchar($(NameWidth)) NULL
)
CREATE TABLE PERSON (
  Code varchar($(PersonWidth)) NOT NULL PRIMARY KEY,
  [Name] varchar(50) NULL,
  Family varchar($(NameWidth)) NULL,
  Name_F varchar(50) NULL,
  Sex varchar(1) NULL,
  Brith_p varchar(50) NULL,
  Tax float NULL,
  Maintax float NULL,
  Omr int NULL,
  Shenas varchar(20) NULL,
  Brith_d varchar(10) NULL,
  Taahol varchar(1) NULL,
  Olad int NULL,
  Employe_d varchar(10) NULL,
  Employend varchar(10) NULL,
  Nezam varchar(1) NULL,
  Tahsil varchar(20) NULL,
  Noe_employ varchar(2) NULL,
  Code_biemh varchar(20) NULL,
  No_biemh varchar(20) NULL,
  Code_bank varchar(10) NULL,
  No_bank varchar(30) NULL,
  Bankcode varchar(10) NULL,
  Tel varchar(50) NULL,
  Addres varchar(500) NULL,
  Noe_dar varchar(2) NULL,
  Acc varchar(30) NULL,
  Depart varchar(6) NULL,
  Code_part varchar(10) NULL,
  Resht_t varchar(50) NULL,
  Resht_a varchar(50) NULL,
  Resteh varchar(50) NULL,
  [Floor] varchar(10) NULL,
  Grade varchar(10) NULL,
  Vahd varchar(6) NULL,
  Khdmat varchar(50) NULL,
  Snavat int NULL,
  Groh varchar(10) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  A_Koll varchar($(KollWidth)) NULL,
  A_Moein varchar($(MoeinWidth)) NULL,
  A_Tafsily varchar($(TafsilyWidth)) NULL,
  A_Tafsily2 varchar($(Tafsily2Width)) NULL,
  A_ProjectCod varchar($(ProjectWidth)) NULL,
  D_Koll varchar($(KollWidth)) NULL,
  D_Moein varchar($(MoeinWidth)) NULL,
  D_Tafsily varchar($(TafsilyWidth)) NULL,
  D_Tafsily2 varchar($(Tafsily2Width)) NULL,
  D_ProjectCod varchar($(ProjectWidth)) NULL,
  Is_holiday varchar(1) NULL,
  Per_day float NULL,
  Perover float NULL,
  Paydays int NULL,
  Semat varchar(50) NULL,
  Okey varchar(1) NULL,
  K_snavat float NULL,
  Is_mosaede varchar(1) NULL,
  Is_padash varchar(1) NULL,
  Is_kara varchar(1) NULL,
  Is_payend varchar(1) NULL,
  Lsuboff float NULL,
  Grade_kara varchar(10) NULL,
  Fullpadash float NULL,
  Is_paysal varchar(1) NULL,
  Irani varchar(1) NULL,
  Totmonth int NULL,
  Whywork varchar(100) NULL,
  Secondcod varchar(20) NULL,
  Noe_kar varchar(2) NULL,
  Isdelete varchar(1) NULL,
  ActionType varchar(2) NULL
)
CREATE TABLE D_VAZDARAE (
  VazCod varchar(4) NOT NULL PRIMARY KEY,
  VazNam varchar($(NameWidth)) NULL
)
CREATE TABLE D_MABADI (
  MabadiCod varchar(4) NOT NULL PRIMARY KEY,
  MabadiNam varchar($(NameWidth)) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL
)
CREATE TABLE D_VEZARAT (
  VezCod varchar(4) NOT NULL PRIMARY KEY,
  VezNam varchar($(NameWidth)) NULL,
  IsMachine varchar(1) NULL
)
CREATE TABLE D_MADEH151 (
  MadehCod varchar(6) NOT NULL PRIMARY KEY,
  MadehNam varchar($(NameWidth)) NULL,
  Sharh varchar(500) NULL,
  Nozooli float NULL,
  Salianeh float NULL
)
CREATE TABLE D_SAKHTAR (
  SakhtarCod varchar(4) NOT NULL PRIMARY KEY,
  SakhtarRaj int NULL,
  SakhtarNam varchar($(NameWidth)) NULL,
  SakhtarLen int NULL,
  SakhtarType varchar(1) NULL
)
CREATE TABLE D_GHEIMAT (
  GheimatCod varchar(4) NOT NULL PRIMARY KEY,
  GheimatNam varchar($(NameWidth)) NULL
)
CREATE TABLE D_AMVAL (
  DaraCod varchar(12) NOT NULL PRIMARY KEY,
  DaraNam varchar($(NameWidth)) NULL,
  VezCod varchar(4) NULL,
  MadehCod varchar(6) NULL,
  RaveshEst varchar(1) NULL,
  Nozooli float NULL,
  Salianeh float NULL,
  BahreDate varchar(10) NULL,
  EndValue float NULL,
  Anbashteh float NULL,
  Esshat float NULL,
  MakanCod varchar(6) NULL,
  PersonelCod varchar($(PersonWidth)) NULL,
  VazCod varchar(4) NULL,
  SakhtarCod varchar(4) NULL,
  PelakOld varchar(20) NULL,
  PelakNew varchar(20) NULL,
  MadeDate varchar(10) NULL,
  DKoll varchar($(KollWidth)) NULL,
  DMoein varchar($(MoeinWidth)) NULL,
  DTafsily varchar($(TafsilyWidth)) NULL,
  DTafsily2 varchar($(Tafsily2Width)) NULL,
  DProjectCod varchar($(ProjectWidth)) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  HKoll varchar($(KollWidth)) NULL,
  HMoein varchar($(MoeinWidth)) NULL,
  HTafsily varchar($(TafsilyWidth)) NULL,
  HTafsily2 varchar($(Tafsily2Width)) NULL,
  HProjectCod varchar($(ProjectWidth)) NULL,
  GarantiEnd varchar(10) NULL
)
CREATE TABLE D_ASASECHANGE (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
CREATE TABLE D_BUY_CREATE (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
CREATE TABLE D_ASNADDARA (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
CREATE TABLE D_BUY_CREATE_RELATE_GHEIMAT (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
CREATE TABLE D_DARAEREDUCE (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
CREATE TABLE D_ENDFEE_RELATE (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
CREATE TABLE D_FIRSTTADIL (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
CREATE TABLE D_FOROSHDAYMEH (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
CREATE TABLE D_KENARD (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
CREATE TABLE D_ROZ (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
CREATE TABLE D_SOULATIONCHANGE (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
CREATE TABLE D_TAHVIL_XFER (
  DaraCod varchar(12) NOT NULL,
  SanadNo int NULL,
  sDate varchar(10) NULL,
  Mablagh float NULL,
  Des varchar(200) NULL
)
