// trendolin: the curve-fitting workstation.
#include "gui/workstation.h"

int main(int argc, char** argv) { return trendolin::gui::RunWorkstation(argc, argv); }
