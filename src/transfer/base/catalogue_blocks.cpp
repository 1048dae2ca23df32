// The blocks of the base-information transfer, one per module check box, in the order they run:
// title of the progress window, the catalogue tables in order, the extra tables a block carries
// when other modules are not ticked, the print-layout letter and the completion message.
#include "transfer/base/catalogue.h"

namespace xfer::transfer {

const std::vector<TransferBlock>& TransferBlocks() {
  static const std::vector<TransferBlock> kBlocks = {
      {Module::kMaly,
       "chkMaly",
       "انتقال اطلاعات پايه حسابداري",
       {{StepKind::kTable, "GROH"}, {StepKind::kTable, "KOLL"}, {StepKind::kTable, "MOEIN"}, {StepKind::kTable, "FIXDES"}, {StepKind::kTable, "GROHTAFSILY"}, {StepKind::kTable, "TAFSILY"}, {StepKind::kTable, "GROHTAFSILY2"}, {StepKind::kTable, "TAFSILY2"}, {StepKind::kTable, "M_GrohProject"}, {StepKind::kTable, "M_Project"}, {StepKind::kUsers, ""}},
       {},
       "M",
       false,
       "اطلاعات پايه حسابداري منتقل شد."},
      {Module::kStore,
       "chkStore",
       "انتقال اطلاعات پايه انبار",
       {{StepKind::kTable, "A_DOCUMENT"}, {StepKind::kTable, "R_Tax"}, {StepKind::kTable, "R_TypeFactor"}, {StepKind::kTable, "A_KalaFee"}, {StepKind::kTable, "Avamel"}, {StepKind::kTable, "CITY"}, {StepKind::kTable, "A_SELLERS"}, {StepKind::kTable, "A_SellersGroh"}, {StepKind::kTable, "Country"}, {StepKind::kTable, "A_MASRAF"}, {StepKind::kTable, "A_MoredResid"}, {StepKind::kTable, "B_Mahsoldetail"}, {StepKind::kTable, "DEPART_1"}, {StepKind::kTable, "TahvilPerson"}, {StepKind::kTable, "ANBAR"}, {StepKind::kTable, "MEGYAS"}, {StepKind::kTable, "KALAGROH"}, {StepKind::kTable, "JOZCODEKALA"}, {StepKind::kTable, "JOZCOMMANDKALA"}, {StepKind::kTable, "KALA"}, {StepKind::kTable, "A_KALAMAST"}},
       {{{Module::kMaly}, {{StepKind::kTable, "GROHTAFSILY2"}, {StepKind::kTable, "TAFSILY2"}, {StepKind::kUsers, ""}}}},
       "S",
       false,
       "اطلاعات پايه انبار منتقل شد."},
      {Module::kDara,
       "chkDara",
       "انتقال اطلاعات پايه دارايي",
       {{StepKind::kTable, "D_MAKAN"}, {StepKind::kTable, "PERSON"}, {StepKind::kTable, "D_VAZDARAE"}, {StepKind::kTable, "D_MABADI"}, {StepKind::kTable, "D_VEZARAT"}, {StepKind::kTable, "D_MADEH151"}, {StepKind::kTable, "D_SAKHTAR"}, {StepKind::kTable, "D_GHEIMAT"}, {StepKind::kTable, "D_AMVAL"}},
       {{{Module::kStore}, {{StepKind::kTable, "DEPART_1"}}}, {{Module::kStore, Module::kMaly}, {{StepKind::kUsers, ""}}}},
       "",
       false,
       "اطلاعات پايه دارايي منتقل شد."},
      {Module::kNaghd,
       "chkNaghd",
       "انتقال اطلاعات پايه نقدينگي",
       {{StepKind::kTable, "N_Bank"}, {StepKind::kTable, "N_SHOAB"}, {StepKind::kTable, "N_BankHesab"}, {StepKind::kTable, "N_AsnadDaryaftani"}, {StepKind::kTable, "N_Cheque"}, {StepKind::kTable, "N_ChqType"}, {StepKind::kTable, "N_BardashtBank"}, {StepKind::kTable, "N_AccountType"}, {StepKind::kTable, "N_Prn_Cheque_Forms"}, {StepKind::kTable, "N_Arz"}, {StepKind::kTable, "N_Cash"}, {StepKind::kTable, "N_Tankhah"}, {StepKind::kTable, "N_Manabeh"}, {StepKind::kTable, "N_ManabehG"}, {StepKind::kTable, "N_ManabehZG"}, {StepKind::kTable, "N_Mojavez"}, {StepKind::kTable, "PERSON"}},
       {{{Module::kMaly}, {{StepKind::kUsers, ""}, {StepKind::kTable, "FIXDES"}}}},
       "N",
       false,
       "اطلاعات پايه نقدينگي منتقل شد."},
      {Module::kTrado,
       "chkTrado",
       "انتقال اطلاعات پايه فروش",
       {{StepKind::kTable, "R_FACTCATA"}, {StepKind::kTable, "R_BAZARYAB"}, {StepKind::kTable, "R_Tax"}, {StepKind::kTable, "R_STATE"}, {StepKind::kTable, "R_CUSTOMERGROH"}, {StepKind::kTable, "R_JOZCODECUSTOMER"}, {StepKind::kTable, "R_JOZCOMMANDCUSTOMER"}, {StepKind::kTable, "R_CUSTOMER"}, {StepKind::kTable, "R_MOVAZEH"}, {StepKind::kTable, "R_Tozikonandegan"}, {StepKind::kTable, "R_RelateCustomer"}, {StepKind::kTable, "R_Agsat"}, {StepKind::kTable, "R_AgsatFormula"}, {StepKind::kTable, "R_Account"}},
       {{{Module::kStore}, {{StepKind::kTable, "KALAGROH"}, {StepKind::kTable, "JOZCODEKALA"}, {StepKind::kTable, "JOZCOMMANDKALA"}, {StepKind::kTable, "KALA"}, {StepKind::kTable, "Country"}, {StepKind::kTable, "ANBAR"}, {StepKind::kTable, "MEGYAS"}, {StepKind::kTable, "CITY"}, {StepKind::kUsers, ""}}}},
       "R",
       true,
       "اطلاعات پايه فروش منتقل شد."},
      {Module::kSazmandehi,
       "chkSazmandehi",
       "انتقال اطلاعات سازماندهي نرم افزار",
       {},
       {},
       "",
       false,
       "اطلاعات سازماندهي نرم افزار منتقل شد."},
  };
  return kBlocks;
}

const std::vector<OptionsDescriptor>& OrganizingOptions() {
  static const std::vector<OptionsDescriptor> kOptions = {
      {"chksSaham", "Saham", "سازماندهي سهام"},
      {"chksTolid", "Tolid", "سازماندهي توليد"},
      {"chksHazine", "Hazeneh", "سازماندهي هزينه يابي"},
      {"chksKarkard", "Karkerd", "سازماندهي کارکرد"},
      {"chksKelvaro", "hub", "سازماندهي Kelvaro"},
      {"chksHesabdari", "Kelvaro", "سازماندهي حسابداري"},
      {"chksNaghd", "Naghd", "سازماندهي نقدينگي"},
      {"chksForosh", "Forosh", "سازماندهي فروش"},
      {"chksSefareshat", "Sefaresh", "سازماندهي سفارشات"},
      {"chksAnbar", "Anbar", "سازماندهي انبار"},
      {"chkDaraee", "Dara", "سازماندهي دارايي"},
      {"chkDaraee", "Company_StartDate", "سازماندهي دارايي"},
  };
  return kOptions;
}

}  // namespace xfer::transfer
