#include "frontend/cli/explore_command.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <set>

#include "frontend/cli/book_relative.h"
#include "frontend/cli/choice_tree.h"
#include "frontend/cli/console_shell.h"
#include "frontend/cli/counting_loop_watch.h"
#include "frontend/cli/headless_session.h"
#include "frontend/cli/scratch_book.h"
#include "host/encoding.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "script/tag_parser.h"

namespace talu::cli {
namespace {

// A run that performs this many steps without reaching an item it has not met before is going
// round for ever (a book that jumps back without a choice, or a page that links to itself).
constexpr long long kLoopSteps = 5000;

bool ParseCount(std::string_view text, long long& value) {
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != text.npos) {
        return false;
    }
    value = std::stoll(std::string(text));
    return value > 0;
}

std::string PathText(const std::vector<int>& choices) {
    if (choices.empty()) {
        return "-";
    }
    std::string text;
    for (int choice : choices) {
        text += (text.empty() ? "" : ",") + std::to_string(choice);
    }
    return text;
}

/// Where an item of the open book stands, as the author reads it: FILE:LINE with the file
/// relative to the book's folder.
std::string PlaceOf(const script::Book& book, std::size_t item, const std::string& bookFolder) {
    if (item >= book.Items().size()) {
        return "?";
    }
    const script::Book::Item& entry = book.Items()[item];
    std::string file = entry.file < book.Files().size() ? book.Files()[entry.file].path : "";
    file = host::Cp932ToUtf8(BookRelativePath(file, bookFolder));
    std::replace(file.begin(), file.end(), '\\', '/');
    return file + ':' + std::to_string(entry.line);
}

/// Where the book stands: its file and position.
std::string ChoicePlace(interp::Interpreter& interpreter) {
    return interpreter.Book().Path() + '\n' + std::to_string(interpreter.Book().CurrentIndex());
}

/// Every variable ("v NAME") and bookmark name ("b NAME") of the book with its value.
std::map<std::string, std::string> VariablesOf(interp::Interpreter& interpreter) {
    std::map<std::string, std::string> all;
    for (const auto& [name, value] : interpreter.Variables().Variables().Values()) {
        all.emplace("v " + name, value);
    }
    for (const auto& [name, value] : interpreter.Variables().Bookmarks().Values()) {
        all.emplace("b " + name, value);
    }
    return all;
}

/// The state a choice is met in: the place and every variable, so that a choice met again in
/// the same state is not explored twice.
std::string ChoiceState(const std::string& place,
                        const std::map<std::string, std::string>& variables) {
    std::string state = place;
    for (const auto& [name, value] : variables) {
        state += '\n' + name + '=' + value;
    }
    return state;
}

/// What every run found, gathered across runs.
class Findings {
  public:
    /// A step of a run delivered item of the open book (worker thread, one run at a time).
    /// Returns true when the run had not met the item before.
    bool Reached(const script::Book& book, std::size_t item, const std::string& bookFolder) {
        FileLabels& file = FileOf(book, bookFolder);
        file.reached.insert(item);
        return runSeen_.insert({book.Path(), item}).second;
    }
    void StartRun() { runSeen_.clear(); }

    void Box(const std::string& text, int path) {
        if (boxes_.emplace(text, path).second) {
            boxOrder_.push_back(text);
        }
    }
    /// Loops and stuck choices are reported once per place, with the first path that met them.
    void Loop(int path, const std::string& place) { AddOnce(loops_, path, place); }
    void Stuck(int path, const std::string& place) { AddOnce(stuck_, path, place); }

    /// Writes the labels, boxes, stuck choices and loops; returns how many problems there are.
    int Report(std::ostream& out, int& labels, int& reached) const {
        int problems = 0;
        for (const std::string& path : fileOrder_) {
            for (const Label& label : files_.at(path).labels) {
                const bool hit = files_.at(path).reached.contains(label.item);
                out << (hit ? "reached " : "unreached ") << label.place << ' '
                    << host::Cp932ToUtf8(label.name) << '\n';
                ++labels;
                reached += hit ? 1 : 0;
                problems += hit ? 0 : 1;
            }
        }
        for (const std::string& text : boxOrder_) {
            out << "box " << boxes_.at(text) << ' ' << OneLineUtf8(text) << '\n';
            ++problems;
        }
        for (const auto& [path, place] : stuck_) {
            out << "stuck " << path << ' ' << place << '\n';
            ++problems;
        }
        for (const auto& [path, place] : loops_) {
            out << "loop " << path << ' ' << place << '\n';
            ++problems;
        }
        return problems;
    }

    std::size_t Boxes() const { return boxes_.size(); }
    std::size_t Loops() const { return loops_.size(); }
    std::size_t StuckChoices() const { return stuck_.size(); }

  private:
    struct Label {
        std::string name;
        std::size_t item;
        std::string place;
    };
    struct FileLabels {
        std::vector<Label> labels;
        std::set<std::size_t> reached;
    };

    static void AddOnce(std::vector<std::pair<int, std::string>>& list, int path,
                        const std::string& place) {
        for (const auto& entry : list) {
            if (entry.second == place) {
                return;
            }
        }
        list.emplace_back(path, place);
    }

    // The labels of a book file are read the first time any run reaches it.
    FileLabels& FileOf(const script::Book& book, const std::string& bookFolder) {
        auto it = files_.find(book.Path());
        if (it != files_.end()) {
            return it->second;
        }
        FileLabels file;
        script::TagRecord record;
        for (std::size_t i = 0; i < book.Items().size(); ++i) {
            if (book.Items()[i].kind != script::kw::kA) {
                continue;
            }
            record.Clear();
            script::ParseItem(book.Items()[i].text, record);
            std::string name;
            if (record.GetAttribute(script::kw::kName, name) && !name.empty() &&
                book.FindLabel(name) == i) {
                file.labels.push_back({name, i, PlaceOf(book, i, bookFolder)});
            }
        }
        fileOrder_.push_back(book.Path());
        return files_.emplace(book.Path(), std::move(file)).first->second;
    }

    std::map<std::string, FileLabels> files_;
    std::vector<std::string> fileOrder_;
    std::set<std::pair<std::string, std::size_t>> runSeen_;
    std::map<std::string, int> boxes_;
    std::vector<std::string> boxOrder_;
    std::vector<std::pair<int, std::string>> loops_;
    std::vector<std::pair<int, std::string>> stuck_;
};

/// The boxes one run shows (the session's sink is called from the worker and the runner), with
/// the scratch copy's folder named as the author's folder it stands for.
class BoxSink {
  public:
    explicit BoxSink(const ScratchBook& scratch) : scratch_(scratch) {}
    void Line(const std::string& line) {
        if (!line.starts_with("box ")) {
            return;
        }
        std::string text = line.substr(4);
        const std::string& copy = scratch_.InsideCopyFolder();
        for (std::size_t at = text.find(copy); at != std::string::npos;
             at = text.find(copy, at + scratch_.InsideSourceFolder().size())) {
            text.replace(at, copy.size(), scratch_.InsideSourceFolder());
        }
        std::lock_guard lock(mutex_);
        boxes_.push_back(std::move(text));
    }
    std::vector<std::string> Take() {
        std::lock_guard lock(mutex_);
        return std::move(boxes_);
    }

  private:
    const ScratchBook& scratch_;
    std::mutex mutex_;
    std::vector<std::string> boxes_;
};

}  // namespace

bool ParseExploreArguments(const std::vector<std::string_view>& args, ExploreOptions& options,
                           std::string& problem) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if ((arg == "--max-paths" || arg == "--max-steps") && i + 1 >= args.size()) {
            problem = std::string(arg) + " needs a value";
            return false;
        }
        if (arg == "--max-paths") {
            if (!ParseCount(args[++i], options.maxPaths)) {
                problem = "--max-paths needs a whole number above 0";
                return false;
            }
        } else if (arg == "--max-steps") {
            if (!ParseCount(args[++i], options.maxSteps)) {
                problem = "--max-steps needs a whole number above 0";
                return false;
            }
        } else if (!ReadPlayArgument(args, i, "explore", options.play, problem)) {
            return false;
        }
    }
    return CheckPlayArguments(options.play, "explore", problem);
}

namespace {

// Notes every item a run reaches; a run that reaches nothing new for kLoopSteps steps goes round.
// Places are named from bookFolder, the folder of the book's first file.
std::function<void(int, const script::TagRecord&)> ReachWatch(Findings& findings,
                                                              HeadlessSession& player,
                                                              const std::string& bookFolder,
                                                              int path, long long& sinceNew) {
    return [&findings, &player, &bookFolder, path, &sinceNew](int, const script::TagRecord&) {
        const script::Book& book = player.GetInterpreter().Book();
        const std::size_t item = book.FetchedIndex();
        if (item >= book.Items().size()) {
            return;
        }
        if (findings.Reached(book, item, bookFolder)) {
            sinceNew = 0;
        } else if (++sinceNew == kLoopSteps) {
            findings.Loop(path, PlaceOf(book, item, bookFolder));
            player.Stop("loop");
        }
    };
}

// The boxes a path met, but for the end of the book and the close question every path meets.
void NoteBoxes(const std::vector<std::string>& boxes, HeadlessSession& player, int path,
               Findings& findings) {
    const std::string endText = player.GetPlayer().EndText();
    const std::string exitQuestion =
        script::PlayerMessage(player.LangMode(), script::msg::kExitQuestion);
    for (const std::string& box : boxes) {
        if (box != endText && box != exitQuestion) {
            findings.Box(box, path);
        }
    }
}

// Prints every finding and the summary line; the number of problems found.
int Summary(Findings& findings, const ChoiceTree& tree, int paths, std::ostream& out) {
    int labels = 0;
    int reached = 0;
    const int problems = findings.Report(out, labels, reached);
    out << "explored " << paths << " paths";
    if (tree.Pending() > 0) {
        out << " (" << tree.Pending() << " more not tried: --max-paths)";
    }
    out << "; " << reached << " of " << labels << " labels reached; " << findings.Boxes()
        << " boxes; " << findings.StuckChoices() << " stuck choices; " << findings.Loops()
        << " loops\n";
    return problems;
}

}  // namespace

int ExploreBook(const ExploreOptions& options, std::ostream& out, std::ostream& err) {
    SessionOptions session;
    if (!SessionFromArguments(options.play, session, err)) {
        return 1;
    }
    // Every path plays a stand-in put back as the author's folder was, so no path sees what
    // another wrote (memos, slots, SNAP pictures) and the author's files stay as they are.
    std::string problem;
    const std::unique_ptr<ScratchBook> scratch = ScratchBook::Create(session.book, problem);
    if (!scratch) {
        err << "talu-cli: " << problem << '\n';
        return 1;
    }
    session.book = scratch->Book();
    session.keepReadPages = false;  // the reader's pages read are theirs, not the explorer's

    ChoiceTree tree;
    CountingLoopWatch counting;
    Findings findings;
    int paths = 0;
    while (paths < options.maxPaths && tree.StartRun()) {
        ++paths;
        BoxSink boxes(*scratch);
        auto player = HeadlessSession::Open(
            session, [&boxes](const std::string& line) { boxes.Line(line); }, problem);
        if (!player) {
            err << "talu-cli: " << problem << '\n';
            return 1;
        }
        interp::Interpreter& interpreter = player->GetInterpreter();
        const std::string bookFolder = interpreter.Book().Folder();

        findings.StartRun();
        long long sinceNew = 0;
        SessionHooks hooks;
        hooks.step = ReachWatch(findings, *player, bookFolder, paths, sinceNew);
        bool joined = false;
        bool looped = false;
        counting.StartRun();
        ReaderScript reader;
        reader.maxSteps = options.maxSteps;
        reader.inputs = options.play.inputs;
        reader.choose = [&](const std::vector<int>& choosable) -> std::optional<int> {
            const script::Book& book = interpreter.Book();
            if (choosable.empty()) {
                findings.Stuck(paths, PlaceOf(book, book.FetchedIndex(), bookFolder));
                return std::nullopt;
            }
            const std::string place = ChoicePlace(interpreter);
            const std::map<std::string, std::string> variables = VariablesOf(interpreter);
            if (counting.Met(place, variables)) {
                findings.Loop(paths, PlaceOf(book, book.FetchedIndex(), bookFolder));
                looped = true;
                return std::nullopt;
            }
            auto link = tree.Choose(choosable, ChoiceState(place, variables));
            joined = !link.has_value();
            return link;
        };
        std::string reason = player->Play(reader, hooks, problem);
        if (looped) {
            reason = "loop";  // a choice met again and again with only numbers changed
        } else if (joined) {
            reason = "joins";  // the choice was met before in the same state
        }
        out << "path " << paths << ' ' << PathText(tree.Taken()) << ' ' << reason << '\n';

        NoteBoxes(boxes.Take(), *player, paths, findings);
        player.reset();
        if (!scratch->Restore(problem)) {
            err << "talu-cli: " << problem << '\n';
            return 1;
        }
    }
    return Summary(findings, tree, paths, out) == 0 ? 0 : 1;
}

}  // namespace talu::cli
