// The connectivity walks in their plain form, as the definition of the
// result: every wire against every group, every pin against every net,
// every pair of nets, in list order, restarting from the head after a
// contact merge. The program's own walks (core/net) find the same answers
// through indexes; the tests compare the two on many generated sheets.
#pragma once

#include <span>
#include <string>

#include "core/model/sheet.h"
#include "core/net/connectivity.h"
#include "core/net/net.h"

namespace tavro::reference {

int CreateWireGroup(const CSheet& sheet, NetList& nets);
int CreatePinGroup(const CSheet& sheet, NetList& nets, const std::string& filePath, int fileNo);
int NetCorrection(NetList& nets, int mode);
// BuildNets with the walks above (and the program's SortNet).
int BuildNets(std::span<const NetSheet> sheets, NetList& nets);

}  // namespace tavro::reference
