// hz2book: builds a searchable EPWING book from a Harukaze dictionary with
// hz2html, FreePWING and the EB library, and proves it.
#include "driver/book_run.h"

int main(int argc, char** argv) { return hz::RunBookBuilder(argc, argv); }
