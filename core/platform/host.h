// The host: what the core asks of the program that runs it (the editor's main
// window, the command line, or a test). The default host does nothing, never
// cancels and answers every question with "no".
#pragma once

#include <cstdint>
#include <string>

namespace tavro {

struct LogFont;

// Progress stage codes and their texts (CP932 texts come from StageText()).
enum Stage : int {
  kStagePinGroups = 0,   // "ピングループ作成中"
  kStageWireGroups = 1,  // "ワイヤーグループ作成中"
  kStageSortNets = 2,    // "ネットソート中"
  kStageMerge = 3,       // "データ整理中"
  kStageReadFiles = 4,   // "データ読込み中"
  kStageSortParts = 5,   // "部品データソート中"
  kStageWrite = 6,       // "データ出力中"
  kStageIndex = 7,       // "インデックス作成中"
  // The net report and the net index of a project.
  kStageNetReport = 8,   // "ネット情報出力中"
  kStageNetIndex = 9,    // "ネットインデックス作成" (the command, no steps)
  kStageCollect = 10,    // "データ収集中"
  kStageSort = 11,       // "ソート中"
  kStageWriteFile = 12,  // "ファイル出力中"
  kStagePdf = 13,        // "データ変換中" (the PDF conversion, one step per sheet)
  kStagePartList = 14,   // "部品表を作成中" (the parts list, one step per part)
  // The reference numbering and the Was-Is file, one step per part.
  kStageRefCheck = 15,    // "リファレンスの最終部品番号をチェック"
  kStageRefCalc = 16,     // "リファレンスを計算"
  kStageRefRewrite = 17,  // "リファレンスの書き換え"
  // The clean-up (重複整理).
  kStageCleanSheets = 18,  // "ワイヤー、ジャンクションのチェック" (one step per sheet)
  kStageCleanRefs = 19,    // "部品番号をチェック" (one step per part)
};
// The UTF-8 text of a stage code ("" for an unknown code).
const char* StageTextUtf8(int stage);

// The display items of the main window, each with a colour and a display
// switch (section "Color" of the settings; index 0 is the sheet background).
enum DisplayItem : int {
  kDispSheet = 0,
  kDispWire = 1,
  kDispWireName = 2,
  kDispBus = 3,
  kDispBusName = 4,
  kDispLine = 5,  // lines, arcs and circles
  kDispLineName = 6,
  kDispJunc = 7,
  kDispPart = 8,
  kDispPartNo = 9,  // the reference
  kDispPartName = 10,
  kDispPin = 11,
  kDispPinNo = 12,
  kDispPinName = 13,
  kDispText = 14,
  kDispGrid = 15,
  kDispSubGrid = 16,
  kDispTitle = 17,  // the title frame
  kDispHighlight = 18,
  kDispPartVal = 20,
  kDispItemCount = 21,
};
// The settings key of a display item ("" for an unused index).
const char* DisplayItemKey(int item);

class Host {
 public:
  virtual ~Host() = default;

  // Progress: a new stage with `total` steps.
  virtual void BeginStage(int stage, int total) {
    (void)stage;
    (void)total;
  }
  // One step (advance == true moves the bar, false only polls). Non-zero asks
  // the caller to cancel.
  virtual int Step(bool advance) {
    (void)advance;
    return 0;
  }

  // Is the sheet file at `path` (a full path) open in the program?
  virtual bool IsFileOpen(const std::string& path) {
    (void)path;
    return false;
  }
  // The grid step of the main window (pasted plain text is spaced by it).
  virtual int GridStep() { return 100; }
  // Font number of a font record in the program's PDF writer.
  virtual int FontNo(const LogFont& font) {
    (void)font;
    return 0;
  }

  // Colour (0x00BBGGRR) and display switch of a display item. The default
  // answers from the settings store, section "Color" ("%ld %d": colour and
  // switch); the title-frame switch (kDispTitle) is "Sheet"/"TitleDisp".
  virtual uint32_t DisplayColor(int item);
  virtual bool DisplaySwitch(int item);

  // Macro values of the open project (CP932 strings).
  virtual int ProjectFileNumber(const std::string& path) {
    (void)path;
    return 0;
  }
  virtual int ProjectFileCount() { return 0; }
  virtual std::string ProjectPath() { return {}; }
  virtual std::string Author() { return {}; }
  virtual std::string ProjectProperty(const std::string& key) {
    (void)key;
    return {};
  }
};

// The host of the running program; never null (a do-nothing host by default).
Host& CurrentHost();
// Installs a host (nullptr restores the default). The caller keeps ownership.
void SetHost(Host* host);

// Installs a host for the lifetime of the guard.
class ScopedHost {
 public:
  explicit ScopedHost(Host* host);
  ~ScopedHost();
  ScopedHost(const ScopedHost&) = delete;
  ScopedHost& operator=(const ScopedHost&) = delete;

 private:
  Host* previous_;
};

}  // namespace tavro
