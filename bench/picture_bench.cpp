// Loading and writing a full 640 x 480 background: the BMP reader in its forms, the whole
// LoadPicture road from a file, PNG decoding and JPEG writing, beside memcpy of the file's bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "host/image/jpeg_writer.h"
#include "host/image/sdl_image_codec.h"
#include "host/paths.h"
#include "stage/bmp_reader.h"
#include "stage/picture_loader.h"

namespace {

using namespace talu;

constexpr int kW = 640;
constexpr int kH = 480;

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// A BMP with a 40-byte header; pixels is the stored data as it goes into the file.
std::vector<uint8_t> Bmp(int bits, uint32_t compression, const std::vector<uint8_t>& pixels) {
    const uint32_t colours = bits == 8 ? 256 : 0;
    const uint32_t offset = 54 + colours * 4;
    std::vector<uint8_t> out = {'B', 'M'};
    Put(out, offset + static_cast<uint32_t>(pixels.size()), 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    for (uint32_t v : {40u, static_cast<uint32_t>(kW), static_cast<uint32_t>(kH)}) {
        Put(out, v, 4);
    }
    Put(out, 1, 2);
    Put(out, static_cast<uint32_t>(bits), 2);
    for (uint32_t v : {compression, 0u, 2835u, 2835u, colours, 0u}) {
        Put(out, v, 4);
    }
    for (uint32_t i = 0; i < colours; ++i) {
        Put(out, i * 0x010101, 4);
    }
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::vector<uint8_t> Noise(std::size_t size) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>((i * 7919 + i / 640 * 31) >> 3);
    }
    return bytes;
}

std::vector<uint8_t> Bmp24() {
    return Bmp(24, 0, Noise(std::size_t{kW} * 3 * kH));
}

// Runs of 16 pixels, each row ended by an end-of-line mark.
std::vector<uint8_t> Rle8() {
    std::vector<uint8_t> data;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; x += 16) {
            data.insert(data.end(), {16, static_cast<uint8_t>(x + y)});
        }
        data.insert(data.end(), {0, 0});
    }
    data.insert(data.end(), {0, 1});
    return Bmp(8, 1, data);
}

void BM_MemcpyOfA24BitFile(benchmark::State& state) {
    const std::vector<uint8_t> source = Bmp24();
    std::vector<uint8_t> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::DoNotOptimize(target.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(source.size()));
}
BENCHMARK(BM_MemcpyOfA24BitFile);

void BM_ReadBmp(benchmark::State& state, std::vector<uint8_t> file) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(stage::ReadBmp(file));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
}
BENCHMARK_CAPTURE(BM_ReadBmp, 24bit, Bmp24());
BENCHMARK_CAPTURE(BM_ReadBmp, 8bit, Bmp(8, 0, std::vector<uint8_t>(std::size_t{kW} * kH, 7)));
BENCHMARK_CAPTURE(BM_ReadBmp, rle8, Rle8());
BENCHMARK_CAPTURE(BM_ReadBmp, 16bit, Bmp(16, 0, Noise(std::size_t{kW} * 2 * kH)));

// The whole road of a BACKGROUND picture: open, read, key, convert to 5-6-5.
void BM_LoadPictureFromFile(benchmark::State& state) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "talu_bench";
    std::filesystem::create_directories(folder);
    const std::vector<uint8_t> file = Bmp24();
    std::ofstream(folder / "bg.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    stage::PluginList plugins;
    plugins.Scan();
    stage::PictureServices services;
    services.plugins = &plugins;
    services.bookFolder = host::InsidePathFromHost(folder) + "\\";
    const stage::PictureLoader loader(std::move(services));
    stage::Picture picture;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            loader.LoadPicture(picture, "bg.bmp", stage::load::kAutoKey, 0, 0));
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadPictureFromFile)->Unit(benchmark::kMillisecond);

void BM_DecodePng(benchmark::State& state) {
    host::RgbaImage image{kW, kH, Noise(std::size_t{kW} * 4 * kH)};
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "talu_bench.png";
    host::WritePng(file, image);
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> png{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
    std::filesystem::remove(file);
    for (auto _ : state) {
        benchmark::DoNotOptimize(host::DecodeImage(png, {.extension = "PNG"}));
    }
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);

void BM_WriteJpeg(benchmark::State& state) {
    const std::vector<uint8_t> rows = Noise(std::size_t{kW} * 3 * kH);
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "talu_bench.jpg";
    for (auto _ : state) {
        benchmark::DoNotOptimize(host::WriteJpeg(file, {kW, kH, kW * 3, true, rows}, 75));
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_WriteJpeg)->Unit(benchmark::kMillisecond);

}  // namespace
