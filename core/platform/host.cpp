#include "core/platform/host.h"

#include <cstdlib>
#include <string>

#include "core/platform/settings.h"

namespace tavro {

namespace {
Host g_defaultHost;
Host* g_host = &g_defaultHost;
}  // namespace

const char* StageTextUtf8(int stage) {
  switch (stage) {
    case kStagePinGroups:
      return "ピングループ作成中";
    case kStageWireGroups:
      return "ワイヤーグループ作成中";
    case kStageSortNets:
      return "ネットソート中";
    case kStageMerge:
      return "データ整理中";
    case kStageReadFiles:
      return "データ読込み中";
    case kStageSortParts:
      return "部品データソート中";
    case kStageWrite:
      return "データ出力中";
    case kStageIndex:
      return "インデックス作成中";
    case kStageNetReport:
      return "ネット情報出力中";
    case kStageNetIndex:
      return "ネットインデックス作成";
    case kStageCollect:
      return "データ収集中";
    case kStageSort:
      return "ソート中";
    case kStageWriteFile:
      return "ファイル出力中";
    case kStagePdf:
      return "データ変換中";
    case kStagePartList:
      return "部品表を作成中";
    case kStageRefCheck:
      return "リファレンスの最終部品番号をチェック";
    case kStageRefCalc:
      return "リファレンスを計算";
    case kStageRefRewrite:
      return "リファレンスの書き換え";
    case kStageCleanSheets:
      return "ワイヤー、ジャンクションのチェック";
    case kStageCleanRefs:
      return "部品番号をチェック";
    default:
      return "";
  }
}

const char* DisplayItemKey(int item) {
  static const char* const kKeys[kDispItemCount] = {
      "Sheet", "Wire", "WireName", "Bus",      "BusName",   "Line",  "LineName",
      "Junc",  "Part", "PartNo",   "PartName", "Pin",       "PinNo", "PinName",
      "Text",  "Grid", "SubGrid",  "Title",    "Highlight", "",      "PartVal"};
  if (item < 0 || item >= kDispItemCount) return "";
  return kKeys[item];
}

namespace {

// "%ld %d": the colour and the switch of a "Color" entry; missing numbers
// keep the defaults of the built-in table.
struct ColorEntry {
  uint32_t color = 0;
  bool shown = true;
};
ColorEntry ReadColorEntry(int item) {
  ColorEntry e;
  const char* key = DisplayItemKey(item);
  if (*key == '\0') return e;
  const std::string s = AppSettings().GetString("Color", key);
  const char* p = s.c_str();
  char* end = nullptr;
  const long color = std::strtol(p, &end, 10);
  if (end == p) return e;
  e.color = static_cast<uint32_t>(color) & 0xFFFFFFu;
  p = end;
  const long shown = std::strtol(p, &end, 10);
  if (end != p) e.shown = shown != 0;
  return e;
}

}  // namespace

uint32_t Host::DisplayColor(int item) { return ReadColorEntry(item).color; }

bool Host::DisplaySwitch(int item) {
  if (item == kDispTitle) return AppSettings().GetInt("Sheet", "TitleDisp") != 0;
  return ReadColorEntry(item).shown;
}

Host& CurrentHost() { return *g_host; }
void SetHost(Host* host) { g_host = host ? host : &g_defaultHost; }

ScopedHost::ScopedHost(Host* host) : previous_(&CurrentHost()) { SetHost(host); }
ScopedHost::~ScopedHost() { SetHost(previous_); }

}  // namespace tavro
