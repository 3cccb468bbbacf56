// Finding a member of an archive with 100,000 members: the name lookup alone, opening a member
// by its inside path (lookup and extraction) once the archive has been indexed, and the listing
// that indexing does once.
#include <archive.h>
#include <archive_entry.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "host/paths.h"
#include "stage/archive_index.h"
#include "stage/archive_lookup.h"
#include "stage/plugin_list.h"

namespace {

using namespace talu;
namespace fs = std::filesystem;

constexpr int kMembers = 100000;

std::string MemberName(int i) {
    char name[32];
    std::snprintf(name, sizeof(name), "img/p%06d.bmp", i);
    return name;
}

// A tar of kMembers small members in a fresh folder, made once for all benchmarks.
class BigArchive {
  public:
    BigArchive() {
        std::string pattern = (fs::temp_directory_path() / "talu-bench-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        file_ = folder_ / "big.tar";
        archive* a = archive_write_new();
        archive_write_set_format_pax_restricted(a);
        archive_write_open_filename(a, file_.c_str());
        archive_entry* entry = archive_entry_new();
        const std::string bytes = "BM";
        for (int i = 0; i < kMembers; ++i) {
            archive_entry_clear(entry);
            archive_entry_set_pathname(entry, MemberName(i).c_str());
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_perm(entry, 0644);
            archive_entry_set_size(entry, static_cast<la_int64_t>(bytes.size()));
            archive_write_header(a, entry);
            archive_write_data(a, bytes.data(), bytes.size());
        }
        archive_entry_free(entry);
        archive_write_close(a);
        archive_write_free(a);
        plugins_.Scan();
    }
    ~BigArchive() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    const fs::path& File() const { return file_; }
    std::string Folder() const { return host::InsidePathFromHost(folder_) + "\\"; }
    const stage::PluginList& Plugins() const { return plugins_; }

  private:
    fs::path folder_;
    fs::path file_;
    stage::PluginList plugins_;
};

const BigArchive& Archive() {
    static const BigArchive archive;
    return archive;
}

// The hash lookup of a name, which every member lookup does once the archive is indexed.
void BM_FindMemberName(benchmark::State& state) {
    const stage::Plugin* extractor = nullptr;
    for (const auto& plugin : Archive().Plugins().Plugins()) {
        if (plugin->GetKind() == stage::PluginKind::kArchiveExtractor) {
            extractor = plugin.get();
        }
    }
    const auto index =
        stage::IndexArchive(*extractor, host::ArchiveSource::FromFile(Archive().File()));
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(index->Find("IMG\\" + MemberName(i).substr(4)));
        i = (i + 7919) % kMembers;
    }
}
BENCHMARK(BM_FindMemberName);

// Opening a member by its inside path; state.range(0) is its position in the archive.
void BM_OpenMember(benchmark::State& state) {
    const std::string path = "big.tar\\" + MemberName(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            stage::OpenPossiblyArchived(path, Archive().Folder(), Archive().Plugins()));
    }
}
BENCHMARK(BM_OpenMember)
    ->Arg(0)
    ->Arg(kMembers / 2)
    ->Arg(kMembers - 1)
    ->Unit(benchmark::kMillisecond);

// Listing the whole archive: what every member lookup paid before the index was kept.
void BM_ListArchive(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            host::ListArchive(host::ArchiveSource::FromFile(Archive().File())));
    }
}
BENCHMARK(BM_ListArchive)->Unit(benchmark::kMillisecond);

}  // namespace
