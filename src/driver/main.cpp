// qpeek: prints human-readable reports of messages captured from MQ message queues.
#include "driver/run_driver.h"

int main(int argc, char **argv) {
    return qpeek::runQpeek(argc, argv);
}
