// The end-to-end tests: e2e_tests [GoogleTest options] <lexpatch.exe> [<sample.exe>]
#include <gtest/gtest.h>

#include <cstdio>

#include "driver.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s [GoogleTest options] <program.exe> [<sample.exe>]\n", argv[0]);
        return 2;
    }
    e2e::setProgramUnderTest(argv[1]);
    if (argc == 3) e2e::setSampleProgram(argv[2]);
    return RUN_ALL_TESTS();
}
