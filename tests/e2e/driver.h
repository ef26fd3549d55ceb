// Drives a running Lexpatch (or any program) through its windows from a second process, the
// way a user would: start it in a folder of its own, find its main window and controls, read
// and type texts, click buttons, answer its notices and file dialogs, close it.
//
// Every wait polls with a deadline. When what a test waits for does not come, the driver
// throws std::runtime_error saying what it waited for; GoogleTest reports that as the test's
// failure. Texts are bytes in the ANSI code page (936), passed through unchanged.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// How long any wait of the driver lasts before it gives up.
constexpr DWORD kWaitMs = 10000;

// Calls `done` until it returns true (true) or until `timeoutMs` have passed (false).
bool pollUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs);

// ---- Files and folders ----------------------------------------------------------------------

// The exe under test, set once by main from the command line. A Unix path (as CMake passes it)
// is turned into its Z: path.
void setProgramUnderTest(const std::string& path);
const std::string& programUnderTest();
// A second program for the scenarios to work on (the sample to translate), set by main when the
// command line names one; a Unix path is turned into its Z: path.
void setSampleProgram(const std::string& path);
const std::string& sampleProgram();

// A new, empty folder for the running test: <current directory>\work\<Suite>.<Test>, plus
// "\<subfolder>" when one is given. Whatever an earlier run left there is deleted first.
// Returns the full path without a trailing backslash.
std::string freshFolder(const std::string& subfolder = "");
// Copies the program under test into `folder` as lexpatch.exe; returns the copy's full path.
std::string copyProgramInto(const std::string& folder);

bool fileExists(const std::string& path);
// The whole content of a file; throws when it cannot be read.
std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);
// The names in a folder (without "." and ".."), sorted.
std::vector<std::string> folderNames(const std::string& folder);

// ---- The Linux side (under Wine) ------------------------------------------------------------

// The Linux path of a Windows path (wine_get_unix_file_name); throws when there is none.
std::string unixPathOf(const std::string& windowsPath);
// Runs `command` with /bin/sh on the Linux side and returns its exit status, or -1 when it did
// not finish within `timeoutMs`. The command must not contain double quotes.
int runUnixShell(const std::string& command, DWORD timeoutMs = kWaitMs);

// ---- Windows of any process -----------------------------------------------------------------

std::string className(HWND window);
// WM_GETTEXT: works for the controls of another process (GetWindowTextA does not for EDIT).
std::string windowText(HWND window);
// WM_SETTEXT. Sends no EN_CHANGE for a multi-line edit box; use typeText for that.
void setWindowText(HWND window, const std::string& text);
// Replaces the whole text of an edit box as typing does (EM_SETSEL 0..-1, EM_REPLACESEL), so the
// box notifies EN_CHANGE. Returns when the box (and its parent's handler) is done.
void typeText(HWND edit, const std::string& text);
// Clicks a button (BM_CLICK). Does not block on a modal box that the click opens; returns once
// the click is handled or the program has entered the modal box's loop.
void click(HWND button);
// Returns once the thread of the edit box `edit` has come back to a message loop (its own or that
// of a modal box): a message posted to it is handled only there, never in the middle of a command
// (a sent one may be answered mid-command, e.g. under Wine inside SetFocus right after a file
// dialog closed). Toggles the box's modified flag; fails the test when that does not happen
// within kWaitMs.
void waitForMessageLoop(HWND edit);

LONG windowStyle(HWND window);
LONG windowExStyle(HWND window);
// The window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND child);
// The full path of the program file of a running process.
std::string processImagePath(DWORD processId);
// Width and height of a rectangle.
inline int width(const RECT& r) { return r.right - r.left; }
inline int height(const RECT& r) { return r.bottom - r.top; }
// The child windows of `parent`, top of the z-order first (GW_CHILD, then GW_HWNDNEXT).
std::vector<HWND> childrenInZOrder(HWND parent);

// A status bar of another process: the right edges of its parts (SB_GETPARTS) and their texts.
std::vector<int> statusBarParts(HWND statusBar);
std::vector<std::string> statusBarTexts(HWND statusBar);

// ---- Message boxes and file dialogs ---------------------------------------------------------

// A message box (#32770 with a Static text of id 0xFFFF): a notice of the program, or a question
// of a file dialog such as the overwrite prompt.
struct Box {
    HWND window = nullptr;

    std::string caption() const;
    std::string text() const;
    // Presses the button with id `buttonId` (IDOK, IDYES, IDNO, ...) and waits until the box
    // is gone. Afterwards wait for the program's own next state, not for anything of the box.
    void press(int buttonId) const;
};

// The open or save dialog of the program.
struct FileDialog {
    HWND window = nullptr;

    std::string caption() const;
    // What the file-name box holds (at first, what the program offers).
    std::string fileName() const;
    // The folder the dialog shows (CDM_GETFOLDERPATH).
    std::string folder() const;
    void setFileName(const std::string& name) const;
    // setFileName, then OK. The dialog then closes, or asks first (waitBox).
    void choose(const std::string& name) const;
    void pressOk() const;
    void pressCancel() const;
    bool isOpen() const;
    void waitClosed(DWORD timeoutMs = kWaitMs) const;
    // The next message box owned by the dialog ("file exists, replace?", "path does not exist").
    Box waitBox(DWORD timeoutMs = kWaitMs) const;
};

// ---- The program under test -----------------------------------------------------------------

// One started program. Everything it starts (the Run command's programs too) belongs to the same
// job, and the destructor ends them all.
class App {
public:
    // Starts `exePath` (CreateProcessA) with its own folder as the current directory.
    explicit App(const std::string& exePath);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    DWORD processId() const { return processId_; }

    // The visible top-level window of the process whose caption starts with "Lexpatch - ".
    // (While start-up notices are up the window is still hidden: answer them first.)
    HWND waitMainWindow(DWORD timeoutMs = kWaitMs);
    // The main window found by waitMainWindow (throws before that).
    HWND mainWindow() const;
    // The top-level window of the process whose caption starts with "Lexpatch - ", shown or
    // still hidden (as during the start-up notices); nullptr while there is none.
    HWND findMainWindowShownOrHidden() const;
    // The child of the main window with this control id.
    HWND control(int id) const;

    // The notice (a message box captioned "信息：") that is up now, if any.
    HWND findNotice() const;
    Box waitNotice(DWORD timeoutMs = kWaitMs) const;
    // Waits for a notice, reads its text, presses OK, and returns the text.
    std::string takeNotice(DWORD timeoutMs = kWaitMs) const;

    // The open or save dialog, once it is up.
    FileDialog waitFileDialog(DWORD timeoutMs = kWaitMs) const;

    // Asks the main window to close (WM_CLOSE), as the close box does.
    void close() const;
    // Waits for the process to end and returns its exit code.
    DWORD waitExit(DWORD timeoutMs = kWaitMs) const;
    bool hasExited() const;

    // The visible top-level windows of the process, in z-order.
    std::vector<HWND> topLevelWindows() const;
    // The processes that the program started (the Run command's), and their visible top-level
    // windows, in z-order.
    std::vector<DWORD> startedProcesses() const;
    std::vector<HWND> startedProgramWindows() const;

private:
    HANDLE job_ = nullptr;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
};

}  // namespace e2e
