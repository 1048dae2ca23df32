// Demo sales documents: every period holds pre-invoices, invoices and their returns with lines,
// factors, cash payments, serial numbers and invoice types; every code they name is a row of the
// same period; each serial-numbered line carries one serial number per unit sold.
#include <gtest/gtest.h>
#include "temp_tree.h"

#include "suite/demo.h"
#include "suite_fixture.h"

namespace xfer::suite::testing {
namespace {

TEST(DemoSales, EveryKindOfSalesDocumentInEveryPeriod) {
  std::string dir = TempDirectory("demo_sales");
  BuildDemoServer(dir, DemoOptions{});
  {
    auto server = engine::Server::Open(dir, false);
    engine::Connection conn(server);
    auto value = [&](const std::string& db, std::string q) {
      for (size_t at = q.find("%D"); at != std::string::npos; at = q.find("%D"))
        q.replace(at, 2, db);
      auto sets = conn.Execute(q);
      return engine::FormatValue(sets.back().rows.at(0).at(0));
    };
    const char* present[] = {
        "SELECT COUNT(*) FROM %D..R_FactorForosh WHERE TypeAction = '1'",
        "SELECT COUNT(*) FROM %D..R_FactorForosh WHERE TypeAction = '2'",
        "SELECT COUNT(*) FROM %D..R_PreFactorForosh WHERE TypeAction = '1'",
        "SELECT COUNT(*) FROM %D..R_PreFactorForosh WHERE TypeAction = '2'",
        "SELECT COUNT(*) FROM %D..R_DetailPreFactorForosh",
        "SELECT COUNT(*) FROM %D..R_Factor_Relate_FactCata",
        "SELECT COUNT(*) FROM %D..R_NaghdPay",
        "SELECT COUNT(*) FROM %D..R_SellSerial WHERE TypeFactor = '1'",
        "SELECT COUNT(*) FROM %D..R_SellSerial WHERE TypeFactor = '2' AND TypeAction = '2'",
        "SELECT COUNT(*) FROM %D..R_FactorForosh WHERE LTRIM(PreSanadNoForosh) <> ''"};
    const char* absent[] = {
        // Codes of other periods.
        "SELECT COUNT(*) FROM %D..R_DetailFactorForosh WHERE KalaCod NOT IN (SELECT KalaCod FROM "
        "%D..Kala)",
        "SELECT COUNT(*) FROM %D..R_DetailPreFactorForosh WHERE KalaCod NOT IN (SELECT KalaCod "
        "FROM %D..Kala)",
        "SELECT COUNT(*) FROM %D..R_FactorForosh WHERE CustomerCod NOT IN (SELECT CustomerCod FROM "
        "%D..R_Customer) OR BazaryabCod NOT IN (SELECT BazaryabCod FROM %D..R_Bazaryab)",
        // Numbers not right-aligned to the column.
        "SELECT COUNT(*) FROM %D..R_FactorForosh WHERE LEN(SanadNoForosh) <> 10",
        // An invoice without its type, a void invoice paid in cash.
        "SELECT COUNT(*) FROM %D..R_FactorForosh F WHERE NOT EXISTS (SELECT * FROM "
        "%D..R_Factor_Relate_TypeFactor R WHERE R.SanadNoforosh = F.SanadNoForosh AND "
        "R.TypeAction = F.TypeAction)",
        "SELECT COUNT(*) FROM %D..R_NaghdPay P INNER JOIN %D..R_FactorForosh F ON F.SanadNoForosh "
        "= P.SanadNoForosh AND F.TypeAction = P.TypeAction WHERE F.Abtal = 'T'",
        // A serial-numbered invoice line whose units and serial numbers differ.
        "SELECT COUNT(*) FROM %D..R_DetailFactorForosh L INNER JOIN %D..Kala K ON K.KalaCod = "
        "L.KalaCod WHERE K.SerialStatus = 'T' AND L.Qty <> (SELECT COUNT(*) FROM %D..R_SellSerial "
        "S WHERE S.SanadNoForosh = L.SanadNoForosh AND S.TypeAction = L.TypeAction AND "
        "S.TypeFactor = '2' AND S.SellRaj = L.Raj)"};
    for (const char* db :
         {"KELVARO_1_1402", "KELVARO_1_1403", "KELVARO_2_1402", "KELVARO_2_1403"}) {
      SCOPED_TRACE(db);
      for (const char* q : present) EXPECT_NE(value(db, q), "0") << q;
      for (const char* q : absent) EXPECT_EQ(value(db, q), "0") << q;
    }
  }
  xfer_test::RemoveTree(dir);
}

}  // namespace
}  // namespace xfer::suite::testing
