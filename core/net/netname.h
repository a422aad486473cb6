// CNetName: one pin entry of a net: which sheet file, part and pin it is, with
// the reference split for sorting. The pin is a full copy, so a net stays
// valid after its sheet is closed.
#pragma once

#include <cstdint>
#include <string>

#include "core/model/object.h"
#include "core/model/pin.h"

namespace tavro {

class CNetName : public CObject {
 public:
  CNetName() = default;
  // An entry of this pin (built from it, without a default pin first).
  explicit CNetName(const CPin& pin) : pin_(pin) {}
  CNetName(const CNetName&) = default;
  CNetName& operator=(const CNetName&) = default;
  const char* GetRuntimeClass() const override { return "CNetName"; }

  // Full path of the sheet file the pin comes from (a platform path).
  const std::string& GetFileName() const { return fileName_; }
  void SetFileName(const std::string& s) { fileName_ = s; }
  // That file's name without its folder, as reports write it (CP932).
  std::string GetSheetName() const;
  // The sheet's number in the project (1-based; for sheets given without a
  // project, the position in their list); 0 when not recorded.
  int GetFileNo() const { return fileNo_; }
  void SetFileNo(int n) { fileNo_ = n; }
  const std::string& GetPartName() const { return partName_; }
  void SetPartName(const std::string& s) { partName_ = s; }
  // The reference as written in netlists (gate-stripped for multi-gate packages).
  const std::string& GetRefName() const { return refName_; }
  void SetRefName(const std::string& s) { refName_ = s; }
  const std::string& GetRefPrefix() const { return refPrefix_; }
  const std::string& GetRefSuffix() const { return refSuffix_; }
  int GetRefNo() const { return refNo_; }
  const CPin& GetPin() const { return pin_; }
  CPin& Pin() { return pin_; }
  void SetPin(const CPin& p) { pin_ = p; }
  const std::string& GetPinName() const { return pin_.GetName(); }
  const std::string& GetPinNo() const { return pin_.GetNo(); }

  // Same pin number and same reference, letter case ignored.
  bool operator==(const CNetName& o) const;
  // Splits the reference into prefix, number and suffix.
  void BreakPartRef();
  // Splits a pin number text at its first decimal digit: the letters before it
  // and the value from it (-1 without digits).
  static void BreakPinNo(std::string& text, int& number);
  // Ordering key: prefix, number, whole reference, pin letters, pin value.
  int Compare(const CNetName& o) const;

  // The node text of this entry in a netlist format.
  std::string MakeString(int format) const;
  // Whether this entry is one of the pins that a rule-check pair concerns;
  // `bit` is the pair's single bit (CNet::CheckPinDRC), any other value
  // gives false.
  bool CheckDRC(uint32_t bit) const;

 private:
  std::string fileName_;
  int fileNo_ = 0;
  std::string partName_;
  std::string refName_;
  std::string refPrefix_;
  std::string refSuffix_;
  int refNo_ = 0;
  CPin pin_;
};

}  // namespace tavro
