// find FILE FRAGMENT: the whole browse walk in one go.
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/platform.h"
#include "cli/text_table.h"

int runFind(const FindOptions& options) {
    CodePage codePage(options.common.codePage);
    const std::optional<ByteBuffer> fragment = encodeArgument(codePage, options.fragment, "FRAGMENT");
    if (!fragment) return exitUsage;
    const std::unique_ptr<ReadableFile> file = openInput(options.file);
    if (!file) return exitInputOutput;

    FileScanner scanner(*file);
    const std::vector<Occurrence> stops = browseWalk(scanner, *fragment);
    const std::string fragmentShown = codePage.show(*fragment);
    if (options.common.json) {
        nlohmann::ordered_json document;
        document["command"] = "find";
        document["file"] = options.file;
        document["codePage"] = codePage.number();
        document["fragment"] = fragmentShown;
        document["occurrences"] = nlohmann::ordered_json::array();
        for (const Occurrence& stop : stops) {
            document["occurrences"].push_back({{"position", stop.position}, {"length", stop.text.size()},
                                               {"text", codePage.show(reinterpret_cast<const std::uint8_t*>(stop.text.data()), stop.text.size())}});
        }
        printJson(document);
    } else if (stops.empty()) {
        writeStandardOutput("no text in " + inQuotes(options.file) + " contains " + inQuotes(fragmentShown) + "\n");
    } else {
        TextTable table({{"position", TextTable::right}, {"length", TextTable::right}, {"text", TextTable::left}});
        for (const Occurrence& stop : stops) {
            table.addRow({std::to_string(stop.position), std::to_string(stop.text.size()), codePage.show(reinterpret_cast<const std::uint8_t*>(stop.text.data()), stop.text.size())});
        }
        // Each text that holds the fragment is one stop, shown from its first occurrence on.
        writeStandardOutput(table.render() + std::to_string(stops.size()) + (stops.size() == 1 ? " text contains " : " texts contain ") +
                            inQuotes(fragmentShown) + "\n");
    }
    return stops.empty() ? exitNotApplied : exitSuccess;
}
