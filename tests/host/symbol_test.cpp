#include "du/Symbol.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "du/LiveCounters.h"

namespace {

using du::Symbol;

std::int64_t LiveSymbols() { return du::GetLiveCounters().symbols.load(); }

TEST(SymbolTest, EqualTextsAreOneSymbolWhateverTheySourceIs) {
  const std::string text = "artarget";
  Symbol fromC("artarget"), fromString(text), copy(fromC);
  EXPECT_EQ(fromC, fromString);
  EXPECT_EQ(copy, fromString);
  EXPECT_EQ(fromC.safe_c_str(), fromString.safe_c_str()) << "one stored copy";
  EXPECT_FALSE(fromC == Symbol("artargets"));
  EXPECT_FALSE(fromC == Symbol("Artarget"));
}

TEST(SymbolTest, EmptyTextsAreTheEmptySymbol) {
  EXPECT_EQ(Symbol(""), Symbol::EMPTY);
  EXPECT_EQ(Symbol(static_cast<const char*>(nullptr)), Symbol::EMPTY);
  EXPECT_EQ(Symbol(std::string()), Symbol::EMPTY);
  EXPECT_STREQ(Symbol::EMPTY.safe_c_str(), "");
  EXPECT_EQ(Symbol::EMPTY.length(), 0u);
  EXPECT_TRUE(Symbol().empty());
}

TEST(SymbolTest, LengthSubstrAndConversions) {
  const Symbol s("ARTargets");
  EXPECT_EQ(s.length(), 9u);
  EXPECT_EQ(s.substr(2), Symbol("Targets"));
  EXPECT_EQ(s.substr(2, 3), Symbol("Tar"));
  EXPECT_EQ(s.substr(7, 100), Symbol("ts"));
  EXPECT_EQ(s.substr(9), Symbol::EMPTY);
  EXPECT_EQ(s.substr(50), Symbol::EMPTY);
  EXPECT_EQ(std::string(s), "ARTargets");
  const Symbol withNul(std::string("a\0b", 3));
  EXPECT_EQ(withNul.length(), 3u);
  EXPECT_FALSE(withNul == Symbol("a"));
}

TEST(SymbolTest, StoredTextLivesAsLongAsASymbolRefersToIt) {
  const auto before = LiveSymbols();
  {
    Symbol a("symbol-test-lifetime");
    EXPECT_EQ(LiveSymbols(), before + 1);
    Symbol b = a;
    Symbol c("symbol-test-lifetime");
    a = Symbol::EMPTY;
    EXPECT_EQ(LiveSymbols(), before + 1);
  }
  EXPECT_EQ(LiveSymbols(), before);
}

TEST(SymbolTest, ThreadsInterningAndReleasingTheSameTextsAgree) {
  const auto before = LiveSymbols();
  constexpr int kThreads = 4;
  std::vector<Symbol> kept(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &kept] {
      for (int i = 0; i < 2000; ++i) {
        Symbol s("shared-" + std::to_string(i % 17));
        Symbol copy = s;
        s = Symbol("other-" + std::to_string(i % 5));
      }
      kept[t] = Symbol("shared-3");
    });
  }
  for (auto& th : threads) th.join();
  for (const Symbol& s : kept) EXPECT_EQ(s, kept.front());
  EXPECT_EQ(LiveSymbols(), before + 1);
  kept.clear();
  EXPECT_EQ(LiveSymbols(), before);
}

}  // namespace
