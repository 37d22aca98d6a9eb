// Finding fonts with fontconfig, loading and sizing them with FreeType, and caching glyphs.
#include "gdi/font_face.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

#include "gdi/objects.h"

// fontconfig 2.14 loses a few hundred bytes while parsing its configuration files, and libdbus
// (which SDL's X11 driver opens) a buffer of about a kilobyte, once per process; the leak
// checker of sanitizer builds is told to look away from these libraries only. (A program has one
// list of these, so it lives here, in the lowest library that every program links.)
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}

namespace zorbalin {

namespace {

// The FreeType library and the fontconfig configuration live as long as the process: faces
// held by static objects are freed at exit, after any static of ours could have freed these.
struct TFontSystem {
    FT_Library Library = nullptr;
    FcConfig* Config = nullptr;
    TFontSystem() {
        if (FT_Init_FreeType(&Library) != 0)
            Library = nullptr;
        Config = FcInitLoadConfigAndFonts();
    }
};

TFontSystem& System() {
    static TFontSystem* system = new TFontSystem();
    return *system;
}

struct TMatch {
    std::string File;
    int Index = 0;
    bool BoldFace = false; // the file itself is bold
};

bool FindFont(const std::string& Family, bool Bold, bool Italic, TMatch& Out) {
    FcConfig* config = System().Config;
    if (!config)
        return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(Family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;
    FcChar8* file = nullptr;
    bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
    if (found) {
        Out.File = reinterpret_cast<const char*>(file);
        int index = 0, weight = FC_WEIGHT_REGULAR;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
            Out.Index = index;
        if (FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch)
            Out.BoldFace = weight >= FC_WEIGHT_DEMIBOLD;
    }
    FcPatternDestroy(match);
    return found;
}

using TFaceKey = std::tuple<std::string, int, int, bool, bool>;

std::map<TFaceKey, std::weak_ptr<TFontFace>>& FaceRegistry() {
    static std::map<TFaceKey, std::weak_ptr<TFontFace>> registry;
    return registry;
}

int CeilPixels(FT_Pos Value266) {
    return static_cast<int>((Value266 + 63) >> 6);
}

} // namespace

struct TFontFace::TImpl {
    FT_Face Face = nullptr;
    bool EmboldenOutline = false; // bold asked for, but the file is a regular weight
    ~TImpl() {
        if (Face)
            FT_Done_Face(Face);
    }
};

TFontFace::TFontFace(std::unique_ptr<TImpl> Impl) : FImpl(std::move(Impl)) {}
TFontFace::~TFontFace() = default;

std::shared_ptr<TFontFace> TFontFace::Resolve(const LOGFONTA& Request) {
    if (!System().Library)
        return nullptr;
    std::string family(Request.lfFaceName, strnlen(Request.lfFaceName, LF_FACESIZE));
    if (family.empty())
        family = "MS Sans Serif";
    bool bold = Request.lfWeight >= 600;
    bool italic = Request.lfItalic != 0;
    TMatch match;
    if (!FindFont(family, bold, italic, match) && !FindFont("sans-serif", bold, italic, match))
        return nullptr;

    int height = Request.lfHeight == 0 ? -11 : Request.lfHeight;
    TFaceKey key{match.File, match.Index, height, bold, italic};
    auto& registry = FaceRegistry();
    if (auto existing = registry[key].lock())
        return existing;

    auto impl = std::make_unique<TImpl>();
    if (FT_New_Face(System().Library, match.File.c_str(), match.Index, &impl->Face) != 0) {
        impl->Face = nullptr;
        return nullptr;
    }
    FT_Face face = impl->Face;
    // A negative height is the character (em) height; a positive one the cell height, which the
    // face's ascender and descender divide in its own proportions.
    int em = -height;
    if (height > 0) {
        long cell = face->ascender - face->descender;
        em = cell > 0 ? static_cast<int>((long(height) * face->units_per_EM + cell / 2) / cell)
                      : height;
    }
    em = std::clamp(em, 1, 2048);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0)
        return nullptr;
    impl->EmboldenOutline = bold && !match.BoldFace;

    std::shared_ptr<TFontFace> result(new TFontFace(std::move(impl)));
    const FT_Size_Metrics& m = face->size->metrics;
    result->FEm = em;
    result->FAscent = CeilPixels(m.ascender);
    result->FDescent = CeilPixels(-m.descender);
    result->FMaxAdvance = CeilPixels(m.max_advance);
    result->FBold = bold;
    result->FAverageWidth = result->GlyphFor(U'x').Advance;
    registry[key] = result;
    return result;
}

const TGlyph& TFontFace::GlyphFor(char32_t Codepoint) {
    auto hit = FGlyphs.find(Codepoint);
    if (hit != FGlyphs.end())
        return hit->second;
    TGlyph& glyph = FGlyphs[Codepoint];
    FT_Face face = FImpl->Face;
    if (FT_Load_Char(face, Codepoint, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0)
        return glyph;
    FT_GlyphSlot slot = face->glyph;
    FT_Pos extra = 0;
    if (FImpl->EmboldenOutline && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        extra =
            std::max<FT_Pos>(64, FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24);
        FT_Outline_Embolden(&slot->outline, extra);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.Advance = static_cast<int>((slot->advance.x + extra + 32) >> 6);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.Width = static_cast<int>(bitmap.width);
    glyph.Height = static_cast<int>(bitmap.rows);
    glyph.Coverage.assign(static_cast<std::size_t>(glyph.Width) * glyph.Height, 0);
    for (int y = 0; y < glyph.Height; ++y) {
        const unsigned char* row =
            bitmap.pitch >= 0
                ? bitmap.buffer + static_cast<long>(bitmap.pitch) * y
                : bitmap.buffer + static_cast<long>(-bitmap.pitch) * (glyph.Height - 1 - y);
        for (int x = 0; x < glyph.Width; ++x) {
            std::uint8_t v = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                 ? ((row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0)
                                 : row[x];
            glyph.Coverage[static_cast<std::size_t>(y) * glyph.Width + x] = v;
        }
    }
    return glyph;
}

std::u32string DecodeUtf8(const char* Text, std::size_t Length) {
    std::u32string out;
    out.reserve(Length);
    const auto* s = reinterpret_cast<const unsigned char*>(Text);
    std::size_t i = 0;
    while (i < Length) {
        unsigned char c = s[i];
        int extra = c < 0x80             ? 0
                    : (c & 0xE0) == 0xC0 ? 1
                    : (c & 0xF0) == 0xE0 ? 2
                    : (c & 0xF8) == 0xF0 ? 3
                                         : -1;
        char32_t cp = extra <= 0   ? c
                      : extra == 1 ? (c & 0x1F)
                      : extra == 2 ? (c & 0x0F)
                                   : (c & 0x07);
        bool ok = extra >= 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= Length || (s[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        static const char32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
        if (ok && (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (!ok) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

TGdiFont::~TGdiFont() = default;

} // namespace zorbalin
