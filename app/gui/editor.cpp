#include "app/gui/editor.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <cstdio>
#include <cstdlib>

#include "app/gui/main_window.h"
#include "app/gui/single_instance.h"
#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "library/library_ops.h"

namespace tavro::gui {

bool ParseStartArguments(const QStringList& args, StartRequest& request, QString& error) {
  request = StartRequest();
  int i = 0;
  if (!args.isEmpty()) {
    const QString& first = args[0];
    if (first == QLatin1String("--print")) {
      request.kind = StartRequest::kPrint;
      i = 1;
    } else if (first == QLatin1String("--print-to")) {
      request.kind = StartRequest::kPrintTo;
      if (args.size() < 2) {
        error = QStringLiteral("--print-to needs a printer name");
        return false;
      }
      request.printer = args[1];
      i = 2;
    } else if (first.startsWith(QLatin1String("--print-to="))) {
      request.kind = StartRequest::kPrintTo;
      request.printer = first.mid(11);
      i = 1;
    }
  }
  for (; i < args.size(); ++i) request.files << QFileInfo(args[i]).absoluteFilePath();
  if (request.kind != StartRequest::kOpen && request.files.isEmpty()) {
    error = QStringLiteral("nothing to print: give the files");
    return false;
  }
  if (request.kind == StartRequest::kPrintTo && request.printer.isEmpty()) {
    error = QStringLiteral("--print-to needs a printer name");
    return false;
  }
  return true;
}

int RunEditor(int argc, char** argv) {
  // Report dates and PDF creation dates are Japanese local time.
  UseJapanTimeZone();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tavro"));
  QApplication::setApplicationDisplayName(QStringLiteral("Tavro"));
  // The desktop links the window to the menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("tavro"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tavro")));
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

  StartRequest request;
  QString error;
  if (!ParseStartArguments(QApplication::arguments().mid(1), request, error)) {
    std::fprintf(stderr, "tavro: %s\n", error.toLocal8Bit().constData());
    return 2;
  }

  const char* name = std::getenv("TAVRO_INSTANCE_NAME");
  SingleInstance instance(name ? QString::fromLocal8Bit(name) : QString());
  if (instance.PassOn(request)) return 0;

  MainWindow window;
  if (request.kind != StartRequest::kOpen) {
    // No editor runs: print and end, without a window.
    return window.PrintFiles(request.files, request.printer) ? 0 : 1;
  }
  instance.Listen();
  // On the first start the starter libraries become the library list.
  LibraryListOrStarter();
  window.show();
  QObject::connect(&instance, &SingleInstance::Requested, &window,
                   [&window](const StartRequest& r) {
                     if (r.kind != StartRequest::kOpen) {
                       window.PrintFiles(r.files, r.printer);
                       return;
                     }
                     window.OpenFiles(r.files);
                     if (window.isMinimized()) window.showNormal();
                     window.raise();
                     window.activateWindow();
                   });

  const Settings& settings = AppSettings();
  if (request.files.isEmpty()) {
    // The last project again, when "ProjectAutoLoad" asks for it.
    if (settings.GetInt("Sheet", "ProjectAutoLoad") != 0 &&
        settings.GetInt("Sheet", "NoProj") == 0) {
      const std::string last = Cp932ToUtf8(settings.GetString("Project File List", "File1", ""));
      if (!last.empty() && QFileInfo::exists(QString::fromStdString(last)))
        window.OpenProject(QString::fromStdString(last));
    }
  } else {
    window.OpenFiles(request.files);
  }
  return QApplication::exec();
}

}  // namespace tavro::gui
