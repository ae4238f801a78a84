#include "workbench/main/program_start.h"

int main(int argc, char** argv) {
    return sondar::runProgram(argc, argv);
}
