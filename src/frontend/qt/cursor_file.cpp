#include "frontend/qt/cursor_file.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <cstdint>

namespace talu::qt {
namespace {

constexpr int kJiffyMs = 1000 / 60;

std::uint32_t U32(const QByteArray& data, qsizetype at) {
    if (at < 0 || at + 4 > data.size()) {
        return 0;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData() + at);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t U16(const QByteArray& data, qsizetype at) {
    if (at < 0 || at + 2 > data.size()) {
        return 0;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData() + at);
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

QImage Decode(const QByteArray& data, const char* format) {
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer, format);
    return reader.read();
}

/// A .cur or .ico file: the first picture, with the hot spot a cursor's directory carries.
std::optional<CursorFrame> ReadIconFile(const QByteArray& data) {
    const std::uint16_t type = U16(data, 2);
    if (data.size() < 22 || U16(data, 0) != 0 || (type != 1 && type != 2) || U16(data, 4) == 0) {
        return std::nullopt;
    }
    CursorFrame frame;
    // Qt reads icons; a cursor differs only in the type word and the hot spot in the entry.
    QByteArray asIcon = data;
    asIcon[2] = 1;
    frame.image = Decode(asIcon, "ico");
    if (frame.image.isNull()) {
        return std::nullopt;
    }
    if (type == 2) {
        frame.hotSpot = QPoint(U16(data, 10), U16(data, 12));
    }
    return frame;
}

/// A RIFF "ACON" animated cursor: its frames in step order with their rates.
std::optional<std::vector<CursorFrame>> ReadAnimated(const QByteArray& data) {
    std::vector<CursorFrame> pictures;
    std::vector<std::uint32_t> rates, sequence;
    std::uint32_t defaultRate = 10;
    const qsizetype end = std::min<qsizetype>(data.size(), 8 + U32(data, 4));
    qsizetype at = 12;
    while (at + 8 <= end) {
        const QByteArray id = data.mid(at, 4);
        const qsizetype size = U32(data, at + 4);
        const qsizetype body = at + 8;
        if (size > end - body) {
            break;
        }
        if (id == "anih" && size >= 36) {
            defaultRate = U32(data, body + 28);
        } else if (id == "rate" || id == "seq ") {
            auto& list = id == "rate" ? rates : sequence;
            for (qsizetype i = 0; i + 4 <= size; i += 4) {
                list.push_back(U32(data, body + i));
            }
        } else if (id == "LIST" && data.mid(body, 4) == "fram") {
            for (qsizetype inner = body + 4; inner + 8 <= body + size;) {
                const qsizetype innerSize = U32(data, inner + 4);
                if (innerSize > body + size - inner - 8) {
                    break;
                }
                if (data.mid(inner, 4) == "icon") {
                    if (auto frame = ReadIconFile(data.mid(inner + 8, innerSize))) {
                        pictures.push_back(*frame);
                    }
                }
                inner += 8 + innerSize + (innerSize & 1);
            }
        }
        at = body + size + (size & 1);
    }
    if (pictures.empty()) {
        return std::nullopt;
    }
    const std::size_t steps = sequence.empty() ? pictures.size() : sequence.size();
    std::vector<CursorFrame> frames;
    for (std::size_t step = 0; step < steps; ++step) {
        const std::size_t index = sequence.empty() ? step : sequence[step];
        if (index >= pictures.size()) {
            continue;
        }
        CursorFrame frame = pictures[index];
        const std::uint32_t rate = step < rates.size() ? rates[step] : defaultRate;
        frame.durationMs = static_cast<int>(std::max<std::uint32_t>(1, rate)) * kJiffyMs;
        frames.push_back(frame);
    }
    if (frames.empty()) {
        return std::nullopt;
    }
    if (frames.size() == 1) {
        frames.front().durationMs = 0;
    }
    return frames;
}

}  // namespace

std::optional<std::vector<CursorFrame>> ReadCursorData(const QByteArray& data) {
    if (data.startsWith("RIFF") && data.mid(8, 4) == "ACON") {
        return ReadAnimated(data);
    }
    if (auto frame = ReadIconFile(data)) {
        return std::vector<CursorFrame>{*frame};
    }
    QImage image = QImage::fromData(data);
    if (image.isNull()) {
        return std::nullopt;
    }
    return std::vector<CursorFrame>{CursorFrame{image, QPoint(0, 0), 0}};
}

std::optional<std::vector<CursorFrame>> LoadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return ReadCursorData(file.readAll());
}

}  // namespace talu::qt
