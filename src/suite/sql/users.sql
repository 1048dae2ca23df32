-- User tables, kept in the registry and copied into every period database: the users with
-- their option strings, their per-company access rows and their rights.
IF OBJECT_ID('UserHub') IS NULL
  CREATE TABLE UserHub (
    UserID int NOT NULL,
    User_Name varchar($(UserNameWidth)) NULL,
    User_Pass1 varchar(50) NOT NULL PRIMARY KEY,
    User_Pass2 varchar(50) NULL,
    IsAdmin varchar(1) NULL,
    IsActive varchar(1) NULL,
    Kelvaro varchar(4000) NULL,
    Sell varchar(4000) NULL,
    Anbar varchar(4000) NULL,
    Naghd varchar(4000) NULL,
    Dara varchar(4000) NULL
  )
IF OBJECT_ID('UserHubDetail') IS NULL
  CREATE TABLE UserHubDetail (
    RowId int NOT NULL PRIMARY KEY,
    UserID int NOT NULL,
    sCode varchar(10) NULL,
    sYear varchar(4) NULL,
    sAccess varchar(1) NULL
  )
IF OBJECT_ID('UserPrivilege') IS NULL
  CREATE TABLE UserPrivilege (
    UserID int NOT NULL,
    TypeSys varchar(2) NULL,
    sItem varchar(100) NULL,
    sAccess varchar(1) NULL
  )
