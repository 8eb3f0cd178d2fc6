// hz2book: builds a searchable EPWING book (and, when asked, StarDict and
// Yomitan dictionaries) from a Harukaze dictionary, and proves each.
#include "driver/book_run.h"

int main(int argc, char** argv) { return hz::RunBookBuilder(argc, argv); }
