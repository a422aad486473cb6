#include "app/gui/attribute_dialog_parts.h"

#include <QDialog>

#include "core/platform/codec.h"

namespace tavro::gui {

QString FromCp932(const std::string& cp932) { return QString::fromStdString(Cp932ToUtf8(cp932)); }

std::string ToCp932(const QString& s) { return Utf8ToCp932(s.toStdString()); }

QString CodePageProblem(std::initializer_list<QString> texts) {
  for (const QString& s : texts) {
    size_t invalid = 0;
    Utf8ToCp932(s.toStdString(), &invalid);
    if (invalid != 0) return QStringLiteral("「%1」には使えない文字があります").arg(s);
  }
  return {};
}

std::string EditedCp932(const QString& now, const std::string& original) {
  return now == FromCp932(original) ? original : ToCp932(now);
}

QString EditedProblem(const QString& now, const std::string& original) {
  return now == FromCp932(original) ? QString() : CodePageProblem({now});
}

bool RunDialog(const DialogRunner& runner, QDialog& dialog) {
  if (runner)
    runner(dialog);
  else
    dialog.exec();
  return dialog.result() == QDialog::Accepted;
}

QString BreaksToLines(const QString& s) {
  QString out;
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == u'\\' && i + 1 < s.size()) {
      if (s[i + 1] == u'n') {
        out += u'\n';
        ++i;
        continue;
      }
      if (s[i + 1] == u'\\') {  // an escaped backslash: "\\n" is no break
        out += s.mid(i, 2);
        ++i;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

QString LinesToBreaks(const QString& s) {
  QString out = s;
  out.remove(u'\r');
  out.replace(u'\n', QStringLiteral("\\n"));
  return out;
}

}  // namespace tavro::gui
