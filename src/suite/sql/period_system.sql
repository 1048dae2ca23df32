-- Period database: company options (one option-string column per module), print layouts,
-- cheque print designs and saved grid layouts.
CREATE TABLE Options (
  SCode varchar(20) NOT NULL PRIMARY KEY,
  Kelvaro varchar(4000) NULL,
  Forosh varchar(4000) NULL,
  Anbar varchar(4000) NULL,
  Naghd varchar(4000) NULL,
  Dara varchar(4000) NULL,
  Saham varchar(4000) NULL,
  Tolid varchar(4000) NULL,
  Hazeneh varchar(4000) NULL,
  Karkerd varchar(4000) NULL,
  hub varchar(4000) NULL,
  Sefaresh varchar(4000) NULL,
  Company_StartDate varchar(10) NULL
)
CREATE TABLE Prn_Form_T (
  WhatDoc varchar(1) NOT NULL,
  TypeSys varchar(2) NULL,
  FrmID int NOT NULL,
  FrmName varchar(100) NULL,
  sRepParam varchar(1000) NULL,
  sHdr varchar(4000) NULL,
  sData varchar(4000) NULL,
  sSubData varchar(4000) NULL,
  sPgFooter varchar(4000) NULL,
  sFooter varchar(4000) NULL,
  Arm image NULL,
  sArm varchar(500) NULL
)
CREATE INDEX IX_Prn_Form_T ON Prn_Form_T (WhatDoc, FrmID)
CREATE TABLE Prn_Object_T (
  IDX int IDENTITY(1, 1) NOT NULL PRIMARY KEY,
  WhatDoc varchar(1) NOT NULL,
  TypeSys varchar(2) NULL,
  FrmID int NOT NULL,
  Kind varchar(20) NULL,
  sOpt varchar(4000) NULL
)
CREATE INDEX IX_Prn_Object_T ON Prn_Object_T (WhatDoc, FrmID)
CREATE TABLE Grid_State (
  UserId varchar(10) NOT NULL,
  sVisible varchar(1) NULL,
  sProg varchar(20) NULL,
  sItem varchar(20) NULL,
  sForm varchar(50) NULL,
  sPart varchar(50) NULL,
  sColName varchar(100) NULL,
  iLen int NULL,
  iRaj int NULL
)
CREATE INDEX IX_Grid_State ON Grid_State (UserId, sProg, sItem, sForm, sPart)
