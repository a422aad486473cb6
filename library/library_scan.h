// Walking the records of a library image. Every reader of a library goes
// through this one walk, so that they agree on where a record ends: a record
// of any kind is passed over by its body size, 0 and -1 end the library, and
// the end of the data ends it too. A record whose header or body does not fit
// in what remains stops the walk as damaged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavro {

struct LibRecord {
  int32_t marker = 0;
  size_t start = 0;      // offset of the marker
  std::string name;      // package name (CP932)
  size_t bodyStart = 0;  // offset just after the body size
  size_t bodySize = 0;
  size_t End() const { return bodyStart + bodySize; }
  bool IsPackage() const;
  std::string_view Body(std::string_view image) const { return image.substr(bodyStart, bodySize); }
};

class LibScan {
 public:
  explicit LibScan(std::string_view image) : image_(image) {}
  // The next record; false at the end of the library or at damage.
  bool Next(LibRecord& record);
  // Why the walk stopped early (empty at a proper end).
  const std::string& Error() const { return error_; }
  // The offset of the terminator that ended the walk, or of the end of the
  // data when the library has none; only meaningful once Next returned false
  // without an error.
  size_t EndOffset() const { return endOffset_; }
  // Whether the walk ended at a terminator (0 or -1) rather than at the end
  // of the data.
  bool EndedAtTerminator() const { return terminated_; }
  // The name of the record the damage was found in (may be empty).
  const std::string& DamagedName() const { return damagedName_; }

 private:
  std::string_view image_;
  size_t pos_ = 0;
  std::string error_;
  std::string damagedName_;
  size_t endOffset_ = 0;
  bool terminated_ = false;
};

// The smallest number of bytes of one part record.
inline constexpr size_t kLibMinPartRecord = 60;

}  // namespace tavro

namespace tavro {

class CPart;

// The bytes of one package record (marker 202) holding `parts` in order.
std::string LibraryRecord(const std::string& name, const std::vector<const CPart*>& parts);
// Appends the terminator 0.
void WriteTerminator(std::string& image);
// The gates of a package record's body (full parts or outlines); throws
// ArchiveError when the body is damaged.
std::vector<std::unique_ptr<CPart>> ReadLibraryGates(std::string_view body, int32_t marker,
                                                     bool full);
// Writes a whole library file through the one save routine, keeping its
// creation time; false (and `error`) when it cannot be written, a read-only
// file among them.
bool WriteLibraryBytes(const std::string& path, std::string_view bytes, std::string& error);
// Deletes the index of a library that has changed (a read-only index stays).
void DropIndex(const std::string& indexPath);

}  // namespace tavro
