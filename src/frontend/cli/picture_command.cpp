#include "frontend/cli/picture_command.h"

#include "stage/surface_png.h"

#include <charconv>
#include <filesystem>

#include "frontend/cli/console_shell.h"
#include "host/encoding.h"
#include "host/image/sdl_image_codec.h"
#include "host/paths.h"
#include "script/messages.h"
#include "script/sjis_text.h"
#include "script/vocabularies.h"
#include "stage/colour_filter.h"
#include "stage/picture_loader.h"

namespace talu::cli {
namespace {

bool ParseInt(std::string_view text, int& out) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

// "W" in pixels or "N%" in percent.
bool ParseSide(std::string_view text, uint32_t pixelsFlag, uint32_t percentFlag,
               PictureOptions& options, int& side) {
    const bool percent = text.ends_with('%');
    if (!ParseInt(percent ? text.substr(0, text.size() - 1) : text, side)) {
        return false;
    }
    options.flags |= percent ? percentFlag : pixelsFlag;
    return true;
}

std::optional<uint32_t> ParseFilter(std::string_view text) {
    const std::string word = script::ToUpperAscii(text);
    if (word == "MONO") {
        return script::kFilterMono;
    }
    if (word == "INVERSE") {
        return script::kFilterInverse;
    }
    if (word == "SEPIA") {
        return script::kFilterSepia;
    }
    script::Colour colour = 0;
    if (text.size() == 7 && script::ParseColour(text, colour)) {
        return colour;
    }
    return std::nullopt;
}

// The picture's path as the engine reads text (CP932 where the name converts).
std::string Cp932Path(std::string_view file) {
    return host::Utf8ToCp932Exact(file).value_or(std::string(file));
}

// The picture's inside path: absolute host paths move to drive Z:, relative ones stay relative
// to the current folder, which stands in for the book's.
std::string InsidePicturePath(std::string_view file) {
    std::string inside = Cp932Path(file);
    if (inside.starts_with('/')) {
        inside.insert(0, "Z:");
    }
    return inside;
}

}  // namespace

bool ParsePictureArguments(const std::vector<std::string_view>& args, PictureOptions& options,
                           std::string& problem) {
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool takesValue = arg == "--format" || arg == "--width" || arg == "--height" ||
                                arg == "--filter" || arg == "--out" || arg == "--lang";
        if (takesValue && i + 1 >= args.size()) {
            problem = std::string(arg) + " needs a value";
            return false;
        }
        const std::string_view value = takesValue ? args[++i] : std::string_view();
        if (arg == "--format") {
            if (value != "565" && value != "555") {
                problem = "--format must be 565 or 555";
                return false;
            }
            options.format =
                value == "565" ? stage::PixelFormat::Rgb565() : stage::PixelFormat::Rgb555();
        } else if (arg == "--auto-key") {
            options.flags |= stage::load::kAutoKey;
        } else if (arg == "--width" || arg == "--height") {
            const bool width = arg == "--width";
            if (!ParseSide(value, width ? stage::load::kWidthPixels : stage::load::kHeightPixels,
                           width ? stage::load::kWidthPercent : stage::load::kHeightPercent,
                           options, width ? options.width : options.height)) {
                problem = std::string(arg) + " must be a number of pixels or N%";
                return false;
            }
        } else if (arg == "--filter") {
            options.filter = ParseFilter(value);
            if (!options.filter) {
                problem = "--filter must be MONO, INVERSE, SEPIA or #RRGGBB";
                return false;
            }
        } else if (arg == "--out") {
            options.out = std::string(value);
        } else if (arg == "--lang") {
            if (value != "ja" && value != "en") {
                problem = "--lang must be ja or en";
                return false;
            }
            options.langMode = value == "ja" ? script::kLangJapanese : script::kLangEnglish;
        } else if (arg.starts_with("-") && arg != "-") {
            problem = "unknown option " + std::string(arg);
            return false;
        } else if (!haveFile) {
            options.file = std::string(arg);
            haveFile = true;
        } else {
            problem = "picture takes one file";
            return false;
        }
    }
    if (!haveFile || options.out.empty()) {
        problem = haveFile ? "picture needs --out OUT.png" : "picture needs a file";
        return false;
    }
    return true;
}

int RunPicture(const PictureOptions& options, std::ostream& out, std::ostream& err) {
    ConsoleMessageBoxes boxes(out);
    script::Diagnostics diagnostics(boxes, options.langMode);
    stage::PluginList plugins;
    plugins.Scan();
    std::error_code ec;
    stage::PictureServices services;
    services.plugins = &plugins;
    services.everyExtensionBound = true;
    services.diagnostics = &diagnostics;
    services.format = options.format;
    services.bookFolder = host::InsidePathFromHost(std::filesystem::current_path(ec)) + "\\";
    const stage::PictureLoader loader(std::move(services));

    stage::Picture picture;
    if (!loader.LoadPicture(picture, InsidePicturePath(options.file), options.flags, options.width,
                            options.height)) {
        // As a book's tag would: the author is told the file cannot be opened.
        diagnostics.ReportScriptError("", script::err::kCannotOpenFile, Cp932Path(options.file));
        return 1;
    }
    if (options.filter) {
        stage::ApplyFilter(picture, *options.filter);
    }
    if (!stage::WriteSurfacePng(options.out, picture)) {
        err << "talu-cli: cannot write '" << options.out << "'\n";
        return 1;
    }
    out << picture.Width() << 'x' << picture.Height() << '\n';
    return 0;
}

}  // namespace talu::cli
