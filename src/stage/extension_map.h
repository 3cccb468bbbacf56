#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace talu::stage {

/// The text behind the last "." of a CP932 path, ASCII letters upper-cased; nullopt when the
/// path holds no ".". Double-byte characters are stepped over as units.
std::optional<std::string> ExtensionOf(std::string_view path);

/// Which plug-in library reads pictures with a given extension, as PLUGIN tags bound them.
/// Empty when a book starts; the interpreter clears it whenever it is created or reset.
class ExtensionMap {
  public:
    /// Binds an upper-case extension (no dot) to an upper-case library name, replacing an
    /// earlier binding of the same extension.
    void Bind(std::string extension, std::string libraryName);
    /// The library bound to an upper-case extension, or nullopt.
    std::optional<std::string> Find(std::string_view extension) const;
    /// Forgets every binding.
    void Clear() { bindings_.clear(); }

  private:
    std::map<std::string, std::string, std::less<>> bindings_;
};

}  // namespace talu::stage
