// qpeek-import: turns queue unload files and multi-message saves into message files.
#include "import/import_run.h"

int main(int argc, char **argv) {
    return qpeek::import::runImport(argc, argv);
}
