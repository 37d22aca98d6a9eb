// Text output: fonts, drawing UTF-8 text with anti-aliased glyphs, measuring, and laying text
// out in a rectangle.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gdi/font_face.h"
#include "gdi/gdi.h"
#include "gdi/pixels.h"

namespace zorbalin {

using namespace gdi_detail;

namespace {

TFontFace* FaceOf(HDC hdc) {
    if (!hdc || !hdc->font)
        return nullptr;
    TGdiFont& font = *hdc->font;
    if (!font.face)
        font.face = TFontFace::Resolve(font.logFont);
    return font.face.get();
}

std::size_t Length(const char* text, int count) {
    if (!text)
        return 0;
    return count < 0 ? std::strlen(text) : static_cast<std::size_t>(count);
}

int Advance(TFontFace& face, const std::u32string& text) {
    int width = 0;
    for (char32_t c : text)
        width += face.GlyphFor(c).advance;
    return width;
}

inline BYTE Mix(BYTE ink, BYTE under, unsigned a) {
    return BYTE((ink * a + under * (255 - a) + 127) / 255);
}

// Blends the glyphs of `text` in the text colour, the cell's top-left at device (x, y), inside
// the device rectangle `clip`.
void DrawGlyphs(HDC hdc, TFontFace& face, LONG x, LONG y, const std::u32string& text,
                const RECT& clip) {
    TBitmapBits s = BitsOf(*hdc->bitmap);
    const COLORREF ink = hdc->state.textColor;
    const BYTE r = GetRValue(ink), g = GetGValue(ink), b = GetBValue(ink);
    LONG pen = x;
    const LONG baseline = y + face.Ascent();
    for (char32_t c : text) {
        const TGlyph& glyph = face.GlyphFor(c);
        for (int gy = 0; gy < glyph.height; ++gy) {
            LONG py = baseline - glyph.top + gy;
            if (py < clip.top || py >= clip.bottom)
                continue;
            BYTE* row = s.Row(py);
            const std::uint8_t* cover =
                glyph.coverage.data() + static_cast<std::size_t>(gy) * glyph.width;
            for (int gx = 0; gx < glyph.width; ++gx) {
                unsigned a = cover[gx];
                LONG px = pen + glyph.left + gx;
                if (a == 0 || px < clip.left || px >= clip.right)
                    continue;
                if (s.bitCount >= 24) {
                    BYTE* p = row + px * (s.bitCount / 8);
                    p[0] = Mix(b, p[0], a);
                    p[1] = Mix(g, p[1], a);
                    p[2] = Mix(r, p[2], a);
                } else {
                    COLORREF under = RawToColor(s, ReadRaw(row, s.bitCount, px));
                    COLORREF mixed = RGB(Mix(r, GetRValue(under), a), Mix(g, GetGValue(under), a),
                                         Mix(b, GetBValue(under), a));
                    WriteRaw(row, s.bitCount, px, ColorToRaw(s, mixed));
                }
            }
        }
        pen += glyph.advance;
    }
}

// Text at logical (x, y) clipped to the device rectangle `clip`, with the opaque background of
// OPAQUE mode.
void OutputText(HDC hdc, int x, int y, const std::u32string& text, RECT clip) {
    TFontFace* face = FaceOf(hdc);
    if (!face || !hdc->bitmap)
        return;
    LONG dx = DevX(*hdc, x), dy = DevY(*hdc, y);
    if (hdc->state.bkMode == OPAQUE) {
        RECT cell{dx, dy, dx + Advance(*face, text), dy + face->Height()};
        FillDeviceRect(*hdc, Intersect(cell, clip), hdc->state.bkColor);
    }
    DrawGlyphs(hdc, *face, dx, dy, text, clip);
}

// "&x" marks an accelerator: the ampersand is dropped ("&&" stays one ampersand).
std::string StripPrefixes(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        else if (text[i] == '&')
            continue;
        out.push_back(text[i]);
    }
    return out;
}

std::vector<std::string> SplitParagraphs(const std::string& text) {
    std::vector<std::string> paragraphs(1);
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            paragraphs.emplace_back();
        else
            paragraphs.back().push_back(c);
    }
    return paragraphs;
}

// Greedy line filling: as many words as fit in `width`; a word wider than `width` stands alone.
void WrapParagraph(TFontFace& face, const std::string& paragraph, int width,
                   std::vector<std::string>& lines) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= paragraph.size()) {
        std::size_t space = paragraph.find(' ', start);
        if (space == std::string::npos)
            space = paragraph.size();
        if (space > start)
            words.push_back(paragraph.substr(start, space - start));
        start = space + 1;
    }
    if (words.empty()) {
        lines.emplace_back();
        return;
    }
    std::string line = words[0];
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::string candidate = line + " " + words[i];
        if (Advance(face, DecodeUtf8(candidate.data(), candidate.size())) <= width) {
            line = std::move(candidate);
        } else {
            lines.push_back(std::move(line));
            line = words[i];
        }
    }
    lines.push_back(std::move(line));
}

} // namespace

HFONT CreateFontIndirectA(const LOGFONTA* logFont) {
    if (!logFont)
        return nullptr;
    auto* font = new TGdiFont();
    font->logFont = *logFont;
    font->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    return font;
}

BOOL TextOutA(HDC hdc, int x, int y, const char* text, int count) {
    if (!hdc)
        return FALSE;
    std::size_t length = Length(text, count);
    OutputText(hdc, x, y, DecodeUtf8(text, length), DeviceClip(*hdc));
    return TRUE;
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text,
                 int count) {
    if (!hdc)
        return FALSE;
    RECT clip = DeviceClip(*hdc);
    if (rect) {
        RECT device{DevX(*hdc, rect->left), DevY(*hdc, rect->top), DevX(*hdc, rect->right),
                    DevY(*hdc, rect->bottom)};
        if (options & ETO_OPAQUE)
            FillDeviceRect(*hdc, Intersect(device, clip), hdc->state.bkColor);
        if (options & ETO_CLIPPED)
            clip = Intersect(clip, device);
    }
    std::size_t length = Length(text, count);
    OutputText(hdc, x, y, DecodeUtf8(text, length), clip);
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, const char* text, int count, SIZE* size) {
    if (!size)
        return FALSE;
    *size = SIZE();
    TFontFace* face = FaceOf(hdc);
    if (!face)
        return FALSE;
    std::size_t length = Length(text, count);
    size->cx = Advance(*face, DecodeUtf8(text, length));
    size->cy = face->Height();
    return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* metrics) {
    if (!metrics)
        return FALSE;
    TFontFace* face = FaceOf(hdc);
    if (!face)
        return FALSE;
    *metrics = TEXTMETRICA();
    metrics->tmAscent = face->Ascent();
    metrics->tmDescent = face->Descent();
    metrics->tmHeight = face->Height();
    metrics->tmInternalLeading = std::max(0, face->Height() - face->EmPixels());
    metrics->tmAveCharWidth = face->AverageWidth();
    metrics->tmMaxCharWidth = face->MaxAdvance();
    metrics->tmWeight = face->Bold() ? 700 : 400;
    return TRUE;
}

int DrawTextA(HDC hdc, const char* text, int count, RECT* rect, UINT format) {
    TFontFace* face = FaceOf(hdc);
    if (!face || !rect)
        return 0;
    std::string content(text ? text : "", Length(text, count));
    if (!(format & DT_NOPREFIX))
        content = StripPrefixes(content);

    std::vector<std::string> lines;
    if (format & DT_SINGLELINE) {
        content.erase(std::remove_if(content.begin(), content.end(),
                                     [](char c) { return c == '\r' || c == '\n'; }),
                      content.end());
        lines.push_back(content);
    } else {
        for (const std::string& paragraph : SplitParagraphs(content)) {
            if (format & DT_WORDBREAK)
                WrapParagraph(*face, paragraph, rect->right - rect->left, lines);
            else
                lines.push_back(paragraph);
        }
    }

    const int lineHeight = face->Height();
    const int total = lineHeight * static_cast<int>(lines.size());
    std::vector<std::u32string> decoded;
    int widest = 0;
    for (const std::string& line : lines) {
        decoded.push_back(DecodeUtf8(line.data(), line.size()));
        widest = std::max(widest, Advance(*face, decoded.back()));
    }
    if (format & DT_CALCRECT) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }

    LONG y = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect->bottom - lineHeight;
    }
    RECT clip = DeviceClip(*hdc);
    if (!(format & DT_NOCLIP)) {
        RECT device{DevX(*hdc, rect->left), DevY(*hdc, rect->top), DevX(*hdc, rect->right),
                    DevY(*hdc, rect->bottom)};
        clip = Intersect(clip, device);
    }
    for (const std::u32string& line : decoded) {
        int width = Advance(*face, line);
        LONG x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (rect->right - rect->left - width) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - width;
        OutputText(hdc, x, y, line, clip);
        y += lineHeight;
    }
    return total;
}

} // namespace zorbalin
