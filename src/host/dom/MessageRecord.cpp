#include "dom/MessageRecord.h"

#include <utility>

#include "du/RefCounted.h"

namespace dom {

MessageRecord::MessageRecord(MessageRecord&& other) noexcept
    : values_(std::exchange(other.values_, {})) {}

MessageRecord& MessageRecord::operator=(MessageRecord&& other) noexcept {
  if (this != &other) {
    ReleaseUnread();
    values_ = std::exchange(other.values_, {});
  }
  return *this;
}

MessageRecord::~MessageRecord() { ReleaseUnread(); }

void MessageRecord::AddUInt8(std::uint8_t value) { values_.push_back(Value{Kind::kUInt8, value}); }

void MessageRecord::AddBoolean(bool value) {
  Value v{Kind::kBoolean};
  v.boolean = value;
  values_.push_back(v);
}

void MessageRecord::AddPointer(void* object, const du::RefCounted* counted) {
  Value v{Kind::kPointer};
  v.object = object;
  v.counted = object ? counted : nullptr;
  values_.push_back(v);
}

void MessageRecord::ReleaseUnread() noexcept {
  for (Value& v : values_) {
    if (v.counted) std::exchange(v.counted, nullptr)->RemoveReference(du::kRecordOwnerTag);
  }
  values_.clear();
}

}  // namespace dom
