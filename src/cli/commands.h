// The four commands of lexpatch-cli. Each writes its report to standard output, its errors to
// standard error, and returns the program's exit code (exit_codes.h).
#pragma once

#include <string>

struct CommonOptions {
    int codePage = 936;
    bool json = false;
};

struct FindOptions {
    CommonOptions common;
    std::string file;
    std::string fragment;
};

// test and replace
struct ReplaceOptions {
    CommonOptions common;
    std::string file;
    std::string text;
    std::string replacement;
    std::string output;  // replace only
};

struct ApplyOptions {
    CommonOptions common;
    std::string file;
    std::string table;
    std::string output;  // may be empty with dryRun
    bool keepGoing = false;
    bool dryRun = false;
};

int runFind(const FindOptions& options);
int runTest(const ReplaceOptions& options);
int runReplace(const ReplaceOptions& options);
int runApply(const ApplyOptions& options);
