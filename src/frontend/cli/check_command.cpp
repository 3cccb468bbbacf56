#include "frontend/cli/check_command.h"

#include "frontend/cli/archive_argument.h"
#include "frontend/cli/book_checker.h"
#include "frontend/cli/check_report.h"

namespace talu::cli {

int RunCheck(const CheckOptions& options, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> member =
        ArchiveBookArgument(options.book, options.member, err);
    if (!member) {
        return 1;
    }
    CheckReport report;
    BookChecker checker(report);
    if (!checker.Check(options.book, *member)) {
        err << "talu-cli: cannot open book '" << options.book << "'\n";
        return 1;
    }
    report.Print(out);
    if (report.Count() == 0) {
        return 0;
    }
    err << "talu-cli: " << report.Count() << (report.Count() == 1 ? " problem" : " problems")
        << " in " << report.FilesWithFindings()
        << (report.FilesWithFindings() == 1 ? " file\n" : " files\n");
    return 1;
}

}  // namespace talu::cli
