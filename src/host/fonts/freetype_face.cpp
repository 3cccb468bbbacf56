#include "host/fonts/freetype_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace talu::host {
namespace {

struct LibraryCloser {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

// The old API's default size for a height of 0, taken as a cell height.
constexpr int kDefaultCellHeight = 16;

// The slant FreeType uses for synthetic obliques (about 12 degrees), in 16.16 fixed point.
constexpr FT_Fixed kObliqueShear = 0x0366A;

int RoundDiv(std::int64_t numerator, std::int64_t denominator) {
    return static_cast<int>((numerator * 2 + denominator) / (denominator * 2));
}

// The ascent and descent, in font units, that make up the cell: the face's own ascender and
// descender, which for the IPA fonts span exactly one em as the old system's Mincho and Gothic
// did (so a full-width character is as wide as the cell is high); else the OS/2 Windows metrics.
void DesignCell(FT_Face face, std::int64_t& ascent, std::int64_t& descent) {
    ascent = face->ascender;
    descent = -std::int64_t{face->descender};
    if (ascent < 0 || descent < 0 || ascent + descent <= 0) {
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 != nullptr && os2->version != 0xFFFF) {
            ascent = os2->usWinAscent;
            descent = os2->usWinDescent;
        }
    }
    if (ascent < 0 || descent < 0 || ascent + descent <= 0) {
        ascent = face->units_per_EM;
        descent = 0;
    }
}

// Copies a rendered FreeType bitmap into one byte per pixel, top row first, whatever its flow.
std::vector<uint8_t> UnpackBitmap(const FT_Bitmap& bitmap) {
    const int width = static_cast<int>(bitmap.width);
    const int rows = static_cast<int>(bitmap.rows);
    std::vector<uint8_t> bits(static_cast<std::size_t>(width) * rows);
    const int stride = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
    for (int row = 0; row < rows; ++row) {
        int memoryRow = bitmap.pitch < 0 ? rows - 1 - row : row;
        const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(memoryRow) * stride;
        uint8_t* dst = bits.data() + static_cast<std::size_t>(row) * width;
        for (int x = 0; x < width; ++x) {
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
            } else {
                dst[x] = src[x] >= 128 ? 1 : 0;
            }
        }
    }
    return bits;
}

}  // namespace

struct FreeTypeFace::Handles {
    std::unique_ptr<FT_LibraryRec_, LibraryCloser> library;
    std::unique_ptr<FT_FaceRec_, FaceCloser> face;  // declared last: closed before the library
};

FreeTypeFace::FreeTypeFace(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}

FreeTypeFace::~FreeTypeFace() = default;

std::unique_ptr<FreeTypeFace> FreeTypeFace::Open(const std::string& path, int index) {
    auto handles = std::make_unique<Handles>();
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        return nullptr;
    }
    handles->library.reset(library);
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), index, &face) != 0) {
        return nullptr;
    }
    handles->face.reset(face);
    // Only outline faces can be sized to an arbitrary cell height.
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
        return nullptr;
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    return std::unique_ptr<FreeTypeFace>(new FreeTypeFace(std::move(handles)));
}

bool FreeTypeFace::SetHeight(int height) {
    FT_Face face = handles_->face.get();
    std::int64_t designAscent = 0;
    std::int64_t designDescent = 0;
    DesignCell(face, designAscent, designDescent);
    const std::int64_t designCell = designAscent + designDescent;
    const std::int64_t unitsPerEm = face->units_per_EM;

    int cell = 0;
    int ppem = 0;
    if (height >= 0) {
        cell = height == 0 ? kDefaultCellHeight : std::min(height, kMaxPixelSize);
        ppem = RoundDiv(std::int64_t{cell} * unitsPerEm, designCell);
    } else {
        ppem = static_cast<int>(std::min<std::int64_t>(-std::int64_t{height}, kMaxPixelSize));
        cell = RoundDiv(std::int64_t{ppem} * designCell, unitsPerEm);
    }
    ppem = std::clamp(ppem, 1, kMaxPixelSize);
    cell = std::clamp(cell, 1, kMaxPixelSize * 4);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0) {
        return false;
    }

    CellMetrics m;
    m.cellHeight = cell;
    m.ascent = std::clamp(RoundDiv(designAscent * cell, designCell), 0, cell);
    auto toPixels = [&](std::int64_t units) {
        return static_cast<int>(std::llround(static_cast<double>(units) * ppem / unitsPerEm));
    };
    // FreeType gives the underline's centre; the old API drew it as a band of that thickness.
    m.underlineThickness = std::clamp(toPixels(face->underline_thickness), 1, cell);
    int underlineCentre = m.ascent - toPixels(face->underline_position);
    m.underlineTop = underlineCentre - m.underlineThickness / 2;

    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
        m.strikeOutThickness = std::clamp(toPixels(os2->yStrikeoutSize), 1, cell);
        m.strikeOutTop = m.ascent - toPixels(os2->yStrikeoutPosition);
    } else {
        m.strikeOutThickness = m.underlineThickness;
        m.strikeOutTop = m.ascent - m.ascent / 3;
    }
    // Both lines stay inside the cell, as the old API kept them.
    m.underlineTop = std::clamp(m.underlineTop, 0, cell - m.underlineThickness);
    m.strikeOutTop = std::clamp(m.strikeOutTop, 0, cell - m.strikeOutThickness);
    metrics_ = m;
    return true;
}

bool FreeTypeFace::IsBold() const {
    return (handles_->face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
}

std::optional<GlyphImage> FreeTypeFace::Render(char32_t codePoint, bool oblique) {
    FT_Face face = handles_->face.get();
    FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) != 0) {
        return std::nullopt;
    }
    FT_GlyphSlot slot = face->glyph;
    if (oblique && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) {
        return std::nullopt;
    }
    GlyphImage image;
    image.left = slot->bitmap_left;
    image.top = -slot->bitmap_top;
    image.width = static_cast<int>(slot->bitmap.width);
    image.height = static_cast<int>(slot->bitmap.rows);
    image.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    image.bits = UnpackBitmap(slot->bitmap);
    return image;
}

}  // namespace talu::host
