// Every value of the settings store that has a default, in one table. A
// reader that passes its own default to Settings::GetInt/GetString still
// finds the same number here.
#include <map>
#include <string>

#include "core/platform/settings.h"

namespace tavro {

namespace {

constexpr SettingDefault I(const char* section, const char* key, int32_t v) {
  return {section, key, false, v, nullptr};
}
constexpr SettingDefault S(const char* section, const char* key, const char* v) {
  return {section, key, true, 0, v};
}

}  // namespace

const std::vector<SettingDefault>& SettingDefaults() {
  static const std::vector<SettingDefault> table = {
      // ---- "Sheet": sheet page and application state
      I("Sheet", "MainGrid", 100),
      I("Sheet", "SubGrid", 50),
      I("Sheet", "GridSize", 7),
      I("Sheet", "ZoomAspect", 20),
      I("Sheet", "TitleDisp", 1),
      I("Sheet", "FullPath", 1),
      I("Sheet", "ProjectAutoLoad", 1),
      I("Sheet", "ProjectAllFile", 0),
      I("Sheet", "ProjectDispMax", 0),
      I("Sheet", "Scroll", 0),
      I("Sheet", "WheelScroll", 0),
      I("Sheet", "AttrMove", 0),
      I("Sheet", "Cursor", 0),
      I("Sheet", "TipHelp", 0),
      I("Sheet", "TipWireIndex", 1),
      I("Sheet", "FlatButton", 0),
      I("Sheet", "BarGrid", 0),
      I("Sheet", "MenuStyle", 0),
      I("Sheet", "FMRU", 16),
      I("Sheet", "PMRU", 16),
      I("Sheet", "NoProj", 0),
      I("Sheet", "RevOpen", 0),
      I("Sheet", "AutoPan", 0),
      I("Sheet", "Work", 1),
      S("Sheet", "Work Width", ""),
      S("Sheet", "Work Height", ""),
      I("Sheet", "PartFilePath", 0),

      // ---- "Color": "%ld %d", the colour as 0x00BBGGRR in decimal and the visibility
      S("Color", "Wire", "255 1"),            // 255, 0, 0
      S("Color", "WireName", "65280 1"),      // 0, 255, 0
      S("Color", "Bus", "16711680 1"),        // 0, 0, 255
      S("Color", "BusName", "16744448 1"),    // 0, 128, 255
      S("Color", "Line", "16776960 1"),       // 0, 255, 255
      S("Color", "LineName", "255 1"),        // 255, 0, 0
      S("Color", "Junc", "65280 1"),          // 0, 255, 0
      S("Color", "Part", "16776960 1"),       // 0, 255, 255
      S("Color", "PartName", "16777215 1"),   // 255, 255, 255
      S("Color", "PartVal", "16777215 1"),    // 255, 255, 255
      S("Color", "PartNo", "16777215 1"),     // 255, 255, 255
      S("Color", "Pin", "65535 1"),           // 255, 255, 0
      S("Color", "PinName", "65280 1"),       // 0, 255, 0
      S("Color", "PinNo", "16777215 1"),      // 255, 255, 255
      S("Color", "Text", "16711935 1"),       // 255, 0, 255
      S("Color", "Sheet", "0 1"),             // 0, 0, 0 (background)
      S("Color", "Grid", "16777215 1"),       // 255, 255, 255
      S("Color", "SubGrid", "12632256 1"),    // 192, 192, 192
      S("Color", "Title", "15269887 1"),      // 255, 255, 232 (title frame)
      S("Color", "Highlight", "16744703 1"),  // 255, 128, 255
      I("Color", "Cursor", 0xFFFFFF),

      // ---- "Default": initial settings of new items
      I("Default", "Text Height", 70),
      I("Default", "Text H Base", 0),
      I("Default", "Text V Base", 2),
      I("Default", "Text Direction", 0),
      I("Default", "Text FEP Control", 0),
      I("Default", "Pin Length", 200),
      I("Default", "Pin Electric Type", 0),
      I("Default", "Pin NCX", 0),
      I("Default", "Pin OpenX", 0),
      I("Default", "LineType", 0),
      I("Default", "StartArrow", 0),
      I("Default", "EndArrow", 0),
      S("Default", "Part VCC", ""),
      S("Default", "Part GND", ""),
      I("Default", "PropFrame", 1),
      S("Default", "FontE", "Arial"),
      // "ＭＳ ゴシック" in CP932: the face the PDF writer embeds for double-byte
      // text when nothing is set (an empty value leaves its font objects out).
      S("Default", "FontJ", "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E"),
      I("Default", "WireAttrHeight", 70),
      I("Default", "BusAttrHeight", 70),
      I("Default", "LineAttrHeight", 70),
      I("Default", "PinNameAttrHeight", 70),
      I("Default", "PinNoAttrHeight", 70),
      I("Default", "PartNameAttrHeight", 65),
      I("Default", "PartRefAttrHeight", 65),
      I("Default", "PartValueAttrHeight", 65),
      I("Default", "WireWidth", 8),
      I("Default", "PowerWidth", 16),
      I("Default", "BusWidth", 24),
      I("Default", "LineWidth", 8),

      // ---- "Text": the text-entry dialog's last choices
      I("Text", "Remember Attr", 0),
      I("Text", "Text Height", 70),
      I("Text", "Text H Base", 0),
      I("Text", "Text V Base", 2),
      I("Text", "Text Direction", 0),
      I("Text", "Text Frame", 0),
      I("Text", "Printable", 1),
      I("Text", "Text Font", 0),

      // ---- "CopyIncrement": copy and edit page
      I("CopyIncrement", "PartRef", 1),
      I("CopyIncrement", "PartRefEnable", 1),
      I("CopyIncrement", "PinNo", 1),
      I("CopyIncrement", "PinNoEnable", 1),
      I("CopyIncrement", "PinName", 1),
      I("CopyIncrement", "PinNameEnable", 1),
      I("CopyIncrement", "WireName", 1),
      I("CopyIncrement", "WireNameEnable", 1),
      I("CopyIncrement", "BusName", 1),
      I("CopyIncrement", "BusNameEnable", 1),
      I("CopyIncrement", "LineName", 1),
      I("CopyIncrement", "LineNameEnable", 1),
      I("CopyIncrement", "Text", 1),
      I("CopyIncrement", "TextEnable", 0),
      I("CopyIncrement", "LineRing", 0),
      I("CopyIncrement", "PinRing", 1),
      I("CopyIncrement", "TextRing", 1),
      I("CopyIncrement", "LineReEdit", 1),
      I("CopyIncrement", "PinReEdit", 1),
      I("CopyIncrement", "LineAP", 0),
      I("CopyIncrement", "OrderRef", 0),
      I("CopyIncrement", "OrderOff", 1),
      I("CopyIncrement", "IndexJump", 1),

      // ---- "Line": line input page
      I("Line", "WireAutoLock", 0),
      I("Line", "WireLockMode", 0),
      I("Line", "BusAutoLock", 0),
      I("Line", "BusLockMode", 1),
      I("Line", "LineAutoLock", 0),
      I("Line", "LineLockMode", 2),
      I("Line", "ArcAutoLock", 0),
      I("Line", "ArcLockMode", 0),
      I("Line", "PathLine", 0),
      I("Line", "MidLineLock", 0),
      I("Line", "PinEnd", 0),

      // ---- "FileSave": save page
      I("FileSave", "BackUp", 1),
      I("FileSave", "LibraryBackUp", 1),
      I("FileSave", "TitleInclude", 0),
      I("FileSave", "EMFBackDraw", 1),
      I("FileSave", "EMFTextBUG", 0),
      S("FileSave", "SaveFolder", ""),
      S("FileSave", "SaveBase", ""),
      I("FileSave", "PROJECT", 1),
      I("FileSave", "AutoSave", 0),
      I("FileSave", "FileUpdate", 0),
      I("FileSave", "Floppy", 1),
      I("FileSave", "UndoCount", 100),
      I("FileSave", "DelayTime", 5),

      // ---- "Printer": print page
      I("Printer", "Color", 0),
      I("Printer", "WhiteGray", 0),
      I("Printer", "Grid", 0),
      I("Printer", "Hide", 0),
      I("Printer", "PinX", 0),
      I("Printer", "AutoScale", 1),

      // ---- "Tool": tool page and report dialogs
      I("Tool", "AutoSave", 0),
      // The desktop's text editor for "%f" (the file name).
      S("Tool", "Editor", "xdg-open \"%f\""),
      // netlist dialog
      I("Tool", "NetType", 0),
      I("Tool", "Index", 1),
      I("Tool", "Power", 0),
      I("Tool", "View", 1),
      I("Tool", "StartNo", 1),
      S("Tool", "PCB", ""),
      I("Tool", "Compo", 0),
      S("Tool", "Ext", ""),
      I("Tool", "Html", 0),
      I("Tool", "NetUnix", 0),
      // net index
      I("Tool", "IndexView", 1),
      I("Tool", "IndexSingle", 1),
      I("Tool", "IndexHtml", 0),
      I("Tool", "IndexXY", 0),
      // reference numbering
      I("Tool", "PartNoMakeType", 0),
      I("Tool", "PartNoStep", 0),
      I("Tool", "PartTopRefNo", 1),
      I("Tool", "RefPageOffset", 0),
      I("Tool", "EachSheet", 0),
      I("Tool", "SimpleWasis", 0),
      // parts list
      I("Tool", "PartCount", 0),
      S("Tool", "ListProperty", ""),

      // ---- "Settings"
      I("Settings", "Shell", 1),
      I("Settings", "FilterIndex", 1),
      I("Settings", "EnvPage", 163),

      // ---- "PDF"
      I("PDF", "Up", 15),
      I("PDF", "Left", 15),
      I("PDF", "Back", 0),
      I("PDF", "Color", 0),
      I("PDF", "View", 1),
      S("PDF", "Scale", "1.0"),
      I("PDF", "TitleInclude", 1),
      I("PDF", "AllFile", 0),

      // ---- "Find"
      I("Find", "Target", 770),
      I("Find", "MatchCase", 0),
      I("Find", "Hide", 0),
      I("Find", "AllSheet", 1),
      I("Find", "SelectItem", 0),
      I("Find", "Word", 0),

      // ---- "CleanSection": sheet clean-up dialog
      I("CleanSection", "CleanLine", 1),
      I("CleanSection", "WireJunc", 0),
      I("CleanSection", "Over", 0),
      I("CleanSection", "BySheet", 0),
      I("CleanSection", "Miss", 0),
      I("CleanSection", "Html", 0),
      I("CleanSection", "View", 1),
      I("CleanSection", "KeepNets", 1),  // refuse a tidying that would change the nets

      // ---- "MakePart"
      S("MakePart", "Name", ""),
      I("MakePart", "Pack", 0),
      I("MakePart", "Attr", 0),
      I("MakePart", "HidePowerPin", 1),
      I("MakePart", "NameDisp", 1),
      I("MakePart", "RefDisp", 1),
      I("MakePart", "ValDisp", 1),

      // ---- "Recent Part List"
      I("Recent Part List", "NameDisp", 2),
      I("Recent Part List", "RefDisp", 2),
      I("Recent Part List", "ValDisp", 2),

      // ---- part libraries
      I("Library File List", "Index", 0),
      S("Library File List", "AddPart", ""),
      S("Library File List", "Except", "NOMOUNT,FILE"),
      I("Library Convert", "Type", 0),
      S("Library Convert", "SourceFileName", ""),
      S("Library Convert", "DestFileName", ""),
  };
  return table;
}

const SettingDefault* FindSettingDefault(std::string_view section, std::string_view key) {
  // Readers ask often (every line read from a sheet file looks up its width),
  // so the table is indexed once. Names never hold a 0x01 byte.
  static const auto index = [] {
    std::map<std::string, const SettingDefault*, SettingsNameLess> m;
    for (const SettingDefault& d : SettingDefaults())
      m.emplace(std::string(d.section) + '\x01' + d.key, &d);
    return m;
  }();
  std::string name(section);
  name += '\x01';
  name += key;
  auto it = index.find(name);
  return it == index.end() ? nullptr : it->second;
}

}  // namespace tavro
