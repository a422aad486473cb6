#include "library/library_scan.h"

#include "core/file/archive.h"
#include "library/library.h"

namespace tavro {

bool LibRecord::IsPackage() const {
  return marker == kLibMarkerPackage || marker == kLibMarkerPackageV6;
}

bool LibScan::Next(LibRecord& record) {
  if (!error_.empty()) return false;
  if (pos_ >= image_.size()) {
    endOffset_ = image_.size();
    terminated_ = false;
    return false;
  }
  CArchive ar(image_);
  try {
    ar.Skip(pos_);
    record = LibRecord{};
    record.start = pos_;
    record.marker = ar.ReadI32();
    if (record.marker == kLibMarkerEnd || record.marker == kLibMarkerStop) {
      endOffset_ = pos_;
      terminated_ = true;
      pos_ = image_.size();
      return false;
    }
    record.name = ar.ReadString();
    const int32_t size = ar.ReadI32();
    record.bodyStart = ar.Position();
    if (size < 0 || static_cast<size_t>(size) > ar.Remaining()) {
      damagedName_ = record.name;
      error_ = "record at byte " + std::to_string(record.start) + " announces " +
               std::to_string(size) + " bytes, but only " + std::to_string(ar.Remaining()) +
               " remain";
      return false;
    }
    record.bodySize = static_cast<size_t>(size);
  } catch (const ArchiveError& e) {
    error_ = "record at byte " + std::to_string(pos_) + " is cut short (" + e.what() + ")";
    return false;
  }
  pos_ = record.End();
  return true;
}

}  // namespace tavro
