#include "frontend/cli/fetch_command.h"

#include <filesystem>

#include "frontend/cli/console_shell.h"
#include "host/encoding.h"
#include "host/paths.h"
#include "script/book.h"
#include "script/tag_record.h"

namespace talu::cli {

int RunFetch(const FetchOptions& options, std::ostream& out, std::ostream& err) {
    std::error_code ec;
    std::filesystem::path hostPath = std::filesystem::absolute(options.book, ec);
    if (ec || !std::filesystem::is_regular_file(hostPath, ec)) {
        err << "talu-cli: cannot open book '" << options.book << "'\n";
        return 1;
    }
    ConsoleMessageBoxes boxes(out);
    script::Diagnostics diagnostics(boxes, options.langMode);
    script::BookServices services;
    services.diagnostics = &diagnostics;
    services.programFolder = host::ProgramFolder();
    script::Book book(std::move(services));
    if (!book.OpenPath(host::InsidePathFromHost(hostPath.lexically_normal()))) {
        err << "talu-cli: cannot read book '" << options.book << "'\n";
        return 1;
    }

    script::TagRecord record;
    std::string line;
    while (book.FetchTag(record)) {
        line = std::to_string(book.CurrentIndex());
        for (const std::string& entry : record.Entries()) {
            line += '\t';
            if (auto split = script::SplitEntry(entry)) {
                line.append(split->first);
                line += '=';
                line.append(split->second);
            } else {
                line.append(entry);
            }
        }
        out << OneLineUtf8(line) << '\n';
    }
    return 0;
}

}  // namespace talu::cli
