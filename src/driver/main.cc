// hz2html: converts the data directory of a Harukaze dictionary into HTML
// pages and the project file of an electronic book.
#include "driver/run.h"

int main(int argc, char** argv) { return hz::RunConverter(argc, argv); }
