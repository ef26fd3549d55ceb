// Every text the program shows, as bytes in code page 936. texts.cpp writes them in UTF-8 and is
// compiled with code page 936 as its execution character set, so that the source reads as the
// window shows it.
#pragma once

namespace texts {

// The captions of the main window's controls.
extern const char* const findLabel;
extern const char* const resultLabel;
extern const char* const nextButton;
extern const char* const toBelowButton;
extern const char* const initialPosition;
extern const char* const oldTextLabel;
extern const char* const newTextLabel;
extern const char* const openButton;
extern const char* const replaceButton;
extern const char* const testButton;
extern const char* const defaultDirectoryButton;
extern const char* const runButton;

// The window caption: the prefix of a loaded file's path, and the caption without a file.
extern const char* const captionPrefix;
extern const char* const initialCaption;

// The executable filter of both file dialogs.
extern const char* const executableFilter;

// The title of every notice.
extern const char* const noticeTitle;

// Test and Next: an empty box or no file loaded; Test: the text does not occur.
extern const char* const missingInputOrFile;
extern const char* const textNotFoundForTest;

// The Test report, in the order of its parts, and its last line.
extern const char* const reportTextLength;
extern const char* const reportZeroCount;
extern const char* const reportReplacementLength;
extern const char* const reportLineBreak;
extern const char* const reportFits;
extern const char* const reportDoesNotFit;

// Replace: an empty box or no file loaded, the text does not occur, the replacement is longer
// than the room, the save failed.
extern const char* const missingFileOrInput;
extern const char* const textNotFound;
extern const char* const replacementTooLong;
extern const char* const saveFailed;

// Next: the result box after a search that found nothing; the prefix of the position label.
extern const char* const nothingFound;
extern const char* const positionPrefix;

// Run: the notice of a program that could not be started, around the contact address.
extern const char* const runFailedBeforeAddress;
extern const char* const contactAddress;
extern const char* const runFailedAfterAddress;

// The start-up restore: the last file loaded, or missing (its path between the two parts);
// the default directory loaded, the file's directory used instead, or none.
extern const char* const lastFileLoaded;
extern const char* const lastFileBeforePath;
extern const char* const lastFileAfterPath;
extern const char* const defaultDirectoryLoaded;
extern const char* const fileDirectoryUsed;
extern const char* const noDefaultDirectory;

// The fatal error: its box's title, heading and message prefix; the message of a failed
// allocation (its size between the two parts); the main window that could not be created.
extern const char* const fatalErrorTitle;
extern const char* const fatalErrorHeading;
extern const char* const fatalErrorMessagePrefix;
extern const char* const allocationFailedBeforeSize;
extern const char* const allocationFailedAfterSize;
extern const char* const windowNotCreated;

}  // namespace texts
