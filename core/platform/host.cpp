#include "core/platform/host.h"

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
    default:
      return "";
  }
}

Host& CurrentHost() { return *g_host; }
void SetHost(Host* host) { g_host = host ? host : &g_defaultHost; }

ScopedHost::ScopedHost(Host* host) : previous_(&CurrentHost()) { SetHost(host); }
ScopedHost::~ScopedHost() { SetHost(previous_); }

}  // namespace tavro
