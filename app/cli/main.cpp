#include "app/cli/cli.h"

#ifdef TAVRO_WITH_EDITOR
#include "app/gui/editor.h"
#include "app/gui/image_export.h"
#include "app/image_options.h"
#endif

int main(int argc, char** argv) {
#ifdef TAVRO_WITH_EDITOR
  tavro::SetImageWriter(&tavro::gui::WriteImage);
  if (!tavro::cli::IsBatchInvocation(argc, argv)) return tavro::gui::RunEditor(argc, argv);
#endif
  return tavro::cli::Run(argc, argv);
}
