// Word lists of the demo data. Kept short: names are built by combining them.
#include "suite/demo_words.h"

namespace xfer::suite::words {
namespace {

constexpr std::string_view kFirst[] = {"علي",   "محمد",   "حسين",  "رضا",   "مهدي", "زهرا", "فاطمه",
                                       "مريم",  "سارا",   "نرگس",  "امير",  "حميد", "مجيد", "ليلا",
                                       "پريسا", "کامران", "بهرام", "شيرين", "ناصر", "آرش"};
constexpr std::string_view kFamily[] = {"احمدي", "محمدي", "حسيني", "رضايي",   "کريمي",  "موسوي",
                                        "جعفري", "صادقي", "رحيمي", "نوري",    "کاظمي",  "قاسمي",
                                        "اکبري", "طاهري", "مرادي", "سليماني", "فرهادي", "يزداني"};
constexpr std::string_view kCities[] = {
    "تهران", "اصفهان", "شيراز", "مشهد", "تبريز", "کرج",   "اهواز", "قم",       "کرمانشاه", "رشت",
    "يزد",   "کرمان",  "همدان", "اراک", "زنجان", "قزوين", "ساري",  "بندرعباس", "اروميه",   "سنندج"};
constexpr std::string_view kProvinces[] = {"تهران",          "اصفهان", "فارس",    "خراسان رضوي",
                                           "آذربايجان شرقي", "البرز",  "خوزستان", "قم",
                                           "کرمانشاه",       "گيلان"};
constexpr std::string_view kCountries[] = {"ايران", "ترکيه", "امارات", "چين",
                                           "آلمان", "هند",   "روسيه",  "عراق"};
constexpr std::string_view kBanks[] = {"ملي", "ملت",     "صادرات", "تجارت",
                                       "سپه", "کشاورزي", "مسکن",   "پاسارگاد"};
constexpr std::string_view kGoods[] = {
    "شکر",  "برنج",   "چاي",  "روغن", "ماکاروني", "رب گوجه", "عدس",  "لوبيا", "نخود", "آرد",
    "پنير", "ماست",   "کره",  "شير",  "زعفران",   "خرما",    "پسته", "کشمش",  "نمک",  "ادويه",
    "کاغذ", "خودکار", "دفتر", "پيچ",  "مهره",     "لوله",    "کابل", "لامپ",  "کليد", "پريز"};
constexpr std::string_view kQualifiers[] = {"ممتاز",  "درجه يک", "بسته بندي", "فله",  "صادراتي",
                                            "ايراني", "وارداتي", "خانواده",   "کوچک", "بزرگ"};
constexpr std::string_view kUnits[] = {"عدد", "کيلوگرم", "بسته", "کارتن", "متر", "ليتر"};
constexpr std::string_view kStreets[] = {"خيابان آزادي",  "خيابان انقلاب", "بلوار کشاورز",
                                         "خيابان وليعصر", "کوچه بهار",     "ميدان امام",
                                         "خيابان شريعتي", "بلوار فردوسي"};
constexpr std::string_view kCompanyWords[] = {"بازرگاني", "صنايع",   "پخش",  "توليدي",
                                              "تجارت",    "فروشگاه", "گروه", "شرکت"};
constexpr std::string_view kAccountGroups[] = {"دارايي هاي جاري",  "دارايي هاي غير جاري",
                                               "بدهي هاي جاري",    "بدهي هاي غير جاري",
                                               "حقوق صاحبان سهام", "درآمدها",
                                               "هزينه ها"};
constexpr std::string_view kGeneral[] = {"موجودي نقد و بانک", "حسابهاي دريافتني",
                                         "اسناد دريافتني",    "موجودي کالا",
                                         "پيش پرداختها",      "دارايي هاي ثابت",
                                         "استهلاک انباشته",   "حسابهاي پرداختني",
                                         "اسناد پرداختني",    "پيش دريافتها",
                                         "ماليات پرداختني",   "سرمايه",
                                         "سود انباشته",       "فروش",
                                         "برگشت از فروش",     "بهاي تمام شده",
                                         "هزينه هاي اداري",   "هزينه هاي فروش",
                                         "هزينه هاي مالي",    "درآمدهاي متفرقه"};
constexpr std::string_view kSubsidiary[] = {"شعبه مرکزي", "داخلي", "خارجي",  "کوتاه مدت",
                                            "بلند مدت",   "اشخاص", "شرکتها", "کارکنان",
                                            "متفرقه",     "ريالي", "ارزي",   "جاري"};
constexpr std::string_view kDepartments[] = {"مديريت", "مالي",  "فروش",     "انبار",
                                             "توليد",  "اداري", "بازرگاني", "فني"};
constexpr std::string_view kAssets[] = {"ميز",  "صندلي", "رايانه",     "چاپگر",   "خودرو",
                                        "قفسه", "کولر",  "دستگاه برش", "ليفتراک", "ساختمان"};

}  // namespace

std::span<const std::string_view> FirstNames() {
  return kFirst;
}
std::span<const std::string_view> FamilyNames() {
  return kFamily;
}
std::span<const std::string_view> Cities() {
  return kCities;
}
std::span<const std::string_view> Provinces() {
  return kProvinces;
}
std::span<const std::string_view> Countries() {
  return kCountries;
}
std::span<const std::string_view> Banks() {
  return kBanks;
}
std::span<const std::string_view> Goods() {
  return kGoods;
}
std::span<const std::string_view> GoodsQualifiers() {
  return kQualifiers;
}
std::span<const std::string_view> Units() {
  return kUnits;
}
std::span<const std::string_view> Streets() {
  return kStreets;
}
std::span<const std::string_view> CompanyWords() {
  return kCompanyWords;
}
std::span<const std::string_view> AccountGroups() {
  return kAccountGroups;
}
std::span<const std::string_view> GeneralAccounts() {
  return kGeneral;
}
std::span<const std::string_view> SubsidiaryWords() {
  return kSubsidiary;
}
std::span<const std::string_view> Departments() {
  return kDepartments;
}
std::span<const std::string_view> AssetWords() {
  return kAssets;
}

}  // namespace xfer::suite::words
