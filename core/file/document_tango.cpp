// CSheetDoc: reading Tango schematic files (first line ";Tango"). The reader
// comes with the Tango exchange; until then such a file is refused with a
// clear message.
#include "core/file/document.h"

namespace tavro {

DocStatus CSheetDoc::ReadTango(std::string_view /*data*/, const std::string& name,
                               CSheet& /*into*/) {
  return {false, name + ": Tango形式のファイルの読込みはまだできません", {}};
}

}  // namespace tavro
