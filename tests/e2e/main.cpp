// The end-to-end tests: e2e_tests [GoogleTest options] <lexpatch.exe>
#include <gtest/gtest.h>

#include <cstdio>

#include "driver.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s [GoogleTest options] <program.exe>\n", argv[0]);
        return 2;
    }
    e2e::setProgramUnderTest(argv[1]);
    return RUN_ALL_TESTS();
}
