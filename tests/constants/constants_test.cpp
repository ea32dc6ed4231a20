#include "protocol/constants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/constants/constant_names.h"

const char* const* otherUnitSetPathAddress();
const char* otherUnitSetPath();

namespace {

namespace C = LCD::Proto::Constants;

struct Entry {
  const char* name;
  const char* text;
};

#define LCD_ENTRY(n) Entry{#n, C::n},
const std::vector<Entry> kBase = {LCD_BASE_CONSTANTS(LCD_ENTRY)};
const std::vector<Entry> kEndpoints = {LCD_ENDPOINT_CONSTANTS(LCD_ENTRY)};
#undef LCD_ENTRY

// Paths grouped by text, each with the names that lead to it.
std::map<std::string, std::set<std::string>> namesByPath() {
  std::map<std::string, std::set<std::string>> byPath;
  for (const Entry& e : kEndpoints) byPath[e.text].insert(e.name);
  return byPath;
}

// The table is read at compile time: no code runs to build it.
static_assert(C::HTTPPUTREQUEST[0] == 'P' && C::HTTPPUTREQUEST[3] == '\0');
static_assert(C::PUTLAYERIMAGEQUALITY[sizeof("/movra/v1/layers/image-quality") - 1] == '\0');

TEST(Constants, TableHas130UniqueNamesOf121EndpointsOver111Paths) {
  std::set<std::string> names;
  for (const auto* list : {&kBase, &kEndpoints})
    for (const Entry& e : *list) names.insert(e.name);
  EXPECT_EQ(names.size(), 130u);
  EXPECT_EQ(kEndpoints.size(), 121u);
  EXPECT_EQ(namesByPath().size(), 111u);
}

TEST(Constants, TenPathsHaveTwoNamesThatYieldEqualTexts) {
  const std::set<std::set<std::string>> expected = {
      {"GETLAYERTSELECTEMPLATE", "PUTLAYERSELECTTEMPLATE"},
      {"GETSCREENLISTDETAIL", "MOVRAPROTOGETSCREENDETAIL"},
      {"MOVRAPROTOPUTCOLORDEPTH", "PUTCOLORDEPTH"},
      {"MOVRAPROTOPUTCOLORSPACE", "PUTINTERFACECOLORSPACE"},
      {"PUTEDIDFILE", "GETEDIDFILE"},
      {"MOVRAPROTOPUTHDCP", "PUTHDCP"},
      {"MOVRAPROTOPUTIMAGEQUALITY", "PUTIMAGEQUALITY"},
      {"MOVRAPROTOGETINTERFACELISTDETAIL", "GETINTERFACELISTDETAIL"},
      {"MOVRAPROTOGETINTERFACELISTTHUMB", "GETINTERFACELISTTHUMB"},
      {"DYNAMICRANGCONVERSION", "GETDYNAMICRANGECONVERSION"},
  };
  std::set<std::set<std::string>> shared;
  for (const auto& [path, names] : namesByPath()) {
    EXPECT_LE(names.size(), 2u) << path;
    if (names.size() == 2) shared.insert(names);
  }
  EXPECT_EQ(shared, expected);
}

TEST(Constants, EveryEndpointPathIsCompleteLowerCaseAndEndsWithoutSlash) {
  const std::string base = std::string(C::MOVRAPROTOBASEURL) + "/";
  for (const Entry& e : kEndpoints) {
    const std::string path = e.text;
    SCOPED_TRACE(e.name);
    ASSERT_EQ(path.compare(0, base.size(), base), 0) << path;
    EXPECT_NE(path.back(), '/') << path;
    EXPECT_EQ(path.find("//"), std::string::npos) << path;
    const bool wordsOnly = std::all_of(path.begin(), path.end(), [](char c) {
      return (c >= 'a' && c <= 'z') || c == '/' || c == '-' || (c >= '0' && c <= '9');
    });
    EXPECT_TRUE(wordsOnly) << path;
    EXPECT_EQ(path.find("/-"), std::string::npos) << path;
    EXPECT_EQ(path.find("-/"), std::string::npos) << path;
  }
}

TEST(Constants, EndpointsSpreadOverTheDeviceResourcesAsDocumented) {
  // resource word -> {names, distinct paths}
  const std::map<std::string, std::pair<size_t, size_t>> expected = {
      {"layers", {20, 19}}, {"screen", {27, 26}},      {"interface", {23, 16}},
      {"node", {22, 22}},   {"system", {13, 12}},      {"preset", {5, 5}},
      {"picture", {8, 8}},  {"project-file", {2, 2}},  {"ucenter", {1, 1}},
  };
  const size_t skip = std::strlen(C::MOVRAPROTOBASEURL) + 1;
  auto resourceOf = [skip](const std::string& path) {
    return path.substr(skip, path.find('/', skip) - skip);
  };
  std::map<std::string, std::pair<size_t, size_t>> seen;
  for (const Entry& e : kEndpoints) ++seen[resourceOf(e.text)].first;
  for (const auto& entry : namesByPath()) ++seen[resourceOf(entry.first)].second;
  EXPECT_EQ(seen, expected);
  for (const char* piece : {C::MOVRAPROTOINTERFACE, C::MOVRAPROTONODE, C::MOVRAPROTOSYSTEM})
    EXPECT_EQ(seen.count(piece), 1u) << piece;
}

TEST(Constants, SetPathUsesPutOnTheLayerImageQualityPathWithJsonContentType) {
  EXPECT_STREQ(C::HTTPPUTREQUEST, "PUT");
  EXPECT_STREQ(C::PUTLAYERIMAGEQUALITY, "/movra/v1/layers/image-quality");
  EXPECT_STREQ(C::CONTENTTYPE, "application/json");
}

TEST(Constants, MethodNamesAreTheFourHttpVerbs) {
  EXPECT_STREQ(C::HTTPGETREQUEST, "GET");
  EXPECT_STREQ(C::HTTPPOSTREQUEST, "POST");
  EXPECT_STREQ(C::HTTPDELETEREQUEST, "DELETE");
}

TEST(Constants, EachUnitHoldsItsOwnCopyOfThePointers) {
  EXPECT_NE(otherUnitSetPathAddress(), &C::PUTLAYERIMAGEQUALITY);
  EXPECT_STREQ(otherUnitSetPath(), C::PUTLAYERIMAGEQUALITY);
}

}  // namespace
