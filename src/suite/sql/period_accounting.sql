-- Period database, accounting: the chart of accounts (groups, general, subsidiary, detail,
-- second-detail and project levels with their groups), fixed descriptions and the vouchers.
CREATE TABLE Groh (
  Groh varchar($(GrohWidth)) NOT NULL PRIMARY KEY,
  NamHesab varchar($(HesabNameWidth)) NULL,
  RecogName varchar(1) NULL,
  IsPosHesab varchar(1) NULL,
  DesGroh varchar(500) NULL,
  DesChar varchar(1) NULL
)
CREATE TABLE Koll (
  Koll varchar($(KollWidth)) NOT NULL PRIMARY KEY,
  NamHesab varchar($(HesabNameWidth)) NULL,
  IsHesabTmp varchar(1) NULL,
  RecogName varchar(1) NULL,
  IsActive varchar(1) NULL,
  IsPosHesab varchar(1) NULL,
  DesKoll varchar(500) NULL,
  DesChar varchar(1) NULL,
  Groh varchar($(GrohWidth)) NULL
)
CREATE TABLE Moein (
  Koll varchar($(KollWidth)) NOT NULL,
  Moein varchar($(MoeinWidth)) NOT NULL,
  NamHesab varchar($(HesabNameWidth)) NULL,
  RecogName varchar(1) NULL,
  TypeConvert varchar(1) NULL,
  IsTafsily varchar(1) NULL,
  IsTafsily1 varchar(1) NULL,
  IsTafsily2 varchar(1) NULL,
  IsProject varchar(1) NULL,
  IsActive varchar(1) NULL,
  GrohTafsily varchar($(TafsilyGrohWidth)) NULL,
  GrohTafsily2 varchar($(Tafsily2GrohWidth)) NULL,
  GrohProject varchar($(ProjectGrohWidth)) NULL,
  IsPosHesab varchar(1) NULL,
  FAtfCh varchar(1) NULL,
  FAtfNum varchar(1) NULL,
  FAtfDate varchar(1) NULL,
  DesMoein varchar(500) NULL,
  DesChar varchar(1) NULL,
  TafsilyJoz varchar($(TafsilyWidth)) NULL,
  Tafsily2Joz varchar($(Tafsily2Width)) NULL,
  ProjectJoz varchar($(ProjectWidth)) NULL,
  PRIMARY KEY (Koll, Moein)
)
CREATE TABLE FixDes (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  sOption varchar(10) NULL,
  FixDes varchar(50) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Koll varchar($(KollWidth)) NULL
)
CREATE TABLE GrohTafsily (
  TafsilyGrohCod varchar($(TafsilyGrohWidth)) NOT NULL PRIMARY KEY,
  TafsilyGrohNam varchar($(NameWidth)) NULL
)
CREATE TABLE Tafsily (
  Tafsily varchar($(TafsilyWidth)) NOT NULL PRIMARY KEY,
  NamHesab varchar($(HesabNameWidth)) NULL,
  RecogName varchar(1) NULL,
  IsActive varchar(1) NULL,
  IsPosHesab varchar(1) NULL,
  DesTafsily varchar(500) NULL,
  DesChar varchar(1) NULL,
  GrohTafsily2 varchar($(Tafsily2GrohWidth)) NULL,
  Tafsily2Joz varchar($(Tafsily2Width)) NULL,
  GrohProject varchar($(ProjectGrohWidth)) NULL,
  ProjectJoz varchar($(ProjectWidth)) NULL,
  TafsilyGrohCod varchar($(TafsilyGrohWidth)) NULL
)
CREATE TABLE GrohTafsily2 (
  Tafsily2GrohCod varchar($(Tafsily2GrohWidth)) NOT NULL PRIMARY KEY,
  Tafsily2GrohNam varchar($(NameWidth)) NULL,
  TypeMarakez varchar(1) NULL
)
CREATE TABLE Tafsily2 (
  Tafsily2 varchar($(Tafsily2Width)) NOT NULL PRIMARY KEY,
  NamHesab varchar($(HesabNameWidth)) NULL,
  RecogName varchar(1) NULL,
  IsActive varchar(1) NULL,
  IsPosHesab varchar(1) NULL,
  DesTafsily2 varchar(500) NULL,
  DesChar varchar(1) NULL,
  Addres varchar(500) NULL,
  Buzy varchar(1) NULL,
  KarFarma varchar(100) NULL,
  Kargah varchar(100) NULL,
  MabnayTashim varchar(10) NULL,
  MarakezGetter varchar(1) NULL,
  MarakezSender varchar(1) NULL,
  Shobeh varchar(50) NULL,
  Station varchar(50) NULL,
  Std varchar(10) NULL,
  TypeMarakez varchar(1) NULL,
  Olaviat int NULL,
  WorkAble varchar(1) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  GrohProject varchar($(ProjectGrohWidth)) NULL,
  ProjectJoz varchar($(ProjectWidth)) NULL,
  Tafsily2GrohCod varchar($(Tafsily2GrohWidth)) NULL
)
CREATE TABLE M_GrohProject (
  ProjectGrohCod varchar($(ProjectGrohWidth)) NOT NULL PRIMARY KEY,
  ProjectGrohNam varchar($(NameWidth)) NULL
)
CREATE TABLE M_Project (
  ProjectCod varchar($(ProjectWidth)) NOT NULL PRIMARY KEY,
  ProjectNam varchar($(NameWidth)) NULL,
  RecogName varchar(1) NULL,
  IsActive varchar(1) NULL,
  IsPosHesab varchar(1) NULL,
  DesProject varchar(500) NULL,
  DesChar varchar(1) NULL,
  ProjectGrohCod varchar($(ProjectGrohWidth)) NULL
)
CREATE TABLE ApplicationType (
  TypeSys varchar(10) NOT NULL PRIMARY KEY,
  TypeSysNam varchar(50) NULL
)
CREATE TABLE Asnad (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  TypeSys varchar(10) NULL,
  WhatDoc varchar(20) NULL,
  DocToDate varchar(20) NULL,
  Document varchar(20) NULL,
  SanadNo varchar($(SanadNoWidth)) NULL,
  LastNo varchar(20) NULL,
  FirstNo varchar(20) NULL,
  SanadDate varchar(10) NULL,
  Koll varchar($(KollWidth)) NULL,
  Moein varchar($(MoeinWidth)) NULL,
  Tafsily varchar($(TafsilyWidth)) NULL,
  Tafsily2 varchar($(Tafsily2Width)) NULL,
  ProjectCod varchar($(ProjectWidth)) NULL,
  Des varchar(500) NULL,
  Bed float NULL,
  Bes float NULL,
  AtfCh varchar(100) NULL,
  AtfNum float NULL,
  AtfDate varchar(10) NULL,
  SherCode varchar(10) NULL,
  SalMale varchar(10) NULL,
  User_Name varchar($(UserNameWidth)) NULL,
  LClose varchar(10) NULL,
  NoBat smallint NULL,
  Raj int NULL,
  ProgOrder varchar(10) NULL,
  sOrder varchar(100) NULL
)
CREATE INDEX IX_Asnad_SanadNo ON Asnad (SanadNo, Raj)
CREATE TABLE Asnad_Pic (
  SanadNo varchar($(SanadNoWidth)) NULL,
  SanadPic image NULL,
  DocId int NULL
)
CREATE TABLE Asnad_Info (
  SanadNo varchar($(SanadNoWidth)) NULL,
  sDes text NULL
)
