#include "app/cli/cli.h"

int main(int argc, char** argv) { return tavro::cli::Run(argc, argv); }
