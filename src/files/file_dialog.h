// The program's file dialogs: their properties, which persist between showings, and the
// pieces of the system's dialog record that follow from them.
#pragma once

#include <cstdint>
#include <string>

#include "bytes/byte_buffer.h"

class FileDialog {
public:
    enum class Kind { open, save };

    Kind kind = Kind::open;
    AnsiText title;             // empty: the system's title for the kind
    AnsiText fileName;          // offered in the file-name box; after OK the chosen full path
    AnsiText filter;            // "description|pattern|..." pairs
    std::int32_t initialFilter = 0;
    AnsiText initialDirectory;  // empty: the system chooses
    AnsiText defaultExtension;
    bool createPrompt = false;
    bool fileMustExist = false;
    bool overwritePrompt = false;
    bool pathMustExist = false;
    bool noChangeDirectory = false;

    // The OFN_* flags word of the dialog record.
    std::uint32_t flags() const;
    // The system's filter list: zero-terminated description and pattern strings ended by an
    // empty string; empty when the filter holds nothing but white space.
    std::string filterList() const;
    // The 1-based index of the pair selected first.
    std::uint32_t filterIndex() const;
};

// The executable-file dialogs of the main window; they differ only in kind.
FileDialog executableDialog(FileDialog::Kind kind);
