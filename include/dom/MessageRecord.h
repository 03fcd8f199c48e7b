// dom::MessageRecord: one notification as an observer proxy recorded it: an ordered list of
// values (unsigned bytes, booleans, and pointers to counted objects).
//
// A pointer value carries one reference on its object, taken by whoever pushed it with the
// owner tag du::kRecordOwnerTag. Reading the pointer (MessageReader::GetRawPtr) hands that
// reference to the reader's caller; a pointer never read is released with the record, so a
// record dropped undelivered leaks nothing.
// Thread rules: a record belongs to one thread at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "ArHostExport.h"

namespace du {
class RefCounted;
}

namespace dom {

class ARHOST_API MessageRecord {
 public:
  enum class Kind : std::uint8_t { kUInt8, kBoolean, kPointer };
  struct Value {
    Kind kind;
    std::uint8_t byte = 0;
    bool boolean = false;
    void* object = nullptr;
    const du::RefCounted* counted = nullptr;  // the reference this value carries, if any
  };

  MessageRecord() = default;
  MessageRecord(MessageRecord&& other) noexcept;
  MessageRecord& operator=(MessageRecord&& other) noexcept;
  MessageRecord(const MessageRecord&) = delete;
  MessageRecord& operator=(const MessageRecord&) = delete;
  ~MessageRecord();

  void AddUInt8(std::uint8_t value);
  void AddBoolean(bool value);
  // Adopts the reference the caller took on `counted` (null when `object` is null).
  void AddPointer(void* object, const du::RefCounted* counted);

  std::size_t Size() const { return values_.size(); }
  Value* At(std::size_t index) { return index < values_.size() ? &values_[index] : nullptr; }

 private:
  void ReleaseUnread() noexcept;

  std::vector<Value> values_;
};

}  // namespace dom
