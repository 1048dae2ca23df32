// Declared widths of the code and name columns of a period database. Companies configure them,
// transfers refuse to copy between periods whose widths differ, so tests build periods with
// deliberately different widths from here.
#pragma once

#include <map>
#include <string>

namespace xfer::suite {

struct CodeWidths {
  int groh = 2;
  int koll = 4;
  int moein = 4;
  int tafsily = 8;
  int tafsily2 = 6;
  int project = 6;
  int tafsilyGroh = 4;
  int tafsily2Groh = 4;
  int projectGroh = 4;
  int hesabName = 100;  // NamHesab of the account levels
  int name = 100;       // other name columns that transfers compare
  int kala = 15;
  int kalaGroh = 6;
  int anbar = 4;
  int megyas = 4;
  int customer = 10;
  int customerGroh = 6;
  int bazaryab = 6;
  int sellers = 10;
  int person = 6;
  int bank = 4;
  int shobeh = 6;
  int acount = 20;
  int cash = 4;
  int arz = 3;
  int sanadNo = 10;
  int document = 10;
  int factorNo = 10;
  int userName = 50;
};

// The script variables ($(KollWidth) and the like) for these widths.
std::map<std::string, std::string> ScriptVariables(const CodeWidths& w);

}  // namespace xfer::suite
