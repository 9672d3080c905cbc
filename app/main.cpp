#include "app/viewer_application.h"

int main(int argc, char** argv) { return sonalyt::app::RunViewer(argc, argv); }
