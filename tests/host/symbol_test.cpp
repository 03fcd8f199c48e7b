#include "du/Symbol.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "du/LiveCounters.h"

namespace {

using du::Symbol;

std::int64_t LiveSymbols() { return du::GetLiveCounters().symbols.load(); }

TEST(SymbolTest, EqualTextsAreOneSymbolAndEmptyTextsTheEmptyOne) {
  const std::string text = "artarget";
  Symbol fromC("artarget"), fromString(text), copy(fromC);
  EXPECT_EQ(fromC, fromString);
  EXPECT_EQ(copy, fromString);
  EXPECT_EQ(fromC.safe_c_str(), fromString.safe_c_str()) << "one stored copy";
  for (const Symbol& other : {Symbol("artargets"), Symbol("Artarget"), Symbol("artarge")})
    EXPECT_FALSE(fromC == other) << other.str();
  for (const Symbol& empty :
       {Symbol(""), Symbol(static_cast<const char*>(nullptr)), Symbol(std::string()), Symbol()})
    EXPECT_TRUE(empty == Symbol::EMPTY && empty.empty() && empty.length() == 0);
  EXPECT_STREQ(Symbol::EMPTY.safe_c_str(), "");
  const Symbol withNul(std::string("a\0b", 3));
  EXPECT_EQ(withNul.length(), 3u);
  EXPECT_FALSE(withNul == Symbol("a"));
}

TEST(SymbolTest, SubstrClampsLikeAString) {
  const Symbol s("ARTargets");
  const std::tuple<std::size_t, std::size_t, const char*> rows[] = {
      {2, std::string::npos, "Targets"}, {2, 3, "Tar"}, {7, 100, "ts"}, {9, 1, ""}, {50, 1, ""}};
  for (const auto& [at, length, expected] : rows)
    EXPECT_EQ(s.substr(at, length), Symbol(expected)) << at << "," << length;
  EXPECT_EQ(std::string(s), "ARTargets");
}

TEST(SymbolTest, StoredTextLivesWhileASymbolOnAnyThreadRefersToIt) {
  const auto before = LiveSymbols();
  {
    Symbol a("symbol-test-lifetime"), b = a, c("symbol-test-lifetime");
    a = Symbol::EMPTY;
    EXPECT_EQ(LiveSymbols(), before + 1);
  }
  EXPECT_EQ(LiveSymbols(), before);

  constexpr int kThreads = 4;
  std::vector<Symbol> kept(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t, &kept] {
      for (int i = 0; i < 2000; ++i) {
        Symbol s("shared-" + std::to_string(i % 17)), copy = s;
        s = Symbol("other-" + std::to_string(i % 5));
      }
      kept[t] = Symbol("shared-3");
    });
  for (auto& th : threads) th.join();
  for (const Symbol& s : kept) EXPECT_EQ(s, kept.front());
  EXPECT_EQ(LiveSymbols(), before + 1);
  kept.clear();
  EXPECT_EQ(LiveSymbols(), before);
}

// Many texts, half of them released in a scattered order: each one kept is still the symbol
// its text gives, and each one released is gone.
TEST(SymbolTest, TableKeepsEveryLiveTextFindableThroughGrowthAndRemovals) {
  const auto before = LiveSymbols();
  std::vector<Symbol> kept;
  for (int i = 0; i < 20000; ++i) kept.emplace_back("text-" + std::to_string(i * 7919 % 20000));
  for (std::size_t i = 0; i < kept.size(); i += 2) kept[i] = Symbol::EMPTY;
  EXPECT_EQ(LiveSymbols(), before + 10000);
  for (std::size_t i = 1; i < kept.size(); i += 2)
    ASSERT_EQ(Symbol(kept[i].str()), kept[i]) << kept[i].str();
  EXPECT_EQ(LiveSymbols(), before + 10000) << "finding a text adds nothing";
  kept.clear();
  EXPECT_EQ(LiveSymbols(), before);
}

}  // namespace
