-- Registry of companies and fiscal periods: one row per period database, with the structure
-- version that transfers compare and the first and last date of the period.
IF OBJECT_ID('Hub_Company') IS NULL
  CREATE TABLE Hub_Company (
    sCode varchar(10) NOT NULL,
    sYear varchar(4) NOT NULL,
    sName varchar(100) NULL,
    DBName varchar(50) NULL,
    sVer varchar(20) NULL,
    sDate1 varchar(10) NULL,
    sDate2 varchar(10) NULL,
    sNameE varchar(100) NULL,
    EconomyCod varchar(20) NULL,
    sAddress varchar(500) NULL,
    sTel varchar(50) NULL,
    IsActive varchar(1) NULL DEFAULT 'T',
    CreateDate varchar(10) NULL,
    PRIMARY KEY (sCode, sYear)
  )
