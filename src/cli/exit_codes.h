// The exit codes of lexpatch-cli (docs/cli.md lists them for users).
#pragma once

enum ExitCode : int {
    exitSuccess = 0,      // everything asked for was done
    exitNotApplied = 1,   // a text was not found, or a replacement did not fit
    exitUsage = 2,        // the command line is wrong: unknown command or option, missing or bad argument
    exitInputOutput = 3,  // a file could not be read or written, or the table is malformed
};
