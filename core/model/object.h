// The common base of the model's items: run-time class identity, so that a
// container can take any item and dispatch on its class (CSheet::AddItem).
#pragma once

#include <memory>
#include <vector>

namespace tavro {

// An ordered list of owned items. Items never move in memory while owned, so
// a pointer identifies an item (CSheet::CheckItem); sorting swaps the owners.
template <class T>
using ItemList = std::vector<std::unique_ptr<T>>;

class CObject {
 public:
  virtual ~CObject() = default;
  // The class name of the item ("CLine", "CPart", ...).
  virtual const char* GetRuntimeClass() const = 0;
  template <class T>
  bool IsKindOf() const {
    return dynamic_cast<const T*>(this) != nullptr;
  }

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

}  // namespace tavro
