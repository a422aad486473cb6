// LibraryBrowser (部品一覧): every library of the library list as a tree of
// packages and gates, a preview of the selected gate with its fields, and
// the library edits: delete a package or one gate, copy or move a package
// to another library of the list, rename a package by editing its label,
// edit a gate in the part dialog, and change the library list. Opened to
// pick a part, it hands back the gate selected when it closes with OK.
//
// Tree nodes and their item data (Qt::UserRole):
//   library  "name.lib <full path>"                         0
//   package  the package name, alphabetical among siblings  1
//   gate     (packages of more than one gate) the gate's reference, or its
//            gate name when the reference is empty          gate index * 16 + kind
// where the gate index counts from 1 within the package and the kind is 2
// for a reference-labelled gate, 1 for a name-labelled one. A library's
// packages are read (from its index, made when missing) when its node is
// first expanded; until then it holds one placeholder child.
//
// Every edit goes through the GUI-free library operations; after one that
// succeeded the library's nodes are read again from the library, so the
// tree shows what the file holds. A failure is shown and leaves the tree as
// it was.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/model/part.h"
#include "library/library_ops.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavro::gui {

class PartPreview;

// A gate picked in the browser.
struct PickedPart {
  CPart part;
  std::string library;  // UTF-8 path
  std::string package;  // CP932
  int gate = 1;         // from 1
};

class LibraryBrowser : public QDialog {
  Q_OBJECT

 public:
  enum class Use {
    kEdit,  // opened for editing only: one "閉じる" button
    kPick,  // OK hands back the selected gate
  };
  // How the browser asks and tells, and its two sub-dialogs; message boxes
  // and the dialogs when unset (tests answer instead).
  struct Hooks {
    // A question (UTF-8 text); true for yes / OK.
    std::function<bool(const QString& question)> ask;
    std::function<void(const QString& message)> warn;
    // 編集: edits a gate; false when cancelled.
    std::function<bool(CPart& part)> editPart;
    // 環境設定: edits and stores the library list; false when cancelled.
    std::function<bool()> libraryList;
  };

  // The libraries of the list (the starter libraries on a first start).
  explicit LibraryBrowser(Use use, QWidget* parent = nullptr, Hooks hooks = {});
  ~LibraryBrowser() override;

  // The gate selected when the dialog closed with OK (kPick); nullopt
  // otherwise.
  const std::optional<PickedPart>& GetPart() const { return picked_; }

  // --- the tree ---
  QTreeWidget* Tree() const { return tree_; }
  // The node of a library (nullptr when not listed).
  QTreeWidgetItem* LibraryNode(const std::string& library) const;
  // The node of a package (its library read first when needed); nullptr
  // when the library has no such package.
  QTreeWidgetItem* PackageNode(const std::string& library, const std::string& package);
  // Selects a node (the preview and the fields follow).
  void Select(QTreeWidgetItem* node);

  // --- the commands on the selected node ---
  bool DeleteSelected();         // 削除
  bool CopySelected(bool move);  // コピー / 移動 to the target library
  bool EditSelected();           // 編集
  bool RenamePackage(QTreeWidgetItem* node, const QString& name);
  void Environment();  // 環境設定
  void SetTarget(const std::string& library);

  // --- what is shown ---
  QComboBox* TargetBox() const { return target_; }
  PartPreview* Preview() const { return preview_; }
  // 部品名, 参照名, 初期値, 素子番号, 素子数 as shown.
  QStringList Fields() const;

  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The item data of a node (see above) and the placeholder's.
  static constexpr int kPlaceholder = -1;
  static int Data(const QTreeWidgetItem* node);
  static bool IsPackage(const QTreeWidgetItem* node);
  static bool IsGate(const QTreeWidgetItem* node);
  // The library path, package name and gate number (0 for a package node)
  // of a node.
  static std::string LibraryOf(const QTreeWidgetItem* node);
  static std::string PackageOf(const QTreeWidgetItem* node);
  static int GateOf(const QTreeWidgetItem* node);

  void BuildTree(const std::vector<std::string>& libraries);
  // Reads a library's packages into its node; false when it cannot be read
  // (the node keeps no packages and is read again on the next expansion).
  bool Fill(QTreeWidgetItem* libraryNode);
  // Reads a library's packages again, when they were read, and selects the
  // node of `package` / `gate` when given (or keeps the selection).
  void Reload(const std::string& library, const std::string& package = {}, int gate = 0);
  void ShowSelected();
  void UpdateButtons();
  void OnItemChanged(QTreeWidgetItem* node);

  // The prompts of the library operations; Report shows what an operation
  // said that the prompts did not show already. True when it went well.
  LibraryPrompts Prompts();
  bool Report(const LibOpResult& result);
  bool Ask(const QString& question, bool okCancel);
  void Warn(const QString& message);

  Use use_;
  Hooks hooks_;
  std::vector<std::string> libraries_;
  QTreeWidget* tree_ = nullptr;
  QComboBox* target_ = nullptr;
  QPushButton* copy_ = nullptr;
  QPushButton* move_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* edit_ = nullptr;
  std::vector<QLineEdit*> fields_;
  PartPreview* preview_ = nullptr;
  std::optional<PickedPart> picked_;
  bool updating_ = false;
  // What the prompts asked and showed during the operation under way.
  std::string lastAsked_;
  std::vector<std::string> shown_;
};

}  // namespace tavro::gui
