// The input modes of a sheet window (入力: ワイヤ, バス, ライン, 文字, 部品,
// ピン, 曲線, 部品番号クリック指定). Each mode is one class behind one small
// event interface: a press, a move, a release and a key, each answered with
// continue, commit (a unit of input went into the sheet) or cancel (the mode
// ends). A mode reaches the window only through a ModeAdapter, so the modes
// are driven without widgets in the tests. Points reach a mode in sheet mils,
// already snapped to the grid; the raw point comes along for hit tests.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/model/geometry.h"
#include "core/model/sheet.h"

namespace tavro::gui {

enum class ModeAnswer { kContinue, kCommit, kCancel };

// Keys the modes know besides letters ('R', 'X', ...) and digits ('1'..'9').
enum ModeKey : int {
  kKeyEscape = 0x1000,
  kKeyBackspace,
  kKeyReturn,
  kKeyF6,
  kKeyF7,
  kKeyPlus = '+',
  kKeyMinus = '-',
  kKeySlash = '/',
};

struct ModePointer {
  CPoint at;   // snapped to the grid
  CPoint raw;  // where the pointer really is
  enum Button { kLeft, kRight, kMiddle } button = kLeft;
  bool shift = false;
  bool ctrl = false;
  bool doubleClick = false;
};

// A package chosen to place: its name and its gates in package order.
struct PackageChoice {
  std::string name;  // CP932
  CSheet gates{kSheetScratch};
};

// What a mode may ask of the window.
class ModeAdapter {
 public:
  virtual ~ModeAdapter() = default;
  // The sheet the window shows.
  virtual const CSheet& Sheet() const = 0;
  // One undoable change of the sheet.
  virtual void Edit(const std::function<void(CSheet&)>& change) = 0;
  virtual int GridStep() const = 0;
  // How far (mils) a click may miss an item.
  virtual int HitTolerance() const = 0;
  // The preview or the prompt changed: draw again.
  virtual void Redraw() = 0;
  // Asks for a text to place (CP932); nullopt when the user cancels. The
  // title and label are UTF-8.
  virtual std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                             const std::string& initial) = 0;
  // Asks for a package to place: by name (found along the library list) or
  // picked in the library browser; nullopt when the user cancels or no
  // library holds it (the window has told why).
  virtual std::optional<PackageChoice> ChoosePackage() = 0;
  // The package of a part name along the library list; nullopt when none.
  virtual std::optional<PackageChoice> FindPackage(const std::string& name) = 0;
  // Tells the user something (UTF-8).
  virtual void Tell(const std::string& message) = 0;
};

class InputMode {
 public:
  explicit InputMode(ModeAdapter& adapter) : a_(adapter) {}
  virtual ~InputMode() = default;
  InputMode(const InputMode&) = delete;
  InputMode& operator=(const InputMode&) = delete;

  virtual ModeAnswer Press(const ModePointer& p) = 0;
  virtual ModeAnswer Move(const ModePointer& p) = 0;
  virtual ModeAnswer Release(const ModePointer&) { return ModeAnswer::kContinue; }
  virtual ModeAnswer Key(int key, const ModePointer& p) = 0;
  // The status text (left pane), UTF-8.
  virtual std::string Prompt() const = 0;
  // A readout that replaces the pointer position in the left pane ("" for
  // the usual position).
  virtual std::string Readout(CPoint) const { return {}; }
  // The items under way, drawn over the sheet; null when nothing is under way.
  virtual const CSheet* Preview() const = 0;
  // Whether an input is under way (Escape then ends it rather than the mode).
  virtual bool Busy() const = 0;

 protected:
  ModeAdapter& a_;
};

// The common key help prefix of placement modes.
inline constexpr const char* kRotateMirrorHelp = "Ｒ：回転  Ｘ、Ｙ：反転  ";

}  // namespace tavro::gui
