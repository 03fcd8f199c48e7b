// The du utilities: counted objects and their smart pointers, symbols, flags, the primes of hash
// tables, and prefaulted pages.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "HostTest.h"
#include "du/Flags.h"
#include "du/HashNextPrime.h"
#include "du/LiveCounters.h"
#include "du/PrefaultPages.h"
#include "du/RefCounted.h"
#include "du/SmartPtr.h"
#include "du/Symbol.h"

namespace {

using du::SmartPtr;
using du::Symbol;

// Counts its hook calls; the hook keeps the object alive `refusals` times.
class Counted : public virtual du::RefCounted {
 public:
  explicit Counted(int refusals = 0, int* destroyed = nullptr)
      : refusals_(refusals), destroyed_(destroyed) {}
  int hookCalls = 0;
  int countSeenByHook = -1;

 protected:
  ~Counted() override {
    if (destroyed_) ++*destroyed_;
  }
  bool ZeroReferenceCountHook() override {
    ++hookCalls;
    countSeenByHook = GetReferenceCount();
    return refusals_-- <= 0;
  }

 private:
  int refusals_;
  int* destroyed_;
};

// Owns the only reference to another object.
class Holder : public virtual du::RefCounted {
 public:
  SmartPtr<Counted> inner = new Counted;

 protected:
  ~Holder() override = default;
};

class Derived : public Counted {
 protected:
  ~Derived() override = default;
};

using RefCountedTest = artest::HostTest;

TEST_F(RefCountedTest, LastReleaseRunsTheHookWithTheReferenceBackAndDeletesWhenItAgrees) {
  int destroyed = 0;
  auto* agreeing = new Counted(0, &destroyed);
  agreeing->AddReference(nullptr);
  agreeing->AddReference(nullptr);
  EXPECT_EQ(agreeing->RemoveReference(nullptr), 1);
  EXPECT_EQ(agreeing->hookCalls, 0);
  EXPECT_EQ(agreeing->RemoveReference(nullptr), 0);
  EXPECT_EQ(destroyed, 1);

  auto* refusing = new Counted(1, &destroyed);
  refusing->AddReference(nullptr);
  EXPECT_EQ(refusing->RemoveReference(nullptr), 1) << "the hook kept the last reference";
  EXPECT_EQ(refusing->hookCalls, 1);
  EXPECT_EQ(refusing->countSeenByHook, 1);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(refusing->RemoveReference(nullptr), 0) << "and agrees the next time";
  EXPECT_EQ(destroyed, 2);
}

// Assignment takes the new reference before it releases the old; copies, moves and casts count
// every owner once.
TEST_F(RefCountedTest, AssignmentsCopiesMovesAndCastsCountEachOwnerOnce) {
  SmartPtr<Holder> holder = new Holder;
  Counted* inner = holder->inner.get();
  SmartPtr<du::RefCounted> p(holder.get());
  holder = nullptr;
  // `p` is the holder's only owner, and the holder is the inner object's only owner: releasing
  // the old object first would destroy the new one before it is referenced.
  p = inner;
  EXPECT_EQ(inner->GetReferenceCount(), 1);
  SmartPtr<Counted> self = new Counted;
  Counted* raw = self.get();
  self = raw;
  self = self;
  EXPECT_EQ(raw->GetReferenceCount(), 1) << "assigning the held pointer changes nothing";
  EXPECT_EQ(inner->hookCalls + raw->hookCalls, 0);
  SmartPtr<Derived> derived = new Derived;
  SmartPtr<Counted> base = derived;
  EXPECT_EQ(derived->GetReferenceCount(), 2);
  SmartPtr<Counted> moved = std::move(base);
  EXPECT_TRUE(base.IsNull());
  EXPECT_EQ(derived->GetReferenceCount(), 2);
  du::ConstSmartPtr<Counted> constant = moved;
  EXPECT_EQ(derived->GetReferenceCount(), 3);
  EXPECT_EQ(du::DynamicCast<Derived>(moved), derived);
  EXPECT_TRUE(du::DynamicCast<Holder>(SmartPtr<du::RefCounted>(moved.get())).IsNull());
}

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

TEST(UtilityTest, HashNextPrimeGivesTheSmallestPrimeAtLeastTheSize) {
  const std::pair<std::size_t, std::size_t> rows[] = {
      {0, 2}, {2, 2}, {4, 5}, {100, 101}, {101, 101}, {102, 103}, {7908, 7919}, {1000000, 1000003}};
  for (const auto& [size, prime] : rows) EXPECT_EQ(du::HashNextPrime(size), prime) << size;
}

TEST(UtilityTest, FlagsAskForEveryOrAnyBitOfAMask) {
  du::Flags flags;
  EXPECT_EQ(flags.GetValue(), 0u);
  flags.Set(0b101);
  EXPECT_TRUE(flags.IsSet(0b101));
  EXPECT_FALSE(flags.IsSet(0b111)) << "IsSet asks for every bit of the mask";
  EXPECT_TRUE(flags.IsAnySet(0b110));
  flags.Clear(0b100);
  EXPECT_EQ(flags, du::Flags(0b001));
}

// Whether the mapping that holds `at` asks the kernel for huge pages ("hg" among its flags).
bool AsksForHugePages(const void* at) {
  const auto address = reinterpret_cast<std::uintptr_t>(at);
  std::ifstream maps("/proc/self/smaps");
  bool inside = false;
  for (std::string line; std::getline(maps, line);) {
    std::uintptr_t begin = 0, end = 0;
    char dash = 0;
    if (std::istringstream(line) >> std::hex >> begin >> dash >> end && dash == '-')
      inside = begin <= address && address < end;
    else if (inside && line.rfind("VmFlags:", 0) == 0)
      return (line + " ").find(" hg ") != std::string::npos;
  }
  return false;
}

TEST(UtilityTest, PrefaultPagesMapsALargeBlockInWithoutChangingIt) {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t size = du::PrefaultPages::kSmallest + page;
  void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(mapped, MAP_FAILED);
  auto* block = static_cast<unsigned char*>(mapped);
  block[0] = block[size - 1] = 7;  // already filled at both ends
  const auto resident = [&] {
    std::vector<unsigned char> pages((size + page - 1) / page);
    ::mincore(block, size, pages.data());
    std::size_t count = 0;
    for (unsigned char p : pages) count += p & 1;
    return count;
  };
  EXPECT_EQ(resident(), 2u);
  { const du::PrefaultPages small(block + page, du::PrefaultPages::kSmallest - page); }
  EXPECT_EQ(resident(), 2u) << "a block under the limit is left to fault as it is filled";
  EXPECT_FALSE(AsksForHugePages(block + size / 2));
  { const du::PrefaultPages ready(block, size); }
  EXPECT_EQ(resident(), size / page);
  if (std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled")) {  // a kernel that has them
    EXPECT_TRUE(AsksForHugePages(block + size / 2));
  }
  EXPECT_EQ(block[0], 7);
  EXPECT_EQ(block[size - 1], 7);
  EXPECT_EQ(block[size / 2], 0);
  ::munmap(mapped, size);
}

}  // namespace
