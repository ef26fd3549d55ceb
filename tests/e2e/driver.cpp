#include "driver.h"

#include <commctrl.h>
#include <commdlg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace e2e {
namespace {

// "信息：", the caption of every notice of the program.
const char kNoticeCaption[] = "\xD0\xC5\xCF\xA2\xA3\xBA";
// The file-name box of an explorer-style dialog made from the old-form OPENFILENAMEA
// (OPENFILENAME_SIZE_VERSION_400A) with a hook.
constexpr int kFileNameEditId = 0x480;
// The text of a message box.
constexpr int kBoxTextId = 0xFFFF;

std::string programPath;
std::string samplePath;

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what); }

std::string lastErrorText(const char* call) {
    return std::string(call) + " failed, error " + std::to_string(GetLastError());
}

// SendMessage that cannot hang the driver: fails the test when the program does not answer.
LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kWaitMs, &result)) {
        fail("message " + std::to_string(message) + " to window " +
             std::to_string(reinterpret_cast<UINT_PTR>(window)) + " got no answer (error " +
             std::to_string(GetLastError()) + ")");
    }
    return static_cast<LRESULT>(result);
}

DWORD processOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

bool isDialogWindow(HWND window) { return className(window) == "#32770"; }

// The file-name box of a file dialog.
HWND fileNameBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, kFileNameEditId);
    if (!box) fail("the file dialog has no file-name box (Edit 0x480)");
    return box;
}

// The caption of a top-level window, read without sending it a message (so a busy program
// cannot stall the search).
std::string captionOf(HWND window) {
    char buffer[1024];
    int n = GetWindowTextA(window, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? n : 0);
}

struct WindowSearch {
    const std::function<bool(HWND)>* match;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (IsWindowVisible(window) && (*search->match)(window)) search->found.push_back(window);
    return TRUE;
}

// The visible top-level windows that `match` accepts, in z-order.
std::vector<HWND> topLevelWindowsWhere(const std::function<bool(HWND)>& match) {
    WindowSearch search{&match, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The visible top-level windows of a process that `match` accepts, in z-order.
std::vector<HWND> topLevelWindowsOf(DWORD pid, const std::function<bool(HWND)>& match) {
    return topLevelWindowsWhere([&](HWND w) { return processOf(w) == pid && match(w); });
}

BOOL CALLBACK collectAnyWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if ((*search->match)(window)) search->found.push_back(window);
    return TRUE;
}

// The top-level windows of a process that `match` accepts, visible or not, in z-order.
std::vector<HWND> allTopLevelWindowsOf(DWORD pid, const std::function<bool(HWND)>& match) {
    std::function<bool(HWND)> ofProcess = [&](HWND w) { return processOf(w) == pid && match(w); };
    WindowSearch search{&ofProcess, {}};
    EnumWindows(collectAnyWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND firstTopLevelWindowOf(DWORD pid, const std::function<bool(HWND)>& match) {
    std::vector<HWND> found = topLevelWindowsOf(pid, match);
    return found.empty() ? nullptr : found.front();
}

// What a process shows, for the message of a failed wait.
std::string describeWindowsOf(DWORD pid) {
    std::string text = " (visible windows of the process:";
    for (HWND w : topLevelWindowsOf(pid, [](HWND) { return true; })) {
        text += " [" + className(w) + " \"" + captionOf(w) + "\"]";
    }
    return text + ")";
}

// A buffer in another process, for the messages whose results the system does not carry
// across processes (those of the common controls and the common dialogs).
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, SIZE_T size) : size_(size) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               processOf(window));
        if (!process_) fail(lastErrorText("OpenProcess"));
        address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        if (!address_) {
            CloseHandle(process_);
            fail(lastErrorText("VirtualAllocEx"));
        }
    }
    ~RemoteBuffer() {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
    std::string read() const {
        std::string bytes(size_, '\0');
        SIZE_T done = 0;
        if (!ReadProcessMemory(process_, address_, bytes.data(), size_, &done) || done != size_) {
            fail(lastErrorText("ReadProcessMemory"));
        }
        return bytes;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    SIZE_T size_;
};

void removeTree(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string name = entry.cFileName;
                if (name != "." && name != "..") removeTree(path + "\\" + name);
            } while (FindNextFileA(find, &entry));
            FindClose(find);
        }
        if (!RemoveDirectoryA(path.c_str())) fail(lastErrorText("RemoveDirectoryA") + ": " + path);
    } else if (!DeleteFileA(path.c_str())) {
        fail(lastErrorText("DeleteFileA") + ": " + path);
    }
}

void createFolder(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        fail(lastErrorText("CreateDirectoryA") + ": " + path);
    }
}

std::string currentDirectory() {
    char buffer[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(MAX_PATH, buffer);
    if (n == 0 || n >= MAX_PATH) fail(lastErrorText("GetCurrentDirectoryA"));
    return std::string(buffer, n);
}

// The part of a path before its last backslash. A byte 0x5C that is the second byte of a
// double-byte character is no backslash.
std::string folderOf(const std::string& path) {
    std::string::size_type slash = std::string::npos;
    for (std::string::size_type i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i]))) {
            ++i;
        } else if (path[i] == '\\') {
            slash = i;
        }
    }
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

bool pollUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(10);
    }
}

// ---- Files and folders ----------------------------------------------------------------------

std::string windowsPathOfArgument(std::string path) {
    if (!path.empty() && path[0] == '/') {
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
        path = "Z:" + path;
    }
    return path;
}

void setProgramUnderTest(const std::string& path) { programPath = windowsPathOfArgument(path); }

const std::string& programUnderTest() {
    if (programPath.empty()) fail("no program under test: pass the path of lexpatch.exe");
    return programPath;
}

void setSampleProgram(const std::string& path) { samplePath = windowsPathOfArgument(path); }

const std::string& sampleProgram() {
    if (samplePath.empty()) fail("no sample program: pass its path after that of the program under test");
    return samplePath;
}

std::string freshFolder(const std::string& subfolder) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "NoTest";
    for (char& c : name) {
        if (c == '/') c = '_';  // parameterised tests
    }
    std::string root = currentDirectory() + "\\work";
    createFolder(root);
    std::string folder = root + "\\" + name;
    removeTree(folder);
    createFolder(folder);
    if (!subfolder.empty()) {
        folder += "\\" + subfolder;
        createFolder(folder);
    }
    return folder;
}

std::string copyProgramInto(const std::string& folder) {
    std::string copy = folder + "\\lexpatch.exe";
    if (!CopyFileA(programUnderTest().c_str(), copy.c_str(), FALSE)) {
        fail(lastErrorText("CopyFileA") + ": " + programUnderTest() + " to " + copy);
    }
    return copy;
}

bool fileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string readFileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) fail(lastErrorText("CreateFileA") + ": " + path);
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) fail(lastErrorText("CreateFileA") + ": " + path);
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) fail(lastErrorText("WriteFile") + ": " + path);
}

std::vector<std::string> folderNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) fail(lastErrorText("FindFirstFileA") + ": " + folder);
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// ---- The Linux side (under Wine) ------------------------------------------------------------

std::string unixPathOf(const std::string& windowsPath) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) fail("not under Wine: no wine_get_unix_file_name");
    int n = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), n);
    char* unixPath = toUnix(wide.c_str());
    if (!unixPath) fail("no Linux path for " + windowsPath);
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

int runUnixShell(const std::string& command, DWORD timeoutMs) {
    // Wine gives no waitable handle for a Linux process: the command writes its status into a
    // file, which is polled.
    char folder[MAX_PATH];
    char statusFile[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "sh", 0, statusFile)) {
        fail(lastErrorText("GetTempFileNameA"));
    }
    std::string commandLine = "/bin/sh -c \"(" + command + "); echo $? > '" +
                              unixPathOf(statusFile) + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        std::string error = lastErrorText("CreateProcessA") + ": /bin/sh";
        DeleteFileA(statusFile);
        fail(error);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    std::string status;
    pollUntil(
        [&] {
            status = readFileBytes(statusFile);
            return !status.empty() && status.back() == '\n';
        },
        timeoutMs);
    DeleteFileA(statusFile);
    return !status.empty() && status.back() == '\n' ? std::stoi(status) : -1;
}

// ---- Windows of any process -----------------------------------------------------------------

std::string className(HWND window) {
    char buffer[256];
    int n = GetClassNameA(window, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? n : 0);
}

std::string windowText(HWND window) {
    LRESULT length = send(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(strlen(text.c_str()));
    return text;
}

void setWindowText(HWND window, const std::string& text) {
    if (!send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()))) {
        fail("WM_SETTEXT was refused");
    }
}

void typeText(HWND edit, const std::string& text) {
    send(edit, EM_SETSEL, 0, -1);
    send(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void click(HWND button) {
    if (!SendNotifyMessageA(button, BM_CLICK, 0, 0)) fail(lastErrorText("SendNotifyMessageA"));
    // Sent messages are handled in the order they were sent: this one comes back once the click
    // is done, or once a modal box opened by the click runs its message loop.
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(button, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &result) &&
        IsWindow(button)) {
        fail("the program did not finish a click within " + std::to_string(kWaitMs) + " ms");
    }
}

std::string processImagePath(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) fail(lastErrorText("OpenProcess"));
    char buffer[MAX_PATH];
    DWORD size = MAX_PATH;
    BOOL ok = QueryFullProcessImageNameA(process, 0, buffer, &size);
    CloseHandle(process);
    if (!ok) fail(lastErrorText("QueryFullProcessImageNameA"));
    return std::string(buffer, size);
}

void waitForMessageLoop(HWND edit) {
    const bool modified = send(edit, EM_GETMODIFY, 0, 0) != 0;
    if (!PostMessageA(edit, EM_SETMODIFY, !modified, 0)) fail(lastErrorText("PostMessageA"));
    if (!pollUntil([&] { return (send(edit, EM_GETMODIFY, 0, 0) != 0) != modified; })) {
        fail("the program did not come back to its message loop within " + std::to_string(kWaitMs) + " ms");
    }
}

LONG windowStyle(HWND window) { return GetWindowLongA(window, GWL_STYLE); }

LONG windowExStyle(HWND window) { return GetWindowLongA(window, GWL_EXSTYLE); }

RECT rectInParent(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<HWND> childrenInZOrder(HWND parent) {
    std::vector<HWND> children;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        children.push_back(w);
    }
    return children;
}

std::vector<int> statusBarParts(HWND statusBar) {
    LRESULT count = send(statusBar, SB_GETPARTS, 0, 0);
    if (count <= 0) return {};
    RemoteBuffer remote(statusBar, count * sizeof(int));
    send(statusBar, SB_GETPARTS, count, remote.address());
    std::string bytes = remote.read();
    std::vector<int> edges(count);
    memcpy(edges.data(), bytes.data(), bytes.size());
    return edges;
}

std::vector<std::string> statusBarTexts(HWND statusBar) {
    std::vector<std::string> texts;
    LRESULT count = send(statusBar, SB_GETPARTS, 0, 0);
    for (LRESULT part = 0; part < count; ++part) {
        // Wine's SB_GETTEXTLENGTHA counts characters, not bytes: room for two bytes each, and
        // the text ends at its zero byte.
        size_t length = LOWORD(send(statusBar, SB_GETTEXTLENGTHA, part, 0));
        RemoteBuffer remote(statusBar, 2 * length + 1);
        send(statusBar, SB_GETTEXTA, part, remote.address());
        std::string text = remote.read();
        texts.push_back(text.substr(0, text.find('\0')));
    }
    return texts;
}

// ---- Message boxes and file dialogs ---------------------------------------------------------

std::string Box::caption() const { return windowText(window); }

std::string Box::text() const {
    HWND label = GetDlgItem(window, kBoxTextId);
    if (!label) fail("the message box has no text control");
    return windowText(label);
}

void Box::press(int buttonId) const {
    HWND button = GetDlgItem(window, buttonId);
    if (!button) fail("the message box has no button " + std::to_string(buttonId));
    if (!SendNotifyMessageA(button, BM_CLICK, 0, 0)) fail(lastErrorText("SendNotifyMessageA"));
    if (!pollUntil([&] { return !IsWindow(window); })) {
        fail("the message box stayed after pressing button " + std::to_string(buttonId));
    }
}

std::string FileDialog::caption() const { return windowText(window); }

std::string FileDialog::fileName() const { return windowText(fileNameBox(window)); }

std::string FileDialog::folder() const {
    RemoteBuffer remote(window, MAX_PATH);
    LRESULT n = send(window, CDM_GETFOLDERPATH, MAX_PATH, remote.address());
    if (n <= 0) fail("CDM_GETFOLDERPATH failed");
    std::string text = remote.read();
    return text.substr(0, text.find('\0'));
}

void FileDialog::setFileName(const std::string& name) const {
    setWindowText(fileNameBox(window), name);
}

void FileDialog::choose(const std::string& name) const {
    setFileName(name);
    pressOk();
}

void FileDialog::pressOk() const { click(GetDlgItem(window, IDOK)); }

void FileDialog::pressCancel() const { click(GetDlgItem(window, IDCANCEL)); }

bool FileDialog::isOpen() const { return IsWindow(window) && IsWindowVisible(window); }

void FileDialog::waitClosed(DWORD timeoutMs) const {
    if (!pollUntil([&] { return !isOpen(); }, timeoutMs)) {
        fail("the file dialog stayed open" + describeWindowsOf(processOf(window)));
    }
}

Box FileDialog::waitBox(DWORD timeoutMs) const {
    HWND dialog = window;
    DWORD pid = processOf(dialog);
    HWND found = nullptr;
    pollUntil(
        [&] {
            found = firstTopLevelWindowOf(pid, [&](HWND w) {
                return GetWindow(w, GW_OWNER) == dialog && isDialogWindow(w) &&
                       GetDlgItem(w, kBoxTextId);
            });
            return found != nullptr;
        },
        timeoutMs);
    if (!found) fail("no message box of the file dialog came up" + describeWindowsOf(pid));
    return Box{found};
}

// ---- The program under test -----------------------------------------------------------------

namespace {

bool isMainWindowCaption(HWND window) {
    static const std::string prefix = "Lexpatch - ";
    return captionOf(window).compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

App::App(const std::string& exePath) {
    job_ = CreateJobObjectA(nullptr, nullptr);
    if (!job_) fail(lastErrorText("CreateJobObjectA"));
    // If the driver dies, the system closes the job and ends everything in it.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    std::string commandLine = "\"" + exePath + "\"";
    std::string folder = folderOf(exePath);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, folder.empty() ? nullptr : folder.c_str(),
                        &startup, &info)) {
        std::string error = lastErrorText("CreateProcessA") + ": " + exePath;
        CloseHandle(job_);
        fail(error);
    }
    if (!AssignProcessToJobObject(job_, info.hProcess)) {
        ADD_FAILURE() << lastErrorText("AssignProcessToJobObject")
                      << ": what the program starts may outlive the test";
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
}

App::~App() {
    TerminateJobObject(job_, 1);
    TerminateProcess(process_, 1);  // in case it could not join the job
    WaitForSingleObject(process_, kWaitMs);
    CloseHandle(process_);
    CloseHandle(job_);
}

HWND App::waitMainWindow(DWORD timeoutMs) {
    pollUntil(
        [&] {
            main_ = firstTopLevelWindowOf(processId_, isMainWindowCaption);
            return main_ != nullptr || hasExited();
        },
        timeoutMs);
    if (!main_) {
        if (hasExited()) {
            DWORD code = 0;
            GetExitCodeProcess(process_, &code);
            fail("the program ended with exit code " + std::to_string(code) +
                 " before its main window showed");
        }
        fail("the main window did not show" + describeWindowsOf(processId_));
    }
    return main_;
}

HWND App::mainWindow() const {
    if (!main_) fail("no main window yet: call waitMainWindow first");
    return main_;
}

HWND App::findMainWindowShownOrHidden() const {
    std::vector<HWND> found = allTopLevelWindowsOf(processId_, isMainWindowCaption);
    return found.empty() ? nullptr : found.front();
}

HWND App::control(int id) const {
    HWND child = GetDlgItem(mainWindow(), id);
    if (!child) fail("the main window has no control with id " + std::to_string(id));
    return child;
}

HWND App::findNotice() const {
    return firstTopLevelWindowOf(processId_, [](HWND w) {
        return isDialogWindow(w) && captionOf(w) == kNoticeCaption;
    });
}

Box App::waitNotice(DWORD timeoutMs) const {
    HWND notice = nullptr;
    pollUntil([&] { return (notice = findNotice()) != nullptr; }, timeoutMs);
    if (!notice) fail("no notice came up" + describeWindowsOf(processId_));
    return Box{notice};
}

std::string App::takeNotice(DWORD timeoutMs) const {
    Box notice = waitNotice(timeoutMs);
    std::string text = notice.text();
    notice.press(IDOK);
    return text;
}

FileDialog App::waitFileDialog(DWORD timeoutMs) const {
    HWND dialog = nullptr;
    pollUntil(
        [&] {
            dialog = firstTopLevelWindowOf(processId_, [](HWND w) {
                return isDialogWindow(w) && GetDlgItem(w, kFileNameEditId);
            });
            return dialog != nullptr;
        },
        timeoutMs);
    if (!dialog) fail("no file dialog came up" + describeWindowsOf(processId_));
    return FileDialog{dialog};
}

void App::close() const {
    if (!PostMessageA(mainWindow(), WM_CLOSE, 0, 0)) fail(lastErrorText("PostMessageA"));
}

DWORD App::waitExit(DWORD timeoutMs) const {
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
        fail("the program did not end" + describeWindowsOf(processId_));
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool App::hasExited() const { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }

std::vector<HWND> App::topLevelWindows() const {
    return topLevelWindowsOf(processId_, [](HWND) { return true; });
}

std::vector<DWORD> App::startedProcesses() const {
    // JOBOBJECT_BASIC_PROCESS_ID_LIST with room for 64 processes (declared with room for one,
    // which the compiler would hold the loop to). More would fail the query.
    struct {
        DWORD assigned;
        DWORD listed;
        ULONG_PTR ids[64];
    } list = {};
    if (!QueryInformationJobObject(job_, JobObjectBasicProcessIdList, &list, sizeof list, nullptr)) {
        fail(lastErrorText("QueryInformationJobObject"));
    }
    std::vector<DWORD> started;
    for (DWORD i = 0; i < list.listed && i < 64; ++i) {
        if (list.ids[i] != processId_) started.push_back(static_cast<DWORD>(list.ids[i]));
    }
    return started;
}

std::vector<HWND> App::startedProgramWindows() const {
    std::vector<DWORD> started = startedProcesses();
    return topLevelWindowsWhere([&](HWND w) {
        return std::find(started.begin(), started.end(), processOf(w)) != started.end();
    });
}

}  // namespace e2e
