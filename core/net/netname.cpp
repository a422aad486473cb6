// CNetName: equality and order of pin entries.
#include "core/net/netname.h"

#include <cstdint>
#include <filesystem>
#include <limits>

#include "core/model/part.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"

namespace tavro {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of the run of decimal digits at the start of s (as atoi reads
// it), held at INT_MAX when it would not fit.
int LeadingValue(std::string_view s) {
  int64_t v = 0;
  for (char c : s) {
    if (!IsDigit(c)) break;
    v = v * 10 + (c - '0');
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  }
  return static_cast<int>(v);
}

int Sign(int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

std::string CNetName::GetSheetName() const {
  return Utf8ToCp932(std::filesystem::path(fileName_).filename().string());
}

bool CNetName::operator==(const CNetName& o) const {
  return EqualNoCase(GetPinNo(), o.GetPinNo()) && EqualNoCase(refName_, o.refName_);
}

void CNetName::BreakPartRef() {
  // The reference rules of parts: "?" splits prefix and suffix (number 0);
  // otherwise the last run of digits is the number.
  CPart::RefParts r = CPart::SplitRef(refName_);
  refPrefix_ = std::move(r.prefix);
  refSuffix_ = std::move(r.suffix);
  refNo_ = r.number;
}

void CNetName::BreakPinNo(std::string& text, int& number) {
  size_t i = 0;
  while (i < text.size() && !IsDigit(text[i])) i += CharLen(text, i);
  if (i >= text.size()) {
    number = -1;
    return;
  }
  number = LeadingValue(std::string_view(text).substr(i));
  text.resize(i);
}

int CNetName::Compare(const CNetName& o) const {
  if (const int c = CompareNoCase(refPrefix_, o.refPrefix_); c != 0) return Sign(c);
  if (refNo_ != o.refNo_) return Sign(int64_t{refNo_} - o.refNo_);
  if (const int c = CompareNoCase(refName_, o.refName_); c != 0) return Sign(c);
  std::string letters = GetPinNo(), otherLetters = o.GetPinNo();
  int value = 0, otherValue = 0;
  BreakPinNo(letters, value);
  BreakPinNo(otherLetters, otherValue);
  if (const int c = CompareNoCase(letters, otherLetters); c != 0) return Sign(c);
  return Sign(int64_t{value} - otherValue);
}

}  // namespace tavro
