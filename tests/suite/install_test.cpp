// Installing the suite from the embedded scripts on a fresh server: registry tables, period
// registration with version and dates, every catalogue table, configurable code widths, and the
// script variable substitution.
#include <gtest/gtest.h>

#include "suite/scripts.h"
#include "suite_fixture.h"

namespace xfer::suite::testing {
namespace {

using Install = SuiteServer;

TEST_F(Install, RegistryHoldsCompaniesAndUsers) {
  for (const char* table : {"Hub_Company", "UserHub", "UserHubDetail", "UserPrivilege"})
    EXPECT_NE(Value("KELVARO_Hub", std::string("SELECT OBJECT_ID('") + table + "')"), "NULL")
        << table;
  for (const char* col : {"sCode", "sYear", "sName", "DBName", "sVer", "sDate1", "sDate2"})
    EXPECT_NE(Value("KELVARO_Hub", std::string("SELECT COL_LENGTH('Hub_Company', '") + col + "')"),
              "NULL")
        << col;
  // Installing again keeps what is there.
  Run("KELVARO_Hub", "INSERT INTO Hub_Company (sCode, sYear, sName) VALUES ('9', '1400', 'x')");
  InstallRegistry(EngineRunner(*conn_));
  EXPECT_EQ(Value("KELVARO_Hub", "SELECT COUNT(*) FROM Hub_Company"), "1");
}

TEST_F(Install, PeriodIsCreatedAndRegistered) {
  MakePeriod("3", "1402");
  EXPECT_TRUE(server_->HasDatabase("KELVARO_3_1402"));
  EXPECT_EQ(
      Value("KELVARO_Hub",
            "SELECT DBName + '|' + sVer + '|' + sDate1 + '|' + sDate2 + '|' + sName FROM "
            "Hub_Company WHERE sCode = '3' AND sYear = '1402'"),
      "KELVARO_3_1402|" + std::string(kStructureVersion) + "|1402/01/01|1402/12/29|شرکت آزمايشي");
  EXPECT_THROW(MakePeriod("3", "1402"), engine::SqlError);
}

TEST_F(Install, EveryCatalogueTableExists) {
  MakePeriod("4", "1402");
  const char* tables[] = {"GROH",
                          "KOLL",
                          "MOEIN",
                          "FIXDES",
                          "GROHTAFSILY",
                          "TAFSILY",
                          "GROHTAFSILY2",
                          "TAFSILY2",
                          "M_GrohProject",
                          "M_Project",
                          "A_DOCUMENT",
                          "R_Tax",
                          "R_TypeFactor",
                          "A_KalaFee",
                          "Avamel",
                          "CITY",
                          "A_SELLERS",
                          "A_SellersGroh",
                          "Country",
                          "A_MASRAF",
                          "A_MoredResid",
                          "B_Mahsoldetail",
                          "DEPART_1",
                          "TahvilPerson",
                          "ANBAR",
                          "MEGYAS",
                          "KALAGROH",
                          "JOZCODEKALA",
                          "JOZCOMMANDKALA",
                          "KALA",
                          "A_KALAMAST",
                          "A_Kalapic",
                          "A_KalaSefaresh",
                          "D_MAKAN",
                          "PERSON",
                          "D_VAZDARAE",
                          "D_MABADI",
                          "D_VEZARAT",
                          "D_MADEH151",
                          "D_SAKHTAR",
                          "D_GHEIMAT",
                          "D_AMVAL",
                          "D_ROZ",
                          "D_TAHVIL_XFER",
                          "N_Bank",
                          "N_SHOAB",
                          "N_BankHesab",
                          "N_AsnadDaryaftani",
                          "N_Cheque",
                          "N_ChqType",
                          "N_BardashtBank",
                          "N_AccountType",
                          "N_Prn_Cheque_Forms",
                          "N_Prn_Cheque_Obj",
                          "N_Arz",
                          "N_Cash",
                          "N_Tankhah",
                          "N_Manabeh",
                          "N_ManabehG",
                          "N_ManabehZG",
                          "N_Mojavez",
                          "R_FACTCATA",
                          "R_BAZARYAB",
                          "R_STATE",
                          "R_CUSTOMERGROH",
                          "R_JOZCODECUSTOMER",
                          "R_JOZCOMMANDCUSTOMER",
                          "R_CUSTOMER",
                          "R_MOVAZEH",
                          "R_Tozikonandegan",
                          "R_RelateCustomer",
                          "R_Agsat",
                          "R_AgsatFormula",
                          "R_Account",
                          "R_AsnadTrado",
                          "Options",
                          "UserHub",
                          "UserHubDetail",
                          "UserPrivilege",
                          "Prn_Form_T",
                          "Prn_Object_T",
                          "Grid_State",
                          "Asnad",
                          "ApplicationType",
                          "A_TranID",
                          "A_TranSanj",
                          "A_TranSanj_Movagat",
                          "R_FactorForosh",
                          "R_DetailFactorForosh",
                          "R_PreFactorForosh",
                          "R_Factor_Relate_FactCata",
                          "R_NaghdPay",
                          "R_SellSerial",
                          "N_Asnad",
                          "N_AsnadDetail"};
  for (const char* t : tables)
    EXPECT_NE(Value("KELVARO_4_1402", std::string("SELECT OBJECT_ID('") + t + "')"), "NULL") << t;
  for (const char* p : {"sp_Sayer_XferHesab", "sp_N_Report_Acount", "sp_N_Report_Cash",
                        "sp_N_Report_Tankhah", "sp_M_Asnad_Import_Perpar", "sp_M_Asnad_Import"})
    EXPECT_NE(Value("KELVARO_4_1402", std::string("SELECT OBJECT_ID('") + p + "')"), "NULL") << p;
  for (const char* p : {"sp_R_Asnad_Import_Perpar", "sp_R_Asnad_Import_Applay"})
    EXPECT_NE(Value("KELVARO_4_1402", std::string("SELECT OBJECT_ID('") + p + "')"), "NULL") << p;
}

TEST_F(Install, CodeWidthsFollowThePeriodSettings) {
  CodeWidths wide;
  wide.koll = 6;
  wide.kala = 20;
  wide.hesabName = 80;
  MakePeriod("6", "1402");
  MakePeriod("6", "1403", wide);
  struct Case {
    const char* table;
    const char* column;
    const char* narrow;
    const char* wideWidth;
  };
  const Case cases[] = {{"Koll", "Koll", "4", "6"},
                        {"Moein", "Koll", "4", "6"},
                        {"Asnad", "Koll", "4", "6"},
                        {"Kala", "KalaCod", "15", "20"},
                        {"A_TranSanj", "KalaCod", "15", "20"},
                        {"Koll", "NamHesab", "100", "80"},
                        {"Moein", "Moein", "4", "4"}};
  for (const auto& c : cases) {
    std::string q = std::string("SELECT COL_LENGTH('") + c.table + "', '" + c.column + "')";
    EXPECT_EQ(Value("KELVARO_6_1402", q), c.narrow) << c.table << "." << c.column;
    EXPECT_EQ(Value("KELVARO_6_1403", q), c.wideWidth) << c.table << "." << c.column;
  }
}

TEST(Scripts, SubstituteFillsVariablesAndRefusesUnknownOnes) {
  EXPECT_EQ(Substitute("varchar($(A)) x $(B)", {{"A", "4"}, {"B", "y"}}), "varchar(4) x y");
  EXPECT_THROW(Substitute("varchar($(Missing))", {}), std::invalid_argument);
  auto vars = ScriptVariables({});
  for (const auto& s : Scripts()) EXPECT_NO_THROW(Substitute(s.text, vars)) << s.name;
  CodeWidths bad;
  bad.koll = 0;
  EXPECT_THROW(ScriptVariables(bad), std::invalid_argument);
  EXPECT_THROW(ScriptText("no_such_script"), std::out_of_range);
  EXPECT_EQ(PeriodDatabaseName("12", "1403"), "KELVARO_12_1403");
}

}  // namespace
}  // namespace xfer::suite::testing
