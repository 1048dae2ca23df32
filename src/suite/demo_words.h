// Persian vocabulary of the demo data: names of people, places, banks, goods and accounts.
#pragma once

#include <span>
#include <string_view>

namespace xfer::suite::words {

std::span<const std::string_view> FirstNames();
std::span<const std::string_view> FamilyNames();
std::span<const std::string_view> Cities();
std::span<const std::string_view> Provinces();
std::span<const std::string_view> Countries();
std::span<const std::string_view> Banks();
std::span<const std::string_view> Goods();
std::span<const std::string_view> GoodsQualifiers();
std::span<const std::string_view> Units();
std::span<const std::string_view> Streets();
std::span<const std::string_view> CompanyWords();
std::span<const std::string_view> AccountGroups();
std::span<const std::string_view> GeneralAccounts();
std::span<const std::string_view> SubsidiaryWords();
std::span<const std::string_view> Departments();
std::span<const std::string_view> AssetWords();

}  // namespace xfer::suite::words
