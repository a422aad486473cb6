// What the attribute editors (ライン編集, ピン編集, 文字編集, 部品編集,
// 部品属性編集) share: the conversion of their texts between the dialog
// (UTF-8) and the model (CP932), the check that a typed text fits the code
// page of the files, and how a dialog is run, so that tests can fill and
// confirm an editor in place of the user.
#pragma once

#include <QString>
#include <functional>
#include <initializer_list>
#include <string>

class QDialog;

namespace tavro::gui {

QString FromCp932(const std::string& cp932);
std::string ToCp932(const QString& s);

// The first of `texts` that the code page cannot hold, as the message that
// says so; "" when all fit.
QString CodePageProblem(std::initializer_list<QString> texts);

// The bytes of an edited text: the original bytes while the text is as it
// was shown (bytes the code page cannot show survive an edit of the other
// fields), else the text converted.
std::string EditedCp932(const QString& now, const std::string& original);
// The message that an edited text does not fit the code page; "" when it
// fits or was left as shown.
QString EditedProblem(const QString& now, const std::string& original);

// Runs a dialog: fills it and accepts or rejects it (tests); null runs it
// modally for the user.
using DialogRunner = std::function<void(QDialog& dialog)>;
// True when the dialog was accepted.
bool RunDialog(const DialogRunner& runner, QDialog& dialog);

// A model text with line breaks ("\n", backslash and n) as the lines of a
// multi-line editor, and back; "\\n" (an escaped backslash) stays as it is.
QString BreaksToLines(const QString& s);
QString LinesToBreaks(const QString& s);

}  // namespace tavro::gui
