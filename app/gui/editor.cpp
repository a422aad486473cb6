#include "app/gui/editor.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <cstdlib>

#include "app/gui/main_window.h"
#include "app/gui/single_instance.h"
#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro::gui {

int RunEditor(int argc, char** argv) {
  // Report dates and PDF creation dates are Japanese local time.
  UseJapanTimeZone();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tavro"));
  QApplication::setApplicationDisplayName(QStringLiteral("Tavro"));
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

  StartRequest request;
  for (const QString& arg : QApplication::arguments().mid(1))
    request.files << QFileInfo(arg).absoluteFilePath();

  const char* name = std::getenv("TAVRO_INSTANCE_NAME");
  SingleInstance instance(name ? QString::fromLocal8Bit(name) : QString());
  if (instance.PassOn(request)) return 0;
  instance.Listen();

  MainWindow window;
  window.show();
  QObject::connect(&instance, &SingleInstance::Requested, &window,
                   [&window](const StartRequest& r) {
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
