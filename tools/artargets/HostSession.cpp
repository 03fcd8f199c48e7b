#include "HostSession.h"

#include <string>

#include "arhost/Host.h"
#include "dom/MessageReader.h"
#include "dom/ObservableEvent.h"
#include "dp/ScopedLock.h"
#include "orl/Annotation.h"
#include "orl/AsyncEvent.h"
#include "orl/Observable.h"
#include "orl/Observer.h"

namespace artargets {

namespace {

// A sample observable: a counter whose changes are posted as events carrying the new value.
class Counter final : public orl::Observable {
 public:
  static constexpr unsigned char kChanged = 0;  // offset from GetNextEventId()

  Counter() : orl::Observable(orl::Annotation::GetRWLock()) {}

  void Set(std::uint8_t value) {
    dp::ScopedWriter guard(GetRWLock());
    value_ = value;
    PostObservableEvent(ChangedEvent(value), false);
  }
  bool Register(dom::Observer& o) {
    return _RegisterObserver(o, new dom::ObserverProxy(o), nullptr);
  }
  bool Unregister(dom::Observer& o) { return DoUnregisterObserver(o); }

 private:
  class ChangedEvent final : public dom::ObservableEvent {
   public:
    explicit ChangedEvent(std::uint8_t v) : value_(v) {}
    void PushToProxy(dom::ObserverProxy& proxy) const override {
      proxy.Begin();
      proxy.PushUInt8Value(GetNextEventId() + kChanged);
      proxy.PushUInt8Value(value_);
      proxy.End();
    }

   private:
    std::uint8_t value_;
  };

  void _OnDestroy() override {}
  std::uint8_t value_ = 0;
};

class Narrator final : public orl::Observer {
 public:
  Narrator(std::ostream& out, std::string name) : out_(out), name_(std::move(name)) {}
  bool RequiresBeginEnd() const override { return true; }
  void OnBeginUpdate() override { out_ << "  " << name_ << ": begin update\n"; }
  void OnEndUpdate() override { out_ << "  " << name_ << ": end update\n"; }
  void OnDestroy() override { out_ << "  " << name_ << ": the counter is gone\n"; }

 private:
  void HandleEvent(unsigned char tag, dom::MessageReader& reader) override {
    if (tag < orl::Observable::GetNextEventId()) return orl::Observer::HandleEvent(tag, reader);
    std::uint8_t value = 0;
    reader.GetUInt8Value(value);
    out_ << "  " << name_ << ": counter is now " << int(value) << "\n";
  }

  std::ostream& out_;
  std::string name_;
};

class Narrated final : public orl::AsyncEvent {
 public:
  explicit Narrated(std::ostream& out) : out_(out) {}

 private:
  void OnComplete(EventStatus status) override {
    out_ << "  save event completed with status " << status << "\n";
  }
  std::ostream& out_;
};

void PrintCounts(std::ostream& out, const char* when) {
  const arhost::LiveCounts c = arhost::GetLiveCounts();
  out << when << ": " << c.refCounted << " counted objects, " << c.poolBlocks << " pool blocks, "
      << c.symbols << " symbols, " << c.pendingMessages << " queued messages\n";
}

}  // namespace

int RunHostSession(std::ostream& out) {
  {
    du::SmartPtr<Counter> counter = new Counter;
    du::SmartPtr<Narrator> first = new Narrator(out, "first");
    du::SmartPtr<Narrator> second = new Narrator(out, "second");
    counter->Register(*first);
    counter->Register(*second);

    out << "Posting three changes in one update group\n";
    {
      orl::Observable::UpdateGroup group(counter.get());
      for (std::uint8_t v = 1; v <= 3; ++v) counter->Set(v);
    }
    PrintCounts(out, "Before the loop runs");
    out << "Running the message loop\n";
    arhost::RunUntilIdle();

    out << "Unregistering the second observer, then one more change\n";
    counter->Unregister(*second);
    counter->Set(4);
    du::SmartPtr<Narrated> save = new Narrated(out);
    save->Complete();
    arhost::RunUntilIdle();

    out << "Destroying the counter\n";
    counter->Destroy();
    arhost::RunUntilIdle();
  }
  arhost::Shutdown();
  PrintCounts(out, "After shutdown");
  return arhost::GetLiveCounts().refCounted == 0 ? 0 : 1;
}

}  // namespace artargets
